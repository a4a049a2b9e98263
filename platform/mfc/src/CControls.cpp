#include <afxwin.h>

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wParam, lParam, pResult);
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  *pResult = TRUE;
  return TRUE;
}

namespace {

// The owner-draw messages of list and combo boxes, handed to their virtuals.
template <class TBox>
BOOL OwnerDrawNotify(TBox* pBox, UINT message, LPARAM lParam, LRESULT* pResult) {
  switch (message) {
    case WM_DRAWITEM:
      pBox->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
      *pResult = TRUE;
      return TRUE;
    case WM_MEASUREITEM:
      pBox->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
      *pResult = TRUE;
      return TRUE;
    case WM_COMPAREITEM:
      *pResult = pBox->CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
      return TRUE;
    case WM_DELETEITEM:
      pBox->DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(lParam));
      *pResult = TRUE;
      return TRUE;
    default:
      return FALSE;
  }
}

void ItemText(HWND hWnd, UINT getLen, UINT getText, int nIndex, CString& rString) {
  int nLen = static_cast<int>(::SendMessageA(hWnd, getLen, nIndex, 0));
  if (nLen <= 0) {
    rString.Empty();
    return;
  }
  ::SendMessageA(hWnd, getText, nIndex, (LPARAM)rString.GetBuffer(nLen));
  rString.ReleaseBuffer(nLen);
}

}  // namespace

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (OwnerDrawNotify(this, message, lParam, pResult)) return TRUE;
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

void CListBox::GetText(int nIndex, CString& rString) const {
  ItemText(m_hWnd, LB_GETTEXTLEN, LB_GETTEXT, nIndex, rString);
}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (OwnerDrawNotify(this, message, lParam, pResult)) return TRUE;
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
  ItemText(m_hWnd, CB_GETLBTEXTLEN, CB_GETLBTEXT, nIndex, rString);
}
