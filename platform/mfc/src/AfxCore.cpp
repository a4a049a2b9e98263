#include <afx.h>

namespace {

// The module this copy of the framework is linked into: the program, or a DLL
// that carries its own copy. Its resources are the ones the framework loads.
HINSTANCE OwnModule() {
  static char marker;
  HMODULE hModule = nullptr;
  ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       &marker, &hModule);
  return hModule;
}

HINSTANCE g_hInstance = nullptr;
HINSTANCE g_hResource = nullptr;

}  // namespace

HINSTANCE AFXAPI AfxGetInstanceHandle() {
  if (g_hInstance == nullptr) g_hInstance = OwnModule();
  return g_hInstance;
}

HINSTANCE AFXAPI AfxGetResourceHandle() {
  return g_hResource != nullptr ? g_hResource : AfxGetInstanceHandle();
}

void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource) { g_hResource = hInstResource; }

void AFXAPI AfxSetInstanceHandle(HINSTANCE hInstance) { g_hInstance = hInstance; }

#ifdef _DEBUG
void AfxAssertFailedLine(LPCSTR lpszFileName, int nLine) {
  char text[512];
  snprintf(text, sizeof(text), "Assertion failed: %s(%d)\n", lpszFileName, nLine);
  ::OutputDebugStringA(text);
}

void AfxTrace(LPCSTR lpszFormat, ...) {
  char text[1024];
  va_list args;
  va_start(args, lpszFormat);
  vsnprintf(text, sizeof(text), lpszFormat, args);
  va_end(args);
  ::OutputDebugStringA(text);
}
#endif
