// The main window's always-visible caption toggle: a press turns the main
// window's topmost mode over and the toggle's image with it.
#pragma once

#include "ui/CaptionElements.h"

class IPlayerHost;

class CMainAlwaysVisibleToggle : public CSkinToggleElement {
 public:
  explicit CMainAlwaysVisibleToggle(IPlayerHost* host) : m_host(host) {}
  void OnLButtonDown(WPARAM wParam, LPARAM lParam) override;

 private:
  IPlayerHost* m_host;
};
