#include <afxwin.h>
#include <afxcmn.h>

IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  AfxInitCommonControls();
  return CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | dwStyle, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd->GetSafeHwnd(), nullptr);
}

void CToolTipCtrl::FillInToolInfo(TOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool) const {
  memset(&ti, 0, sizeof(ti));
  ti.cbSize = AFX_TOOLINFO_SIZE;
  ti.hwnd = pWnd->GetSafeHwnd();
  if (nIDTool == 0) {
    // The whole window is the tool.
    ti.uFlags = TTF_IDISHWND;
    ti.uId = reinterpret_cast<UINT_PTR>(ti.hwnd);
    ti.hwnd = ::GetParent(ti.hwnd) != nullptr ? ::GetParent(ti.hwnd) : ti.hwnd;
  } else {
    ti.uId = nIDTool;
  }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  TOOLINFOA ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  if (lpRectTool != nullptr) ti.rect = *lpRectTool;
  ti.uFlags |= (ti.uFlags & TTF_IDISHWND) ? TTF_SUBCLASS : 0;
  ti.hinst = AfxGetResourceHandle();
  ti.lpszText = const_cast<LPSTR>(lpszText);
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  return AddTool(pWnd, MAKEINTRESOURCE(nIDText), lpRectTool, nIDTool);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool) {
  TOOLINFOA ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  SendMessage(TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
  TOOLINFOA ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  ti.hinst = AfxGetResourceHandle();
  ti.lpszText = const_cast<LPSTR>(lpszText);
  SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect) {
  TOOLINFOA ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  ti.rect = *lpRect;
  SendMessage(TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
}
