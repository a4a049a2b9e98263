#pragma once
// The Preferences page of the play list: its colours and whether the last
// play list is loaded at start. Apply recolours the live window and stores.
#include <afxdlgs.h>

class IPlayerHost;

#include "ui/CColorButton.h"

class CPropPagePlayList : public CPropertyPage, public IColorButtonSink {
  DECLARE_DYNCREATE(CPropPagePlayList)
 public:
  enum { IDD = 169 };
  CPropPagePlayList();

  BOOL OnInitDialog() override;
  BOOL OnApply() override;
  void OnOK() override;
  void OnCancel() override {}

  // IColorButtonSink
  void OnColorChanged(int changed) override;

  // The host whose live window Apply changes at once (none: only stored).
  void SetHost(IPlayerHost* host) { m_host = host; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 private:
  IPlayerHost* m_host = nullptr;
  void Apply();

  CColorButton m_playing;
  CColorButton m_normal;
  CColorButton m_background;
  int m_reload = 0;
};
