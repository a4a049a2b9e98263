// Helpers of the window-services tests: plain top-level windows whose
// messages a test can intercept, a recording URL launcher that stands in for
// the browser during the whole run, and modal-dialog drivers.
#pragma once

#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Rectangles compared and printed in assertions.
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& os, const RECT& r) {
  return os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

// What the window procedure of a test window does first; return true with
// *result set to consume the message.
using TestWndHook = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>;

// A window of a class of our own at r (screen coordinates).
HWND MakeTestWindow(const RECT& r, DWORD style = WS_POPUP | WS_VISIBLE, HWND parent = nullptr, UINT id = 0);
void SetTestWndHook(HWND hwnd, TestWndHook hook);
// The plain procedure behind every test window.
LRESULT CALLBACK TestWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

RECT WindowRectOf(HWND hwnd);

// Every URL "opened" during the run, with its show command.
std::vector<std::pair<std::string, int>>& LaunchedUrls();

// Writes (or with null, removes) a key of the test program's settings file.
void WriteTestSetting(const char* section, const char* key, const char* value);

// Runs work(dialog) from a thread timer once a dialog of this thread is up
// (within a few seconds); the work must close the dialog. Call right before
// the code that shows the dialog modally; a dialog still open after the
// timeout is cancelled so the test fails instead of hanging.
void DriveNextDialog(std::function<void(HWND dialog)> work, DWORD timeoutMs = 8000);
// True when the driver found a dialog and ran the work.
bool DialogWasDriven();

// A 16 x 16 (or size) opaque icon of one colour; the caller destroys it.
HICON MakeFlatIcon(COLORREF colour, int size = 16);

// Folder for screenshots a person looks at ("<out>\shots").
std::string ShotPath(const std::string& name);
