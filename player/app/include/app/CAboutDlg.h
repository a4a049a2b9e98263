#pragma once
// The player's about box: a captionless dialog filled by the scrolling
// credits. Escape closes it.
#include <afxwin.h>

#include <string>

#include "app/CAboutStatic.h"

class CAboutDlg : public CDialog {
 public:
  enum { IDD = 179 };
  explicit CAboutDlg(CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  CAboutStatic& GetCredits() { return m_credits; }

  // The file version of the module as "a.b.c.d"; empty without a version.
  static std::string ModuleVersionText(HMODULE module = nullptr);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

 private:
  CAboutStatic m_credits;
};
