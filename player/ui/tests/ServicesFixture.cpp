#include "ServicesFixture.h"

#include <gtest/gtest.h>

#include <map>

#include "ui/CProfileHelper.h"
#include "ui/WebPages.h"

namespace {

std::map<HWND, TestWndHook>& Hooks() {
  static std::map<HWND, TestWndHook> hooks;
  return hooks;
}

void RecordLaunch(const char* url, int show) { LaunchedUrls().emplace_back(url, show); }

// No test may ever start a real browser.
class LauncherEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { SetUrlLauncher(&RecordLaunch); }
};

::testing::Environment* const g_launcher = ::testing::AddGlobalTestEnvironment(new LauncherEnvironment);

const char* kTestClass = "ServicesTestWnd";

void RegisterTestClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = &TestWndProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = kTestClass;
  registered = ::RegisterClassA(&wc) != 0;
}

std::function<void(HWND)> g_dialogWork;
DWORD g_dialogStart = 0;
DWORD g_dialogTimeout = 0;
bool g_dialogDriven = false;

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM out) {
  char name[16] = {};
  ::GetClassNameA(hwnd, name, sizeof(name));
  if (strcmp(name, "#32770") == 0 && ::IsWindowVisible(hwnd)) {
    *reinterpret_cast<HWND*>(out) = hwnd;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK DialogTimer(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&dialog));
  if (dialog && g_dialogWork) {
    ::KillTimer(nullptr, id);
    auto work = std::move(g_dialogWork);
    g_dialogWork = nullptr;
    g_dialogDriven = true;
    work(dialog);
    return;
  }
  if (::GetTickCount() - g_dialogStart > g_dialogTimeout) {
    ::KillTimer(nullptr, id);
    g_dialogWork = nullptr;
    if (dialog) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  }
}

}  // namespace

LRESULT CALLBACK TestWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto found = Hooks().find(hwnd);
  if (found != Hooks().end() && found->second) {
    LRESULT result = 0;
    TestWndHook hook = found->second;
    if (hook(hwnd, msg, wParam, lParam, &result)) return result;
  }
  if (msg == WM_NCDESTROY) Hooks().erase(hwnd);
  return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND MakeTestWindow(const RECT& r, DWORD style, HWND parent, UINT id) {
  RegisterTestClass();
  return ::CreateWindowExA(0, kTestClass, "test", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                           ::GetModuleHandleA(nullptr), nullptr);
}

void SetTestWndHook(HWND hwnd, TestWndHook hook) { Hooks()[hwnd] = std::move(hook); }

RECT WindowRectOf(HWND hwnd) {
  RECT r = {};
  ::GetWindowRect(hwnd, &r);
  return r;
}

std::vector<std::pair<std::string, int>>& LaunchedUrls() {
  static std::vector<std::pair<std::string, int>> urls;
  return urls;
}

void WriteTestSetting(const char* section, const char* key, const char* value) {
  std::string ini;
  CProfileHelper::GetIniFilePath(ini);
  ::WritePrivateProfileStringA(section, key, value, ini.c_str());
}

void DriveNextDialog(std::function<void(HWND)> work, DWORD timeoutMs) {
  g_dialogWork = std::move(work);
  g_dialogStart = ::GetTickCount();
  g_dialogTimeout = timeoutMs;
  g_dialogDriven = false;
  ::SetTimer(nullptr, 0, 100, &DialogTimer);
}

bool DialogWasDriven() { return g_dialogDriven; }

std::string ShotPath(const std::string& name) {
  ::CreateDirectoryA("shots", nullptr);
  return "shots\\" + name;
}

HICON MakeFlatIcon(COLORREF colour, int size) {
  HDC screen = ::GetDC(nullptr);
  HBITMAP image = ::CreateCompatibleBitmap(screen, size, size);
  HBITMAP mask = ::CreateBitmap(size, size, 1, 1, nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(dc, image);
  HBRUSH brush = ::CreateSolidBrush(colour);
  RECT all = {0, 0, size, size};
  ::FillRect(dc, &all, brush);
  ::SelectObject(dc, mask);
  ::PatBlt(dc, 0, 0, size, size, BLACKNESS);  // every pixel opaque
  ::SelectObject(dc, old);
  ::DeleteObject(brush);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  ICONINFO info = {TRUE, 0, 0, mask, image};
  HICON icon = ::CreateIconIndirect(&info);
  ::DeleteObject(image);
  ::DeleteObject(mask);
  return icon;
}
