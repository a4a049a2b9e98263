// The ON_... entries of message maps. Each cracks its message the way the
// framework's handler signatures expect. Add a macro here when a window needs
// one more message.
#pragma once

// Signed coordinates, as mouse messages pack them (negative on multiple monitors).
#define AFX_POINT_ARG() CPoint((int)(short)LOWORD(lParam_), (int)(short)HIWORD(lParam_))

// Generic and command messages
#define ON_MESSAGE(message, memberFxn) \
  AFX_MSG_ENTRY(message, 0, 0, 0, *pResult_ = pThis_->memberFxn(wParam_, lParam_); return TRUE;)
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                                         \
  {                                                                                                \
    0xC000, 0, 0, 0, AFX_MSG_THUNK(*pResult_ = pThis_->memberFxn(wParam_, lParam_); return TRUE;), \
        &nMessageVariable                                                                          \
  }                                                                                                \
  ,
#define ON_COMMAND(id, memberFxn) AFX_MSG_ENTRY(WM_COMMAND, 0, id, id, pThis_->memberFxn(); return TRUE;)
#define ON_COMMAND_EX(id, memberFxn) AFX_MSG_ENTRY(WM_COMMAND, 0, id, id, return pThis_->memberFxn(nID_);)
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
  AFX_MSG_ENTRY(WM_COMMAND, 0, id, idLast, pThis_->memberFxn(nID_); return TRUE;)
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
  AFX_MSG_ENTRY(WM_COMMAND, wNotifyCode, id, id, pThis_->memberFxn(); return TRUE;)
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn) \
  AFX_MSG_ENTRY(WM_COMMAND, wNotifyCode, id, idLast, pThis_->memberFxn(nID_); return TRUE;)
#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                   \
  AFX_MSG_ENTRY(WM_NOTIFY, wNotifyCode, id, id,                                 \
                pThis_->memberFxn(reinterpret_cast<NMHDR*>(lParam_), pResult_); \
                return TRUE;)
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn)                           \
  AFX_MSG_ENTRY(WM_NOTIFY, wNotifyCode, id, idLast,                                   \
                pThis_->memberFxn(nID_, reinterpret_cast<NMHDR*>(lParam_), pResult_); \
                return TRUE;)
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn) \
  AFX_MSG_ENTRY(WM_NOTIFY, wNotifyCode, id, id,  \
                return pThis_->memberFxn(nID_, reinterpret_cast<NMHDR*>(lParam_), pResult_);)
#define ON_NOTIFY_EX_RANGE(wNotifyCode, id, idLast, memberFxn) \
  AFX_MSG_ENTRY(WM_NOTIFY, wNotifyCode, id, idLast,            \
                return pThis_->memberFxn(nID_, reinterpret_cast<NMHDR*>(lParam_), pResult_);)

// Control notifications
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)

// Reflected notifications, handled by the control's own map. The _EX forms
// answer FALSE to let the parent's map see the notification too.
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn) \
  AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_COMMAND, wNotifyCode, 0, 0, pThis_->memberFxn(); return TRUE;)
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn) \
  AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_COMMAND, wNotifyCode, 0, 0, return pThis_->memberFxn();)
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                               \
  AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, wNotifyCode, 0, 0,                 \
                pThis_->memberFxn(reinterpret_cast<NMHDR*>(lParam_), pResult_); \
                return TRUE;)
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn)            \
  AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, wNotifyCode, 0, 0, \
                return pThis_->memberFxn(reinterpret_cast<NMHDR*>(lParam_), pResult_);)
// A NULL brush means "not handled": the parent's OnCtlColor decides then.
#define ON_WM_CTLCOLOR_REFLECT()                                                              \
  AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0,                                       \
                AFX_CTLCOLOR* pCtl_ = reinterpret_cast<AFX_CTLCOLOR*>(lParam_);               \
                HBRUSH hbr_ = pThis_->CtlColor(CDC::FromHandle(pCtl_->hDC), pCtl_->nCtlType); \
                *pResult_ = reinterpret_cast<LRESULT>(hbr_); return hbr_ != NULL;)
#define ON_WM_DRAWITEM_REFLECT()                                               \
  AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_DRAWITEM, 0, 0, 0,                        \
                pThis_->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam_)); \
                *pResult_ = TRUE; return TRUE;)
#define ON_WM_MEASUREITEM_REFLECT()                                                  \
  AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_MEASUREITEM, 0, 0, 0,                           \
                pThis_->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam_)); \
                *pResult_ = TRUE; return TRUE;)
