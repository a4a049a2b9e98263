// The staff view through its interface: rebuilds, staff kinds, sizes,
// options, paging after the end, and the library's factory.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DemoSongs.h"
#include "base/Library.h"
#include "ScoreBuffer.h"
#include "StaffPage.h"
#include "StaffPainter.h"
#include "StaffView.h"
#include "ViewWorkout.h"

namespace {

struct BufferReleaser {
  void operator()(IScoreBuffer* b) const { b->Release(); }
};
using BufferPtr = std::unique_ptr<IScoreBuffer, BufferReleaser>;

struct ViewFixture {
  BufferPtr bufferOwner{new CScoreBuffer()};
  IScoreBuffer& buffer = *bufferOwner;
  std::unique_ptr<CStaffView> view = std::make_unique<CStaffView>(nullptr);
  RECT rect{0, 0, 900, 400};

  explicit ViewFixture(const char* song = "hymn", int copies = 1) {
    view->SetScoreBuffer(&buffer);
    view->SetRect(&rect);
    DemoSong s = *FindDemoSong(song);
    const DemoTrack t = s.tracks[0];
    for (int i = 1; i < copies; ++i) {
      DemoTrack copy = t;
      copy.number = t.number + i;
      s.tracks.push_back(copy);
    }
    FillDemo(&buffer, view.get(), s);
  }
  CStaffPainter* Part(int track) { return view->PartOf(track); }
};

TEST(StaffView, ChooseClef) {
  CStaffView view(nullptr);
  struct Case {
    uint16_t low, high;
    int kind;
  } cases[] = {{40, 70, 2}, {60, 90, 0}, {66, 90, 5}, {66, 80, 0},
               {30, 50, 6}, {40, 60, 1}, {52, 60, 1}, {50, 67, 1}};
  for (const Case& c : cases) EXPECT_EQ(view.ChooseClef(c.low, c.high), c.kind) << c.low << ".." << c.high;
}

TEST(StaffView, RebuildWithoutTracksIsEmpty) {
  CStaffView view(nullptr);
  EXPECT_EQ(view.Rebuild(), 1);  // no buffer at all
  BufferPtr empty(new CScoreBuffer());
  view.SetScoreBuffer(empty.get());
  EXPECT_EQ(view.Rebuild(), 1);
  EXPECT_TRUE(view.Pager().Lines().empty());
  EXPECT_EQ(view.GetLastMeasure(), -1);
  EXPECT_EQ(view.TickFromPoint(10, 10), -1);
}

TEST(StaffView, EmptyingTheBufferDropsPartsTrackerAndLines) {
  ViewFixture f;
  ASSERT_EQ(f.view->Rebuild(), 0);
  ASSERT_NE(f.view->Tracker(), nullptr);
  EXPECT_GT(f.view->GetMeasureCount(1), 0);
  f.buffer.Clear();
  EXPECT_EQ(f.view->Rebuild(), 1);
  EXPECT_EQ(f.view->Tracker(), nullptr);
  EXPECT_TRUE(f.view->Pager().Lines().empty());
  // Playback events after the rebuild reach nothing that is gone.
  f.view->OnMidiMessage(0x90 | 60 << 8 | 100 << 16, 10, 8);
  f.view->StepCursor(0);
  f.view->StepCursor(2);
  f.view->NoteEvent(0x90 | 60 << 8 | 100 << 16, 0, 1);
  f.view->SeekTick(500);
  EXPECT_EQ(f.view->PrevPage(), -1);
}

TEST(StaffView, StaffKindChanges) {
  ViewFixture f;
  ASSERT_EQ(f.view->Rebuild(), 0);
  CStaffPainter* before = f.Part(1);
  int kind = -1;
  ASSERT_EQ(f.view->GetTrackStaffKind(&kind, 1), 0);
  EXPECT_EQ(f.view->SetTrackStaffKind(kind, 1), 1);  // the same kind
  EXPECT_EQ(f.Part(1), before);
  EXPECT_EQ(f.view->SetTrackStaffKind(1, 5), 1);  // no such track
  EXPECT_EQ(f.view->SetTrackStaffKind(9, 1), 1);  // no such kind
  EXPECT_EQ(f.view->SetTrackStaffKind(-1, 1), 1);
  EXPECT_EQ(f.view->SetTrackStaffKind(1, 1), 0);
  ASSERT_EQ(f.view->GetTrackStaffKind(&kind, 1), 0);
  EXPECT_EQ(kind, 1);
  EXPECT_EQ(f.buffer.GetData()->tracks[0].staffKind, 1);
  EXPECT_EQ(f.view->GetTrackStaffKind(&kind, 3), 1);
}

TEST(StaffView, SizeLevelsAndLineWidth) {
  ViewFixture f;
  ASSERT_EQ(f.view->Rebuild(), 0);
  CStaffPainter* before = f.Part(1);
  f.view->SetSizeLevel(1);  // the level it has
  EXPECT_EQ(f.Part(1), before);
  f.view->SetSizeLevel(4);
  f.view->SetSizeLevel(-1);
  EXPECT_EQ(f.view->SizeLevel(), 1);
  f.view->SetSizeLevel(0);
  EXPECT_EQ(f.view->SizeLevel(), 0);
  EXPECT_EQ(f.Part(1)->SizeLevel(), 0);
  EXPECT_EQ(f.Part(1)->LineGap(), 6);

  f.view->SetLineWidth(5);
  EXPECT_EQ(f.Part(1)->StrokeThickness(), 2);
  f.view->SetLineWidth(0);
  EXPECT_EQ(f.Part(1)->StrokeThickness(), 0);
}

TEST(StaffView, OptionsOnAnEmptyViewGiveDefaults) {
  CStaffView view(nullptr);
  EXPECT_EQ(view.GetOptions(2), nullptr);
  EXPECT_EQ(view.GetOptions(0), nullptr);
  IScoreViewOptions* o = view.GetOptions(1);
  ASSERT_NE(o, nullptr);
  for (int track : {-1, 1}) {
    EXPECT_EQ(o->GetNoteColor(track), 0u);
    EXPECT_EQ(o->GetLineColor(track), 0u);
    EXPECT_TRUE(o->GetShowBarIndex(track));
    EXPECT_TRUE(o->GetHeavyEndBar(track));
  }
  o->Release();
}

TEST(StaffView, OptionsReachRecordsAndPainters) {
  ViewFixture f("hymn", 3);
  ASSERT_EQ(f.view->Rebuild(), 0);
  IScoreViewOptions* o = f.view->GetOptions(1);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->GetNoteColor(-1), PainterDefaults::kNote);
  o->SetNoteColor(RGB(1, 2, 3), -1);
  for (int t = 1; t <= 3; ++t) {
    EXPECT_EQ(f.Part(t)->NoteColor(), RGB(1, 2, 3));
    EXPECT_EQ(o->GetNoteColor(t), RGB(1, 2, 3));
  }
  o->SetLineColor(RGB(9, 9, 9), 2);
  EXPECT_EQ(f.Part(2)->LineColor(), RGB(9, 9, 9));
  EXPECT_EQ(f.Part(1)->LineColor(), PainterDefaults::kLine);
  o->SetShowBarIndex(false, 3);
  EXPECT_FALSE(o->GetShowBarIndex(3));
  EXPECT_TRUE(o->GetShowBarIndex(1));

