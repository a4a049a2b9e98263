// The skinned about dialog of the framework (dialog template 100): one skin
// OK button beside the picture. The player's own about box is a different,
// plain dialog; this one is kept for programs that want the skinned look.
#pragma once

#include "ui/CSkinButton.h"
#include "ui/CSkinDialog.h"

class CSkinAboutDialog : public CSkinDialog {
 public:
  enum { IDD = 100 };
  explicit CSkinAboutDialog(CWnd* parent = nullptr) : CSkinDialog(IDD, parent) {}

  BOOL OnInitDialog() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  CSkinCmdButton* GetOkButton() { return &m_ok; }

 private:
  CSkinCmdButton m_ok;
};