#define ON_WM_HSCROLL_REFLECT()                                           \
  AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_HSCROLL, 0, 0, 0,                    \
                pThis_->HScroll(LOWORD(wParam_), (short)HIWORD(wParam_)); \
                return TRUE;)
#define ON_WM_VSCROLL_REFLECT()                                           \
  AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_VSCROLL, 0, 0, 0,                    \
                pThis_->VScroll(LOWORD(wParam_), (short)HIWORD(wParam_)); \
                return TRUE;)

// Window messages
#define ON_WM_CREATE()                                                                                  \
  AFX_MSG_ENTRY(WM_CREATE, 0, 0, 0,                                                                     \
                *pResult_ = pThis_->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam_)) == -1 ? -1 : 0; \
                return TRUE;)
#define ON_WM_DESTROY() AFX_MSG_ENTRY(WM_DESTROY, 0, 0, 0, pThis_->OnDestroy(); return TRUE;)
#define ON_WM_NCDESTROY() AFX_MSG_ENTRY(WM_NCDESTROY, 0, 0, 0, pThis_->OnNcDestroy(); return TRUE;)
#define ON_WM_CLOSE() AFX_MSG_ENTRY(WM_CLOSE, 0, 0, 0, pThis_->OnClose(); return TRUE;)
#define ON_WM_PAINT() AFX_MSG_ENTRY(WM_PAINT, 0, 0, 0, pThis_->OnPaint(); return TRUE;)
#define ON_WM_NCPAINT() AFX_MSG_ENTRY(WM_NCPAINT, 0, 0, 0, pThis_->OnNcPaint(); return TRUE;)
#define ON_WM_ERASEBKGND()                                                                         \
  AFX_MSG_ENTRY(WM_ERASEBKGND, 0, 0, 0,                                                            \
                *pResult_ = pThis_->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam_))); \
                return TRUE;)
#define ON_WM_TIMER() AFX_MSG_ENTRY(WM_TIMER, 0, 0, 0, pThis_->OnTimer(wParam_); return TRUE;)
#define ON_WM_SIZE()                                                                           \
  AFX_MSG_ENTRY(WM_SIZE, 0, 0, 0,                                                              \
                pThis_->OnSize((UINT)wParam_, (short)LOWORD(lParam_), (short)HIWORD(lParam_)); \
                return TRUE;)
#define ON_WM_SIZING()                                                                                  \
  AFX_MSG_ENTRY(WM_SIZING, 0, 0, 0, pThis_->OnSizing((UINT)wParam_, reinterpret_cast<LPRECT>(lParam_)); \
                *pResult_ = TRUE; return TRUE;)
#define ON_WM_MOVE()                                                                              \
  AFX_MSG_ENTRY(WM_MOVE, 0, 0, 0, pThis_->OnMove((short)LOWORD(lParam_), (short)HIWORD(lParam_)); \
                return TRUE;)
#define ON_WM_MOVING()                                                                                  \
  AFX_MSG_ENTRY(WM_MOVING, 0, 0, 0, pThis_->OnMoving((UINT)wParam_, reinterpret_cast<LPRECT>(lParam_)); \
                *pResult_ = TRUE; return TRUE;)
#define ON_WM_WINDOWPOSCHANGING()                                                   \
  AFX_MSG_ENTRY(WM_WINDOWPOSCHANGING, 0, 0, 0,                                      \
                pThis_->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam_)); \
                return TRUE;)
#define ON_WM_WINDOWPOSCHANGED()                                                   \
  AFX_MSG_ENTRY(WM_WINDOWPOSCHANGED, 0, 0, 0,                                      \
                pThis_->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam_)); \
                return TRUE;)
#define ON_WM_GETMINMAXINFO()                                                                               \
  AFX_MSG_ENTRY(WM_GETMINMAXINFO, 0, 0, 0, pThis_->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam_)); \
                return TRUE;)
#define ON_WM_SHOWWINDOW() \
  AFX_MSG_ENTRY(WM_SHOWWINDOW, 0, 0, 0, pThis_->OnShowWindow((BOOL)wParam_, (UINT)lParam_); return TRUE;)
#define ON_WM_ACTIVATE()                                                                               \
  AFX_MSG_ENTRY(WM_ACTIVATE, 0, 0, 0,                                                                  \
                pThis_->OnActivate(LOWORD(wParam_), CWnd::FromHandle(reinterpret_cast<HWND>(lParam_)), \
                                   (BOOL)HIWORD(wParam_));                                             \
                return TRUE;)
