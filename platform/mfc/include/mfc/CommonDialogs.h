// The system's colour, font and file dialogs. DoModal gives each a proper
// owner even when the caller passes none (the active window's top level), so
// the dialog is modal to what the user is looking at.
#pragma once

class CCommonDialog : public CDialog {
  DECLARE_DYNAMIC(CCommonDialog)
 public:
  explicit CCommonDialog(CWnd* pParentWnd) : CDialog((UINT)0, pParentWnd) {}

 protected:
  // The owner for the system dialog.
  HWND PreModal();
};

class CColorDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CColorDialog)
 public:
  explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = NULL);
  INT_PTR DoModal() override;
  COLORREF GetColor() const { return m_cc.rgbResult; }
  void SetCurrentColor(COLORREF clr) { m_cc.rgbResult = clr; }
  // Shared by every colour dialog that is given no array of its own.
  static COLORREF* PASCAL GetSavedCustomColors();

  CHOOSECOLORA m_cc;
};

class CFontDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CFontDialog)
 public:
  explicit CFontDialog(LPLOGFONTA lplfInitial = NULL, DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS,
                       CDC* pdcPrinter = NULL, CWnd* pParentWnd = NULL);
  INT_PTR DoModal() override;

  void GetCurrentFont(LPLOGFONTA lplf) const { *lplf = m_lf; }
  CString GetFaceName() const { return m_lf.lfFaceName; }
  int GetSize() const { return m_cf.iPointSize; }  // tenths of a point
  COLORREF GetColor() const { return m_cf.rgbColors; }
  int GetWeight() const { return m_lf.lfWeight; }
  BOOL IsStrikeOut() const { return m_lf.lfStrikeOut; }
  BOOL IsUnderline() const { return m_lf.lfUnderline; }
  BOOL IsBold() const { return m_lf.lfWeight >= FW_SEMIBOLD; }
  BOOL IsItalic() const { return m_lf.lfItalic; }

  CHOOSEFONTA m_cf;
  LOGFONTA m_lf;
};

class CFileDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CFileDialog)
 public:
  // lpszFilter: pairs of "text|pattern|", as in "Lyrics (*.txt)|*.txt|All files (*.*)|*.*||".
  explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = NULL, LPCTSTR lpszFileName = NULL,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = NULL,
                       CWnd* pParentWnd = NULL);
  INT_PTR DoModal() override;

  CString GetPathName() const;
  CString GetFileName() const;
  CString GetFileExt() const;
  CString GetFileTitle() const;
  BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
  // OFN_ALLOWMULTISELECT: walks the chosen files.
  POSITION GetStartPosition() const;
  CString GetNextPathName(POSITION& pos) const;

  OPENFILENAMEA m_ofn;

 protected:
  BOOL m_bOpenFileDialog;
  CString m_strFilter;
  CString m_strDefExt;
  char m_szFileTitle[64];
  char m_szFileName[_MAX_PATH];
};
