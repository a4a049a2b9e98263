#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <vector>

#include "RecordingWnd.h"
#include "SkinFixture.h"
#include "testsupport/MessagePump.h"
#include "ui/CSkinSlider.h"
#include "ui/PlayerMessages.h"
#include "ui/CVolumeSlider.h"
#include "ui/SliderMath.h"

namespace {

TEST(SliderMath, MapsPositionsAndOffsetsBothWays) {
  struct Row {
    int trackLength, lower, upper, pos, offset;
  } rows[] = {
      {190, 0, 100, 50, 95}, {190, 0, 100, 0, 0},   {190, 0, 100, 100, 190},
      {166, 0, 100, 50, 83}, {100, -50, 50, 0, 50}, {10, 0, 1000, 999, 9},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(r.offset, SliderThumbOffset(r.trackLength, r.lower, r.upper, r.pos)) << r.pos;
    EXPECT_EQ(r.offset, SliderThumbOffsetExact(r.trackLength, r.lower, r.upper, r.pos)) << r.pos;
  }
  EXPECT_EQ(0, SliderPosFromOffset(0, 0, 100, 190));
  EXPECT_EQ(100, SliderPosFromOffset(190, 0, 100, 190));
  EXPECT_EQ(50, SliderPosFromOffset(95, 0, 100, 190));
  EXPECT_EQ(-50, SliderPosFromOffset(0, -50, 50, 100));
  // Large ranges do not overflow.
  EXPECT_EQ(2000000000, SliderPosFromOffset(1000, 0, 2000000000, 1000));
  // Degenerate ranges and tracks: the start and the lower bound.
  EXPECT_EQ(0, SliderThumbOffset(190, 5, 5, 5));
  EXPECT_EQ(0, SliderThumbOffset(0, 0, 100, 50));
  EXPECT_EQ(0, SliderThumbOffset(-4, 0, 100, 50));
  EXPECT_EQ(7, SliderPosFromOffset(30, 7, 7, 190));
  EXPECT_EQ(3, SliderPosFromOffset(30, 3, 100, 0));
}

TEST(SliderMath, VolumeMapsZeroTo255AndClamps) {
  EXPECT_EQ(88, VolumeThumbOffset(88, 255));
  EXPECT_EQ(0, VolumeThumbOffset(88, 0));
  EXPECT_EQ(44, VolumeThumbOffset(88, 128));
  EXPECT_EQ(88, VolumeThumbOffset(88, 1000));
  EXPECT_EQ(0, VolumeThumbOffset(88, -3));
  EXPECT_EQ(0, VolumeThumbOffset(0, 200));
  EXPECT_EQ(255, VolumeFromOffset(88, 88));
  EXPECT_EQ(0, VolumeFromOffset(0, 88));
  EXPECT_EQ(0, VolumeFromOffset(10, -2));
}

struct FakeSink : ISliderSink {
  void OnSliderTrack(int value, int code) override { tracks.push_back({value, code}); }
  void OnSliderSet(int pos) override { sets.push_back(pos); }
  int GetSliderValue() override { return forwardValue; }
  int GetSliderBackValue() override { return backValue; }
  int SumOfSteps() const {
    int sum = 0;
    for (auto& t : tracks)
      if (t.second == 1) sum += t.first;
    return sum;
  }
  std::vector<std::pair<int, int>> tracks;
  std::vector<int> sets;
  int forwardValue = 80, backValue = -5;
};

class SliderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    thumbH.reset(MakeFlatImage(40, 12, 62, 4));
    thumbV.reset(MakeFlatImage(48, 10, 72, 4));
    arrow.reset(MakeFlatImage(48, 12, 60, 4));
    track.reset(MakeFlatImage(4, 12, 63, 1));
  }
  void MakeH(CSkinSliderBase& s, bool buttons, int length = 200) {
    if (buttons) s.CreateButtons();
    s.SetImages(arrow.get(), arrow.get(), thumbH.get(), track.get());
    s.SetOwner(&owner);
    s.SetSink(&sink);
    ASSERT_EQ(0, s.Create());
    s.MoveWindow(0, 0, length);
    s.SetRange(100, 0);
  }
  int ThumbX(const CSkinSliderBase& s) {
    RECT r;
    ::GetWindowRect(s.GetThumb()->GetHwnd(), &r);
    POINT p = {r.left, r.top};
    ::ScreenToClient(s.m_hWnd, &p);
    return s.IsVertical() ? p.y : p.x;
  }
  void Press(CSkinSliderBase& s) {
    ::SendMessageA(s.GetThumb()->GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  }
  void DragBy(CSkinSliderBase& s, int delta) {
    LPARAM to = s.IsVertical() ? MAKELPARAM(3, 3 + delta) : MAKELPARAM(3 + delta, 3);
    ::SendMessageA(s.GetThumb()->GetHwnd(), WM_MOUSEMOVE, MK_LBUTTON, to);
  }
  void Release(CSkinSliderBase& s) {
    ::SendMessageA(s.GetThumb()->GetHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  }

  std::unique_ptr<CSkinImage> thumbH, thumbV, arrow, track;
  RecordingWnd owner;
  FakeSink sink;
};

TEST_F(SliderTest, ThumbStandsWhereThePositionPutsIt) {
  CSkinSlider plain;
  MakeH(plain, false);
  EXPECT_EQ(0, plain.TrackStart());
  EXPECT_EQ(190, plain.TrackLength());
  EXPECT_TRUE(plain.SetPos(50));
  EXPECT_EQ(95, ThumbX(plain));
  EXPECT_TRUE(plain.SetPos(500));
  EXPECT_EQ(100, plain.GetPos());
  EXPECT_EQ(190, ThumbX(plain));
  EXPECT_TRUE(sink.tracks.empty()) << "SetPos tells nobody";

  CSkinSlider withButtons;
  MakeH(withButtons, true);
  EXPECT_EQ(12, withButtons.TrackStart());
  EXPECT_EQ(188, withButtons.TrackEnd());
  withButtons.SetPos(50);
  EXPECT_EQ(12 + 83, ThumbX(withButtons));
  RECT r;
  ::GetWindowRect(withButtons.GetArrowButton2()->GetHwnd(), &r);
  POINT p = {r.left, r.top};
  ::ScreenToClient(withButtons.m_hWnd, &p);
  EXPECT_EQ(188, p.x) << "forward button at the far end";
}

TEST_F(SliderTest, DraggingTheThumbToTheEndsGivesTheBounds) {
  CSkinSlider s;
  MakeH(s, true);
  s.SetPos(30);
  Press(s);
  EXPECT_TRUE(s.IsTracking());
  DragBy(s, -500);
  EXPECT_EQ(0, s.GetPos());
  EXPECT_EQ(12, ThumbX(s));
  DragBy(s, 1000);
  EXPECT_EQ(100, s.GetPos());
  EXPECT_EQ(188 - 10, ThumbX(s));
  EXPECT_EQ(70, sink.SumOfSteps()) << "relative steps add up to the move";
  // While held, the owner's position updates wait.
  EXPECT_FALSE(s.SetPos(100));
  EXPECT_TRUE(s.SetPos(10));
  EXPECT_EQ(100, s.GetPos());
  Release(s);
  EXPECT_FALSE(s.IsTracking());
  EXPECT_EQ(std::vector<int>{100}, sink.sets);
  EXPECT_TRUE(s.SetPos(10));
  EXPECT_EQ(10, s.GetPos());
}

TEST_F(SliderTest, ScrollBarThumbKeepsFollowingSetPosWhileHeld) {
  CSkinScrollBar bar;
  bar.CreateButtons();
  bar.SetImages(arrow.get(), arrow.get(), thumbV.get(), track.get());
  bar.SetOwner(&owner);
  bar.SetSink(&sink);
  ASSERT_EQ(0, bar.Create());
  bar.MoveWindow(0, 0, 150);
  bar.SetRange(20, 0);
  RECT r;
  ::GetClientRect(bar.m_hWnd, &r);
  EXPECT_EQ(12, r.right);
  EXPECT_EQ(150, r.bottom);
  EXPECT_EQ(150 - 12 - 12 - 10, bar.TrackLength());
  Press(bar);
  EXPECT_FALSE(bar.IsTracking());
  EXPECT_TRUE(bar.SetPos(10));
  EXPECT_EQ(10, bar.GetPos());
  EXPECT_EQ(12 + 58, ThumbX(bar));
  DragBy(bar, 1000);
  EXPECT_EQ(20, bar.GetPos());
  Release(bar);
  EXPECT_EQ(std::vector<int>{20}, sink.sets);
  EXPECT_EQ(CSkinScrollBar::kThumbId, GetDlgCtrlID(bar.GetThumb()->GetHwnd()));
}

TEST_F(SliderTest, ArrowButtonsStepAndTellTheSinkEvenAtTheEnds) {
  CSkinSlider s;
  MakeH(s, true);
  s.SetPos(100);
  ::SendMessageA(s.GetArrowButton2()->GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(100, s.GetPos());
  ::SendMessageA(s.GetArrowButton1()->GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(99, s.GetPos());
  std::vector<std::pair<int, int>> expected = {{1, 1}, {-1, 1}};
  EXPECT_EQ(expected, sink.tracks);
  ::SendMessageA(s.m_hWnd, WM_COMMAND, MAKEWPARAM(CSkinSlider::kBackId, 1), 0);
  EXPECT_EQ(99, s.GetPos()) << "a notification other than a click is ignored";
}

TEST_F(SliderTest, TrackClicksJumpToTheSinksValues) {
  CSkinSlider s;
  MakeH(s, false);
  s.SetPos(50);  // thumb at 95..105
  ::SendMessageA(s.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 3));
  EXPECT_EQ(0, s.GetPos()) << "a negative back value means 0";
  ::SendMessageA(s.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 3));
  EXPECT_EQ(80, s.GetPos());
  std::vector<std::pair<int, int>> expected = {{0, 0}, {80, 0}};
  EXPECT_EQ(expected, sink.tracks);
  ::SendMessageA(s.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(20, 3));
  EXPECT_EQ(80, s.GetPos()) << "only a plain left click";
}

TEST_F(SliderTest, DegenerateRangeAndDisabledControlStayCalm) {
  CSkinSlider s;
  MakeH(s, true, 30);  // a track no longer than the thumb
  s.SetRange(5, 5);
  EXPECT_TRUE(s.SetPos(9));
  EXPECT_EQ(5, s.GetPos());
  EXPECT_EQ(s.TrackStart(), ThumbX(s));
  Press(s);
  DragBy(s, 40);
  EXPECT_EQ(5, s.GetPos());
  Release(s);

  s.SetRange(100, 0);
  s.EnableWindow(false);
  EXPECT_FALSE(::IsWindowEnabled(s.m_hWnd));
  EXPECT_FALSE(::IsWindowEnabled(s.GetThumb()->GetHwnd()));
  EXPECT_FALSE(::IsWindowEnabled(s.GetArrowButton1()->GetHwnd()));
  EXPECT_TRUE(s.SetPos(40));
  EXPECT_EQ(5, s.GetPos()) << "a disabled control keeps its position";
}

TEST_F(SliderTest, ThumbHandCursorIsTheThumbsOwn) {
  HCURSOR arrowCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  CSkinSlider s;
  MakeH(s, true);
  EXPECT_EQ(TRUE, ::SendMessageA(s.GetThumb()->GetHwnd(), WM_SETCURSOR,
                                 reinterpret_cast<WPARAM>(s.GetThumb()->GetHwnd()),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_NE(arrowCursor, ::GetCursor());
  // Every other button of the process keeps the standard cursor.
  HWND other =
      ::CreateWindowExA(0, "button", "x", WS_CHILD, 0, 0, 10, 10, owner.m_hWnd, nullptr, nullptr, nullptr);
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(arrowCursor), ::GetClassLongPtrA(other, GCLP_HCURSOR));
  ::DestroyWindow(other);
}

TEST_F(SliderTest, TrackIsStretchedBetweenTheArrowButtons) {
  CSkinSlider s;
  MakeH(s, true);
  MemoryCanvas canvas(200, 12);
  s.DrawTrack(canvas.dc());
  EXPECT_EQ(RGB(1, 2, 3), canvas.Pixel(11, 5));
  EXPECT_EQ(ImageColour(63), canvas.Pixel(12, 0));
  EXPECT_EQ(ImageColour(63), canvas.Pixel(187, 11));
  EXPECT_EQ(RGB(1, 2, 3), canvas.Pixel(188, 5));
}

class VolumeSliderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    trackImage.reset(MakeFlatImage(100, 14, 203, 1));
    thumbImage.reset(MakeFlatImage(40, 12, 204, 4));
    volume.SetTrackImage(trackImage.get());
    volume.SetThumbImage(thumbImage.get());
    volume.SetPosition(164, 131);
    volume.SetOwner(owner.m_hWnd);
  }
  int PostedVolumes(std::vector<LPARAM>* values) {
    MSG msg;
    while (::PeekMessageA(&msg, owner.m_hWnd, WM_SKIN_VOLUME, WM_SKIN_VOLUME, PM_REMOVE)) {
      EXPECT_EQ(0u, msg.wParam);
      values->push_back(msg.lParam);
    }
    return static_cast<int>(values->size());
  }
  std::unique_ptr<CSkinImage> trackImage, thumbImage;
  RecordingWnd owner;
  CVolumeSlider volume;
};

