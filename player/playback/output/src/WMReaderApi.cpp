#include "output/WMReaderApi.h"

#include "base/Library.h"

namespace {

HRESULT WINAPI SystemCreateReader(IUnknown* reserved, DWORD rights, IWMReader** reader) {
  // Looked up once and kept for every later call, so the library stays for
  // the rest of the process.
  static WMCreateReaderFn entry = [] {
    base::Library module("wmvcore.dll");
    auto create = module.Find<WMCreateReaderFn>("WMCreateReader");
    module.Detach();
    return create;
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
