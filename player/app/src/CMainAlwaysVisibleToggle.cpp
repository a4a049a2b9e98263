#include "app/CMainAlwaysVisibleToggle.h"

#include "ui/IPlayerHost.h"

void CMainAlwaysVisibleToggle::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
  CSkinToggleElement::OnLButtonDown(wParam, lParam);
  IPlayerHost* host = m_host;
  if (!host) return;
  const bool on = !host->IsTopMost();
  SetCheck(on, host->GetHostWindow());
  host->SetTopMost(on);
}
