#include <updater/UpdateListCtrl.h>

#include <base/GdiHandles.h>
#include <listctrl/XListMessages.h>

namespace {
constexpr UINT_PTR kPressTimer = 1;   // follows the pressed button and keeps the drop-down's focus
constexpr UINT_PTR kCancelTimer = 2;  // closes the drop-down, text restored
constexpr UINT_PTR kCommitTimer = 3;  // keeps the choice and closes the drop-down
constexpr UINT_PTR kFollowTimer = 4;  // copies the choice while the drop-down stays
constexpr int kScrollBarWidth = 11;

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  ::MoveToEx(dc, x1, y1, nullptr);
  ::LineTo(dc, x2, y2);
}

// The arrow of the drop-down button: rows of 5, 3 and 1 pixels.
void DrawArrow(HDC dc, int x, int y) {
  base::GdiPen pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNTEXT)));
  base::ScopedSelect select(dc, pen.Get());
  for (int row = 0, width = 5; width > 0; ++row, width -= 2)
    Line(dc, x + row, y + row, x + row + width, y + row);
}
}  // namespace

BEGIN_MESSAGE_MAP(CUpdateListCtrl, CXListCtrl)
  ON_WM_DESTROY()
  ON_WM_TIMER()
  ON_REGISTERED_MESSAGE(WM_XCOMBOLIST_VK_ESCAPE, OnComboEscape)
  ON_REGISTERED_MESSAGE(WM_XCOMBOLIST_VK_RETURN, OnComboReturn)
  ON_REGISTERED_MESSAGE(WM_XCOMBOLIST_KEYDOWN, OnComboKeyDown)
  ON_REGISTERED_MESSAGE(WM_XCOMBOLIST_LBUTTONUP, OnComboReturn)
END_MESSAGE_MAP()

CUpdateListCtrl::CUpdateListCtrl() {
  // Unregistered numbers are 0 and would route WM_NULL to the combo handlers.
  RegisterXListMessages();
  SetEmptyListText("");
}

CUpdateListCtrl::~CUpdateListCtrl() {
  CloseComboList();
  m_ListboxFont.DeleteObject();
}

BOOL CUpdateListCtrl::DrawComboCell(int nItem, int nSubItem, CDC* pDC, CRect& rect, const XListCellData& cell,
                                    COLORREF crText, COLORREF crBkgnd) {
  if (CListCtrl::GetItemState(nItem, LVIS_SELECTED) & LVIS_SELECTED) {
    DrawComboBox(nItem, nSubItem, pDC, rect, cell);
  } else {
    DrawCellText(nItem, nSubItem, pDC, crText, crBkgnd, rect, &cell);
  }
  return TRUE;
}

