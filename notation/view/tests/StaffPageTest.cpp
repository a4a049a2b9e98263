// Layout of staff pages read back without drawing: glyph classes, steps,
// accidentals, stems, beams, tuplet marks, rests, ties, highlights and lyrics.
#include <gtest/gtest.h>

#include <map>
#include <typeinfo>

#include "DrumGlyphs.h"
#include "NoteGlyphs.h"
#include "RestGlyphs.h"
#include "StaffMarks.h"
#include "StaffPage.h"
#include "StaffSigns.h"
#include "ViewTestSupport.h"

namespace {

using scoretest::WrittenNote;
using viewtest::LayOut;
using viewtest::MakeMeasure;
using viewtest::MakePainter;

struct Laid {
  std::unique_ptr<CStaffPainter> painter;
  std::vector<std::unique_ptr<CScoreMeasure>> measures;
  CStaffPage* Page(int i = 0) const { return painter->Page(i); }
  const std::vector<std::unique_ptr<CScoreGlyph>>& Notes(int page = 0, int voice = 0) const {
    return painter->Page(page)->Notes(voice);
  }
};

Laid Lay(int kind, std::vector<std::vector<WrittenNote>> bars, int key = 0, int beats = 4,
         int beatTicks = 120) {
  Laid l;
  l.painter = MakePainter(kind);
  for (size_t i = 0; i < bars.size(); ++i) {
    l.measures.push_back(MakeMeasure(static_cast<int>(i), beats, beatTicks, bars[i], kind == 7));
    l.measures.back()->key = key;
    l.measures.back()->twoStaves = kind == 2;
  }
  LayOut(*l.painter, l.measures);
  return l;
}

template <typename T>
int CountOf(const std::vector<std::unique_ptr<CNotationItem>>& items) {
  int n = 0;
  for (auto& i : items) n += dynamic_cast<T*>(i.get()) != nullptr;
  return n;
}

template <typename T>
std::vector<T*> AllOf(const std::vector<std::unique_ptr<CNotationItem>>& items) {
  std::vector<T*> out;
  for (auto& i : items)
    if (auto* t = dynamic_cast<T*>(i.get())) out.push_back(t);
  return out;
}

TEST(StaffPage, AccidentalsWithinAMeasure) {
  struct Case {
    const char* what;
    int key;
    std::vector<int> pitches;
    std::vector<int> accidentals;
  } cases[] = {
      {"a repeated sharp is not shown again", 0, {66, 66}, {1, 0}},
      {"sharp, natural, sharp again", 0, {66, 65, 66}, {1, 3, 1}},
      {"natural in G major, then the key's sharp", 1, {65, 66}, {3, 1}},
      {"natural in F major, then the key's flat", -1, {71, 70}, {3, 2}},
      {"flat spelled, then the natural on its step", 0, {61, 62}, {2, 3}},
      {"a sharp spelled, then the natural on its step", 0, {68, 67}, {1, 3}},
      {"another step is independent", 0, {66, 67}, {1, 0}},
  };
  for (const Case& c : cases) {
    std::vector<WrittenNote> notes;
    for (size_t i = 0; i < c.pitches.size(); ++i)
      notes.push_back({c.pitches[i], static_cast<int>(i) * 120, 120});
    Laid l = Lay(0, {notes}, c.key);
    ASSERT_EQ(l.Notes().size(), c.pitches.size()) << c.what;
    for (size_t i = 0; i < c.pitches.size(); ++i)
      EXPECT_EQ(l.Notes()[i]->Accidental(), c.accidentals[i]) << c.what << " #" << i;
  }
}

// Quarter notes one grid unit apart, as the model packs them at size 0: the
// heads in the first and last cells keep room from both bar lines, and an
// opening accidental stays right of the measure's own bar line.
TEST(StaffPage, NotesKeepClearOfBothBarLines) {
  struct Case {
    const char* what;
    double unit;  // the model's grid unit at size 0, wider for accidentals
    std::vector<int> pitches;
  } cases[] = {
      {"plain quarters", 16, {67, 67, 67, 67}},
      {"an opening sharp", 22, {66, 67, 69, 71}},
      {"an opening flat", 22, {70, 67, 69, 71}},
      {"a low note with ledger lines first", 16, {57, 67, 67, 72}},
  };
  for (const Case& c : cases) {
    std::vector<WrittenNote> notes;
    for (size_t i = 0; i < c.pitches.size(); ++i)
      notes.push_back({c.pitches[i], static_cast<int>(i) * 120, 120});
    Laid l;
    l.painter = MakePainter(0);
    l.measures.push_back(MakeMeasure(0, 4, 120, notes));
    l.measures[0]->unitsPerBeat = 1;
    l.measures[0]->noteScale = c.unit;
    l.measures[0]->width = l.measures[0]->NoteAreaWidth();
    LayOut(*l.painter, l.measures);
    const CStaffPage& page = *l.Page();
    StaffPlacement placement;
    placement.width = page.Width();
    const int origin = page.OriginX(0, placement);
    const int w = CScoreGlyph::HeadWidth(*l.painter), g = l.painter->LineGap();
    ASSERT_EQ(l.Notes().size(), c.pitches.size()) << c.what;
    const CScoreGlyph& first = *l.Notes().front();
    int left = origin + first.X() - 4;  // where its ledger lines would start
    if (first.Accidental() > 0)
      left = std::min(left, origin + first.X() - 2 - CStaffSigns::Width(first.Accidental(), g));
    EXPECT_GE(left, 2) << c.what;
    const CScoreGlyph& last = *l.Notes().back();
    EXPECT_GE(page.Width() - (origin + last.X() + w), 3) << c.what;
    // The first head is not squeezed to the bar line while the last has room.
    EXPECT_LE(std::abs((origin + first.X()) - (page.Width() - (origin + last.X() + w))), 8) << c.what;
  }
}

TEST(StaffPage, StemDirectionOfLoneNotesByStaffKind) {
  struct Case {
    int kind, pitch;
    bool down;
  } cases[] = {{0, 69, false}, {0, 71, true},  {5, 72, true}, {1, 48, false}, {1, 50, true},
               {6, 52, true},  {3, 59, false}, {3, 60, true}, {4, 55, false}, {4, 57, true}};
  for (const Case& c : cases) {
    Laid l = Lay(c.kind, {{{c.pitch, 0, 120}}});
    ASSERT_EQ(l.Notes().size(), 1u);
    EXPECT_EQ(l.Notes()[0]->StemDown(), c.down) << "kind " << c.kind << " pitch " << c.pitch;
  }
}

TEST(StaffPage, SecondsInAChordAlternateSidesAndGetANatural) {
  Laid l = Lay(0, {{{64, 0, 120, 1}, {65, 0, 120, 1}, {67, 0, 120, 1}}});
  const auto& n = l.Notes();
  ASSERT_EQ(n.size(), 3u);
  const int head = 7;
  EXPECT_EQ(n[0]->X(), n[2]->X());         // E and G in line with the stem
  EXPECT_EQ(n[1]->X(), n[0]->X() + head);  // F a second above E: far side
  EXPECT_FALSE(n[1]->HasStem());
  EXPECT_TRUE(n[0]->DisplacedNeighbour());

  Laid same = Lay(0, {{{65, 0, 120, 1}, {66, 0, 120, 1}}});
  ASSERT_EQ(same.Notes().size(), 2u);
  EXPECT_EQ(same.Notes()[0]->Accidental(), 3);  // F natural beside F sharp
  EXPECT_EQ(same.Notes()[1]->Accidental(), 1);
}

TEST(StaffPage, BeamGroupsGetBeamsAndFlaglessHeads) {
  Laid l = Lay(0, {{{67, 0, 60, 0, 1},
                    {69, 60, 60, 0, 1},
                    {71, 120, 30, 0, 2},
                    {72, 150, 30, 0, 2},
                    {74, 180, 30, 0, 2},
                    {72, 210, 30, 0, 2},
                    {67, 240, 90, 0, 3},
                    {69, 330, 30, 0, 3}}});
  const auto& notes = l.Notes();
  ASSERT_EQ(notes.size(), 8u);
  for (auto& g : notes) EXPECT_EQ(typeid(*g), typeid(CQuarterNote));
  const auto beams = AllOf<CBeam>(l.Page()->Elements());
  // Group 1: one beam; group 2: primary and one secondary; group 3: primary and a stub.
  ASSERT_EQ(beams.size(), 5u);
  const CBeam* stub = beams[4];
  // The sixteenth after a dotted eighth at the end of its group: the stub points left.
  EXPECT_LT(stub->X1(), stub->X2());
  EXPECT_EQ(stub->X2() - stub->X1(), 8);
  EXPECT_LE(stub->X2(), notes[7]->X() + 7);
  // Stems of one group all end at its beam.
  EXPECT_EQ(notes[0]->StemDown(), notes[1]->StemDown());
}

TEST(StaffPage, TupletsGetABracketOrALabel) {
  Laid quarters = Lay(0, {{{67, 0, 80, 0, 0, 1}, {69, 80, 80, 0, 0, 1}, {71, 160, 80, 0, 0, 1}}});
  EXPECT_EQ(CountOf<CTupletBracket>(quarters.Page()->Elements()), 1);
  auto numbers = AllOf<CTupletNumber>(quarters.Page()->Elements());
  ASSERT_EQ(numbers.size(), 1u);
  EXPECT_EQ(numbers[0]->Text(), "3");

  auto m = MakeMeasure(0, 4, 120, {{67, 0, 40, 0, 0, 1}, {69, 40, 40, 0, 0, 1}, {71, 80, 40, 0, 0, 1}});
  m->tupletCounts[1] = 6;
  auto painter = MakePainter(0);
  std::vector<CScoreMeasure*> raw{m.get()};
  painter->LayoutMeasures(raw);
  const auto& elements = painter->Page(0)->Elements();
  EXPECT_EQ(CountOf<CTupletBracket>(elements), 0);
  EXPECT_GE(CountOf<CBeam>(elements), 1);
  numbers = AllOf<CTupletNumber>(elements);
  ASSERT_EQ(numbers.size(), 1u);
  EXPECT_EQ(numbers[0]->Text(), "6");
  // Evenly spaced from the first note.
  const auto& n = painter->Page(0)->Notes(0);
  ASSERT_EQ(n.size(), 3u);
  EXPECT_EQ(n[1]->X() - n[0]->X(), n[2]->X() - n[1]->X());
}

TEST(StaffPage, TupletStepWithAndWithoutFixedSpacing) {
  struct Case {
    bool fixed;
    int step;
  } cases[] = {{false, 10}, {true, 21}};  // 16 px units, 2 a beat: 16 x 2 / 3, or 16 x 4 / 3 when fixed
  for (const Case& c : cases) {
    auto m = MakeMeasure(0, 4, 120, {{67, 0, 40, 0, 0, 1}, {69, 40, 40, 0, 0, 1}, {71, 80, 40, 0, 0, 1}});
    m->unitsPerBeat = 2;
    m->fixedWidthOn = c.fixed;
    auto painter = MakePainter(0);
    std::vector<CScoreMeasure*> raw{m.get()};
    painter->LayoutMeasures(raw);
    const auto& n = painter->Page(0)->Notes(0);
    ASSERT_EQ(n.size(), 3u);
    EXPECT_EQ(n[1]->X() - n[0]->X(), c.step) << c.fixed;
  }
}

TEST(StaffPage, RestsFillTheVoice) {
  Laid l = Lay(0, {{{67, 0, 120}}, {}});
  const auto& first = l.Page(0)->Elements();
  EXPECT_EQ(CountOf<CQuarterRest>(first), 1);
  EXPECT_EQ(CountOf<CHalfRest>(first), 1);
  const auto empty = AllOf<CWholeRest>(l.Page(1)->Elements());
  ASSERT_EQ(empty.size(), 1u);

  // A one-beat bar moves its whole-measure rest 5 px right.
  Laid one = Lay(0, {{}}, 0, 1, 120);
  auto oneBeat = AllOf<CWholeRest>(one.Page()->Elements());
  ASSERT_EQ(oneBeat.size(), 1u);
  auto m = MakeMeasure(0, 1, 120, {});
  const int lead = NoteLeadIn(16, 7);
  EXPECT_EQ(oneBeat[0]->X(), m->width / 2 - 4 - lead + 5);
}

TEST(StaffPage, TwoStaffPartsLayOutBothStaves) {
  Laid l = Lay(2, {{{72, 0, 480}, {48, 0, 240}}});
  EXPECT_EQ(l.Notes(0, kUpperVoice).size(), 1u);
  EXPECT_EQ(l.Notes(0, kLowerVoice).size(), 1u);
  EXPECT_EQ(CountOf<CHalfRest>(l.Page()->Elements()), 1);  // the lower staff's second half
}

TEST(StaffPage, TiesLinkAcrossMeasures) {
  auto a = MakeMeasure(0, 4, 120, {{60, 240, 240}});
  auto b = MakeMeasure(1, 4, 120, {{60, 0, 120}});
  a->notes[0].tieStart = 1;
  b->notes[0].tieEnd = 1;
  auto painter = MakePainter(0);
  std::vector<CScoreMeasure*> raw{a.get(), b.get()};
  painter->LayoutMeasures(raw);
  CScoreGlyph* first = painter->Page(0)->Notes(0)[0].get();
  CScoreGlyph* second = painter->Page(1)->Notes(0)[0].get();
  EXPECT_EQ(first->NextTied(), second);
  EXPECT_EQ(second->PrevTied(), first);
  EXPECT_EQ(CountOf<CTie>(painter->Page(0)->Elements()), 1);
  EXPECT_EQ(CountOf<CTie>(painter->Page(1)->Elements()), 1);

  // A sounding tied note lights its continuation too; clearing clears both.
  EXPECT_TRUE(painter->Page(0)->MarkNoteSounding(60, 240, false));
  EXPECT_TRUE(second->Sounding());
  EXPECT_TRUE(painter->Page(1)->ClearNoteSounding(60, 600));
  EXPECT_FALSE(first->Sounding());
  EXPECT_FALSE(second->Sounding());
}

// A chord C5 E5 held from the second sixteenth of beat 2 into the next bar,
// cut by the measure passes at the beat line: every piece is tied to the
// next one of its pitch, and the last ones over the bar line.
TEST(StaffPage, PiecesOfASplitNoteAreTied) {
  auto a = MakeMeasure(0, 4, 120,
                       {{72, 150, 90, 1, 0, 0, 1},
                        {76, 150, 90, 1, 0, 0, 2},
                        {72, 240, 240, 2, 0, 0, 1},
                        {76, 240, 240, 2, 0, 0, 2}});
  auto b = MakeMeasure(1, 4, 120, {{72, 0, 120, 3}, {76, 0, 120, 3}});
  for (int i : {2, 3}) a->notes[i].tieStart = a->upperNotes[i].tieStart = i - 1;
  for (int i : {0, 1}) b->notes[i].tieEnd = b->upperNotes[i].tieEnd = i + 1;
  auto painter = MakePainter(0);
  std::vector<CScoreMeasure*> raw{a.get(), b.get()};
  painter->LayoutMeasures(raw);
  const auto& bar = painter->Page(0)->Notes(0);
  ASSERT_EQ(bar.size(), 4u);
  std::map<int, std::vector<CScoreGlyph*>> byPitch;
  for (const auto& g : bar) byPitch[g->Pitch()].push_back(g.get());
  for (const auto& g : painter->Page(1)->Notes(0)) byPitch[g->Pitch()].push_back(g.get());
  for (const auto& [pitch, pieces] : byPitch) {
    ASSERT_EQ(pieces.size(), 3u) << pitch;
    EXPECT_EQ(pieces[0]->NextTied(), pieces[1]) << pitch;
    EXPECT_EQ(pieces[1]->PrevTied(), pieces[0]) << pitch;
    EXPECT_EQ(pieces[1]->NextTied(), pieces[2]) << pitch;
    EXPECT_EQ(pieces[2]->NextTied(), nullptr) << pitch;
  }
  // Two ties inside the bar and the two over the bar line on each page.
  EXPECT_EQ(CountOf<CTie>(painter->Page(0)->Elements()), 4);
  EXPECT_EQ(CountOf<CTie>(painter->Page(1)->Elements()), 2);

  // Unsplit notes of one pitch side by side stay struck.
  Laid plain = Lay(0, {{{72, 0, 120}, {72, 120, 120}}});
  EXPECT_EQ(plain.Notes()[0]->NextTied(), nullptr);
  EXPECT_EQ(CountOf<CTie>(plain.Page()->Elements()), 0);
}

TEST(StaffPage, HighlightWindows) {
  // A note played 20 ticks early was snapped into the measure; its tick stays.
  auto early = MakeMeasure(1, 4, 120, {{60, 0, 120}, {64, 240, 120}});
  early->notes[0].tick = early->startTick - 20;
  auto painter = MakePainter(0);
  std::vector<CScoreMeasure*> raw{early.get()};
  painter->LayoutMeasures(raw);
  CStaffPage* page = painter->Page(0);
  const int start = page->StartTick();
  EXPECT_FALSE(page->MarkNoteSounding(60, start - 31, false));
  EXPECT_TRUE(page->MarkNoteSounding(60, start - 30, false));
  page->ClearHighlights();
  EXPECT_TRUE(page->MarkNoteSounding(64, start + 240 + 14, false));
  EXPECT_FALSE(page->MarkNoteSounding(64, start + 240 + 15, false));
  EXPECT_FALSE(page->MarkNoteSounding(62, start, false));  // no such pitch
  // Note-offs are accepted until a beat after the measure's end.
  EXPECT_TRUE(page->ClearNoteSounding(64, page->EndTick() + 120));
  EXPECT_FALSE(page->ClearNoteSounding(64, page->EndTick() + 120));
}

TEST(StaffPage, OctaveStavesMatchThePitchAsPlayed) {
  // Kind 6 draws notes an octave higher: the model shifted 40 to 52.
  Laid l = Lay(6, {{{52, 0, 120}}});
  EXPECT_TRUE(l.Page()->MarkNoteSounding(40, 0, false));
}

TEST(StaffPage, LyricsAttachToNotesOrStandFree) {
  Laid l = Lay(0, {{}, {{60, 0, 120}, {62, 240, 120}}});
  CStaffPage* page = l.Page(1);
  const int start = page->StartTick(), end = page->EndTick();
  EXPECT_TRUE(page->AttachLyric({"one", start - 9}));
  EXPECT_TRUE(page->AttachLyric({"free", start + 120}));
  EXPECT_FALSE(page->AttachLyric({"late", end - 9}));
  EXPECT_FALSE(page->AttachLyric({"early", start - 11}));
  ASSERT_EQ(page->Lyrics().size(), 2u);
  EXPECT_EQ(page->Lyrics()[0]->Note(), page->Notes(0)[0].get());
  EXPECT_EQ(page->Lyrics()[1]->Note(), nullptr);
}

TEST(StaffPage, MarkingALyricUnmarksTheOneBefore) {
  Laid l = Lay(0, {{{60, 0, 120}, {62, 120, 120}, {64, 240, 120}}});
  CStaffPage* page = l.Page();
  page->AttachLyric({"a", 0});
  page->AttachLyric({",", 120});
  page->AttachLyric({"b", 240});
  bool out = false;
  EXPECT_TRUE(page->MarkLyric(0, &out));
  EXPECT_FALSE(out);  // the first syllable: earlier pages are asked
  out = false;
  EXPECT_TRUE(page->MarkLyric(120, &out));
  EXPECT_TRUE(out);  // punctuation
  EXPECT_TRUE(page->Lyrics()[0]->Sung());
  out = false;
  EXPECT_TRUE(page->MarkLyric(240, &out));
  EXPECT_TRUE(out);
  EXPECT_FALSE(page->Lyrics()[0]->Sung());
  EXPECT_TRUE(page->Lyrics()[2]->Sung());
  EXPECT_FALSE(page->MarkLyric(999, &out));
  EXPECT_TRUE(page->UnmarkLastLyric());
  EXPECT_FALSE(page->Lyrics()[2]->Sung());
}

TEST(StaffPage, PercussionHeadsByKindAndValue) {
  struct Case {
    int note, length;
    const std::type_info& glyph;
  } cases[] = {
      {42, 240, typeid(CDiamondNote)},        {42, 120, typeid(CCrossNote)},
      {42, 60, typeid(CCrossNote8)},          {42, 30, typeid(CCrossNote16)},
      {46, 480, typeid(CCircledDiamondNote)}, {46, 120, typeid(CCircledCrossNote)},
      {46, 60, typeid(CCircledCrossNote8)},   {46, 30, typeid(CCircledCrossNote16)},
      {37, 240, typeid(CTriangleNote)},       {37, 60, typeid(CTriangleNote8)},
      {37, 30, typeid(CTriangleNote16)},      {38, 120, typeid(CQuarterNote)},
  };
  for (const Case& c : cases) {
    Laid l = Lay(7, {{{c.note, 0, c.length}}});
    ASSERT_EQ(l.Notes().size(), 1u) << c.note;
    EXPECT_EQ(typeid(*l.Notes()[0]), c.glyph) << c.note << " / " << c.length;
  }
  Laid side = Lay(7, {{{37, 0, 240}, {37, 240, 120}}});
  auto* half = dynamic_cast<CTriangleNote*>(side.Notes()[0].get());
  auto* quarter = dynamic_cast<CTriangleNote*>(side.Notes()[1].get());
  ASSERT_TRUE(half && quarter);
  EXPECT_FALSE(half->Filled());
  EXPECT_TRUE(quarter->Filled());
}

TEST(StaffPage, PercussionPlacesByTheMapAndSortsChords) {
  // The bass drum (35) is shown at 64, like E4 on a treble staff.
  Laid drum = Lay(7, {{{35, 0, 120}}});
  Laid treble = Lay(0, {{{64, 0, 120}}});
  EXPECT_EQ(drum.Notes()[0]->Step(), treble.Notes()[0]->Step());
  EXPECT_EQ(drum.Notes()[0]->Pitch(), 64);
  EXPECT_FALSE(drum.Notes()[0]->StemDown());
  // Hi-hat and bass drum as one chord: ordered by display pitch, placed
  // from the note at the stem's far end.
  Laid chord = Lay(7, {{{42, 0, 120, 1}, {36, 0, 120, 1}, {38, 0, 120, 1}}});
  ASSERT_EQ(chord.Notes().size(), 3u);
  const auto& c = chord.Notes();
  if (c[0]->StemDown())
    EXPECT_TRUE(c[0]->Pitch() > c[1]->Pitch() && c[1]->Pitch() > c[2]->Pitch());
  else
    EXPECT_TRUE(c[0]->Pitch() < c[1]->Pitch() && c[1]->Pitch() < c[2]->Pitch());
  // Note events name the drum note, not where it is shown.
  EXPECT_TRUE(chord.Page()->MarkNoteSounding(42, 0, false));
}

}  // namespace
