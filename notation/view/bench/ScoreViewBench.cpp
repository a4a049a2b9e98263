// Speed of the staff view and the numbered view on a dense 300-measure song (two staves,
// four sixteenths against chords in every beat, a syllable per beat): a full Rebuild, one full paint of the
// page into a memory bitmap, and one highlight update (note-on, note-off, and the repaint of what they
// invalidated). Targets here: Rebuild < 50 ms, paint < 10 ms, highlight < 1 ms.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "ScoreBuffer.h"
#include "StaffView.h"
#include "ViewBitmap.h"
#include "JianPuView.h"
#include "testsupport/Clock.h"

namespace {

constexpr int kMeasures = 300;

template <typename F>
double Median(int runs, F f) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double start = testsupport::NowMs();
    f();
    times.push_back(testsupport::NowMs() - start);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

std::vector<ScoreNoteEvent> DenseSong(std::vector<ScoreLyric>* lyrics) {
  std::vector<ScoreNoteEvent> events;
  auto note = [&](int tick, int length, int pitch) {
    events.push_back({tick, 0x90, static_cast<uint8_t>(pitch), 80, 0});
    events.push_back({tick + length, 0x80, static_cast<uint8_t>(pitch), 0, 0});
  };
  static const int kMelody[8] = {72, 74, 76, 77, 79, 77, 76, 74};
  for (int m = 0; m < kMeasures; ++m) {
    for (int beat = 0; beat < 4; ++beat) {
      const int at = m * 480 + beat * 120;
      for (int s = 0; s < 4; ++s)
        note(at + s * 30, 25, kMelody[(m + beat + s) % 8] + (s == 3 && beat == 1 ? 1 : 0));
      note(at, 110, 48 + (m % 5));
      note(at, 110, 52 + (m % 5));
      note(at, 110, 55 + (m % 5));
      lyrics->push_back({"la", at});
    }
  }
  std::stable_sort(events.begin(), events.end(), [](const ScoreNoteEvent& a, const ScoreNoteEvent& b) {
    return a.tick != b.tick ? a.tick < b.tick : (a.status & 0xF0) < (b.status & 0xF0);
  });
  return events;
}

}  // namespace

// Rebuild, full paint and highlight update of one view kind; true when the
// targets are met.
template <typename View>
bool Run(const char* name, IScoreBuffer* buffer, size_t eventCount, const char* png) {
  View view(nullptr);
  view.SetScoreBuffer(buffer);
  view.SetSizeLevel(0);
  const RECT rect{0, 0, 1000, 300};
  view.SetRect(&rect);
  CViewBitmap bitmap(1000, 300);

  int rc = 0;
  const double rebuild = Median(9, [&] { rc = view.Rebuild(); });
  // Play into the song a little, so that the cursor and a few marks show.
  for (int i = 0; i < 3; ++i) view.StepCursor(0);
  const double paint = Median(21, [&] {
    bitmap.Fill(RGB(0, 0, 0));
    view.Paint(bitmap.Dc());
    GdiFlush();
  });
  // The first sixteenth of measure 2's second beat, on the page.
  const int tick = 2 * 480 + 120;
  const uint32_t on = 0x90 | 77 << 8 | 100 << 16, off = 0x80 | 77 << 8;
  view.NoteEvent(on, tick, 1);
  const RECT lit = view.Pager().Dirty();
  view.Paint(bitmap.Dc());
  const double highlight = Median(101, [&] {
    view.NoteEvent(on, tick, 1);
    view.NoteEvent(off, tick + 25, 1);
    const RECT dirty = view.Pager().Dirty();
    const int saved = SaveDC(bitmap.Dc());
    IntersectClipRect(bitmap.Dc(), dirty.left, dirty.top, dirty.right, dirty.bottom);
    view.Paint(bitmap.Dc());
    GdiFlush();
    RestoreDC(bitmap.Dc(), saved);
  });

  // With a file name, the painted page is kept for a look.
  if (png) bitmap.SavePng(png);
  printf("%s, %d measures, %zu note events, rebuild result %d\n", name, kMeasures, eventCount, rc);
  printf("  Rebuild          %8.2f ms  (target < 50)\n", rebuild);
  printf("  full paint       %8.2f ms  (target < 10)\n", paint);
  printf("  highlight update %8.3f ms  (target < 1), repainting %ld x %ld px\n", highlight,
         lit.right - lit.left, lit.bottom - lit.top);
  const bool met = !IsRectEmpty(&lit) && rebuild < 50 && paint < 10 && highlight < 1;
  printf("  %s\n", met ? "targets met" : "TARGETS MISSED");
  return met;
}

int main(int argc, char** argv) {
  std::unique_ptr<IScoreBuffer, void (*)(IScoreBuffer*)> buffer(new CScoreBuffer(),
                                                                [](IScoreBuffer* b) { b->Release(); });
  const ScoreTimeSig time{0, 4, 120};
  const ScoreKeySig key{0, 2};
  std::vector<ScoreLyric> lyrics;
  const std::vector<ScoreNoteEvent> song = DenseSong(&lyrics);
  buffer->SetTimeSignatures(&time, 1);
  buffer->SetKeySignatures(&key, 1);
  std::vector<ScoreNoteEvent> events = song;
  buffer->AddTrackNotes(1, events.data(), static_cast<unsigned>(events.size()), kMeasures, 2);
  buffer->SetLyrics(1, lyrics.data(), static_cast<int>(lyrics.size()));

  bool met = Run<CStaffView>("staff view", buffer.get(), song.size(), argc > 1 ? argv[1] : nullptr);
  met = Run<CJianPuView>("numbered view", buffer.get(), song.size(), argc > 2 ? argv[2] : nullptr) && met;
  return met ? 0 : 1;
}