void CUpdateListCtrl::DrawComboBox(int nItem, int nSubItem, CDC* pDC, CRect rect, const XListCellData& cell) {
  HDC dc = pDC->m_hDC;
  rect.left += 1;
  rect.right -= 2;
  rect.bottom += 1;
  {
    base::GdiPen pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
    base::ScopedSelect select(dc, pen.Get());
    Line(dc, rect.left, rect.top, rect.right, rect.top);
    Line(dc, rect.left, rect.bottom - 2, rect.right, rect.bottom - 2);
    Line(dc, rect.left, rect.top, rect.left, rect.bottom - 2);
    Line(dc, rect.right, rect.top, rect.right, rect.bottom - 1);
  }
  const CRect box = rect;
  CRect inner = rect;
  inner.DeflateRect(2, 2);
  pDC->FillSolidRect(&inner, RGB(255, 255, 255));

  CRect button(rect.right - rect.Height() + 1, rect.top, rect.right + 1, rect.bottom);
  button.DeflateRect(2, 2);

  CString text = CListCtrl::GetItemText(nItem, nSubItem);
  if (text.IsEmpty() && cell.psa && cell.nInitialComboSel >= 0 &&
      cell.nInitialComboSel < cell.psa->GetSize()) {
    text = cell.psa->GetAt(cell.nInitialComboSel);
    CListCtrl::SetItemText(nItem, nSubItem, text);
  }
  if (!text.IsEmpty()) {
    CRect textRect(rect.left + 2, rect.top - 1, button.left - 1, rect.bottom);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(GetEnabled(nItem) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    ::DrawTextA(dc, text, text.GetLength(), &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }

  if (cell.bComboIsClicked) {
    m_rectComboButton = button;
    base::GdiBrush frame(::CreateSolidBrush(::GetSysColor(COLOR_BTNSHADOW)));
    ::FrameRect(dc, &button, frame.Get());
    CRect face = button;
    face.DeflateRect(1, 1);
    pDC->FillSolidRect(&face, ::GetSysColor(COLOR_BTNFACE));
    DrawArrow(dc, face.left + 3, face.top + 4);
    if (!m_pListBox) OpenComboList(nItem, nSubItem, pDC, box, cell);
  } else {
    ::DrawEdge(dc, &button, EDGE_RAISED, BF_RECT);
    button.DeflateRect(2, 2);
    pDC->FillSolidRect(&button, ::GetSysColor(COLOR_BTNFACE));
    DrawArrow(dc, button.left + 1, button.top + 2);
  }
}

void CUpdateListCtrl::OpenComboList(int nItem, int nSubItem, CDC* pDC, const CRect& box,
                                    const XListCellData& cell) {
  m_nComboItem = nItem;
  m_nComboSubItem = nSubItem;
  CRect rect(box.left, box.top + box.Height() - 1, box.right - 1, 0);
  rect.bottom = rect.top + (box.Height() - 2) * cell.nComboListHeight;
  ClientToScreen(&rect);
  m_pListBox = new CXComboList(this);
  const char* cls = AfxRegisterWndClass(CS_SAVEBITS | CS_CLASSDC, ::LoadCursor(nullptr, IDC_ARROW));
  if (!m_pListBox->CreateEx(0, cls, "", WS_POPUP | WS_VISIBLE | WS_BORDER, rect, this, 0)) {
    delete m_pListBox;
    m_pListBox = nullptr;
    return;
  }
  m_strInitialString.Empty();
  if (!m_bFontIsCreated) {
    LOGFONTA lf = {};
    if (::GetObjectA(::GetCurrentObject(pDC->m_hDC, OBJ_FONT), sizeof(lf), &lf) &&
        m_ListboxFont.CreateFontIndirect(&lf)) {
      m_bFontIsCreated = TRUE;
    }
  }
  if (m_bFontIsCreated) m_pListBox->SetFont(&m_ListboxFont, FALSE);
  CListBox& list = m_pListBox->m_ListBox;
  if (cell.psa) {
    for (INT_PTR i = 0; i < cell.psa->GetSize(); ++i) {
      const CString& s = cell.psa->GetAt(i);
      if (!s.IsEmpty()) list.AddString(s);
    }
  }
  CString text = CListCtrl::GetItemText(nItem, nSubItem);
  int selection = 0;
  if (!text.IsEmpty()) {
    selection = list.FindStringExact(-1, text);
    if (selection == LB_ERR) selection = 0;
  }
  list.SetCurSel(selection);
  if (list.GetCount() > 0) {
    list.GetText(selection, m_strInitialString);
    if (text.IsEmpty()) CListCtrl::SetItemText(nItem, nSubItem, m_strInitialString);
  }
  m_pListBox->Show(kScrollBarWidth);
}

void CUpdateListCtrl::CloseComboList() {
  if (!m_pListBox) return;
  CXComboList* combo = m_pListBox;
  m_pListBox = nullptr;
  if (combo->m_hWnd && ::IsWindow(combo->m_hWnd)) combo->DestroyWindow();
  delete combo;
}

void CUpdateListCtrl::OnCellClicked(int nItem, int nSubItem, CPoint point) {
  XListCellData* cell = nItem >= 0 ? Cell(nItem, nSubItem) : nullptr;
  if (!cell || !cell->bCombo) {
    if (m_pListBox) OnComboEscape(0, 0);
    return;
  }
  CloseComboList();
  CRect rect;
  if (!GetCellRect(nItem, nSubItem, LVIR_BOUNDS, rect)) return;
  if (point.x >= rect.right - rect.Height()) {
    cell->bComboIsClicked = 1;
    m_bComboButtonDown = 1;
    m_nComboItem = nItem;
    m_nComboSubItem = nSubItem;
    UpdateSubItem(nItem, nSubItem);
    SetTimer(kPressTimer, 100);
  }
}

BOOL CUpdateListCtrl::CopyComboSelection() {
  if (!m_pListBox || !m_pListBox->m_ListBox.m_hWnd) return FALSE;
  const int selection = m_pListBox->m_ListBox.GetCurSel();
  if (selection == LB_ERR) return FALSE;
  CString text;
  m_pListBox->m_ListBox.GetText(selection, text);
  if (!ValidIndices(m_nComboItem, m_nComboSubItem)) return FALSE;
  SetSubItemText(m_nComboItem, m_nComboSubItem, text);
  return TRUE;
}

void CUpdateListCtrl::OnTimer(UINT_PTR nIDEvent) {
  switch (nIDEvent) {
    case kPressTimer:
      if (m_bComboButtonDown) {
        CPoint point;
        ::GetCursorPos(&point);
        ScreenToClient(&point);
        if (!m_rectComboButton.PtInRect(point)) EndComboEdit();
      } else if (m_pListBox) {
        m_pListBox->Show(kScrollBarWidth);
      } else {
        KillTimer(kPressTimer);
      }
      break;
    case kCancelTimer:
      KillTimer(kCancelTimer);
      CloseComboList();
      EndComboEdit();
      break;
    case kCommitTimer:
      KillTimer(kCommitTimer);
      if (CopyComboSelection()) {
        CWnd* target = GetParent() ? GetParent() : GetOwner();
        if (target && ::IsWindow(target->m_hWnd))
          target->SendMessage(WM_XLISTCTRL_COMBO_SELECTION, m_nComboItem, m_nComboSubItem);
      }
      CloseComboList();
      EndComboEdit();
      break;
    case kFollowTimer:
      KillTimer(kFollowTimer);
      CopyComboSelection();
      break;
    default:
      CXListCtrl::OnTimer(nIDEvent);
      break;
  }
}

void CUpdateListCtrl::EndComboEdit() {
  static bool busy = false;
  if (busy) return;
  busy = true;
  if (m_bComboButtonDown) {
    if (XListCellData* cell = Cell(m_nComboItem, m_nComboSubItem)) {
      cell->bComboIsClicked = 0;
      UpdateSubItem(m_nComboItem, m_nComboSubItem);
    }
  }
  m_bComboButtonDown = 0;
  busy = false;
}

LRESULT CUpdateListCtrl::OnComboEscape(WPARAM, LPARAM) {
  KillTimer(kPressTimer);
  SetTimer(kCancelTimer, 50);
  if (ValidIndices(m_nComboItem, m_nComboSubItem))
    SetSubItemText(m_nComboItem, m_nComboSubItem, m_strInitialString);
  return 0;
}

LRESULT CUpdateListCtrl::OnComboReturn(WPARAM, LPARAM) {
  KillTimer(kPressTimer);
  SetTimer(kCommitTimer, 50);
  return 0;
}

LRESULT CUpdateListCtrl::OnComboKeyDown(WPARAM, LPARAM) {
  SetTimer(kFollowTimer, 50);
  return 0;
}

void CUpdateListCtrl::OnDestroy() {
  CloseComboList();
  m_ListboxFont.DeleteObject();
  m_bFontIsCreated = FALSE;
  CXListCtrl::OnDestroy();
}
