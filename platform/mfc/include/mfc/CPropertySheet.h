// Property sheets and pages. The sheet is created modeless (PSH_MODELESS)
// even for DoModal, and runs our own modal loop: that loop offers each
// message to PreTranslateMessage, which hands it to the sheet as
// PSM_ISDIALOGMESSAGE, so the sheet's map sees Ctrl+Tab and the like.
#pragma once

class CPropertySheet;

class CPropertyPage : public CDialog {
  DECLARE_DYNAMIC(CPropertyPage)
 public:
  explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
  explicit CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption = 0);

  // Enables (or disables) the sheet's Apply button for this page.
  void SetModified(BOOL bChanged = TRUE);
  void CancelToClose();
  LRESULT QuerySiblings(WPARAM wParam, LPARAM lParam);

  // PSN_... notifications turned into virtuals.
  virtual BOOL OnSetActive();
  // The page is left: validates its data; FALSE keeps the page.
  virtual BOOL OnKillActive();
  virtual BOOL OnApply();
  virtual void OnReset();
  void OnOK() override;
  void OnCancel() override;
  virtual BOOL OnQueryCancel() { return TRUE; }

  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  // Dialog keys are the sheet's business (PSM_ISDIALOGMESSAGE): the walk goes on to it.
  BOOL PreTranslateMessage(MSG* pMsg) override { return CWnd::PreTranslateMessage(pMsg); }

  PROPSHEETPAGEA m_psp;

 protected:
  CString m_strCaption;
  BOOL m_bFirstSetActive;

 private:
  void CommonConstruct(LPCTSTR lpszTemplateName, UINT nIDCaption);
  static UINT CALLBACK PageCallback(HWND hWnd, UINT message, LPPROPSHEETPAGEA ppsp);
};

class CPropertySheet : public CWnd {
  DECLARE_DYNAMIC(CPropertySheet)
 public:
  CPropertySheet();
  explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);
  explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);
  ~CPropertySheet() override;

  void AddPage(CPropertyPage* pPage);
  void RemovePage(CPropertyPage* pPage);
  void RemovePage(int nPage);
  int GetPageCount() const;
  CPropertyPage* GetPage(int nPage) const;
  CPropertyPage* GetActivePage() const;
  int GetActiveIndex() const;
  BOOL SetActivePage(int nPage);
  BOOL SetActivePage(CPropertyPage* pPage);
  int GetPageIndex(CPropertyPage* pPage) const;
  CTabCtrl* GetTabControl() const;
  void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);
  // Before the window exists: FALSE keeps every tab on one scrolling row.
  void EnableStackedTabs(BOOL bStacked) { m_bStacked = bStacked; }
  void EndDialog(int nEndID);
  BOOL PressButton(int nButton) { return (BOOL)SendMessage(PSM_PRESSBUTTON, nButton, 0); }

  // Answers IDOK when the sheet was closed with OK, else IDCANCEL; -1 when it could not be created.
  virtual INT_PTR DoModal();
  // Modeless: the window exists when this answers TRUE.
  BOOL Create(CWnd* pParentWnd = NULL, DWORD dwStyle = (DWORD)-1, DWORD dwExStyle = 0);
  // Runs after the system's own initialisation of the sheet.
  virtual BOOL OnInitDialog();
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL ContinueModal() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  PROPSHEETHEADERA m_psh;

  int m_nCloseResult;  // IDOK or IDCANCEL, from how the sheet was closed

 protected:
  CPtrArray m_pages;
  CString m_strCaption;
  CWnd* m_pParentWnd;
  BOOL m_bStacked;
  BOOL m_bModeless;

  afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);
  BOOL CreateSheet(HWND hWndOwner, DWORD dwStyle, DWORD dwExStyle);
  std::vector<PROPSHEETPAGEA> m_pageStructs;
};
