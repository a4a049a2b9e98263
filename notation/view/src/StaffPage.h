// One measure of one staff part, laid out: the note glyphs of each voice,
// rests, beams, tuplet marks, ties and lyric syllables, with x positions
// relative to the measure's note origin and staff steps. The painter makes
// one page per measure (CDrumStaffPage for percussion); a line paints the
// pages it shows with the frame it lends them. Defined in StaffPage.cpp
// (set-up, play events, lyrics, painting) and StaffPageLayout.cpp (placement
// of notes, chords, beams, tuplets, rests and ties).
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "LyricItem.h"
#include "MeasurePage.h"
#include "NotationItem.h"
#include "ScoreGlyph.h"
#include "ScoreMeasure.h"
#include "StaffFrame.h"
#include "score/ScoreRecords.h"

class CStaffPainter;
struct RestSpec;

// How a note element is placed, which selects the glyph.
enum class GlyphRole { kPlain, kBeamed, kTuplet, kTupletChord };

class CStaffPage : public CMeasurePage {
 public:
  explicit CStaffPage(CStaffPainter* painter);
  virtual ~CStaffPage();
  CStaffPage(const CStaffPage&) = delete;
  CStaffPage& operator=(const CStaffPage&) = delete;

  // @name Set-up by the painter
  // Signatures, widths and scale of the measure; x is where the painter's own
  // run of pages puts it (lines place pages themselves).
  void SetMeasure(const CScoreMeasure& m, int x);
  // Places the notes of the measure's voices and fills the gaps with rests.
  virtual void Layout(const CScoreMeasure& m);
  // Ties between notes of this measure, and into the next measure's page.
  void LinkTies(int voice);
  void LinkTiesInto(CStaffPage& next, int voice);

  // @name Measure (the rest in CMeasurePage)
  // The key whose signs the measure opens with: the previous key as naturals when the key became 0.
  int HeaderKey() const { return key_ == 0 && showKey_ ? previousKey_ : key_; }
  // Window x of the note origin for a bar line at barX.
  int OriginX(int barX, const StaffPlacement& p) const;

  // @name Layout results
  const std::vector<std::unique_ptr<CScoreGlyph>>& Notes(int voice) const;
  const std::vector<std::unique_ptr<CNotationItem>>& Elements() const { return elements_; }
  const std::vector<std::unique_ptr<CLyricItem>>& Lyrics() const { return lyrics_; }
  // Where the measure's lyrics and bar number can go, once its notes, marks
  // and ties are placed: the lowest top of a lyric line below everything the
  // measure draws, from the reference line of the staff lyrics sit under, and
  // the bar number's top above everything, from the upper staff's reference line.
  void MeasureReach();
  int LyricTop() const { return lyricTop_; }
  int BarNumberTop() const { return barNumberTop_; }
  // Top of the measure's free texts, above the bar number, from the same line.
  int TextTop() const { return textTop_; }
  // The part's own staves with the measure's tick 0 at x 0, as the layout measures against.
  StaffFrame LayoutFrame() const;

  // @name Play events
  // Lights the note of that pitch starting within 15 ticks of tick, and its
  // tied continuations. The pitch is the MIDI note as played.
  // `changed`, when given, receives the glyph whose state changed.
  bool MarkNoteSounding(int pitch, int tick, bool flag, const CScoreGlyph** changed = nullptr);
  bool ClearNoteSounding(int pitch, int tick, const CScoreGlyph** changed = nullptr);
  void ClearHighlights();

  // @name Lyrics
  // False when the syllable belongs to a later page.
  virtual bool AttachLyric(const ScoreLyric& lyric);
  // Marks the syllable of exactly that tick as sung; *out is set when the
  // previous syllable was dealt with here (or this one is punctuation).
  bool MarkLyric(int tick, bool* out);
  bool UnmarkLastLyric();
  bool UnmarkLyricsBefore(int tick);

  void Paint(HDC dc, const StaffFrame& frame);

 protected:
  // @name Hooks of the percussion page
  virtual int DisplayPitch(int pitch) const { return pitch; }
  virtual bool IsStemDown(int pitch, int step) const;
  // The glyph for a note; null when the value class has none.
  virtual std::unique_ptr<CScoreGlyph> CreateNoteGlyph(const ScoreNote& note, GlyphRole role,
                                                       const GlyphSpec& spec);
  // Orders the notes of a chord before placement.
  virtual void SortChord(std::vector<const ScoreNote*>& chord) const {}
  // The voices Layout walks.
  virtual std::vector<int> LayoutVoices(const CScoreMeasure& m) const;

  CStaffPainter* painter_;

 private:
  struct Placed {
    const ScoreNote* note;
    int pitch;  // display pitch
    int step;
    int spelled;
  };

  // StaffPageLayout.cpp
  void LayoutVoice(const CScoreMeasure& m, int voice);
  size_t LayoutTuplet(const CScoreMeasure& m, int voice, const std::vector<ScoreNote>& list, size_t i);
  size_t LayoutBeamGroup(const CScoreMeasure& m, int voice, const std::vector<ScoreNote>& list, size_t i);
  // Returns the x the onset ended up at.
  int PlaceChord(int voice, const std::vector<const ScoreNote*>& chord, bool stemsUp, GlyphRole role, int x,
                 int extremeStep, int stemBase);
  int KeepClear(int voice, size_t first, int x);
  void ArrangeAccidentals(int voice, size_t first) const;
  void AddBeams(const std::vector<CScoreGlyph*>& glyphs, const std::vector<const ScoreNote*>& notes, bool up,
                int extremeStep, int anchorPitch);
  void FillRests(const CScoreMeasure& m, int voice);
  // The lead-in that keeps every head, ledger line and accidental of the
  // placed notes clear of the bar line.
  int LeadInForNotes() const;
  void AddRest(const RestSpec& rest, int voice);
  Placed Place(const ScoreNote& n) const;
  bool BeamDirectionUp(int lowPitch, int highPitch) const;
  int AccidentalFor(int voice, int pitch, int step, int spelled);
  CScoreGlyph* AddGlyph(int voice, const ScoreNote& note, GlyphRole role, const GlyphSpec& spec);
  GlyphSpec SpecFor(const ScoreNote& note, const Placed& p, int x) const;
  std::vector<std::unique_ptr<CScoreGlyph>>& VoiceList(int voice);
  int VoiceOfPitch(int pitch) const;
  int PlayedPitch(int midiNote) const;

  void PaintHeader(HDC dc, const StaffFrame& f) const;
  void PaintBarNumber(HDC dc, const StaffFrame& f) const;

  // @name Placement
  int x_ = 0;
  int leadIn_ = 5;                // note origin from the bar line plus note offset
  int nextFreeX_[3] = {0, 0, 0};  // per voice, while laying out: where the next onset's ink may start
  bool spread_ = false;           // some onset was moved off its grid place
  int lyricTop_ = 10;
  int barNumberTop_ = -55;
  int textTop_ = -70;

  // @name Elements, owned
  std::vector<std::unique_ptr<CScoreGlyph>> notes_[3];  // single, upper, lower staff
  std::vector<std::unique_ptr<CNotationItem>> elements_;
  std::vector<std::unique_ptr<CLyricItem>> lyrics_;
  // Accidentals shown so far in the measure, per staff.
  struct ShownAccidental {
    int step;
    int pitch;
    int accidental;
  };
  std::vector<ShownAccidental> accidentals_[3];
};
