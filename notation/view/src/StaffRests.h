// Rest filling of a staff voice: the gaps between notes become rests cut
// along the beat structure, so that a rest never hides a beat, half bars of
// 240 and bars of 480 ticks are respected, and compound meters are filled in
// dotted-quarter groups. Pure arithmetic; the page turns the result into
// rest glyphs.
#pragma once

#include <vector>

#include "ScoreNote.h"

struct RestSpec {
  int from = 0;      // offset in the measure, ticks
  int count = 1;     // units of `length`
  int length = 120;  // 30, 60 or 120
  bool dotted = false;
  int pitch = 60;  // the neighbouring note's pitch: picks the staff of a two-staff part

  int Ticks() const { return count * length * (dotted ? 3 : 2) / 2; }
};

class CRestFiller {
 public:
  // How gaps are cut, from the time signature.
  enum Mode { kQuarters = 0, kShortBar = 1, kTriple = 2, kEighthTriple = 3, kCompound = 4 };
  static int ModeFor(int beats, int beatTicks);

  CRestFiller(int beats, int beatTicks);
  // Rests for the gaps of a voice list (sorted by notated offset). An empty
  // list gives nothing: the page draws a whole-measure rest instead.
  std::vector<RestSpec> FillVoice(const std::vector<ScoreNote>& notes);
  // Rests for one gap [from, to).
  std::vector<RestSpec> FillGap(int from, int to, int pitch);

 private:
  void Gap(int from, int to);
  void SplitRests(int from, int to, int unit, bool noDottedQuarter);
  void FillRests(int from, int to, int unit, bool noDottedQuarter);
  void FillShort(int from, int to, int unit);
  void FillCells(int from, int to, int unit);
  void FillCompound(int from, int to);
  void Add(int from, int count, int length, bool dotted);

  int barTicks_;
  int mode_;
  int pitch_ = 60;
  std::vector<RestSpec> out_;
};