TEST_F(VolumeSliderTest, ValuesMapOntoTheTrackAndOnlyDragsPost) {
  EXPECT_EQ(88, volume.TrackLength());
  volume.SetValue(255);
  EXPECT_EQ(252, volume.GetThumb()->GetRect().left);
  volume.SetValue(0);
  EXPECT_EQ(164, volume.GetThumb()->GetRect().left);
  volume.SetValue(1000);
  EXPECT_EQ(252, volume.GetThumb()->GetRect().left) << "out-of-range volumes are clamped";
  volume.SetValue(128);
  EXPECT_EQ(131, volume.GetThumb()->GetRect().top);
  std::vector<LPARAM> posted;
  EXPECT_EQ(0, PostedVolumes(&posted));

  const int x = volume.GetThumb()->GetRect().left + 3;
  volume.OnLButtonDown(MK_LBUTTON, MAKELPARAM(x, 135));
  volume.OnMouseMove(MK_LBUTTON, MAKELPARAM(x + 500, 135));
  volume.OnLButtonUp(0, MAKELPARAM(x + 500, 135));
  ASSERT_EQ(1, PostedVolumes(&posted));
  EXPECT_EQ(255, posted.back());
  volume.OnLButtonDown(MK_LBUTTON, MAKELPARAM(255, 135));
  volume.OnMouseMove(MK_LBUTTON, MAKELPARAM(-300, 135));
  volume.OnLButtonUp(0, 0);
  ASSERT_EQ(2, PostedVolumes(&posted));
  EXPECT_EQ(0, posted.back());
}

