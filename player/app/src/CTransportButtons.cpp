#include "app/CTransportButtons.h"

#include "app/IPlayListModel.h"
#include "ui/IPlayerHost.h"

void CPreviousButton::OnLButtonUp() {
  CSkinButton::OnLButtonUp();
  if (IPlayerHost* host = Host()) host->PlayPrevious();
}

void CStopButton::OnLButtonUp() {
  CSkinButton::OnLButtonUp();
  if (IPlayerHost* host = Host()) host->Stop();
}

void CNextButton::OnLButtonUp() {
  CSkinButton::OnLButtonUp();
  if (IPlayerHost* host = Host()) host->PlayNext();
}

void CPlayButton::OnLButtonUp() {
  CSkinButton::OnLButtonUp();
  IPlayerHost* host = Host();
  IPlayListModel* list = host ? host->GetPlayListModel() : nullptr;
  if (!list) return;
  int row = list->GetCurrentIndex();
  if (row == -1) row = list->GetNextIndex();
  if (row != -1) list->SelectEntry(row, 1);
}

void CPauseButton::OnLButtonUp() {
  CSkinButton::OnLButtonUp();
  if (IPlayerHost* host = Host()) host->Pause();
}

void COpenSongsButton::OnLButtonUp() {
  CSkinButton::OnLButtonUp();
  IPlayerHost* host = Host();
  if (!host) return;
  const int added = host->ShowOpenDialog();
  if (added <= 0) return;
  IPlayListModel* list = host->GetPlayListModel();
  if (!list) return;
  const int first = list->GetCount() - added;
  if (first >= 0) list->SelectEntry(first, 1);
}

void CAddSongsButton::OnLButtonUp() {
  CSkinButton::OnLButtonUp();
  if (IPlayerHost* host = Host()) host->ShowOpenDialog();
}
