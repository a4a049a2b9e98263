// The stand-in for the main window in tests of its tool windows and buttons:
// a hidden window that records what is posted and sent to it, and a player
// host that records what the windows ask of the main window.
#pragma once

#include <string>
#include <vector>

#include "ui/CBmpWnd.h"
#include "ui/IPlayerHost.h"

struct OwnerMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class FakeOwnerWnd : public CBmpWnd {
 public:
  FakeOwnerWnd() {
    // Hidden: Wine waits two seconds for a window manager to withdraw a
    // shown window, and Xvfb has none.
    Create(::GetModuleHandleA(nullptr), nullptr, WS_EX_TOOLWINDOW, WS_POPUP, nullptr, CS_DBLCLKS, nullptr);
    ::MoveWindow(m_hWnd, 50, 50, 400, 300, FALSE);
  }
  ~FakeOwnerWnd() override {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND || message == WM_KEYDOWN || message == WM_DROPFILES ||
        (message >= WM_USER && message < WM_USER + 0x200)) {
      messages.push_back({message, wParam, lParam});
      return 0;
    }
    return CBmpWnd::WindowProc(message, wParam, lParam);
  }
  std::vector<OwnerMessage> Of(UINT message) const {
    std::vector<OwnerMessage> out;
    for (const OwnerMessage& m : messages) {
      if (m.message == message) out.push_back(m);
    }
    return out;
  }
  std::vector<OwnerMessage> messages;
};