#define ON_WM_ACTIVATEAPP() \
  AFX_MSG_ENTRY(WM_ACTIVATEAPP, 0, 0, 0, pThis_->OnActivateApp((BOOL)wParam_, (DWORD)lParam_); return TRUE;)
#define ON_WM_MOUSEACTIVATE()                                                                          \
  AFX_MSG_ENTRY(WM_MOUSEACTIVATE, 0, 0, 0,                                                             \
                *pResult_ = pThis_->OnMouseActivate(CWnd::FromHandle(reinterpret_cast<HWND>(wParam_)), \
                                                    LOWORD(lParam_), HIWORD(lParam_));                 \
                return TRUE;)
#define ON_WM_ENABLE() AFX_MSG_ENTRY(WM_ENABLE, 0, 0, 0, pThis_->OnEnable((BOOL)wParam_); return TRUE;)
#define ON_WM_SETFOCUS()                                                                                     \
  AFX_MSG_ENTRY(WM_SETFOCUS, 0, 0, 0, pThis_->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam_))); \
                return TRUE;)
#define ON_WM_KILLFOCUS()                                                               \
  AFX_MSG_ENTRY(WM_KILLFOCUS, 0, 0, 0,                                                  \
                pThis_->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam_))); \
                return TRUE;)
#define ON_WM_CAPTURECHANGED()                                                               \
  AFX_MSG_ENTRY(WM_CAPTURECHANGED, 0, 0, 0,                                                  \
                pThis_->OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(lParam_))); \
                return TRUE;)
#define ON_WM_SETCURSOR()                                                                          \
  AFX_MSG_ENTRY(WM_SETCURSOR, 0, 0, 0,                                                             \
                *pResult_ = pThis_->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam_)), \
                                                LOWORD(lParam_), HIWORD(lParam_));                 \
                return TRUE;)
#define ON_WM_MOUSEMOVE() \
  AFX_MSG_ENTRY(WM_MOUSEMOVE, 0, 0, 0, pThis_->OnMouseMove((UINT)wParam_, AFX_POINT_ARG()); return TRUE;)
#define ON_WM_LBUTTONDOWN() \
  AFX_MSG_ENTRY(WM_LBUTTONDOWN, 0, 0, 0, pThis_->OnLButtonDown((UINT)wParam_, AFX_POINT_ARG()); return TRUE;)
#define ON_WM_LBUTTONUP() \
  AFX_MSG_ENTRY(WM_LBUTTONUP, 0, 0, 0, pThis_->OnLButtonUp((UINT)wParam_, AFX_POINT_ARG()); return TRUE;)
#define ON_WM_LBUTTONDBLCLK()                                                                       \
  AFX_MSG_ENTRY(WM_LBUTTONDBLCLK, 0, 0, 0, pThis_->OnLButtonDblClk((UINT)wParam_, AFX_POINT_ARG()); \
                return TRUE;)
#define ON_WM_RBUTTONDOWN() \
  AFX_MSG_ENTRY(WM_RBUTTONDOWN, 0, 0, 0, pThis_->OnRButtonDown((UINT)wParam_, AFX_POINT_ARG()); return TRUE;)
#define ON_WM_RBUTTONUP() \
  AFX_MSG_ENTRY(WM_RBUTTONUP, 0, 0, 0, pThis_->OnRButtonUp((UINT)wParam_, AFX_POINT_ARG()); return TRUE;)
#define ON_WM_RBUTTONDBLCLK()                                                                       \
  AFX_MSG_ENTRY(WM_RBUTTONDBLCLK, 0, 0, 0, pThis_->OnRButtonDblClk((UINT)wParam_, AFX_POINT_ARG()); \
                return TRUE;)
#define ON_WM_MBUTTONDOWN() \
  AFX_MSG_ENTRY(WM_MBUTTONDOWN, 0, 0, 0, pThis_->OnMButtonDown((UINT)wParam_, AFX_POINT_ARG()); return TRUE;)
#define ON_WM_MBUTTONUP() \
  AFX_MSG_ENTRY(WM_MBUTTONUP, 0, 0, 0, pThis_->OnMButtonUp((UINT)wParam_, AFX_POINT_ARG()); return TRUE;)
#define ON_WM_MOUSEWHEEL()                                                                                  \
  AFX_MSG_ENTRY(WM_MOUSEWHEEL, 0, 0, 0,                                                                     \
                *pResult_ = pThis_->OnMouseWheel(LOWORD(wParam_), (short)HIWORD(wParam_), AFX_POINT_ARG()); \
                return TRUE;)
