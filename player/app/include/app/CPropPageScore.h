#pragma once
// The Preferences page of the score: six colours. Apply sets them on both
// score views of the song engine and the frame's background, and stores them.
#include <afxdlgs.h>

class IPlayerHost;

#include "ui/CColorButton.h"
#include "ui/CLogFont.h"

class ISongEngine;
class CScoreViewPair;

class CPropPageScore : public CPropertyPage, public IColorButtonSink {
  DECLARE_DYNCREATE(CPropPageScore)
 public:
  enum { IDD = 158 };
  // engine may be null: the page then only stores the colours.
  explicit CPropPageScore(ISongEngine* engine = nullptr);
  ~CPropPageScore() override;

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

 private:
  IPlayerHost* m_host = nullptr;
  void Apply();

  CScoreViewPair* m_views = nullptr;
  CColorButton m_note;
  CColorButton m_highlight;
  CColorButton m_line;
  CColorButton m_clef;
  CColorButton m_index;
  CColorButton m_background;
  CLogFont m_lyricFont;
};
