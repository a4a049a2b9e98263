#include "output/WMReaderApi.h"

namespace {

HRESULT WINAPI SystemCreateReader(IUnknown* reserved, DWORD rights, IWMReader** reader) {
  static WMCreateReaderFn entry = [] {
    HMODULE module = LoadLibraryA("wmvcore.dll");
    return module != nullptr ? reinterpret_cast<WMCreateReaderFn>(GetProcAddress(module, "WMCreateReader"))
                             : nullptr;
  }();
  if (reader != nullptr) *reader = nullptr;
  if (entry == nullptr) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
  return entry(reserved, rights, reader);
}

bool SystemIsWindowsXP() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return false;
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion == 5 && info.dwMinorVersion == 1;
}

}  // namespace

WMCreateReaderFn& WMCreateReaderHook() {
  static WMCreateReaderFn hook = &SystemCreateReader;
  return hook;
}

WindowsXPFn& WindowsXPHook() {
  static WindowsXPFn hook = &SystemIsWindowsXP;
  return hook;
}