#define ON_WM_NCHITTEST() \
  AFX_MSG_ENTRY(WM_NCHITTEST, 0, 0, 0, *pResult_ = pThis_->OnNcHitTest(AFX_POINT_ARG()); return TRUE;)
#define ON_WM_NCCALCSIZE()                                                                          \
  AFX_MSG_ENTRY(WM_NCCALCSIZE, 0, 0, 0,                                                             \
                pThis_->OnNcCalcSize((BOOL)wParam_, reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam_)); \
                return TRUE;)
#define ON_WM_NCACTIVATE() \
  AFX_MSG_ENTRY(WM_NCACTIVATE, 0, 0, 0, *pResult_ = pThis_->OnNcActivate((BOOL)wParam_); return TRUE;)
#define ON_WM_NCMOUSEMOVE() \
  AFX_MSG_ENTRY(WM_NCMOUSEMOVE, 0, 0, 0, pThis_->OnNcMouseMove((UINT)wParam_, AFX_POINT_ARG()); return TRUE;)
#define ON_WM_NCLBUTTONDOWN()                                                                       \
  AFX_MSG_ENTRY(WM_NCLBUTTONDOWN, 0, 0, 0, pThis_->OnNcLButtonDown((UINT)wParam_, AFX_POINT_ARG()); \
                return TRUE;)
#define ON_WM_NCLBUTTONUP() \
  AFX_MSG_ENTRY(WM_NCLBUTTONUP, 0, 0, 0, pThis_->OnNcLButtonUp((UINT)wParam_, AFX_POINT_ARG()); return TRUE;)
#define ON_WM_NCLBUTTONDBLCLK()                                                                         \
  AFX_MSG_ENTRY(WM_NCLBUTTONDBLCLK, 0, 0, 0, pThis_->OnNcLButtonDblClk((UINT)wParam_, AFX_POINT_ARG()); \
                return TRUE;)
#define ON_WM_NCRBUTTONUP() \
  AFX_MSG_ENTRY(WM_NCRBUTTONUP, 0, 0, 0, pThis_->OnNcRButtonUp((UINT)wParam_, AFX_POINT_ARG()); return TRUE;)
#define ON_WM_KEYDOWN()                                                                                  \
  AFX_MSG_ENTRY(WM_KEYDOWN, 0, 0, 0, pThis_->OnKeyDown((UINT)wParam_, LOWORD(lParam_), HIWORD(lParam_)); \
                return TRUE;)
#define ON_WM_KEYUP()                                                                                \
  AFX_MSG_ENTRY(WM_KEYUP, 0, 0, 0, pThis_->OnKeyUp((UINT)wParam_, LOWORD(lParam_), HIWORD(lParam_)); \
                return TRUE;)
#define ON_WM_CHAR()                                                                               \
  AFX_MSG_ENTRY(WM_CHAR, 0, 0, 0, pThis_->OnChar((UINT)wParam_, LOWORD(lParam_), HIWORD(lParam_)); \
                return TRUE;)
#define ON_WM_SYSKEYDOWN()                                                             \
  AFX_MSG_ENTRY(WM_SYSKEYDOWN, 0, 0, 0,                                                \
                pThis_->OnSysKeyDown((UINT)wParam_, LOWORD(lParam_), HIWORD(lParam_)); \
                return TRUE;)
#define ON_WM_SYSCOMMAND() \
  AFX_MSG_ENTRY(WM_SYSCOMMAND, 0, 0, 0, pThis_->OnSysCommand((UINT)wParam_, lParam_); return TRUE;)
#define ON_WM_GETDLGCODE() \
  AFX_MSG_ENTRY(WM_GETDLGCODE, 0, 0, 0, *pResult_ = pThis_->OnGetDlgCode(); return TRUE;)
#define ON_WM_HSCROLL()                                                                                    \
  AFX_MSG_ENTRY(                                                                                           \
      WM_HSCROLL, 0, 0, 0,                                                                                 \
      pThis_->OnHScroll(LOWORD(wParam_), (short)HIWORD(wParam_),                                           \
                        reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam_)))); \
      return TRUE;)
#define ON_WM_VSCROLL()                                                                                    \
  AFX_MSG_ENTRY(                                                                                           \
      WM_VSCROLL, 0, 0, 0,                                                                                 \
      pThis_->OnVScroll(LOWORD(wParam_), (short)HIWORD(wParam_),                                           \
                        reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam_)))); \
      return TRUE;)
