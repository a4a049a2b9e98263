#include "app/CPlayListView.h"

#include <shellapi.h>

namespace {

const int kIndexWidth = 24;
const int kLengthWidth = 42;
// The name column takes the rest: the width minus the two fixed columns.
const int kFixedColumnsWidth = 66;

int ScrollBarWidth() { return GetSystemMetrics(SM_CXVSCROLL); }

}  // namespace

CPlayListView::~CPlayListView() { Destroy(); }

bool CPlayListView::Create(HWND parent, const RECT& rect, UINT id) {
  if (m_host) return true;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  m_host =
      CreateWindowExA(0, "STATIC", "", kHostStyle, rect.left, rect.top, width, height, parent,
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  if (!m_host) return false;
  m_rect = rect;
  const RECT listRect = {0, 0, width + ScrollBarWidth(), height};
  if (!m_list.Create(kListStyle | LVS_OWNERDATA, listRect, CWnd::FromHandle(m_host), 1)) {
    DestroyWindow(m_host);
    m_host = nullptr;
    return false;
  }
  m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
  m_list.SetFocus();
  m_list.InsertColumn(0, "Index", LVCFMT_LEFT, kIndexWidth);
  m_list.InsertColumn(1, "SongName", LVCFMT_LEFT, width - kFixedColumnsWidth);
  m_list.InsertColumn(2, "TimeLen", LVCFMT_LEFT, kLengthWidth);
  if (CSubclassManager* manager = GetSubclassManager()) manager->Subclass(m_host, this);
  DragAcceptFiles(m_host, TRUE);
  return true;
}

void CPlayListView::Destroy() {
  if (!m_host) return;
  HWND host = m_host;
  m_host = nullptr;
  if (CSubclassManager* manager = GetSubclassManager()) manager->Unsubclass(host);
  if (m_list.m_hWnd) m_list.DestroyWindow();
  DestroyWindow(host);
}

void CPlayListView::SetColumnWidths() {
  const int width = m_rect.right - m_rect.left;
  m_list.SetColumnWidth(0, kIndexWidth);
  m_list.SetColumnWidth(1, width - kFixedColumnsWidth);
  m_list.SetColumnWidth(2, kLengthWidth);
}

void CPlayListView::Move(const RECT& rect) {
  m_rect = rect;
  if (!m_host) return;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  MoveWindow(m_host, rect.left, rect.top, width, height, TRUE);
  m_list.MoveWindow(0, 0, width + ScrollBarWidth(), height, TRUE);
  SetColumnWidths();
}

void CPlayListView::SetBkColor(COLORREF color) {
  if (!m_list.m_hWnd) return;
  m_list.SetBkColor(color);
  m_list.SetTextBkColor(color);
}

void CPlayListView::SetTextColor(COLORREF color) {
  if (m_list.m_hWnd) m_list.SetTextColor(color);
}

void CPlayListView::ScrollBy(int rows) {
  if (!m_list.m_hWnd || m_list.GetItemCount() == 0) return;
  RECT row = {};
  if (!m_list.GetItemRect(0, &row, LVIR_BOUNDS)) return;
  m_list.Scroll(CSize(0, rows * (row.bottom - row.top)));
  m_list.UpdateWindow();
}

LRESULT CPlayListView::OnSubclassMessage(HWND hwnd, UINT msg, WPARAM* wParam, LPARAM* lParam) {
  CSubclassManager* manager = GetSubclassManager();
  switch (msg) {
    case WM_MOUSEMOVE:
      if (m_list.IsDragging() && m_list.m_hWnd) {
        POINT point = {static_cast<short>(LOWORD(*lParam)), static_cast<short>(HIWORD(*lParam))};
        MapWindowPoints(hwnd, m_list.m_hWnd, &point, 1);
        m_list.DragStep(point);
      }
      break;
    case WM_SETFOCUS:
      if (m_list.m_hWnd) m_list.SetFocus();
      break;
    case WM_NOTIFY: {
      NMHDR* header = reinterpret_cast<NMHDR*>(*lParam);
      if (header && m_list.m_hWnd && header->hwndFrom == m_list.m_hWnd) return m_list.OnListNotify(header);
      break;
    }
    case WM_LBUTTONUP:
      m_list.EndDrag();
      break;
    case WM_DROPFILES:
      ::SendMessageA(::GetParent(hwnd), WM_DROPFILES, *wParam, *lParam);
      return 0;
    case WM_NCDESTROY: {
      // The parent went first: the host is going without Destroy.
      const LRESULT result = manager ? manager->CallOldProc(hwnd, msg, *wParam, *lParam) : 0;
      if (manager) manager->Unsubclass(hwnd);
      if (hwnd == m_host) m_host = nullptr;
      return result;
    }
    default:
      break;
  }
  return manager ? manager->CallOldProc(hwnd, msg, *wParam, *lParam) : 0;
}
