#include "app/CUpdateNotices.h"

#include "app/CNoticeWnd.h"

bool CUpdateNotices::Start(HWND window, const std::string& homeUrl, const std::string& version) {
  if (m_thread) return true;
  m_stopEvent = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!m_stopEvent) return false;
  m_config = UpdateNoticeConfig();
  m_config.window = window;
  m_config.stopEvent = m_stopEvent;
  m_config.homeUrl = homeUrl;
  m_config.version = version;
  m_cancel.reset(new CHttpCancel());
  m_config.cancel = m_cancel.get();
  m_thread = ::CreateThread(nullptr, 0, UpdateNoticeThreadProc, &m_config, CREATE_SUSPENDED, nullptr);
  if (!m_thread) {
    ::CloseHandle(m_stopEvent);
    m_stopEvent = nullptr;
    return false;
  }
  ::ResumeThread(m_thread);
  return true;
}

bool CUpdateNotices::Stop(DWORD joinMs) {
  bool ended = true;
  if (m_thread) {
    ::SetEvent(m_stopEvent);
    // Closing the session ends a fetch in progress on Windows; under Wine the
    // fetch runs on to its time-out. The termination is for a worker that is
    // stuck all the same.
    if (m_cancel) m_cancel->Cancel();
    if (::WaitForSingleObject(m_thread, joinMs) == WAIT_TIMEOUT) {
      ::TerminateThread(m_thread, 0);
      ended = false;
    }
    ::CloseHandle(m_thread);
    m_thread = nullptr;
    if (::IsWindow(m_config.window)) DrainNoticeTexts(m_config.window);
  }
  if (m_stopEvent) {
    ::CloseHandle(m_stopEvent);
    m_stopEvent = nullptr;
  }
  return ended;
}

void CUpdateNotices::OnNoticeText(LPARAM lParam) {
  std::unique_ptr<std::string> text = TakeNoticeText(lParam);
  if (!text) return;
  m_text = *text;
  while (!m_text.empty() && (m_text.back() == '\n' || m_text.back() == '\r')) m_text.pop_back();
}

void CUpdateNotices::OnShowNotice(WPARAM wParam) {
  CNoticeWnd* wnd = wParam == 1 ? ShowNoticeWnd(m_text, 330, 150, 6000, 5, 10, 10, 325, 145, m_config.window)
                                : ShowNoticeWnd(m_text, 330, 145, 6000, 5, 10, 15, 325, 140, m_config.window);
  if (wnd) wnd->Show();
}
