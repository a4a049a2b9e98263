// shellmark_try: shows the context menu Explorer would show for some files,
// with the registered Shellmark extension's item in it, and carries out the
// item when it is chosen. A way to try the extension where Explorer's own
// menus are not at hand (under Wine).
//
//   shellmark_try <file>...      (the files in one folder, as a selection is)
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ShellSelection.h"
#include "base/ReleasePtr.h"
#include "shellmark/Shellmark.h"

namespace {

constexpr UINT kOpenId = 1;
constexpr UINT kPropertiesId = 2;
constexpr UINT kFirstExtensionId = 100;
constexpr UINT kLastExtensionId = 0x7FFF;

std::wstring FullPath(const std::wstring& path) {
  DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  DWORD got = GetFullPathNameW(path.c_str(), size, &full[0], nullptr);
  full.resize(got < size ? got : 0);
  return full;
}

HWND CreateOwnerWindow() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"ShellmarkTry";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"shellmark_try", WS_OVERLAPPEDWINDOW, 100, 100, 360, 200,
                              nullptr, nullptr, wc.hInstance, nullptr);
  if (hwnd) {
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
  }
  return hwnd;
}

int Run(const std::vector<std::wstring>& files) {
  IDataObject* rawData = nullptr;
  HRESULT hr = shellmark::CreateShellSelection(files, &rawData);
  if (FAILED(hr)) {
    std::fprintf(stderr, "shellmark_try: no selection of these files (0x%08lX); are they in one folder?\n",
                 hr);
    return 2;
  }
  base::ReleasePtr<IDataObject> data(rawData);

  IShellExtInit* rawInit = nullptr;
  hr = CoCreateInstance(CLSID_Shellmark, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit,
                        reinterpret_cast<void**>(&rawInit));
  if (hr == REGDB_E_CLASSNOTREG) {
    std::fprintf(stderr, "shellmark_try: Shellmark is not registered (regsvr32 Shellmark.dll)\n");
    return 2;
  }
  if (FAILED(hr)) {
    std::fprintf(stderr, "shellmark_try: the extension could not be created (0x%08lX)\n", hr);
    return 2;
  }
  base::ReleasePtr<IShellExtInit> init(rawInit);
  hr = init->Initialize(nullptr, data.get(), nullptr);
  IContextMenu* rawMenu = nullptr;
  if (SUCCEEDED(hr)) hr = init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&rawMenu));
  if (FAILED(hr)) {
    std::fprintf(stderr, "shellmark_try: the extension refused the selection (0x%08lX)\n", hr);
    return 2;
  }
  base::ReleasePtr<IContextMenu> extension(rawMenu);

  HWND owner = CreateOwnerWindow();
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, kOpenId, L"&Open");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kPropertiesId, L"P&roperties");
  hr = extension->QueryContextMenu(menu, 1, kFirstExtensionId, kLastExtensionId, CMF_NORMAL);
  std::printf("shellmark_try: the extension added %u item(s)\n", static_cast<unsigned>(HRESULT_CODE(hr)));

  RECT rect = {};
  GetWindowRect(owner, &rect);
  UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, rect.left + 40,
                               rect.top + 40, 0, owner, nullptr);
  int result = 0;
  if (chosen >= kFirstExtensionId && chosen <= kLastExtensionId) {
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = sizeof info;
    info.hwnd = owner;
    info.lpVerb = MAKEINTRESOURCEA(chosen - kFirstExtensionId);
    info.nShow = SW_SHOWNORMAL;
    hr = extension->InvokeCommand(&info);
    std::printf("shellmark_try: the extension's command answered 0x%08lX\n", hr);
    result = SUCCEEDED(hr) ? 0 : 1;
  } else if (chosen != 0) {
    std::printf("shellmark_try: an item of the surrounding menu was chosen; it does nothing here\n");
  } else {
    std::printf("shellmark_try: nothing chosen\n");
  }
  DestroyMenu(menu);
  DestroyWindow(owner);
  return result;
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::wstring> files;
  for (int i = 1; argv && i < argc; ++i) files.push_back(FullPath(argv[i]));
  if (argv) LocalFree(argv);
  if (files.empty()) {
    std::fprintf(stderr, "usage: shellmark_try <file>...  (files in one folder)\n");
    return 2;
  }
  // Explorer shows menus on a single-threaded apartment thread, and the
  // extension is registered for that model.
  if (FAILED(CoInitialize(nullptr))) return 2;
  int result = Run(files);
  CoUninitialize();
  return result;
}
