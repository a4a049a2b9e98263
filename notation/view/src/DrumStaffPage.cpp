#include "DrumStaffPage.h"

#include <algorithm>

#include "DrumGlyphs.h"
#include "PercussionMap.h"

int CDrumStaffPage::DisplayPitch(int pitch) const { return CPercussionMap::GetDrumPosition(pitch, true); }

void CDrumStaffPage::SortChord(std::vector<const ScoreNote*>& chord) const {
  std::stable_sort(chord.begin(), chord.end(), [this](const ScoreNote* a, const ScoreNote* b) {
    return DisplayPitch(a->pitch) < DisplayPitch(b->pitch);
  });
}

std::unique_ptr<CScoreGlyph> CDrumStaffPage::CreateNoteGlyph(const ScoreNote& note, GlyphRole role,
                                                             const GlyphSpec& spec) {
  const int head = CPercussionMap::GetDrumHead(note.pitch, true).headKind;
  if (head == kNormalHead) return CStaffPage::CreateNoteGlyph(note, role, spec);
  const int value = note.valueClass;
  if (value < kWholeNote || value > kSixteenthNote) return nullptr;
  // Beamed and chord-in-tuplet notes get their flags from the beam: only the
  // whole, half and quarter shapes are used.
  const bool beamed = role == GlyphRole::kBeamed || role == GlyphRole::kTupletChord;
  const bool tuplet = role == GlyphRole::kTuplet;
  const int row = (beamed || tuplet) ? std::min(value, static_cast<int>(kQuarterNote)) : value;
  switch (head) {
    case kCrossHead:
      if (row <= kHalfNote) return std::make_unique<CDiamondNote>(spec);
      if (row == kQuarterNote) return std::make_unique<CCrossNote>(spec);
      return row == kEighthNote ? std::unique_ptr<CScoreGlyph>(std::make_unique<CCrossNote8>(spec))
                                : std::make_unique<CCrossNote16>(spec);
    case kOpenCrossHead:
      if (row <= kHalfNote) return std::make_unique<CCircledDiamondNote>(spec);
      if (row == kQuarterNote) return std::make_unique<CCircledCrossNote>(spec);
      return row == kEighthNote ? std::unique_ptr<CScoreGlyph>(std::make_unique<CCircledCrossNote8>(spec))
                                : std::make_unique<CCircledCrossNote16>(spec);
    default:  // side stick and the small instruments
      if (row <= kQuarterNote) return std::make_unique<CTriangleNote>(spec, row == kQuarterNote);
      return row == kEighthNote ? std::unique_ptr<CScoreGlyph>(std::make_unique<CTriangleNote8>(spec))
                                : std::make_unique<CTriangleNote16>(spec);
  }
}
