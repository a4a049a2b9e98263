#include "app/COSVersion.h"

bool COSVersion::Query(OSVERSIONINFOA& info) {
  info = OSVERSIONINFOA{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return GetVersionExA(&info) != FALSE;
#pragma GCC diagnostic pop
}

bool COSVersion::IsWindows98() {
  OSVERSIONINFOA info;
  return Query(info) && IsWindows98(info);
}

bool COSVersion::IsWindowsMe() {
  OSVERSIONINFOA info;
  return Query(info) && IsWindowsMe(info);
}

bool COSVersion::IsWindows2000() {
  OSVERSIONINFOA info;
  return Query(info) && IsWindows2000(info);
}

bool COSVersion::IsWindowsXP() {
  OSVERSIONINFOA info;
  return Query(info) && IsWindowsXP(info);
}
