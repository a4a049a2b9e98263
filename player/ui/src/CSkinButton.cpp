#include "ui/CSkinButton.h"

#include <map>
#include <memory>

#include "ui/CSkinImage.h"
#include "ui/CSkinManager.h"
#include "ui/CSkinToolTip.h"
#include "ui/CaptionElements.h"
#include "ui/GdiplusInclude.h"
#include "base/Guarded.h"

namespace {

std::map<HWND, CSkinButton*>& SkinButtonMap() {
  static std::map<HWND, CSkinButton*> map;
  return map;
}

// The buttons are one user of the tooltip window the element lists share: a
// second tooltip window would cost a start another window and its set-up.
// The buttons' use begins with the first button that registers a tool and
// ends when the last such button goes.
std::unique_ptr<CSkinToolTip> g_buttonTipUse;
int g_buttonTipUsers = 0;
int g_buttonToolIds = 0;

HWND ButtonTip() { return g_buttonTipUse ? CSkinToolTip::GetWindow() : nullptr; }

}  // namespace

HWND CSkinButton::GetSharedToolTip() { return ButtonTip(); }

CSkinButton::~CSkinButton() {
  RemoveTool();
  if (m_hwnd) {
    // The standard procedure goes back first, so the window sees its own
    // WM_DESTROY and WM_NCDESTROY.
    if (::IsWindow(m_hwnd) && m_oldProc)
      ::SetWindowLongPtrA(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
    SkinButtonMap().erase(m_hwnd);
    if (::IsWindow(m_hwnd)) ::DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
  }
}

void CSkinButton::SetToolTipText(const char* text, const char* checkedText) {
  m_tipText = text ? text : "";
  if (checkedText) {
    m_checkedTipText = checkedText;
    m_hasCheckedTipText = true;
  }
}

int CSkinButton::Create(int id, HWND parent, int x, int y, int cx, int cy) {
  HWND hwnd = ::CreateWindowExA(0, "button", nullptr, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, x, y, cx, cy,
                                parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                ::GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) return 1;
  m_hwnd = hwnd;
  m_oldProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
  ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CSkinButton::SubclassProc));
  SkinButtonMap()[hwnd] = this;
  if (m_hasToolTip) AddTool();
  return 0;
}

void CSkinButton::AddTool() {
  if (m_toolAdded || !m_hwnd) return;
  if (!g_buttonTipUse) g_buttonTipUse = std::make_unique<CSkinToolTip>();
  if (g_buttonTipUse->Create(::GetModuleHandleA(nullptr)) != 0) {
    if (g_buttonTipUsers == 0) g_buttonTipUse.reset();
    return;
  }
  if (m_toolId == 0) m_toolId = ++g_buttonToolIds;
  RECT client = {};
  ::GetClientRect(m_hwnd, &client);
  CSkinToolTip::AddTool(m_hwnd, m_tipText, client, m_toolId);
  m_toolAdded = true;
  ++g_buttonTipUsers;
}

void CSkinButton::RemoveTool() {
  if (!m_toolAdded) return;
  m_toolAdded = false;
  if (g_buttonTipUse) CSkinToolTip::DelTool(m_hwnd, m_toolId);
  if (--g_buttonTipUsers == 0) g_buttonTipUse.reset();
}

LRESULT CALLBACK CSkinButton::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto it = SkinButtonMap().find(hwnd);
  if (it == SkinButtonMap().end()) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  // No exception may unwind through the system's message dispatch.
  return base::Guarded([&] { return it->second->WindowProc(message, wParam, lParam); }, LRESULT(0));
}

LRESULT CSkinButton::CallOldProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return m_oldProc ? ::CallWindowProcA(m_oldProc, m_hwnd, message, wParam, lParam)
                   : ::DefWindowProcA(m_hwnd, message, wParam, lParam);
}

LRESULT CSkinButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      OnLButtonDown(lParam);
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp();
      return 0;
    case WM_LBUTTONDBLCLK:
      OnLButtonDblClk();
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(wParam, lParam);
      return 0;
    case WM_MOUSEHOVER:
      OnMouseHover(wParam, lParam);
      return 0;
    case WM_MOUSELEAVE:
      OnMouseLeave(wParam, lParam);
      return 0;
    case WM_CLOSE: {
      RemoveTool();
      HWND hwnd = m_hwnd;
      if (m_oldProc) ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
      SkinButtonMap().erase(hwnd);
      m_hwnd = nullptr;
      ::DestroyWindow(hwnd);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_NCDESTROY: {
      // Destroyed with its parent: forget the handle before it is reused.
      LRESULT result = CallOldProc(message, wParam, lParam);
      RemoveTool();
      SkinButtonMap().erase(m_hwnd);
      m_hwnd = nullptr;
      return result;
    }
    default:
      return CallOldProc(message, wParam, lParam);
  }
}

