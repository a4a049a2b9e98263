#pragma once
// The Preferences page of the lyrics window: colours, font, the karaoke
// effect and the alignment. Apply hands them to the live window at once and
// stores them.
#include <afxdlgs.h>

class IPlayerHost;

#include "ui/CColorButton.h"
#include "ui/CLogFont.h"

class CPropPageLyric : public CPropertyPage, public IColorButtonSink {
  DECLARE_DYNCREATE(CPropPageLyric)
 public:
  enum { IDD = 106 };
  CPropPageLyric();

  BOOL OnInitDialog() override;
  BOOL OnApply() override;
  void OnOK() override;
  void OnCancel() override {}

  // IColorButtonSink
  void OnColorChanged(int changed) override;

  // For tests: whether the page still owns a font handle.
  bool HoldsFont() const { return m_font.GetSafeHandle() != nullptr; }

  // The host whose live window Apply changes at once (none: only stored).
  void SetHost(IPlayerHost* host) { m_host = host; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 private:
  IPlayerHost* m_host = nullptr;
  void Apply();

  CColorButton m_normal;
  CColorButton m_highlight;
  CColorButton m_background;
  CLogFont m_font;
  int m_karaoke = 0;
  int m_align = 0;
};
