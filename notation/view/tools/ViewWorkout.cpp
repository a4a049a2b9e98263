#include "ViewWorkout.h"

#include <algorithm>
#include <random>
#include <vector>

namespace {

bool AnyInk(const CViewBitmap& bitmap, COLORREF background) {
  if (!bitmap.Valid()) return false;
  GdiFlush();
  const uint32_t bgrx = GetRValue(background) << 16 | GetGValue(background) << 8 | GetBValue(background);
  const uint32_t* bits = bitmap.Bits();
  for (int i = 0; i < bitmap.Width() * bitmap.Height(); ++i)
    if ((bits[i] & 0xFFFFFF) != bgrx) return true;
  return false;
}

void PaintOnce(IScoreView& view, CViewBitmap& bitmap, COLORREF background, ViewWorkout* w) {
  bitmap.Fill(background);
  view.Paint(bitmap.Dc());
  ++w->paints;
  if (AnyInk(bitmap, background)) ++w->paintsWithInk;
}

}  // namespace

ViewWorkout WorkOut(IScoreView& view, int songEnd, CViewBitmap& bitmap, COLORREF background) {
  ViewWorkout w;
  view.Rewind();
  PaintOnce(view, bitmap, background, &w);
  const int measures = view.GetLastMeasure() + 1;
  for (int m = 0; m <= measures; ++m) {
    for (int step = 0; step < 4; ++step) {
      view.StepCursor(step);
      ++w.steps;
    }
    PaintOnce(view, bitmap, background, &w);
  }

  const int seeks = 12;
  for (int k = 0; k <= seeks; ++k) {
    view.SeekTick(static_cast<int>(static_cast<long long>(songEnd) * k / seeks));
    PaintOnce(view, bitmap, background, &w);
  }

  view.ScrollTo(0, 0);
  int last = -1;
  for (int x = 0; x < bitmap.Width(); x += 2) {
    const int tick = view.TickFromPoint(x, bitmap.Height() / 2);
    if (tick < 0) continue;
    ++w.pointsAnswered;
    if (tick < last) ++w.pointsOutOfOrder;
    if (tick > songEnd) ++w.pointsOutOfSong;
    last = tick;
  }
  PaintOnce(view, bitmap, background, &w);
  return w;
}

int FillMeterSong(IScoreBuffer* buffer, int beats, int beatTicks, int bars, int staffKind, unsigned seed) {
  buffer->Clear();
  const ScoreTimeSig sig = {0, beats, beatTicks};
  buffer->SetTimeSignatures(&sig, 1);
  const int end = beats * beatTicks * bars;
  std::mt19937 rng(seed);
  std::vector<ScoreNoteEvent> events;
  auto add = [&](int tick, int length, int note) {
    events.push_back({tick, 0x90, static_cast<uint8_t>(note), 100, 0});
    events.push_back({tick + length, 0x80, static_cast<uint8_t>(note), 0, 0});
  };
  for (int tick = static_cast<int>(rng() % 20); tick < end;) {
    if (rng() % 4 == 0) {
      for (int j = 0; j < 3; ++j) add(tick + 40 * j, 40, 60 + static_cast<int>(rng() % 12));
      tick += 120;
      continue;
    }
    const int chord = 1 + static_cast<int>(rng() % 3), length = 10 + static_cast<int>(rng() % 600);
    for (int j = 0; j < chord; ++j) add(tick, length, 38 + static_cast<int>(rng() % 50));
    tick += 15 + static_cast<int>(rng() % 240);
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const ScoreNoteEvent& a, const ScoreNoteEvent& b) { return a.tick < b.tick; });
  events.push_back({-1, 0, 0, 0, 0});
  buffer->AddTrackNotes(1, events.data(), static_cast<unsigned>(events.size()), bars, staffKind);
  return end;
}
