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
#include "MeasurePage.h"
#include "ScoreMeasure.h"
#include "score/ScoreRecords.h"

class CJianPuPainter;

class CJianPuPage : public CMeasurePage {
 public:
  explicit CJianPuPage(CJianPuPainter* painter);
  ~CJianPuPage();
  CJianPuPage(const CJianPuPage&) = delete;
  CJianPuPage& operator=(const CJianPuPage&) = delete;

  // @name Set-up by the painter
  void Layout(const CScoreMeasure& m);
  void LinkTies();
  void LinkTiesInto(CJianPuPage& next);

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
  // Window y of the top of the bar number, `textHeight` tall: above the
  // digits, and above a tie that reaches over the opening bar line.
  int BarNumberTop(const JianPuFrame& frame, int textHeight) const;

 private:
  // JianPuPageLayout.cpp
  void AddDigit(const ScoreNote& n, int x, int tonic);
  void AddRest(const RestPiece& r, int x);
  void FillGap(int from, int to, bool compound);
  size_t LayoutTuplet(const std::vector<ScoreNote>& list, size_t i, int tonic);
  void AddUnderlines();
  void PaintBarNumber(HDC dc, const JianPuFrame& f) const;

  CJianPuPainter* painter_;
  std::map<int, int> tupletCounts_;  // tuplet group -> count shown

  std::vector<std::unique_ptr<CJianPuNote>> notes_;     // digits of notes and rests, by tick
  std::vector<std::unique_ptr<CJianPuItem>> elements_;  // underlines, ties, tuplet arcs
  std::vector<std::unique_ptr<CJianPuLyricItem>> lyrics_;
  CDegreeAccidentals accidentals_;
};
