#include "ui/CaptionElements.h"

#include "ui/CBmpWnd.h"
#include "ui/CSkinToolTip.h"

HWND CCaptionElement::OwnerHwnd() const { return m_owner ? m_owner->m_hWnd : nullptr; }

void CCaptionCloseButton::OnLButtonUp(WPARAM wParam, LPARAM lParam) {
  CSkinElement::OnLButtonUp(wParam, lParam);
  if (HWND owner = OwnerHwnd()) ::SendMessageA(owner, WM_SKIN_CLOSE, 0, 0);
}

void CCaptionMinButton::OnLButtonUp(WPARAM wParam, LPARAM lParam) {
  CSkinElement::OnLButtonUp(wParam, lParam);
  if (HWND owner = OwnerHwnd()) ::SendMessageA(owner, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void CCaptionMaxButton::OnLButtonUp(WPARAM wParam, LPARAM lParam) {
  const bool maximize = (m_clicks++ % 2) == 0;
  const WPARAM command = maximize ? SC_MAXIMIZE : SC_RESTORE;
  HWND owner = OwnerHwnd();
  if (maximize ? HasAltTipText() : HasTipText())
    CSkinToolTip::UpdateTipText(owner, GetToolId(), maximize ? GetAltTipText() : GetTipText());
  CSkinElement::OnLButtonUp(wParam, lParam);
  if (owner) ::SendMessageA(owner, WM_SYSCOMMAND, command, 0);
}

void CCaptionHideButton::OnLButtonUp(WPARAM wParam, LPARAM lParam) {
  CSkinElement::OnLButtonUp(wParam, lParam);
  if (HWND owner = OwnerHwnd()) ::SendMessageA(owner, WM_SKIN_HIDE_CHILD, 0, 0);
}

void CCaptionIconButton::OnLButtonDown(WPARAM, LPARAM) {
  if (HWND owner = OwnerHwnd())
    ::PostMessageA(owner, WM_COMMAND, kCaptionIconCommand, reinterpret_cast<LPARAM>(owner));
}

void CCaptionIconButton::OnLButtonDblClk(WPARAM, LPARAM) {
  if (HWND owner = OwnerHwnd()) ::SendMessageA(owner, WM_SKIN_CLOSE, 0, 0);
}

int CSkinToggleElement::CurrentFrame() const {
  if (!IsEnabled()) return 3;
  return m_checked ? 2 : 0;
}

void CSkinToggleElement::SetCheck(bool checked, HWND owner) {
  m_checked = checked;
  if (owner) ::InvalidateRect(owner, &GetRect(), FALSE);
}

void CTopMostButton::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
  if (m_frame) {
    const bool on = !m_frame->IsTopMost();
    SetCheck(on, m_frame->GetTopMostFrameWnd());
    m_frame->SetTopMost(on);
  }
  CSkinToggleElement::OnLButtonDown(wParam, lParam);
}

bool GetWindowPlacementShown(HWND hwnd) {
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof(placement);
  ::GetWindowPlacement(hwnd, &placement);
  return true;
}