  // A part without a record: the painter changes, the getter keeps its default.
  f.view->OptionRecords().erase(2);
  o->SetHighlightNoteColor(RGB(0, 200, 0), 2);
  EXPECT_EQ(f.Part(2)->HighlightColor(), RGB(0, 200, 0));
  EXPECT_EQ(o->GetHighlightNoteColor(2), 0u);
  o->Release();

  // After a rebuild the records go to the new parts by position.
  ASSERT_EQ(f.view->Rebuild(), 0);
  EXPECT_EQ(f.Part(1)->NoteColor(), RGB(1, 2, 3));
  EXPECT_EQ(f.Part(2)->LineColor(), PainterDefaults::kLine);  // record 2 was gone: third record moved up
  EXPECT_FALSE(f.Part(2)->ShowBarIndex());
  EXPECT_TRUE(f.Part(3)->ShowBarIndex());
}

// Notes answer to the tick they were played at, not the grid tick they are
// drawn at: a note 15 ticks off the grid is moved 15 ticks and would
// otherwise never be matched by its own note-on.
TEST(StaffView, NotesLightAtTheTickTheyWerePlayed) {
  BufferPtr buffer(new CScoreBuffer());
  const ScoreTimeSig sig = {0, 4, 120};
  buffer->SetTimeSignatures(&sig, 1);
  const int played[] = {255, 615};
  std::vector<ScoreNoteEvent> events;
  for (int tick : played) {
    events.push_back(ScoreNoteEvent{tick, 0x90, 64, 100, 0});
    events.push_back(ScoreNoteEvent{tick + 90, 0x80, 64, 0, 0});
  }
  events.push_back(ScoreNoteEvent{-1, 0, 0, 0, 0});
  ASSERT_EQ(buffer->AddTrackNotes(1, events.data(), unsigned(events.size()), 2, 0), 0);
  CStaffView view(nullptr);
  view.SetScoreBuffer(buffer.get());
  const RECT rect{0, 0, 900, 400};
  view.SetRect(&rect);
  ASSERT_EQ(view.Rebuild(), 0);
  for (int tick : played) {
    CStaffPage* page = view.PartOf(1)->Page(tick / 480);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->MarkNoteSounding(64, tick, false)) << tick;
    EXPECT_TRUE(page->ClearNoteSounding(64, tick + 90)) << tick;
  }
}

