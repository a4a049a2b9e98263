#include "ui/CSkinAboutDialog.h"

#include "ui/CSkinManager.h"

BOOL CSkinAboutDialog::OnInitDialog() {
  CSkinDialog::OnInitDialog();
  CreateSkinButton(&m_ok, GetDialogHwnd(), kSkinOkBtn, IDOK, false, nullptr, nullptr);
  m_ok.MoveTo(220, 25);
  return TRUE;
}

LRESULT CSkinAboutDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DRAWITEM && wParam == IDOK) {
    m_ok.DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
  }
  return CSkinDialog::WindowProc(message, wParam, lParam);
}