#define ON_WM_CTLCOLOR()                                                                              \
  AFX_MSG_ENTRY(WM_CTLCOLOR, 0, 0, 0, AFX_CTLCOLOR* pCtl_ = reinterpret_cast<AFX_CTLCOLOR*>(lParam_); \
                *pResult_ = reinterpret_cast<LRESULT>(pThis_->OnCtlColor(                             \
                    CDC::FromHandle(pCtl_->hDC), CWnd::FromHandle(pCtl_->hWnd), pCtl_->nCtlType));    \
                return TRUE;)
#define ON_WM_DRAWITEM()                                                                       \
  AFX_MSG_ENTRY(WM_DRAWITEM, 0, 0, 0,                                                          \
                pThis_->OnDrawItem((int)wParam_, reinterpret_cast<LPDRAWITEMSTRUCT>(lParam_)); \
                *pResult_ = TRUE; return TRUE;)
#define ON_WM_MEASUREITEM()                                                                          \
  AFX_MSG_ENTRY(WM_MEASUREITEM, 0, 0, 0,                                                             \
                pThis_->OnMeasureItem((int)wParam_, reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam_)); \
                *pResult_ = TRUE; return TRUE;)
#define ON_WM_CONTEXTMENU()                                                                                \
  AFX_MSG_ENTRY(WM_CONTEXTMENU, 0, 0, 0,                                                                   \
                pThis_->OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(wParam_)), AFX_POINT_ARG()); \
                return TRUE;)
#define ON_WM_INITMENUPOPUP()                                                                \
  AFX_MSG_ENTRY(WM_INITMENUPOPUP, 0, 0, 0,                                                   \
                pThis_->OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(wParam_)), \
                                        LOWORD(lParam_), (BOOL)HIWORD(lParam_));             \
                return TRUE;)
#define ON_WM_DROPFILES() \
  AFX_MSG_ENTRY(WM_DROPFILES, 0, 0, 0, pThis_->OnDropFiles(reinterpret_cast<HDROP>(wParam_)); return TRUE;)
#define ON_WM_COPYDATA()                                                                          \
  AFX_MSG_ENTRY(WM_COPYDATA, 0, 0, 0,                                                             \
                *pResult_ = pThis_->OnCopyData(CWnd::FromHandle(reinterpret_cast<HWND>(wParam_)), \
                                               reinterpret_cast<COPYDATASTRUCT*>(lParam_));       \
                return TRUE;)
#define ON_WM_SYSCOLORCHANGE() \
  AFX_MSG_ENTRY(WM_SYSCOLORCHANGE, 0, 0, 0, pThis_->OnSysColorChange(); return TRUE;)
#define ON_WM_QUERYDRAGICON()                                                                                \
  AFX_MSG_ENTRY(WM_QUERYDRAGICON, 0, 0, 0, *pResult_ = reinterpret_cast<LRESULT>(pThis_->OnQueryDragIcon()); \
                return TRUE;)
#define ON_WM_QUERYENDSESSION() \
  AFX_MSG_ENTRY(WM_QUERYENDSESSION, 0, 0, 0, *pResult_ = pThis_->OnQueryEndSession(); return TRUE;)
#define ON_WM_ENDSESSION() \
  AFX_MSG_ENTRY(WM_ENDSESSION, 0, 0, 0, pThis_->OnEndSession((BOOL)wParam_); return TRUE;)
#define ON_WM_CANCELMODE() AFX_MSG_ENTRY(WM_CANCELMODE, 0, 0, 0, pThis_->OnCancelMode(); return TRUE;)
#define ON_WM_HELPINFO()                                                                                    \
  AFX_MSG_ENTRY(WM_HELPINFO, 0, 0, 0, *pResult_ = pThis_->OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam_)); \
                return TRUE;)
#define ON_WM_PARENTNOTIFY() \
  AFX_MSG_ENTRY(WM_PARENTNOTIFY, 0, 0, 0, pThis_->OnParentNotify(LOWORD(wParam_), lParam_); return TRUE;)
#define ON_WM_SETTINGCHANGE()                                                               \
  AFX_MSG_ENTRY(WM_SETTINGCHANGE, 0, 0, 0,                                                  \
                pThis_->OnSettingChange((UINT)wParam_, reinterpret_cast<LPCTSTR>(lParam_)); \
                return TRUE;)
