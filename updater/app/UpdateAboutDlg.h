#pragma once
#include <afxwin.h>

// The about box of the system menu.
class CUpdateAboutDlg : public CDialog {
 public:
  CUpdateAboutDlg() : CDialog(100) {}
};