TEST_F(VolumeSliderTest, TooltipOnlyWhenAskedFor) {
  volume.SetToolTip(owner.m_hWnd, false, "Volume");
  EXPECT_EQ(-1, volume.GetThumb()->GetToolId());
  volume.SetToolTip(owner.m_hWnd, true, "Volume");
  EXPECT_GT(volume.GetThumb()->GetToolId(), 0);
  HWND tip = CSkinToolTip::GetWindow();
  ASSERT_NE(nullptr, tip);
  char text[40] = {};
  TOOLINFOA ti = MakeToolInfo(owner.m_hWnd, static_cast<UINT_PTR>(volume.GetThumb()->GetToolId()));
  ti.lpszText = text;
  ::SendMessageA(tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ("Volume", text);
}

TEST_F(VolumeSliderTest, CheckHoverCountsTheOwnersEdgesAsInside) {
  RECT r;
  ::GetWindowRect(owner.m_hWnd, &r);
  volume.SetValue(0);
  // The cursor on the right edge: a synthetic move at client x = width.
  ASSERT_TRUE(::SetCursorPos(r.right, r.top + 135));
  volume.CheckHover();
  EXPECT_FALSE(volume.GetThumb()->IsHover());
  ASSERT_TRUE(::SetCursorPos(r.left + 165, r.top + 133));
  volume.CheckHover();
  EXPECT_TRUE(volume.GetThumb()->IsHover());
  ASSERT_TRUE(::SetCursorPos(r.right, r.bottom));
  volume.CheckHover();
  EXPECT_FALSE(volume.GetThumb()->IsHover()) << "the move on the edge ended the hover";
}

}  // namespace

