// The main window's toggles: the play order and the four tool windows. They
// act on press; hover and leave change nothing, so the checked image shows
// only the state.
#pragma once

#include "ui/CSkinButton.h"

class CToggleButtonBase : public CSkinButton {
 public:
  CToggleButtonBase() : CSkinButton(true) {}
  void OnMouseHover(WPARAM, LPARAM) override {}
  void OnMouseLeave(WPARAM, LPARAM) override {}
};

// The play order: 0 (in order) becomes 1 (repeat the list) and the button is
// checked, 1 becomes 0 and it is unchecked; any other order is left alone.
class CPlayModeButton : public CToggleButtonBase {
 public:
  void OnLButtonDown(LPARAM lParam) override;
};

// Shows or hides one tool window (a ChildWndId) through the main window;
// while that window does not exist a press changes nothing, the check
// included.
class CWindowToggleButton : public CToggleButtonBase {
 public:
  explicit CWindowToggleButton(int child) : m_child(child) {}
  void OnLButtonDown(LPARAM lParam) override;
  int GetChild() const { return m_child; }

 private:
  int m_child;
};

class CScoreToggleButton : public CWindowToggleButton {
 public:
  CScoreToggleButton();
};

class CPlayListToggleButton : public CWindowToggleButton {
 public:
  CPlayListToggleButton();
};

class CLyricsToggleButton : public CWindowToggleButton {
 public:
  CLyricsToggleButton();
};

class CSongMakerToggleButton : public CWindowToggleButton {
 public:
  CSongMakerToggleButton();
};
