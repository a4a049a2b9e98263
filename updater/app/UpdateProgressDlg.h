#pragma once
// The small dialog the update worker reports in. It cannot be dismissed while
// the worker runs; afterwards a key, Close or the close message ends it.
#include <afxwin.h>

#include <atomic>
#include <functional>

class CUpdateProgressDlg : public CDialog {
 public:
  // Posted by the worker when it has ended.
  static constexpr UINT kWorkerDone = WM_APP + 20;

  CUpdateProgressDlg() : CDialog(131) {}
  // Runs once the window exists, so the worker never writes to a dialog that
  // is not there yet; it must post kWorkerDone when it ends.
  void SetStartWorker(std::function<void(HWND)> start) { m_startWorker = std::move(start); }
  bool WorkerDone() const { return m_workerDone; }

 protected:
  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  void OnOK() override;
  void OnCancel() override;
  afx_msg void OnClose();
  afx_msg void OnCloseButton();
  afx_msg LRESULT OnWorkerDone(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

 private:
  std::function<void(HWND)> m_startWorker;
  std::atomic<bool> m_workerDone{false};
};
