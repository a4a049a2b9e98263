#pragma once
// A hidden 1x1 window that hands its messages to a sink on the thread that
// created it. The song engine uses one to carry playback events from the
// sequencer's thread to the UI thread; the player links the same source (the
// base library) for its own timer windows.
//
// The window class "MsgWnd" is registered under the module that compiled
// this source (not the program's), so the engine's and the player's copies
// never share a window procedure that one of them might unload.
#include <windows.h>

class IMsgWndSink {
 public:
  virtual int OnWndMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

 protected:
  ~IMsgWndSink() = default;
};

typedef void (*MsgWndCallback)(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LONG_PTR user);

class CMsgWnd {
 public:
  CMsgWnd() = default;
  ~CMsgWnd();
  CMsgWnd(const CMsgWnd&) = delete;
  CMsgWnd& operator=(const CMsgWnd&) = delete;

  // Null on failure. parent may be null.
  HWND Create(HWND parent);
  // 1, or 0 when no window exists.
  int Destroy();
  IMsgWndSink* SetSink(IMsgWndSink* sink);
  void SetCallback(MsgWndCallback callback, LONG_PTR user);
  HWND GetHwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK MsgWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  IMsgWndSink* sink_ = nullptr;
  MsgWndCallback callback_ = nullptr;
  LONG_PTR user_ = 0;
  HWND hwnd_ = nullptr;
};

constexpr const char kMsgWndClass[] = "MsgWnd";
constexpr const char kMsgWndOwnerProp[] = "PROP_USERDATA";
