// The main window's always-visible caption toggle: a press turns the main
// window's topmost mode over and the toggle's image with it.
#pragma once

#include "ui/CaptionElements.h"

class CMainAlwaysVisibleToggle : public CSkinToggleElement {
 public:
  void OnLButtonDown(WPARAM wParam, LPARAM lParam) override;
};
