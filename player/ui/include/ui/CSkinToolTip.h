// The one tooltip window that every element list shares. Each CSkinToolTip
// object is one user of it: the window is made for the first user and
// destroyed when the last one goes, so closing one window never takes the
// tooltips of the others with it.
//
// A start can hold the window back: making a tooltip window costs a start
// tens of milliseconds under Wine, and no tip can show before the windows
// are on screen. While it is held back the tools are kept in a list (with
// their texts and rectangles as later calls change them) and the window is
// made with all of them when the hold ends; the hold also ends when the
// last user goes.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

class CSkinToolTip {
 public:
  CSkinToolTip();
  ~CSkinToolTip();
  CSkinToolTip(const CSkinToolTip&) = delete;
  CSkinToolTip& operator=(const CSkinToolTip&) = delete;

  // Makes the shared window when it does not exist: 0, or 1 on failure.
  int Create(HINSTANCE instance);
  // The next tool id of the process (the first is 1).
  static int NextId();
  static LRESULT AddTool(HWND owner, const std::string& text, const RECT& rect, int id);
  static LRESULT DelTool(HWND owner, int id);
  static LRESULT SetToolRect(HWND owner, int id, const RECT& rect);
  static LRESULT UpdateTipText(HWND owner, int id, const std::string& text);

  // NULL while none is made (also while the window is held back).
  static HWND GetWindow();

  // Holds the window back until MakeHeldBackWindow.
  static void HoldBackWindow();
  // Ends the hold: makes the window, when it has users, with every tool
  // added meanwhile.
  static void MakeHeldBackWindow();
};

// A TOOLINFO of the size every comctl32 version accepts (the newest size is
// refused by the version-5 controls a program without a manifest gets).
TOOLINFOA MakeToolInfo(HWND owner, UINT_PTR id);

// Makes the standard always-on-top tooltip window; NULL on failure.
HWND CreateSharedTooltipWindow(HINSTANCE instance);
