// The main window's toggles: the play order and the four tool windows. They
// act on press; hover and leave change nothing, so the checked image shows
// only the state.
#pragma once

#include "app/CTransportButtons.h"

class CToggleButtonBase : public CHostButton {
 public:
  explicit CToggleButtonBase(IPlayerHost* host) : CHostButton(host, true) {}
  void OnMouseHover(WPARAM, LPARAM) override {}
  void OnMouseLeave(WPARAM, LPARAM) override {}
};

// The play order: 0 (in order) becomes 1 (repeat the list) and the button is
// checked, 1 becomes 0 and it is unchecked; any other order is left alone.
class CPlayModeButton : public CToggleButtonBase {
 public:
  using CToggleButtonBase::CToggleButtonBase;
  void OnLButtonDown(LPARAM lParam) override;
};

// Shows or hides one tool window (a ChildWndId) through the main window;
// while that window does not exist a press changes nothing, the check
// included.
class CWindowToggleButton : public CToggleButtonBase {
 public:
  CWindowToggleButton(IPlayerHost* host, int child) : CToggleButtonBase(host), m_child(child) {}
  void OnLButtonDown(LPARAM lParam) override;
  int GetChild() const { return m_child; }

 private:
  int m_child;
};

class CScoreToggleButton : public CWindowToggleButton {
 public:
  explicit CScoreToggleButton(IPlayerHost* host);
};

class CPlayListToggleButton : public CWindowToggleButton {
 public:
  explicit CPlayListToggleButton(IPlayerHost* host);
};

class CLyricsToggleButton : public CWindowToggleButton {
 public:
  explicit CLyricsToggleButton(IPlayerHost* host);
};

class CSongMakerToggleButton : public CWindowToggleButton {
 public:
  explicit CSongMakerToggleButton(IPlayerHost* host);
};
