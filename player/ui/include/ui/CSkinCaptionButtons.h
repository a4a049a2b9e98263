// The caption elements of one skinned window: close, maximize and minimize
// from the right edge inwards, the window icon at the left.
#pragma once

#include <windows.h>

class CSkinWnd;
class CSkinImage;
class CSkinElement;
class CCaptionCloseButton;
class CCaptionMinButton;
class CCaptionMaxButton;
class CCaptionIconButton;

// Caption styles; the lowest set bit counts.
enum CaptionStyle {
  kCaptionNone = 1,
  kCaptionClose = 2,
  kCaptionCloseMax = 4,
  kCaptionCloseMin = 8,
  kCaptionCloseMinMax = 16,
};

// Button indexes of Configure, SetButtonState and GetButton.
enum CaptionButtonIndex { kCaptionBtnClose = 0, kCaptionBtnMax = 1, kCaptionBtnMin = 2, kCaptionBtnIcon = 3 };

class CSkinCaptionButtons {
 public:
  explicit CSkinCaptionButtons(CSkinWnd* owner) : m_owner(owner) {}
  ~CSkinCaptionButtons();
  CSkinCaptionButtons(const CSkinCaptionButtons&) = delete;
  CSkinCaptionButtons& operator=(const CSkinCaptionButtons&) = delete;

  // Creates and deletes buttons to match the style; existing ones stay.
  void SetStyle(int style);
  void SetStyleFlags(int flags) { SetStyle(flags); }
  int GetStyle() const { return m_style; }
  // Removes and deletes every caption element, the icon included.
  void RemoveAll();

  // Image and tooltip of one button: 1 when the index is above 3 or the
  // button does not exist, else 0.
  int Configure(CSkinImage* image, int index, bool toolTip, const char* text, const char* altText);
  void SetButtonState(int index, bool enabled);
  CSkinElement* GetButton(int index) const;
  CCaptionIconButton* GetIcon();

  // Registers the tooltips of the style's buttons (when the window is made).
  void Register();
  // Places the buttons for the owner's current width.
  void Layout();

 private:
  template <class T>
  void Make(T*& slot);
  template <class T>
  void Drop(T*& slot);
  void RegisterOne(CSkinElement* element);

  CCaptionCloseButton* m_close = nullptr;
  CCaptionMinButton* m_min = nullptr;
  CCaptionMaxButton* m_max = nullptr;
  CCaptionIconButton* m_icon = nullptr;
  CSkinWnd* m_owner;
  int m_style = kCaptionClose;
};

// Sets the caption style flags of a frame's caption set (the tool frames'
// name for SetCaptionStyle).
void SetCaptionLayout(CSkinWnd* frame, int flags);
