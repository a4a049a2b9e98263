#include "UpdateProgressDlg.h"

#include <commctrl.h>

#include "Resource.h"

BEGIN_MESSAGE_MAP(CUpdateProgressDlg, CDialog)
  ON_WM_CLOSE()
  ON_BN_CLICKED(IDC_CLOSE, OnCloseButton)
  ON_MESSAGE(kWorkerDone, OnWorkerDone)
END_MESSAGE_MAP()

BOOL CUpdateProgressDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SendDlgItemMessage(IDC_PROGRESS, PBM_SETRANGE32, 0, 99);
  GetDlgItem(IDC_PROGRESS)->ShowWindow(SW_HIDE);
  m_workerDone = false;
  if (m_startWorker) m_startWorker(m_hWnd);
  return TRUE;
}

// "Any key closes": only once the worker has ended.
BOOL CUpdateProgressDlg::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN) {
    if (m_workerDone && pMsg->message == WM_KEYDOWN) EndDialog(IDOK);
    if (pMsg->message == WM_KEYDOWN) return TRUE;
  }
  return CDialog::PreTranslateMessage(pMsg);
}

void CUpdateProgressDlg::OnOK() {
  if (m_workerDone) EndDialog(IDOK);
}

void CUpdateProgressDlg::OnCancel() {
  if (m_workerDone) EndDialog(IDCANCEL);
}

void CUpdateProgressDlg::OnClose() {
  if (m_workerDone) EndDialog(IDCANCEL);
}

void CUpdateProgressDlg::OnCloseButton() { SendMessage(WM_CLOSE); }

LRESULT CUpdateProgressDlg::OnWorkerDone(WPARAM, LPARAM) {
  m_workerDone = true;
  return 0;
}
