// Memory running out at every allocation in turn, inside each entry point of
// both views, the options and the score buffer: no exception may leave the
// library, and what is left must still take the next call. This program
// replaces operator new, so it runs apart from the other view tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "DemoSongs.h"
#include "JianPuView.h"
#include "ScoreBuffer.h"
#include "StaffView.h"
#include "ViewBitmap.h"
#include "testsupport/FailingAllocator.h"

namespace {

struct Step {
  const char* name;
  std::function<void(IScoreView&, IScoreBuffer&, HDC)> run;
};

std::vector<Step> Steps() {
  return {
      {"Rebuild", [](IScoreView& v, IScoreBuffer&, HDC) { v.Rebuild(); }},
      {"Paint", [](IScoreView& v, IScoreBuffer&, HDC dc) { v.Paint(dc); }},
      {"StepCursor",
       [](IScoreView& v, IScoreBuffer&, HDC) {
         for (int i = 0; i < 12; ++i) v.StepCursor(i % 4);
       }},
      {"NoteEvent", [](IScoreView& v, IScoreBuffer&, HDC) { v.NoteEvent(0x90 | 67 << 8 | 90 << 16, 0, 1); }},
      {"MarkLyric",
       [](IScoreView& v, IScoreBuffer&, HDC) {
         v.MarkLyric(0, 1);
         v.UnmarkLyrics(0, 1);
       }},
      {"OnMidiMessage",
       [](IScoreView& v, IScoreBuffer&, HDC) { v.OnMidiMessage(0x90 | 60 << 8 | 90 << 16, 1, 2); }},
      {"SeekTick", [](IScoreView& v, IScoreBuffer&, HDC) { v.SeekTick(2000); }},
      {"TickFromPoint", [](IScoreView& v, IScoreBuffer&, HDC) { v.TickFromPoint(300, 50); }},
      {"ScrollTo",
       [](IScoreView& v, IScoreBuffer&, HDC) {
         v.ScrollTo(0, 2);
         v.PrevPage();
       }},
      {"Layout",
       [](IScoreView& v, IScoreBuffer&, HDC) {
         const RECT r{0, 0, 500, 300};
         v.SetRect(&r);
       }},
      {"SetSizeLevel", [](IScoreView& v, IScoreBuffer&, HDC) { v.SetSizeLevel(2); }},
      {"SetTrackStaffKind", [](IScoreView& v, IScoreBuffer&, HDC) { v.SetTrackStaffKind(2, 1); }},
      {"Options",
       [](IScoreView& v, IScoreBuffer&, HDC) {
         if (IScoreViewOptions* o = v.GetOptions(1)) {
           o->SetNoteColor(RGB(1, 2, 3), -1);
           o->SetLineColor(RGB(1, 2, 3), 1);
           o->Release();
         }
       }},
      {"Rewind", [](IScoreView& v, IScoreBuffer&, HDC) { v.Rewind(); }},
      {"Buffer",
       [](IScoreView&, IScoreBuffer& b, HDC) {
         const ScoreTimeSig sigs[] = {{0, 3, 120}, {1440, 4, 120}};
         b.SetTimeSignatures(sigs, 2);
         const ScoreKeySig key = {0, 2};
         b.SetKeySignatures(&key, 1);
         const ScoreLyric lyric = {"la", 0};
         b.SetLyrics(1, &lyric, 1);
         ScoreNoteEvent events[] = {{0, 0x90, 60, 90, 0}, {120, 0x80, 60, 0, 0}, {-1, 0, 0, 0, 0}};
         b.AddTrackNotes(2, events, 3, 4, 0);
       }},
  };
}

using MakeView = std::function<IScoreView*()>;

// Runs every step with the k-th allocation failing, for every k until the
// step runs through; then the whole sequence once more with memory to spare.
void RunOutAtEveryAllocation(const MakeView& make) {
  CViewBitmap bitmap(500, 300);
  for (const Step& step : Steps()) {
    for (long k = 0;; ++k) {
      ASSERT_LT(k, 200000) << step.name;
      std::unique_ptr<IScoreBuffer, void (*)(IScoreBuffer*)> buffer(new CScoreBuffer(),
                                                                    [](IScoreBuffer* b) { b->Release(); });
      std::unique_ptr<IScoreView, void (*)(IScoreView*)> view(make(), [](IScoreView* v) { v->Release(); });
      view->SetScoreBuffer(buffer.get());
      const RECT rect{0, 0, 500, 300};
      view->SetRect(&rect);
      FillDemo(buffer.get(), view.get(), *FindDemoSong("hymn"));
      view->Rebuild();

      testsupport::FailAllocationAfter(k, testsupport::AllocationFailure::kFromThenOn);
      bool escaped = false;
      try {
        step.run(*view, *buffer, bitmap.Dc());
      } catch (...) {
        escaped = true;
      }
      testsupport::FailAllocationAfter(-1);
      ASSERT_FALSE(escaped) << step.name << " let an exception out at allocation " << k;
      const bool ranThrough = !testsupport::AllocationFailed();
      // Whatever the failure left, the view takes every call after it.
      for (const Step& after : Steps()) after.run(*view, *buffer, bitmap.Dc());
      if (ranThrough) break;
    }
  }
}

TEST(OutOfMemory, StaffViewEntryPointsKeepTheirExceptionsInside) {
  RunOutAtEveryAllocation([] { return static_cast<IScoreView*>(new CStaffView(nullptr)); });
}

TEST(OutOfMemory, NumberedViewEntryPointsKeepTheirExceptionsInside) {
  RunOutAtEveryAllocation([] { return static_cast<IScoreView*>(new CJianPuView(nullptr)); });
}

}  // namespace
