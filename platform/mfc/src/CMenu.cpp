#include <afxwin.h>
#include <afxcmn.h>

#include "HandleMap.h"

IMPLEMENT_DYNCREATE(CMenu, CObject)

CMenu::~CMenu() { DestroyMenu(); }

HMENU CMenu::GetSafeHmenu() const { return this == nullptr ? nullptr : m_hMenu; }

CMenu* PASCAL CMenu::FromHandle(HMENU hMenu) {
  return CTempMap<CMenu, HMENU>::ForThisThread().FromHandle(hMenu);
}

BOOL CMenu::Attach(HMENU hMenu) {
  if (hMenu == nullptr) return FALSE;
  DestroyMenu();
  m_hMenu = hMenu;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU hMenu = m_hMenu;
  m_hMenu = nullptr;
  return hMenu;
}

BOOL CMenu::DestroyMenu() {
  if (m_hMenu == nullptr) return FALSE;
  return ::DestroyMenu(Detach());
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
  int nLen = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
  if (nLen <= 0) {
    rString.Empty();
    return 0;
  }
  ::GetMenuStringA(m_hMenu, nIDItem, rString.GetBuffer(nLen), nLen + 1, nFlags);
  rString.ReleaseBuffer();
  return rString.GetLength();
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
  return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd->GetSafeHwnd(), lpRect);
}