// Meters with beats of a few ticks (x/64, x/128, x/256), a whole-note beat
// and long bars, in free and fixed measure widths: every tick the view works
// out from a beat of grid units must stay a real, ordered tick.
TEST(StaffView, UnusualMetersAndWidthsPageAndPoint) {
  const int meters[][2] = {{7, 7}, {3, 3}, {4, 1}, {5, 15}, {3, 30}, {1, 480}, {13, 120}, {6, 60}};
  CViewBitmap bitmap(700, 300);
  for (const auto& meter : meters) {
    for (int kind : {kTrebleStaff, kGrandStaff, kPercussionStaff}) {
      for (bool fixed : {false, true}) {
        SCOPED_TRACE(std::to_string(meter[0]) + " beats of " + std::to_string(meter[1]) + ", kind " +
                     std::to_string(kind) + (fixed ? ", fixed width" : ""));
        BufferPtr buffer(new CScoreBuffer());
        CStaffView view(nullptr);
        view.SetScoreBuffer(buffer.get());
        const RECT rect{0, 0, 700, 300};
        view.SetRect(&rect);
        view.SetFixedMeasureWidth(fixed, 90);
        const int bars = 6;
        const int end = FillMeterSong(buffer.get(), meter[0], meter[1], bars, kind, 5);
        ASSERT_EQ(view.Rebuild(), 0);
        EXPECT_EQ(view.GetMeasureCount(1), bars);
        const ViewWorkout w = WorkOut(view, end, bitmap, RGB(0, 0, 0));
        EXPECT_EQ(w.paintsWithInk, w.paints);
        EXPECT_GT(w.pointsAnswered, 0);
        EXPECT_EQ(w.pointsOutOfOrder, 0);
        EXPECT_EQ(w.pointsOutOfSong, 0);
      }
    }
  }
}

TEST(StaffView, RewindAfterTheEndShowsTheStart) {
  ViewFixture f;
  ASSERT_EQ(f.view->Rebuild(), 0);
  const int measures = f.view->GetMeasureCount(1);
  for (int i = 0; i < measures + 2; ++i) f.view->StepCursor(0);
  EXPECT_GT(f.view->Pager().GetFirstMeasure(), 0);
  f.view->Rewind();
  EXPECT_EQ(f.view->Pager().GetFirstMeasure(), 0);
  EXPECT_EQ(f.view->ScrollTo(0, 1), 0);
}

TEST(StaffView, ResizeRefitsTheShownPage) {
  ViewFixture f;
  ASSERT_EQ(f.view->Rebuild(), 0);
  char fits = 0;
  const int wide = f.view->GetPageMeasureCount(&fits);
  const RECT narrow{0, 0, 400, 400};
  f.view->SetRect(&narrow);
  EXPECT_LT(f.view->GetPageMeasureCount(&fits), wide);
  EXPECT_EQ(f.view->Layout(&f.rect), 0);
  EXPECT_EQ(f.view->GetPageMeasureCount(&fits), wide);
}

TEST(ScoreLibrary, StaffFactoryTakesVersionTwoOnly) {
  base::Library score("Score.dll");
  ASSERT_TRUE(score);
  auto create = score.Find<CreateScoreViewFn>("CreateStaffInstance");
  ASSERT_NE(create, nullptr);
  EXPECT_EQ(create(nullptr, 1), nullptr);
  EXPECT_EQ(create(nullptr, 3), nullptr);
  IScoreView* view = create(nullptr, 2);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->Rebuild(), 1);
  view->Release();
}

}  // namespace
