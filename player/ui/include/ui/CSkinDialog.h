// The base of the skinned modal dialogs: a framework dialog from a template
// that also carries a CSkinWnd part bound to the same window, so the dialog
// is painted with the skin's borders, title and background colour and can
// be dragged by its caption strip, while the framework keeps running the
// dialog (controls, DoModal, message map). Its push buttons are
// CSkinCmdButtons, which send WM_COMMAND like ordinary buttons.
//
// The caption buttons are drawn but take no clicks: the dialog's mouse
// messages go to the skin part's drag handling only.
#pragma once

#include <afxwin.h>

#include "ui/CSkinWnd.h"

class CSkinDialog : public CDialog, public CSkinWnd {
 public:
  CSkinDialog(UINT templateId, CWnd* parent = nullptr);
  ~CSkinDialog() override;

  // Binds the skin part to the dialog window and gives it background,
  // layout and frame images.
  virtual void InitSkin();
  // Codes 2, 4, 8 and 16 choose the caption style of that number and
  // configure its buttons; other codes do nothing.
  virtual void SetCaptionButtons(int code);

  BOOL OnInitDialog() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  HWND GetDialogHwnd() const { return CDialog::m_hWnd; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override { CDialog::DoDataExchange(pDX); }
  // WM_ERASEBKGND: the background brush inside a frame of the DC's pen.
  void FillBackground(HDC dc);
};

// Resource strings of the caption tooltips, in the program's string table.
enum { IDS_SKIN_CLOSE = 102, IDS_SKIN_MINIMIZE = 104, IDS_SKIN_MAXIMIZE = 105, IDS_SKIN_RESTORE = 107 };
