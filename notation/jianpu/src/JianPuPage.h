// One measure of one numbered part, laid out: a digit element per note and
// rest (one voice), underlines, ties, tuplet arcs and lyric syllables, with x
// positions relative to the measure's note origin. The painter makes one page
// per measure; a line paints the pages it shows with the frame it lends them.
// Defined in JianPuPage.cpp (set-up, play events, lyrics, painting) and
// JianPuPageLayout.cpp (digits, rests, tuplets, underlines and ties).
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "JianPuFrame.h"
#include "JianPuItems.h"
#include "JianPuLyricItem.h"
#include "ScoreMeasure.h"
#include "score/ScoreRecords.h"

class CJianPuPainter;

class CJianPuPage {
public:
  explicit CJianPuPage(CJianPuPainter* painter);
  ~CJianPuPage();
  CJianPuPage(const CJianPuPage&) = delete;
  CJianPuPage& operator=(const CJianPuPage&) = delete;

  // @name Set-up by the painter
  void SetMeasure(const CScoreMeasure& m);
  void AddText(const ScoreText& text) { texts_.push_back(text); }
  void Layout(const CScoreMeasure& m);
  void LinkTies();
  void LinkTiesInto(CJianPuPage& next);

  // @name Measure
  int Index() const { return index_; }
  int Beats() const { return beats_; }
  int BeatTicks() const { return beatTicks_; }
  int StartTick() const { return startTick_; }
  int EndTick() const { return startTick_ + beats_ * beatTicks_; }
  int Width() const { return width_; }
  int NoteOffset() const { return noteOffset_; }
  double Scale() const { return scale_; }
  int UnitsPerBeat() const { return unitsPerBeat_; }
  bool ShowKey() const { return showKey_; }
  bool ShowTime() const { return showTime_; }
  int Key() const { return key_; }
  int PreviousKey() const { return previousKey_; }
  // x of an offset in ticks from the measure start, relative to the note origin.
  int TickX(int offset) const;

  // @name Layout results
  const std::vector<std::unique_ptr<CJianPuNote>>& Notes() const { return notes_; }
  const std::vector<std::unique_ptr<CJianPuItem>>& Elements() const { return elements_; }
  const std::vector<std::unique_ptr<CJianPuLyricItem>>& Lyrics() const { return lyrics_; }

  // @name Play events
  // `changed`, when given, receives the digit whose state changed.
  bool MarkNoteSounding(int pitch, int tick, bool flag, const CJianPuNote** changed = nullptr);
  bool ClearNoteSounding(int pitch, int tick, const CJianPuNote** changed = nullptr);
  void ClearHighlights();

  // @name Lyrics
  bool AttachLyric(const ScoreLyric& lyric);
  bool MarkLyric(int tick, bool* out);
  bool UnmarkLastLyric();
  bool UnmarkLyricsBefore(int tick);

  void Paint(HDC dc, const JianPuFrame& frame);

private:
  // JianPuPageLayout.cpp
  void AddDigit(const ScoreNote& n, int x, int tonic);
  void AddRest(const RestPiece& r, int x);
  void FillGap(int from, int to, bool compound);
  size_t LayoutTuplet(const std::vector<ScoreNote>& list, size_t i, int tonic);
  void AddUnderlines();

  CJianPuPainter* painter_;
  int index_ = 0;
  int beats_ = 4;
  int beatTicks_ = 120;
  int startTick_ = 0;
  int width_ = 0;
  int noteOffset_ = 0;
  bool showTime_ = false;
  bool showKey_ = false;
  int key_ = 0;
  int previousKey_ = 0;
  double scale_ = 16;
  int unitsPerBeat_ = 1;
  bool fixedTupletSpacing_ = false;
  bool tiesSuppressed_ = false;
  std::vector<ScoreText> texts_;
  std::map<int, int> tupletCounts_;  // tuplet group -> count shown

  std::vector<std::unique_ptr<CJianPuNote>> notes_;     // digits of notes and rests, by tick
  std::vector<std::unique_ptr<CJianPuItem>> elements_;  // underlines, ties, tuplet arcs
  std::vector<std::unique_ptr<CJianPuLyricItem>> lyrics_;
  CDegreeAccidentals accidentals_;
};
