// The drop-down of a combo cell: a list box and its own vertical scroll bar in
// a small window. It keeps the scroll bar in step with the list box, selects
// the row under the mouse every 80 ms, and reports keys and clicks to its
// owner through the WM_XCOMBOLIST_* messages; the owner decides what they mean.
#pragma once

#include <afxwin.h>

class CXComboList : public CWnd {
 public:
  explicit CXComboList(CWnd* pParent);
  ~CXComboList() override;

  void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
  // Lays the window out after the owner filled the list box and set its
  // selection; later calls only give the list box the focus.
  void Show(int nScrollBarWidth);

  CListBox m_ListBox;
  CScrollBar m_wndSBVert;

  CScrollBar* GetScrollBarCtrl(int nBar) const override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  void SendToOwner(UINT message);
  void SetScrollPosition(int nPos);

  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

  CWnd* m_pParent;   // the owner to notify; may be null
  int m_nCount = 0;  // focus losses
  BOOL m_bFirstTime = TRUE;
};
