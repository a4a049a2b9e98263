// The Play and Pause buttons, which share one place in the main window: only
// the one that makes sense for the player's state shows.
#pragma once

#include <windows.h>

#include <memory>

#include "app/CTransportButtons.h"

class CPlayPausePair {
 public:
  enum { kPlayImage = 10, kPauseImage = 12, kPlayTip = 127, kPauseTip = 128 };

  CPlayPausePair() = default;
  CPlayPausePair(const CPlayPausePair&) = delete;
  CPlayPausePair& operator=(const CPlayPausePair&) = delete;

  // Both buttons as children of parent at (x, y), acting on host (whose
  // state also picks the button shown): 0, or 1 when either fails.
  int Create(HWND parent, IPlayerHost* host, int x = 0, int y = 0);
  // Both to the same point.
  void Move(int x, int y);
  // SW_SHOW shows Play while the player is paused or stopped and Pause while
  // it plays; any other command hides both.
  void Show(int command);
  // True when the item was one of the pair's and is drawn.
  bool DrawItem(const DRAWITEMSTRUCT* item);

  CPlayButton* GetPlayButton() { return m_play.get(); }
  CPauseButton* GetPauseButton() { return m_pause.get(); }

 private:
  IPlayerHost* m_host = nullptr;
  std::unique_ptr<CPlayButton> m_play;
  std::unique_ptr<CPauseButton> m_pause;
};
