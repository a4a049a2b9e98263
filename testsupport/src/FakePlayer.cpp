#include "testsupport/FakePlayer.h"

#include <fstream>
#include <sstream>

#include "testsupport/WaitUntil.h"

namespace testsupport {

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                 nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr,
                      nullptr);
  return out;
}

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return {};
  int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(size, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
  return out;
}

std::string FakePlayerPath() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n);
  size_t slash = folder.find_last_of("\\/");
  folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
  return folder + "\\fake_player.exe";
}

std::vector<FakePlayerRecord> ReadFakePlayerLog(const std::string& path) {
  std::vector<FakePlayerRecord> records;
  std::ifstream in(path, std::ios::binary);
  if (!in) return records;
  FakePlayerRecord current;
  bool open = false;
  std::string line;
  while (std::getline(in, line)) {
    if (!open) {
      current = FakePlayerRecord();
      current.event = line;
      open = true;
    } else if (line == "end") {
      records.push_back(current);
      open = false;
    } else {
      size_t eq = line.find('=');
      if (eq != std::string::npos) current.fields[line.substr(0, eq)] = line.substr(eq + 1);
    }
  }
  return records;
}

std::vector<FakePlayerRecord> WaitForFakePlayerLog(const std::string& path, size_t count, DWORD timeoutMs) {
  std::vector<FakePlayerRecord> records;
  WaitUntil(
      [&] {
        records = ReadFakePlayerLog(path);
        return records.size() >= count;
      },
      timeoutMs, 20);
  return records;
}

HWND WaitForPlayerWindow(DWORD timeoutMs, const char* windowClass) {
  HWND hwnd = nullptr;
  WaitUntil(
      [&] {
        hwnd = FindWindowA(windowClass, kPlayerWindowTitle);
        return hwnd != nullptr;
      },
      timeoutMs, 20);
  return hwnd;
}

}  // namespace testsupport
