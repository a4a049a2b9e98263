// The updater's build of the list control: a combo cell is edited in place
// through a drop-down that opens below the cell when its button is clicked on
// a selected row. Arrow and letter keys copy the choice into the cell at once,
// Enter or a mouse release keeps it (WM_XLISTCTRL_COMBO_SELECTION to the
// parent, wParam item, lParam column), Escape or a click elsewhere in the list
// puts the text back that the cell had when the drop-down opened. The empty
// list shows no text.
#pragma once

#include <listctrl/CXComboList.h>
#include <listctrl/CXListCtrl.h>

class CUpdateListCtrl : public CXListCtrl {
 public:
  CUpdateListCtrl();
  ~CUpdateListCtrl() override;

  // Paints a combo cell of a selected row; opens the drop-down when the cell's
  // button is pressed and none is open yet.
  void DrawComboBox(int nItem, int nSubItem, CDC* pDC, CRect rect, const XListCellData& cell);
  // Ends a press of the drop-down button: the button is drawn raised again.
  void EndComboEdit();
  // The open drop-down, or null.
  CXComboList* GetComboList() const { return m_pListBox; }

  BOOL DrawComboCell(int nItem, int nSubItem, CDC* pDC, CRect& rect, const XListCellData& cell,
                     COLORREF crText, COLORREF crBkgnd) override;
  void OnCellClicked(int nItem, int nSubItem, CPoint point) override;

 protected:
  void OpenComboList(int nItem, int nSubItem, CDC* pDC, const CRect& box, const XListCellData& cell);
  void CloseComboList();
  // Puts the drop-down's selection into the edited cell; FALSE without one.
  BOOL CopyComboSelection();

  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnDestroy();
  afx_msg LRESULT OnComboEscape(WPARAM, LPARAM);
  afx_msg LRESULT OnComboReturn(WPARAM, LPARAM);
  afx_msg LRESULT OnComboKeyDown(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

  int m_bComboButtonDown = 0;
  int m_nComboItem = 0;
  int m_nComboSubItem = 0;
  CRect m_rectComboButton;
  CXComboList* m_pListBox = nullptr;  // owned
  CFont m_ListboxFont;
  BOOL m_bFontIsCreated = FALSE;
  CString m_strInitialString;
};
