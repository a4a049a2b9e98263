#include "ui/CSkinCaptionButtons.h"

#include "ui/CSkinImage.h"
#include "ui/CSkinWnd.h"
#include "ui/CaptionElements.h"

CSkinCaptionButtons::~CSkinCaptionButtons() { RemoveAll(); }

template <class T>
void CSkinCaptionButtons::Make(T*& slot) {
  if (slot) return;
  slot = new T(m_owner);
  m_owner->GetElementList()->Add(slot);
}

template <class T>
void CSkinCaptionButtons::Drop(T*& slot) {
  if (!slot) return;
  m_owner->GetElementList()->Remove(slot);
  delete slot;
  slot = nullptr;
}

void CSkinCaptionButtons::RemoveAll() {
  Drop(m_close);
  Drop(m_min);
  Drop(m_max);
  Drop(m_icon);
}

void CSkinCaptionButtons::SetStyle(int style) {
  m_style = style;
  if (style & kCaptionNone) {
    RemoveAll();
  } else if (style & kCaptionClose) {
    Drop(m_min);
    Drop(m_max);
    Make(m_close);
  } else if (style & kCaptionCloseMax) {
    Make(m_close);
    Make(m_max);
    Drop(m_min);
  } else if (style & kCaptionCloseMin) {
    Make(m_close);
    Make(m_min);
    Drop(m_max);
  } else if (style & kCaptionCloseMinMax) {
    Make(m_close);
    Make(m_min);
    Make(m_max);
  }
}

CSkinElement* CSkinCaptionButtons::GetButton(int index) const {
  switch (index) {
    case kCaptionBtnClose:
      return m_close;
    case kCaptionBtnMax:
      return m_max;
    case kCaptionBtnMin:
      return m_min;
    case kCaptionBtnIcon:
      return m_icon;
    default:
      return nullptr;
  }
}

CCaptionIconButton* CSkinCaptionButtons::GetIcon() {
  Make(m_icon);
  return m_icon;
}

int CSkinCaptionButtons::Configure(CSkinImage* image, int index, bool toolTip, const char* text,
                                   const char* altText) {
  CSkinElement* button = GetButton(index);
  if (!button) return 1;
  if (toolTip) {
    button->SetTipText(text, index == kCaptionBtnMax ? altText : nullptr);
    // A button configured again keeps its tool; a second id would leave
    // the first one registered with no element behind it.
    if (button->GetToolId() < 0) button->SetToolId(m_owner->GetElementList()->NewToolId());
  }
  button->SetImage(image);
  return 0;
}

void CSkinCaptionButtons::SetButtonState(int index, bool enabled) {
  if (CSkinElement* button = GetButton(index)) button->SetEnabled(enabled);
}

void CSkinCaptionButtons::RegisterOne(CSkinElement* element) {
  if (element && element->GetToolId() >= 0) m_owner->GetElementList()->AddTool(element);
}

void CSkinCaptionButtons::Register() {
  if (m_style & kCaptionNone) return;
  if (m_close) m_owner->GetElementList()->Add(m_close);
  RegisterOne(m_close);
  if (m_style & kCaptionClose) return;
  RegisterOne(m_max);
  RegisterOne(m_min);
}

void CSkinCaptionButtons::Layout() {
  CSkinElementList* list = m_owner->GetElementList();
  auto place = [list](CSkinElement* element, int x, int y) {
    int w = 0, h = 0;
    if (element->GetImageSize(&w, &h)) w /= 4;
    element->SetRect(x, y, w, h);
    list->UpdateToolRect(element);
    return w;
  };
  if (m_icon) place(m_icon, 0, 0);
  if ((m_style & kCaptionNone) || !m_close) return;

  const int width = m_owner->GetLayout()->GetWidth();
  int closeW = 0, h = 0;
  if (m_close->GetImageSize(&closeW, &h)) closeW /= 4;
  int x = width - closeW - 3;
  place(m_close, x, 5);
  // Style 4 is not in the player's windows; it lines up like style 16
  // without the minimize button.
  if (m_max && !(m_style & kCaptionCloseMin)) {
    int w = 0;
    if (m_max->GetImageSize(&w, &h)) w /= 4;
    x -= w;
    place(m_max, x, 5);
  }
  if (m_min) {
    int w = 0;
    if (m_min->GetImageSize(&w, &h)) w /= 4;
    x -= w;
    place(m_min, x, 5);
  }
}

void SetCaptionLayout(CSkinWnd* frame, int flags) {
  if (frame) frame->GetCaptionButtons()->SetStyleFlags(flags);
}
