#include "testsupport/TempDir.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

namespace testsupport {

namespace {
// Wide, so files a test made with names outside the code page go too.
void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring full = dir + L"\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

std::wstring Wide(const std::string& ansi) {
  int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(size > 0 ? size : 0, L'\0');
  if (size > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], size);
  return wide;
}
}  // namespace

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  char base[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, base);
  std::string root = (n > 0 && n < MAX_PATH) ? std::string(base, n) : std::string(".\\");
  for (;;) {
    char name[64];
    std::snprintf(name, sizeof name, "melodara-%lu-%u", GetCurrentProcessId(), counter++);
    path_ = root + name;
    if (CreateDirectoryA(path_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
}

TempDir::~TempDir() { RemoveTree(Wide(path_)); }

}  // namespace testsupport
