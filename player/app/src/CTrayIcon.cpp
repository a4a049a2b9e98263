#include "app/CTrayIcon.h"

#include <cstring>

namespace {

BOOL WINAPI ShellNotifyIcon(DWORD message, NOTIFYICONDATAA* data) { return Shell_NotifyIconA(message, data); }

CTrayIcon::NotifyIconFunction g_notifyIcon = ShellNotifyIcon;

}  // namespace

CTrayIcon::NotifyIconFunction CTrayIcon::SetNotifyIconFunction(NotifyIconFunction function) {
  const NotifyIconFunction previous = g_notifyIcon;
  g_notifyIcon = function ? function : ShellNotifyIcon;
  return previous;
}

CTrayIcon::~CTrayIcon() { Remove(); }

void CTrayIcon::Notify(DWORD message, UINT flags, HICON icon, const char* tip) {
  NOTIFYICONDATAA data = {};
  // The first version of the record: every shell takes it, and nothing newer
  // is used.
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = m_wnd.GetHwnd();
  data.uID = kIconId;
  data.uFlags = flags;
  data.uCallbackMessage = kCallbackMessage;
  data.hIcon = icon;
  if (tip) lstrcpynA(data.szTip, tip, kMaxTipLength + 1);
  g_notifyIcon(message, &data);
}

void CTrayIcon::Add(HICON icon, const char* tip) {
  if (!m_wnd.GetHwnd() && m_wnd.Create(nullptr)) m_wnd.SetSink(this);
  Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP, icon, tip);
  m_added = true;
}

void CTrayIcon::Remove() {
  if (m_added) Notify(NIM_DELETE, 0, nullptr, nullptr);
  m_added = false;
  m_wnd.SetSink(nullptr);
  m_wnd.Destroy();
}

void CTrayIcon::SetIcon(HICON icon) { Notify(NIM_MODIFY, NIF_ICON, icon, nullptr); }

void CTrayIcon::SetTip(const char* tip) { Notify(NIM_MODIFY, NIF_TIP, nullptr, tip ? tip : ""); }

IMsgWndSink* CTrayIcon::SetListener(IMsgWndSink* listener) {
  IMsgWndSink* previous = m_listener;
  m_listener = listener;
  return previous;
}

int CTrayIcon::OnWndMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kCallbackMessage || wParam != kIconId || !m_listener) return 0;
  return m_listener->OnWndMessage(message, wParam, lParam);
}
