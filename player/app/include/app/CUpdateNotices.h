#pragma once
// The main window's side of the update notices: it starts the worker, keeps
// the last notice text (handed over by message, so the worker never touches
// UI data), shows the pop-up on request and ends the worker at teardown.
// UI thread only.
#include <windows.h>

#include <memory>
#include <string>

#include "app/UpdateNoticeThread.h"
#include "net/HttpExchange.h"

class CUpdateNotices {
 public:
  CUpdateNotices() = default;
  ~CUpdateNotices() { Stop(); }
  CUpdateNotices(const CUpdateNotices&) = delete;
  CUpdateNotices& operator=(const CUpdateNotices&) = delete;

  // Starts the worker for window; false when it could not be started.
  bool Start(HWND window, const std::string& homeUrl, const std::string& version);
  // Sets the stop event, closes the worker's internet session and waits up to
  // joinMs; a worker still stuck in the network after that is terminated as
  // a last resort. Frees queued texts. True when the worker ended by itself.
  bool Stop(DWORD joinMs = 10000);
  bool Running() const { return m_thread != nullptr; }

  // WM_PLAYER_NOTICE_TEXT: takes the text over.
  void OnNoticeText(LPARAM lParam);
  // WM_PLAYER_SHOW_NOTICE: the pop-up with the text received last.
  void OnShowNotice(WPARAM wParam);
  const std::string& GetNoticeText() const { return m_text; }

 private:
  UpdateNoticeConfig m_config;
  std::unique_ptr<CHttpCancel> m_cancel;
  HANDLE m_stopEvent = nullptr;
  HANDLE m_thread = nullptr;
  std::string m_text;
};
