#include <listctrl/CXComboList.h>

#include <listctrl/XListMessages.h>

#include <algorithm>

namespace {
constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverMs = 80;
}  // namespace

BEGIN_MESSAGE_MAP(CXComboList, CWnd)
  ON_WM_CREATE()
  ON_WM_LBUTTONDOWN()
  ON_WM_KILLFOCUS()
  ON_WM_VSCROLL()
  ON_WM_TIMER()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CXComboList::CXComboList(CWnd* pParent) : m_pParent(pParent) {}

CXComboList::~CXComboList() = default;

int CXComboList::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CWnd::OnCreate(lpCreateStruct) == -1) return -1;
  CRect empty(0, 0, 0, 0);
  // 0x50000100 and 0x50000001.
  if (!m_ListBox.Create(WS_CHILD | WS_VISIBLE | LBS_NOINTEGRALHEIGHT, empty, this, 0)) return -1;
  if (!m_wndSBVert.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, empty, this, 0)) return -1;
  CWnd* parent = GetParent();
  CFont* font = parent ? parent->GetFont() : nullptr;
  if (font && font->GetSafeHandle()) {
    m_ListBox.SetFont(font, FALSE);
    m_wndSBVert.SetFont(font, FALSE);
  }
  return 0;
}

void CXComboList::SetFont(CFont* pFont, BOOL bRedraw) {
  if (m_ListBox.m_hWnd) m_ListBox.SetFont(pFont, bRedraw);
}

CScrollBar* CXComboList::GetScrollBarCtrl(int) const { return const_cast<CScrollBar*>(&m_wndSBVert); }

void CXComboList::SendToOwner(UINT message) {
  if (m_pParent && ::IsWindow(m_pParent->m_hWnd)) m_pParent->SendMessage(message, 0, 0);
}

void CXComboList::Show(int nScrollBarWidth) {
  if (!m_ListBox.m_hWnd) return;
  m_ListBox.SetFocus();
  if (!m_bFirstTime) return;
  m_bFirstTime = FALSE;

  // A list box that cannot say its row height still gets rows of one pixel.
  const int rowHeight = std::max(m_ListBox.GetItemHeight(0), 1);
  CRect rect;
  GetClientRect(&rect);
  rect.top += 1;
  rect.bottom = rect.top + (rect.Height() / rowHeight) * rowHeight;
  CRect listRect = rect;
  listRect.left += 1;
  listRect.right -= nScrollBarWidth;
  const int visibleRows = listRect.Height() / rowHeight;

  CRect windowRect;
  GetWindowRect(&windowRect);
  windowRect.bottom = windowRect.top + listRect.Height() + 4;
  if (GetStyle() & WS_CHILD) GetParent()->ScreenToClient(&windowRect);
  MoveWindow(&windowRect);
  m_ListBox.MoveWindow(&listRect);
  m_ListBox.BringWindowToTop();

  CRect sbRect(listRect.right, listRect.top, listRect.right + nScrollBarWidth, listRect.bottom);
  m_wndSBVert.MoveWindow(&sbRect);

  const int count = m_ListBox.GetCount();
  const int selection = std::max(m_ListBox.GetCurSel(), 0);
  SCROLLINFO si = {};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = count < 0 ? 1 : count;
  si.nPage = static_cast<UINT>(visibleRows);
  si.nPos = selection;
  m_ListBox.SetTopIndex(selection > 0 ? selection - 1 : 0);
  ::SetScrollInfo(m_wndSBVert.m_hWnd, SB_CTL, &si, TRUE);
  m_wndSBVert.SetScrollPos(selection, TRUE);
  SetTimer(kHoverTimer, kHoverMs);
}

void CXComboList::SetScrollPosition(int nPos) {
  SCROLLINFO si = {};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE;
  ::GetScrollInfo(m_wndSBVert.m_hWnd, SB_CTL, &si);
  m_wndSBVert.SetScrollPos(std::min(std::max(nPos, 0), si.nMax), TRUE);
}

