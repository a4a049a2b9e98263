#include "app/CPlayPausePair.h"

#include "app/PlayerStrings.h"
#include "ui/IPlayerHost.h"

int CPlayPausePair::Create(HWND parent, IPlayerHost* host, int x, int y) {
  m_host = host;
  m_play = std::make_unique<CPlayButton>(host);
  m_pause = std::make_unique<CPauseButton>(host);
  const int play = CreateSkinButton(m_play.get(), parent, kPlayImage, kIdPlay, true,
                                    LoadPlayerString(kPlayTip).c_str(), nullptr, x, y);
  const int pause = CreateSkinButton(m_pause.get(), parent, kPauseImage, kIdPause, true,
                                     LoadPlayerString(kPauseTip).c_str(), nullptr, x, y);
  return play == 0 && pause == 0 ? 0 : 1;
}

void CPlayPausePair::Move(int x, int y) {
  if (m_play) m_play->MoveTo(x, y);
  if (m_pause) m_pause->MoveTo(x, y);
}

void CPlayPausePair::Show(int command) {
  if (!m_play || !m_pause) return;
  bool showPlay = false;
  bool showPause = false;
  if (command == SW_SHOW) {
    const bool idle = !m_host || m_host->IsPaused() || m_host->IsStopped();
    showPlay = idle;
    showPause = !idle;
  }
  if (m_play->GetHwnd()) ::ShowWindow(m_play->GetHwnd(), showPlay ? SW_SHOW : SW_HIDE);
  if (m_pause->GetHwnd()) ::ShowWindow(m_pause->GetHwnd(), showPause ? SW_SHOW : SW_HIDE);
}

bool CPlayPausePair::DrawItem(const DRAWITEMSTRUCT* item) {
  if (!item) return false;
  for (CSkinButton* button :
       {static_cast<CSkinButton*>(m_play.get()), static_cast<CSkinButton*>(m_pause.get())}) {
    if (button && button->GetHwnd() && item->hwndItem == button->GetHwnd()) {
      button->DrawItem(item);
      return true;
    }
  }
  return false;
}
