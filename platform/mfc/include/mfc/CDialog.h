// Dialogs built from dialog templates, and dialog data exchange (DDX/DDV).
#pragma once

#define MLF_NOIDLEMSG 0x0001
#define MLF_NOKICKIDLE 0x0002
#define MLF_SHOWONIDLE 0x0004

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
 public:
  CDialog();
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
  explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);

  // Modeless: the window exists when this answers TRUE.
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL);
  virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
  BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = NULL);
  // Modal, with our own loop (so PreTranslateMessage runs): the owner is
  // disabled meanwhile. Answers EndDialog's result, -1 when the template
  // cannot be loaded or the window not created.
  virtual INT_PTR DoModal();
  void EndDialog(int nResult);

  virtual BOOL OnInitDialog();
  BOOL PreTranslateMessage(MSG* pMsg) override;

  void NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
  void PrevDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
  void GotoDlgCtrl(CWnd* pWndCtrl) { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, (WPARAM)AfxHwndOf(pWndCtrl), 1); }
  void SetDefID(UINT nID) { ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0); }
  DWORD GetDefID() const { return static_cast<DWORD>(::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0)); }
  void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

  UINT m_nIDHelp;
  LPCTSTR m_lpszTemplateName;
  CWnd* m_pParentWnd;

 protected:
  virtual void OnOK();
  virtual void OnCancel();
  afx_msg void HandleOK() { OnOK(); }
  afx_msg void HandleCancel() { OnCancel(); }
  DECLARE_MESSAGE_MAP()

  // The template resource, or NULL.
  LPCDLGTEMPLATE LoadTemplate(HINSTANCE& hInst) const;
  BOOL CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HINSTANCE hInst, HWND hWndParent);
};

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Passed to DoDataExchange: which way the data goes, and the control that a
// failed validation puts the focus back on.
class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

  BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
  CWnd* m_pDlgWnd;
  HWND m_hWndLastControl;
  BOOL m_bEditLastControl;

  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  // Puts the focus back on the last control and ends the exchange (CUserException).
  [[noreturn]] void Fail();
};

// Subclasses the dialog item with the control object (once).
void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// value: index of the checked button in the group that starts at nIDC, -1 for none.
void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void AFXAPI DDX_LBString(CDataExchange* pDX, int nIDC, CString& value);
void AFXAPI DDX_Slider(CDataExchange* pDX, int nIDC, int& value);
void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void AFXAPI DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