BOOL CXComboList::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_KEYDOWN && m_ListBox.m_hWnd) {
    const int current = std::max(m_ListBox.GetCurSel(), 0);
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    ::GetScrollInfo(m_wndSBVert.m_hWnd, SB_CTL, &si);
    // With no whole row visible a page still moves one row, never backwards.
    const int step = std::max(static_cast<int>(si.nPage) - 1, 1);
    int newPos = -1;
    bool moved = true;
    switch (pMsg->wParam) {
      case VK_RETURN:
        SendToOwner(WM_XCOMBOLIST_VK_RETURN);
        moved = false;
        break;
      case VK_ESCAPE:
        SendToOwner(WM_XCOMBOLIST_VK_ESCAPE);
        moved = false;
        break;
      case VK_PRIOR:
        newPos = current - step;
        break;
      case VK_NEXT:
        newPos = current + step;
        break;
      case VK_END:
        newPos = si.nMax;
        break;
      case VK_HOME:
        newPos = 0;
        break;
      case VK_UP:
        newPos = current - 1;
        break;
      case VK_DOWN:
        newPos = current + 1;
        break;
      default:
        moved = false;
        if (pMsg->wParam >= 'A' && pMsg->wParam <= 'Z') {
          char prefix[2] = {static_cast<char>(pMsg->wParam), 0};
          int found = m_ListBox.FindString(current, prefix);
          if (found != LB_ERR && found > current) {
            newPos = found;
            moved = true;
          }
        }
        break;
    }
    if (moved) {
      SendToOwner(WM_XCOMBOLIST_KEYDOWN);
      SetScrollPosition(newPos);
    }
  } else if (pMsg->message == WM_LBUTTONUP) {
    SendToOwner(WM_XCOMBOLIST_LBUTTONUP);
  }
  return CWnd::PreTranslateMessage(pMsg);
}

void CXComboList::OnLButtonDown(UINT nFlags, CPoint point) {
  SendToOwner(WM_XCOMBOLIST_LBUTTONUP);
  CWnd::OnLButtonDown(nFlags, point);
}

void CXComboList::OnKillFocus(CWnd* pNewWnd) {
  CWnd::OnKillFocus(pNewWnd);
  // The first losses come from the owner handing the focus over while it opens us.
  if (++m_nCount >= 3) SendToOwner(WM_XCOMBOLIST_VK_ESCAPE);
}

void CXComboList::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
  m_ListBox.SendMessage(WM_VSCROLL, MAKEWPARAM(nSBCode, nPos), 0);
  SCROLLINFO si = {};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  ::GetScrollInfo(m_wndSBVert.m_hWnd, SB_CTL, &si);
  int pos = m_wndSBVert.GetScrollPos();
  switch (nSBCode) {
    case SB_LINEUP:
      pos -= 1;
      break;
    case SB_LINEDOWN:
      pos += 1;
      break;
    case SB_PAGEUP:
      pos -= static_cast<int>(si.nPage);
      break;
    case SB_PAGEDOWN:
      pos += static_cast<int>(si.nPage);
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      pos = static_cast<int>(nPos);
      break;
    case SB_TOP:
      pos = 0;
      break;
    case SB_BOTTOM:
      pos = si.nMax;
      break;
    default:
      return;
  }
  SetScrollPosition(pos);
}

void CXComboList::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != kHoverTimer || !m_ListBox.m_hWnd) return;
  CPoint point;
  ::GetCursorPos(&point);
  ScreenToClient(&point);
  CRect listRect;
  m_ListBox.GetWindowRect(&listRect);
  ScreenToClient(&listRect);
  if (!listRect.PtInRect(point)) return;
  CPoint inList = point - listRect.TopLeft();
  BOOL outside = TRUE;
  UINT index = m_ListBox.ItemFromPoint(inList, outside);
  if (!outside && static_cast<int>(index) < m_ListBox.GetCount() &&
      static_cast<int>(index) != m_ListBox.GetCurSel()) {
    m_ListBox.SetCurSel(static_cast<int>(index));
  }
}

void CXComboList::OnDestroy() {
  KillTimer(kHoverTimer);
  if (m_ListBox.m_hWnd) m_ListBox.DestroyWindow();
  CWnd::OnDestroy();
}
