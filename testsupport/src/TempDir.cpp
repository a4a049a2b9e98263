#include "testsupport/TempDir.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

namespace testsupport {

namespace {
void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = dir + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(full.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
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

TempDir::~TempDir() { RemoveTree(path_); }

}  // namespace testsupport
