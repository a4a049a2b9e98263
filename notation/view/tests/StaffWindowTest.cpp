// What the staff view invalidates in a real window (needs an X display under
// Wine): note events, cursor moves both ways, live-note marks, a new window.
#include <gtest/gtest.h>

#include "DemoSongs.h"
#include "NoteTracker.h"
#include "PlayCursor.h"
#include "ScoreBuffer.h"
#include "StaffPage.h"
#include "StaffPainter.h"
#include "StaffView.h"

namespace {

class Window {
 public:
  Window() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "StaffViewTestWindow";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, wc.lpszClassName, "staff", WS_OVERLAPPEDWINDOW, 0, 0, 900, 400, nullptr,
                            nullptr, wc.hInstance, nullptr);
    if (hwnd_) ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  }
  ~Window() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  HWND Get() const { return hwnd_; }
  void Validate() const { ValidateRect(hwnd_, nullptr); }
  RECT Update() const {
    RECT r{};
    GetUpdateRect(hwnd_, &r, FALSE);
    return r;
  }

 private:
  HWND hwnd_ = nullptr;
};

TEST(StaffWindow, ChangesInvalidateWithoutErasing) {
  Window w;
  ASSERT_NE(w.Get(), nullptr) << "no display";
  std::unique_ptr<IScoreBuffer, void (*)(IScoreBuffer*)> buffer(new CScoreBuffer(),
                                                                [](IScoreBuffer* b) { b->Release(); });
  CStaffView view(w.Get());
  view.SetScoreBuffer(buffer.get());
  const RECT rect{0, 0, 800, 300};
  view.SetRect(&rect);
  FillDemo(buffer.get(), &view, *FindDemoSong("hymn"));
  ASSERT_EQ(view.Rebuild(), 0);

  w.Validate();
  view.NoteEvent(0x90 | 66 << 8 | 90 << 16, 0, 1);
  // Only the note that lit up: a highlight must not repaint the page.
  RECT r = w.Update();
  EXPECT_FALSE(IsRectEmpty(&r));
  EXPECT_LT(r.right - r.left, 100);
  const CScoreGlyph* note = view.PartOf(1)->Page(0)->Notes(0)[0].get();
  StaffFrame frame;
  ASSERT_TRUE(view.Pager().Lines()[0]->FrameFor(0, &frame));
  EXPECT_LE(r.left, note->HeadLeft(frame));
  EXPECT_GE(r.right, note->HeadLeft(frame) + 7);
  w.Validate();
  view.NoteEvent(0x80 | 66 << 8, 100, 1);
  r = w.Update();
  EXPECT_FALSE(IsRectEmpty(&r));
  w.Validate();
  view.NoteEvent(0x90 | 61 << 8 | 90 << 16, 0, 1);  // no such note: nothing to repaint
  r = w.Update();
  EXPECT_TRUE(IsRectEmpty(&r));

  w.Validate();
  view.StepCursor(0);
  r = w.Update();
  EXPECT_FALSE(IsRectEmpty(&r));

  // A new window handle invalidates too.
  w.Validate();
  view.SetWindow(w.Get());
  r = w.Update();
  EXPECT_FALSE(IsRectEmpty(&r));
}

TEST(StaffWindow, ACursorMovingLeftRepaintsWhereItWas) {
  Window w;
  ASSERT_NE(w.Get(), nullptr) << "no display";
  CPlayCursor cursor;
  cursor.SetExtent(10, 100);
  cursor.SetX(300);
  w.Validate();
  cursor.MoveTo(w.Get(), 120);
  const RECT r = w.Update();
  EXPECT_LE(r.left, 120);
  EXPECT_GE(r.right, 301);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.bottom, 100);
}

TEST(StaffWindow, RemovingALiveNoteRepaintsItsColumn) {
  Window w;
  ASSERT_NE(w.Get(), nullptr) << "no display";
  auto painter = std::make_unique<CStaffPainter>();
  CNoteTracker tracker(w.Get(), painter.get());
  tracker.Add(60, 200, 8);
  tracker.Add(64, 300, 8);
  w.Validate();
  tracker.Remove(60);
  RECT r = w.Update();
  RECT client{};
  GetClientRect(w.Get(), &client);
  EXPECT_EQ(r.left, 198);
  EXPECT_EQ(r.right, 208);
  EXPECT_EQ(r.bottom - r.top, client.bottom - client.top);
  EXPECT_EQ(tracker.Count(), 1u);
  // A note without a mark changes nothing and repaints nothing.
  w.Validate();
  tracker.Remove(61);
  r = w.Update();
  EXPECT_TRUE(IsRectEmpty(&r));
  EXPECT_EQ(tracker.Count(), 1u);
}

}  // namespace