void CSkinButton::OnLButtonDown(LPARAM) {
  m_pressed = true;
  ::InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CSkinButton::OnLButtonUp() {
  m_pressed = false;
  ::InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CSkinButton::OnMouseMove(WPARAM, LPARAM) {
  if (m_tracking) return;
  TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, m_hwnd, 1};
  m_tracking = ::TrackMouseEvent(&tme) != FALSE;
}

void CSkinButton::Close() {
  if (m_hwnd) ::SendMessageA(m_hwnd, WM_CLOSE, 0, 0);
}

void CSkinButton::OnMouseHover(WPARAM, LPARAM) {
  m_hover = true;
  ::InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CSkinButton::OnMouseLeave(WPARAM, LPARAM) {
  m_hover = false;
  m_tracking = false;
  m_pressed = false;
  ::InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CSkinButton::MoveTo(int x, int y) {
  int w = 0, h = 0;
  GetFrameSize(&w, &h);
  if (m_hwnd) ::MoveWindow(m_hwnd, x, y, w, h, TRUE);
}

void CSkinButton::GetFrameSize(int* width, int* height) const {
  if (!m_image || !m_image->IsLoaded()) {
    *width = *height = 0;
    return;
  }
  *width = m_image->GetWidth() / 4;
  *height = m_image->GetHeight();
}

void CSkinButton::SetCheck(bool checked) {
  m_checked = checked;
  if (g_buttonTipUse && m_toolAdded) {
    const std::string* text = nullptr;
    if (checked && m_hasCheckedTipText) text = &m_checkedTipText;
    if (!checked) text = &m_tipText;
    if (text) CSkinToolTip::UpdateTipText(m_hwnd, m_toolId, *text);
  }
  if (m_hwnd) ::InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CSkinButton::EnableWindow(bool enable) {
  if (m_hwnd) ::EnableWindow(m_hwnd, enable ? TRUE : FALSE);
}

int CSkinButton::FrameFor(UINT itemState) const {
  if (m_hover && m_pressed) return 2;
  if (m_hover) return 1;
  if (itemState & ODS_DISABLED) return 3;
  if (m_isToggle && m_checked) return 2;
  return 0;
}

void CSkinButton::DrawItem(const DRAWITEMSTRUCT* item) {
  if (!item || !m_image || !m_image->IsLoaded()) return;
  const int w = m_image->GetWidth() / 4, h = m_image->GetHeight();
  Gdiplus::Graphics graphics(item->hDC);
  graphics.DrawImage(m_image->GetImage(), Gdiplus::Rect(0, 0, w, h), FrameFor(item->itemState) * w, 0, w, h,
                     Gdiplus::UnitPixel);
}

int CreateSkinButton(CSkinButton* button, HWND parent, unsigned short imageId, int controlId, bool hasToolTip,
                     const char* tipText, const char* checkedTipText, int x, int y) {
  if (!button) return 1;
  button->SetImage(GetSkinManager()->GetSkinImage(imageId));
  button->EnableToolTip(hasToolTip);
  if (hasToolTip) button->SetToolTipText(tipText, checkedTipText);
  int w = 0, h = 0;
  button->GetFrameSize(&w, &h);
  return button->Create(controlId, parent, x, y, w, h);
}

void CSkinCloseButton::OnLButtonUp() {
  CSkinButton::OnLButtonUp();
  if (HWND parent = ParentHwnd()) ::SendMessageA(parent, WM_CLOSE, 0, 0);
}

void CSkinMinimizeButton::OnLButtonUp() {
  CSkinButton::OnLButtonUp();
  if (HWND parent = ParentHwnd()) ::SendMessageA(parent, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void CSkinMaximizeButton::OnLButtonUp() {
  const bool maximize = (m_clicks++ % 2) == 0;
  SetCheck(maximize);
  CSkinButton::OnLButtonUp();
  if (HWND parent = ParentHwnd())
    ::SendMessageA(parent, WM_SYSCOMMAND, maximize ? SC_MAXIMIZE : SC_RESTORE, 0);
}

void CSkinHideButton::OnLButtonUp() {
  CSkinButton::OnLButtonUp();
  if (HWND parent = ParentHwnd()) ::SendMessageA(parent, WM_SKIN_HIDE_CHILD, 0, 0);
}

void CSkinIconButton::OnLButtonDown(LPARAM) {
  if (HWND parent = ParentHwnd())
    ::SendMessageA(parent, WM_COMMAND, static_cast<WPARAM>(ControlId()), reinterpret_cast<LPARAM>(m_hwnd));
}

void CSkinIconButton::OnLButtonDblClk() {
  if (HWND parent = ParentHwnd()) ::SendMessageA(parent, WM_SKIN_CLOSE, 0, 0);
}

void CSkinArrowButton::OnLButtonDown(LPARAM lParam) {
  CSkinButton::OnLButtonDown(lParam);
  if (HWND parent = ParentHwnd()) ::SendMessageA(parent, WM_COMMAND, static_cast<WPARAM>(ControlId()), 0);
}

void CSkinCmdButton::OnLButtonUp() {
  CSkinButton::OnLButtonUp();
  if (HWND parent = ParentHwnd())
    ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(ControlId(), BN_CLICKED), reinterpret_cast<LPARAM>(m_hwnd));
}

void CSkinCmdButton::OnMouseHover(WPARAM wParam, LPARAM lParam) {
  if (!m_isToggle) CSkinButton::OnMouseHover(wParam, lParam);
}

void CSkinCmdButton::OnMouseLeave(WPARAM wParam, LPARAM lParam) {
  if (!m_isToggle) CSkinButton::OnMouseLeave(wParam, lParam);
}
