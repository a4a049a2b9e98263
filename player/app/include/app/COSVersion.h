// Windows-version tests. Each asks the system (GetVersionExA) unless given a
// version record, which is how tests check the rules.
#pragma once

#include <windows.h>

class COSVersion {
 public:
  virtual ~COSVersion() = default;

  static bool IsWindows98();
  static bool IsWindowsMe();
  static bool IsWindows2000();
  static bool IsWindowsXP();

  static bool IsWindows98(const OSVERSIONINFOA& info) { return Is(info, VER_PLATFORM_WIN32_WINDOWS, 4, 10); }
  static bool IsWindowsMe(const OSVERSIONINFOA& info) { return Is(info, VER_PLATFORM_WIN32_WINDOWS, 4, 90); }
  static bool IsWindows2000(const OSVERSIONINFOA& info) { return Is(info, VER_PLATFORM_WIN32_NT, 5, 0); }
  static bool IsWindowsXP(const OSVERSIONINFOA& info) { return Is(info, VER_PLATFORM_WIN32_NT, 5, 1); }

 private:
  static bool Is(const OSVERSIONINFOA& info, DWORD platform, DWORD major, DWORD minor) {
    return info.dwPlatformId == platform && info.dwMajorVersion == major && info.dwMinorVersion == minor;
  }
  // False when the system does not answer.
  static bool Query(OSVERSIONINFOA& info);
};
