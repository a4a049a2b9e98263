// The root of the program's own windows: every window it creates gets a
// window class of its own ("MelodaraBmpWnd" and a counter; the main window,
// made first, is "MelodaraBmpWnd0", which other programs look for), and its
// messages reach the object's virtual WindowProc through one table from
// window handle to object.
#pragma once

#include <windows.h>

#include <string>

class CBmpWnd {
 public:
  CBmpWnd() = default;
  virtual ~CBmpWnd();
  CBmpWnd(const CBmpWnd&) = delete;
  CBmpWnd& operator=(const CBmpWnd&) = delete;

  virtual void Show(bool show);
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  // Registers a new class and creates the window at (0, 0), 1 x 1, without
  // a title. 0 on success, 1 when the window could not be created.
  int Create(HINSTANCE instance, HWND parent, DWORD exStyle, DWORD style, HBRUSH background, UINT classStyle,
             HICON icon);
  // Binds a window made elsewhere (it keeps its own window procedure).
  void Attach(HWND hwnd);
  void Detach();

  HWND GetSafeHwnd() const { return m_hWnd; }

  // The object bound to a window, or NULL.
  static CBmpWnd* FromHandle(HWND hwnd);
  static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // The class-name prefix and the number the next Create will use.
  static const char* ClassNamePrefix() { return "MelodaraBmpWnd"; }
  static int NextClassNumber();

  HWND m_hWnd = nullptr;

 protected:
  // Destroys the window (when it still is one) and forgets it; the object stays.
  void DestroyOwnWindow();
};
