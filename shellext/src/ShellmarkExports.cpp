// The module's COM entry points. Explorer calls them in its own process: no
// exception leaves them, and every out pointer is cleared before any failure.
#include <windows.h>
#include <olectl.h>

#include <new>

#include "CShellExtClassFactory.h"
#include "ShellmarkModule.h"
#include "ShellmarkRegistration.h"
#include "base/Guarded.h"
#include "shellmark/Shellmark.h"

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_Shellmark)) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new (std::nothrow) shellmark::CShellExtClassFactory;
  if (!factory) return E_OUTOFMEMORY;
  HRESULT hr = factory->QueryInterface(iid, object);
  factory->Release();
  return hr;
}

STDAPI DllCanUnloadNow() { return shellmark::ModuleObjectCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
  return base::Guarded([] { return shellmark::RegisterShellmark(shellmark::ModuleHandle()); },
                       SELFREG_E_CLASS);
}

STDAPI DllUnregisterServer() {
  return base::Guarded([] { return shellmark::UnregisterShellmark(shellmark::ModuleHandle()); },
                       SELFREG_E_CLASS);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) shellmark::SetModuleHandle(instance);
  return TRUE;
}
