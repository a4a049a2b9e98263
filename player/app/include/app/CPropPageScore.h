#pragma once
// The Preferences page of the score: six colours. Apply sets them on both
// score views of the song engine and the frame's background, and stores them.
#include <afxdlgs.h>

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

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

 private:
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
