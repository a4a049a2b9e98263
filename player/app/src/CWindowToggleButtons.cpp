#include "app/CWindowToggleButtons.h"

#include "ui/CSettings.h"
#include "ui/IPlayerHost.h"

void CPlayModeButton::OnLButtonDown(LPARAM lParam) {
  CSkinButton::OnLButtonDown(lParam);
  IPlayerHost* host = Host();
  if (!host) return;
  const int order = host->GetPlayOrder();
  if (order == 0) {
    host->SetPlayOrder(1);
    SetCheck(true);
  } else if (order == 1) {
    host->SetPlayOrder(0);
    SetCheck(false);
  }
}

void CWindowToggleButton::OnLButtonDown(LPARAM lParam) {
  CSkinButton::OnLButtonDown(lParam);
  IPlayerHost* host = Host();
  if (!host) return;
  // A frame not made yet (the song maker before its first showing) is made by
  // the main window when it is asked to show; the check says what came of it,
  // so a frame that could not be made leaves the button up.
  host->SetChildVisible(m_child, !host->IsChildVisible(m_child));
  SetCheck(host->IsChildVisible(m_child));
}

CScoreToggleButton::CScoreToggleButton(IPlayerHost* host) : CWindowToggleButton(host, ChildWndId::kScore) {}
CPlayListToggleButton::CPlayListToggleButton(IPlayerHost* host)
    : CWindowToggleButton(host, ChildWndId::kPlayList) {}
CLyricsToggleButton::CLyricsToggleButton(IPlayerHost* host)
    : CWindowToggleButton(host, ChildWndId::kLyrics) {}
CSongMakerToggleButton::CSongMakerToggleButton(IPlayerHost* host)
    : CWindowToggleButton(host, ChildWndId::kSongMaker) {}
