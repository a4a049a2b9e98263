// A measure of a percussion part: every note sits where the percussion map
// puts its drum sound, with the head that sound gets (cross, open hi-hat,
// side stick, or a normal head laid out as on a treble staff).
#pragma once

#include "StaffPage.h"

class CDrumStaffPage : public CStaffPage {
 public:
  using CStaffPage::CStaffPage;

 protected:
  int DisplayPitch(int pitch) const override;
  bool IsStemDown(int pitch, int step) const override { return step > 5; }
  std::unique_ptr<CScoreGlyph> CreateNoteGlyph(const ScoreNote& note, GlyphRole role,
                                               const GlyphSpec& spec) override;
  void SortChord(std::vector<const ScoreNote*>& chord) const override;
  std::vector<int> LayoutVoices(const CScoreMeasure& m) const override { return {kSingleVoice}; }
};
