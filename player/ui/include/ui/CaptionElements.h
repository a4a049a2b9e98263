// The caption elements of a skinned window (close, minimize, maximize/restore,
// hide, window icon) and the two-state toggle element. Each keeps the window
// that hosts it and tells it what the user asked for.
#pragma once

#include "ui/CSkinElement.h"
#include "ui/PlayerMessages.h"

class CBmpWnd;

// The elements send their owner WM_SKIN_HIDE_CHILD and WM_SKIN_CLOSE.

class CCaptionElement : public CSkinElement {
 public:
  explicit CCaptionElement(CBmpWnd* owner) : m_owner(owner) {}
  CBmpWnd* GetOwner() const { return m_owner; }

 protected:
  HWND OwnerHwnd() const;
  CBmpWnd* m_owner;
};

// Sends WM_SKIN_CLOSE: the main window answers by closing itself, a tool
// frame by hiding (a plain WM_CLOSE would destroy a frame).
class CCaptionCloseButton : public CCaptionElement {
 public:
  using CCaptionElement::CCaptionElement;
  void OnLButtonUp(WPARAM wParam, LPARAM lParam) override;
};

class CCaptionMinButton : public CCaptionElement {
 public:
  using CCaptionElement::CCaptionElement;
  void OnLButtonUp(WPARAM wParam, LPARAM lParam) override;
};

// Alternates SC_MAXIMIZE and SC_RESTORE, each button counting its own clicks
// (one counter for the process made one window's click decide another's),
// and shows the text of the next action as its tooltip.
class CCaptionMaxButton : public CCaptionElement {
 public:
  using CCaptionElement::CCaptionElement;
  void OnLButtonUp(WPARAM wParam, LPARAM lParam) override;
  int GetClickCount() const { return m_clicks; }

 private:
  int m_clicks = 0;
};

class CCaptionHideButton : public CCaptionElement {
 public:
  using CCaptionElement::CCaptionElement;
  void OnLButtonUp(WPARAM wParam, LPARAM lParam) override;
};

// A click opens the owner's system menu (WM_COMMAND 3), a double click closes it.
class CCaptionIconButton : public CCaptionElement {
 public:
  explicit CCaptionIconButton(CBmpWnd* owner) : CCaptionElement(owner) { SetTakesDoubleClicks(true); }
  void OnLButtonDown(WPARAM wParam, LPARAM lParam) override;
  void OnLButtonUp(WPARAM, LPARAM) override {}
  void OnLButtonDblClk(WPARAM wParam, LPARAM lParam) override;
  void OnMouseMove(WPARAM, LPARAM) override {}
  void OnMouseHover(WPARAM, LPARAM) override {}
  void OnMouseLeave(WPARAM, LPARAM) override {}
};

// Checked shows frame 2 and stays so until SetCheck; hover does not show.
class CSkinToggleElement : public CSkinElement {
 public:
  void OnMouseHover(WPARAM, LPARAM) override {}
  void OnMouseLeave(WPARAM, LPARAM) override {}
  int CurrentFrame() const override;
  void SetCheck(bool checked, HWND owner);
  bool IsChecked() const { return m_checked; }

 private:
  bool m_checked = false;
};

// A frame that can be kept above other windows (the lyrics window, the song
// maker, the play list, the score frame).
class ITopMostFrame {
 public:
  virtual bool IsTopMost() = 0;
  virtual void SetTopMost(bool topMost) = 0;
  virtual HWND GetTopMostFrameWnd() = 0;

 protected:
  ~ITopMostFrame() = default;
};

// The always-on-top toggle of a frame: a press flips the frame's state and
// the toggle's image together, so the two never disagree.
class CTopMostButton : public CSkinToggleElement {
 public:
  explicit CTopMostButton(ITopMostFrame* frame) : m_frame(frame) {}
  void OnLButtonDown(WPARAM wParam, LPARAM lParam) override;

 private:
  ITopMostFrame* m_frame;
};

using CLyricTopMostButton = CTopMostButton;
using CSongMakerTopMostButton = CTopMostButton;

// Reads the window's placement; true for any window.
bool GetWindowPlacementShown(HWND hwnd);

// Deletes the object (through its virtual destructor) and nulls the pointer.
template <class T>
void DeleteAndNull(T** object) {
  if (object && *object) {
    delete *object;
    *object = nullptr;
  }
}
