// The player's icon in the taskbar's notification area. The shell reports
// mouse actions on it to a hidden message window of our own, and they go on
// to the listener (the main window). UI thread only.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "base/CMsgWnd.h"

class CTrayIcon : public IMsgWndSink {
 public:
  enum { kIconId = 1, kCallbackMessage = WM_USER + 1, kMaxTipLength = 63 };

  // The shell call, replaceable so that tests can see each record.
  typedef BOOL(WINAPI* NotifyIconFunction)(DWORD message, NOTIFYICONDATAA* data);
  // Returns the previous function; null restores the shell's own.
  static NotifyIconFunction SetNotifyIconFunction(NotifyIconFunction function);

  CTrayIcon() = default;
  virtual ~CTrayIcon();
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;

  // Shell failures are ignored: without its window the icon is added with a
  // null window and reports nothing.
  void Add(HICON icon, const char* tip);
  void Remove();
  void SetIcon(HICON icon);
  // Cut to 63 characters.
  void SetTip(const char* tip);
  // Returns the previous listener.
  IMsgWndSink* SetListener(IMsgWndSink* listener);
  HWND GetHwnd() const { return m_wnd.GetHwnd(); }

  // Only the shell's callback for our icon reaches the listener.
  int OnWndMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Notify(DWORD message, UINT flags, HICON icon, const char* tip);

  CMsgWnd m_wnd;
  IMsgWndSink* m_listener = nullptr;
  bool m_added = false;
};
