// fake_player.exe: see testsupport/FakePlayer.h for what it does and how it is
// set up. A GUI program, as the player is, so starting it opens no console.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "testsupport/FakePlayer.h"

namespace {

// A test that fails before it closes the window must not leave the program
// running in the shared Wine prefix.
constexpr UINT kLifetimeMs = 120000;
constexpr UINT_PTR kLifetimeTimer = 1;

std::wstring g_log;
bool g_ignoreClose = false;
DWORD g_lingerMs = 0;
std::wstring g_windowClass = testsupport::FromUtf8(testsupport::kPlayerWindowClass);

std::wstring Environment(const char* name) {
  std::wstring wide(name, name + strlen(name));
  DWORD size = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  DWORD got = GetEnvironmentVariableW(wide.c_str(), &value[0], size);
  value.resize(got < size ? got : 0);
  return value;
}

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD got = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (got < path.size()) {
      path.resize(got);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring CurrentFolder() {
  DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring folder(size, L'\0');
  DWORD got = GetCurrentDirectoryW(size, &folder[0]);
  folder.resize(got < size ? got : 0);
  return folder;
}

// Two programs may append to one log at once (a decoy started beside the real
// one): each record goes out in one append-only write.
void AppendRecord(const std::string& record) {
  if (g_log.empty()) return;
  for (int attempt = 0; attempt < 50; ++attempt) {
    HANDLE file = CreateFileW(g_log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      Sleep(20);
      continue;
    }
    DWORD written = 0;
    WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    return;
  }
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      if (g_ignoreClose) return 0;
      AppendRecord("close\nend\n");
      DestroyWindow(hwnd);
      return 0;
    case WM_TIMER:
      if (wParam == kLifetimeTimer) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

int RunMainWindow(HINSTANCE instance) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = MainWndProc;
  wc.hInstance = instance;
  wc.lpszClassName = g_windowClass.c_str();
  if (!RegisterClassW(&wc)) return 2;
  // Hidden: FindWindow finds hidden windows, and tests keep the screen free.
  HWND hwnd = CreateWindowExW(0, g_windowClass.c_str(),
                              testsupport::FromUtf8(testsupport::kPlayerWindowTitle).c_str(),
                              WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 2;
  SetTimer(hwnd, kLifetimeTimer, kLifetimeMs, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (g_lingerMs) Sleep(g_lingerMs);
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  bool window = Environment(testsupport::kFakePlayerWindowVariable) == L"1";
  g_log = Environment(testsupport::kFakePlayerLogVariable);
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; argv && i < argc; ++i) {
    std::wstring arg = argv[i];
    const std::wstring logFlag = L"--fake-log=";
    if (arg.compare(0, logFlag.size(), logFlag) == 0) g_log = arg.substr(logFlag.size());
    if (arg == L"--fake-window") window = true;
    const std::wstring classFlag = L"--fake-class=";
    if (arg.compare(0, classFlag.size(), classFlag) == 0) g_windowClass = arg.substr(classFlag.size());
    if (arg == L"--fake-ignore-close") g_ignoreClose = true;
    const std::wstring lingerFlag = L"--fake-linger=";
    if (arg.compare(0, lingerFlag.size(), lingerFlag) == 0)
      g_lingerMs = _wtoi(arg.c_str() + lingerFlag.size());
  }
  if (argv) LocalFree(argv);

  if (Environment(testsupport::kFakePlayerIgnoreCloseVariable) == L"1") g_ignoreClose = true;
  std::string record = "start\n";
  record += "module=" + testsupport::ToUtf8(ModulePath()) + "\n";
  record += "folder=" + testsupport::ToUtf8(CurrentFolder()) + "\n";
  record += "cmdW=" + testsupport::ToUtf8(GetCommandLineW()) + "\n";
  record += std::string("cmdA=") + GetCommandLineA() + "\n";
  record += "end\n";
  AppendRecord(record);

  return window ? RunMainWindow(instance) : 0;
}