namespace {

// The slider's own erases, recorded with the area each was asked to cover.
WNDPROC g_sliderProc = nullptr;
std::vector<RECT> g_erased;
LRESULT CALLBACK RecordErase(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  RECT box;
  if (message == WM_ERASEBKGND && ::GetClipBox(reinterpret_cast<HDC>(wParam), &box) != ERROR)
    g_erased.push_back(box);
  return ::CallWindowProcA(g_sliderProc, hwnd, message, wParam, lParam);
}

// The place the thumb leaves shows the track again: the system erases it
// through the slider's own background, and that erase, drawn into a memory
// bitmap, is the track; the thumb draws itself where it now stands.
TEST(SliderPainting, MovingTheThumbRepaintsTheTrackBehindIt) {
  std::unique_ptr<CSkinImage> thumb(MakeFlatImage(40, 12, 205, 4)), track(MakeFlatImage(4, 12, 206, 1));
  RecordingWnd owner;
  ::ShowWindow(owner.m_hWnd, SW_SHOWNOACTIVATE);
  CSkinSlider s;
  s.SetImages(nullptr, nullptr, thumb.get(), track.get());
  s.SetOwner(&owner);
  ASSERT_EQ(0, s.Create());
  s.MoveWindow(10, 10, 200);
  s.SetRange(100, 0);
  s.Show(true);
  testsupport::PumpFor(50);
  g_erased.clear();
  g_sliderProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(s.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordErase)));
  s.SetPos(100);
  testsupport::PumpFor(50);
  ::SetWindowLongPtrA(s.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_sliderProc));

  const POINT left = {5, 5};
  bool erasedLeft = false;
  for (const RECT& r : g_erased) erasedLeft = erasedLeft || ::PtInRect(&r, left);
  EXPECT_TRUE(erasedLeft) << "the place the thumb left was erased";
  MemoryCanvas background(200, 12);
  ::SendMessageA(s.m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(background.dc()), 0);
  EXPECT_EQ(ImageColour(206), background.Pixel(5, 5)) << "the erase draws the track";

  RECT r;
  ::GetWindowRect(s.GetThumb()->GetHwnd(), &r);
  POINT at = {r.left, r.top};
  ::ScreenToClient(s.m_hWnd, &at);
  EXPECT_EQ(190, at.x);
  MemoryCanvas face(10, 12);
  ::SendMessageA(s.GetThumb()->GetHwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(face.dc()), PRF_CLIENT);
  EXPECT_EQ(StripColour(205, 0), face.Pixel(5, 5));
}

}  // namespace
