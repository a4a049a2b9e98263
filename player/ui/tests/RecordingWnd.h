// A plain top-level window that records the messages the framework sends
// it, for tests of buttons, elements and sliders.
#pragma once

#include <vector>

#include "ui/CBmpWnd.h"

struct RecordedMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class RecordingWnd : public CBmpWnd {
 public:
  RecordingWnd() {
    // Hidden: Wine waits two seconds for a window manager to withdraw a
    // shown window, and Xvfb has none.
    Create(::GetModuleHandleA(nullptr), nullptr, WS_EX_TOOLWINDOW, WS_POPUP, nullptr, CS_DBLCLKS, nullptr);
    ::MoveWindow(m_hWnd, 100, 100, 300, 200, FALSE);
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND || message == WM_SYSCOMMAND || message == WM_CLOSE ||
        (message >= WM_USER && message < WM_USER + 0x200))
      messages.push_back({message, wParam, lParam});
    if (message == WM_SYSCOMMAND || message == WM_CLOSE) return 0;  // stay as we are
    return CBmpWnd::WindowProc(message, wParam, lParam);
  }
  // The recorded messages with this number.
  std::vector<RecordedMessage> Of(UINT message) const {
    std::vector<RecordedMessage> out;
    for (const RecordedMessage& m : messages)
      if (m.message == message) out.push_back(m);
    return out;
  }
  std::vector<RecordedMessage> messages;
};
