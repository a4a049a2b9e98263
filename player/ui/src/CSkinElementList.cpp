#include "ui/CSkinElementList.h"

#include <algorithm>

CSkinElementList::~CSkinElementList() {
  for (CSkinElement* element : m_elements) {
    RemoveTool(element);
    delete element;
  }
  m_elements.clear();
}

CSkinElement* CSkinElementList::Add(CSkinElement* element) {
  if (element && !Contains(element)) m_elements.push_back(element);
  return element;
}

void CSkinElementList::Remove(CSkinElement* element) {
  auto it = std::find(m_elements.begin(), m_elements.end(), element);
  if (it == m_elements.end()) return;
  RemoveTool(element);
  m_elements.erase(it);
  Forget(element);
}

bool CSkinElementList::Contains(const CSkinElement* element) const {
  return std::find(m_elements.begin(), m_elements.end(), element) != m_elements.end();
}

void CSkinElementList::Forget(CSkinElement* element) {
  if (m_captured == element) m_captured = nullptr;
  if (m_hot == element) m_hot = nullptr;
}

void CSkinElementList::EnsureToolTip() {
  if (!m_toolTip) m_toolTip = std::make_unique<CSkinToolTip>();
  m_toolTip->Create(::GetModuleHandleA(nullptr));
}

void CSkinElementList::SetOwner(HWND owner) {
  m_owner = owner;
  EnsureToolTip();
}

int CSkinElementList::NewToolId() {
  EnsureToolTip();
  return CSkinToolTip::NextId();
}

LRESULT CSkinElementList::AddTool(CSkinElement* element) {
  if (!m_toolTip || !element) return -1;
  return m_toolTip->AddTool(m_owner, element->GetTipText(), element->GetRect(), element->GetToolId());
}

LRESULT CSkinElementList::UpdateToolRect(CSkinElement* element) {
  if (!m_toolTip || !element) return -1;
  return m_toolTip->SetToolRect(m_owner, element->GetToolId(), element->GetRect());
}

LRESULT CSkinElementList::UpdateTipText(CSkinElement* element, const std::string& text) {
  if (!m_toolTip || !element) return -1;
  return m_toolTip->UpdateTipText(m_owner, element->GetToolId(), text);
}

LRESULT CSkinElementList::RemoveTool(CSkinElement* element) {
  if (!m_toolTip || !element || element->GetToolId() < 0 || !m_owner) return -1;
  return m_toolTip->DelTool(m_owner, element->GetToolId());
}

CSkinElement* CSkinElementList::FindElement(LPARAM lParam, bool doubleClick) const {
  POINT pt = PointFromLParam(lParam);
  for (CSkinElement* element : m_elements) {
    if (!element->IsEnabled() || !element->IsVisible()) continue;
    if (doubleClick && !element->TakesDoubleClicks()) continue;
    if (element->HitTest(pt.x, pt.y)) return element;
  }
  return nullptr;
}

void CSkinElementList::Invalidate(CSkinElement* element, bool erase, bool grow) {
  // Without an owner there is nothing to repaint; InvalidateRect(NULL)
  // would repaint every window of the desktop.
  if (!m_owner) return;
  if (m_redraw.bottom <= m_redraw.top) {
    if (element) ::InvalidateRect(m_owner, &element->GetRect(), FALSE);
    return;
  }
  RECT r = m_redraw;
  if (grow) ::InflateRect(&r, 1, 1);
  ::InvalidateRect(m_owner, &r, erase ? TRUE : FALSE);
}

bool CSkinElementList::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
  CSkinElement* element = FindElement(lParam);
  if (!element) return false;
  if (element->CapturesOnPress()) m_captured = element;
  element->OnLButtonDown(wParam, lParam);
  Invalidate(element, false, false);
  return true;
}

void CSkinElementList::OnLButtonUp(WPARAM wParam, LPARAM lParam) {
  if (m_captured) {
    CSkinElement* element = m_captured;
    element->OnLButtonUp(wParam, lParam);
    element->ResetState();
    Invalidate(element, false, true);
    m_captured = nullptr;
    return;
  }
  if (CSkinElement* element = FindElement(lParam)) {
    element->OnLButtonUp(wParam, lParam);
    Invalidate(element, false, true);
  }
}

void CSkinElementList::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  if (m_captured) {
    m_captured->OnMouseMove(wParam, lParam);
    Invalidate(m_captured, true, true);
    return;
  }
  CSkinElement* element = FindElement(lParam);
  if (element) {
    if (!element->IsInside()) {
      element->SetInside(true);
      if (m_hot && m_hot != element) {
        m_hot->OnMouseLeave(wParam, lParam);
        m_hot->SetInside(false);
        if (m_redraw.bottom <= m_redraw.top) Invalidate(m_hot, false, false);
      }
      m_hot = element;
      element->OnMouseHover(wParam, lParam);
    }
    element->OnMouseMove(wParam, lParam);
    Invalidate(element, true, true);
  } else if (m_hot) {
    CSkinElement* hot = m_hot;
    m_hot = nullptr;
    hot->OnMouseLeave(wParam, lParam);
    hot->SetInside(false);
    Invalidate(hot, true, true);
  }
}

void CSkinElementList::OnLButtonDblClk(WPARAM wParam, LPARAM lParam) {
  if (CSkinElement* element = FindElement(lParam, true)) element->OnLButtonDblClk(wParam, lParam);
}

void CSkinElementList::ResetStates() {
  for (CSkinElement* element : m_elements) {
    element->ResetState();
    element->SetInside(false);
  }
  m_hot = nullptr;
  if (m_owner) ::InvalidateRect(m_owner, nullptr, FALSE);
}

void CSkinElementList::Draw(Gdiplus::Graphics* graphics) {
  for (CSkinElement* element : m_elements)
    if (element->IsVisible()) element->Draw(graphics);
}
