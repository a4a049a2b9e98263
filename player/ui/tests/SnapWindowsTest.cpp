#include <gtest/gtest.h>

#include <memory>

#include "ServicesFixture.h"
#include "ui/SnapWindows.h"

namespace {

void MoveTo(HWND hwnd, int x, int y) {
  ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The main window and one frame, each forwarding its position changes to its
// snapping part, as the player's windows do.
class SnapWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Hidden: positions work the same, and mapping windows under X is slow.
    mainWnd = MakeTestWindow(RECT{200, 200, 460, 350}, WS_POPUP);
    frameWnd = MakeTestWindow(RECT{700, 600, 900, 700}, WS_POPUP);
    ASSERT_TRUE(mainWnd && frameWnd);
    SetTestWndHook(mainWnd, [this](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
      if (msg == WM_WINDOWPOSCHANGING) {
        *result = mainPart.OnWindowPosChanging(hwnd, wp, reinterpret_cast<WINDOWPOS*>(lp));
        return true;
      }
      return false;
    });
    SetTestWndHook(frameWnd, [this](HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
      if (msg == WM_WINDOWPOSCHANGING) {
        *result = framePart.OnWindowPosChanging(wp, reinterpret_cast<WINDOWPOS*>(lp));
        return true;
      }
      return false;
    });
    mainPart.SetWnd(mainWnd);
    framePart.SetWnd(frameWnd);
    framePart.SetHost(mainPart.AsHost());
  }
  void TearDown() override {
    ::DestroyWindow(frameWnd);
    ::DestroyWindow(mainWnd);
  }
  // Docks the frame flush right of the main window by dragging it there.
  void DockFrameRight() {
    MoveTo(frameWnd, 467, 220);
    ASSERT_EQ((RECT{460, 220, 660, 320}), WindowRectOf(frameWnd));
    ASSERT_TRUE(framePart.IsDocked());
  }

  CSnapMainWnd mainPart;
  CSnapChildWnd framePart;
  HWND mainWnd = nullptr, frameWnd = nullptr;
};

TEST_F(SnapWindowsTest, AFrameMovedNearTheMainWindowLandsFlushAndDocks) {
  DockFrameRight();
  EXPECT_EQ(kSnapRightOf, framePart.GetDockState());
  // Dragged away again it is released.
  MoveTo(frameWnd, 700, 600);
  EXPECT_EQ((RECT{700, 600, 900, 700}), WindowRectOf(frameWnd));
  EXPECT_FALSE(framePart.IsDocked());
  EXPECT_EQ(0, framePart.GetDockState());
}

TEST_F(SnapWindowsTest, APureMoveSnapsTheWindowsRealRightAndBottomEdges) {
  // SWP_NOSIZE requests carry no size; the snap must use the window's own.
  RECT work;
  ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  MoveTo(frameWnd, work.right - 206, work.bottom - 104);
  EXPECT_EQ((RECT{work.right - 200, work.bottom - 100, work.right, work.bottom}), WindowRectOf(frameWnd));
  EXPECT_EQ(kSnapScreenRight | kSnapScreenBottom, framePart.GetDockState());
}

TEST_F(SnapWindowsTest, MovingTheMainWindowMovesDockedFramesByTheSameDelta) {
  DockFrameRight();
  mainPart.AddTarget(&framePart);
  MoveTo(mainWnd, 250, 260);
  EXPECT_EQ((RECT{250, 260, 510, 410}), WindowRectOf(mainWnd));
  EXPECT_EQ((RECT{510, 280, 710, 380}), WindowRectOf(frameWnd));
  EXPECT_TRUE(framePart.IsDocked());  // its own move did not undock it
}

TEST_F(SnapWindowsTest, TheMainWindowCatchesATargetWhichStaysWhereItIs) {
  MoveTo(frameWnd, 700, 200);
  ASSERT_FALSE(framePart.IsDocked());
  mainPart.AddTarget(&framePart);
  // A pure move (cx = cy = 0 with SWP_NOSIZE) must keep the size: the
  // caller's flags survive the snap.
  MoveTo(mainWnd, 434, 210);
  EXPECT_EQ((RECT{440, 210, 700, 360}), WindowRectOf(mainWnd));
  EXPECT_EQ((RECT{700, 200, 900, 300}), WindowRectOf(frameWnd));
  EXPECT_TRUE(framePart.IsDocked());
  EXPECT_EQ(kSnapLeftOf, mainPart.GetDockState());
}

TEST_F(SnapWindowsTest, AtAScreenEdgeTheGroupSticksThenTearsFreeAndSlidesAlong) {
  DockFrameRight();
  MoveTo(mainWnd, 6, 300);  // the whole group is caught at the left edge
  EXPECT_EQ(0, WindowRectOf(mainWnd).left);
  EXPECT_EQ(kSnapScreenLeft, mainPart.GetDockState());
  EXPECT_EQ((RECT{260, 320, 460, 420}), WindowRectOf(frameWnd));

  MoveTo(mainWnd, 8, 330);  // within 10 of the held place: slides down the edge
  EXPECT_EQ((RECT{0, 330, 260, 480}), WindowRectOf(mainWnd));
  EXPECT_EQ((RECT{260, 350, 460, 450}), WindowRectOf(frameWnd));

  MoveTo(mainWnd, 40, 330);  // pulled further: free again
  EXPECT_EQ(40, WindowRectOf(mainWnd).left);
  EXPECT_EQ(300, WindowRectOf(frameWnd).left);
}

TEST_F(SnapWindowsTest, InATopLeftCornerTheMainWindowIsHeld) {
  MoveTo(mainWnd, 4, 3);
  EXPECT_EQ(kSnapScreenTop | kSnapScreenLeft, mainPart.GetDockState());
  EXPECT_EQ((RECT{0, 0, 260, 150}), WindowRectOf(mainWnd));
  MoveTo(mainWnd, 7, 9);
  EXPECT_EQ((RECT{0, 0, 260, 150}), WindowRectOf(mainWnd));
  // Pulled down and away from the top, it is still caught by the left edge.
  MoveTo(mainWnd, 7, 30);
  EXPECT_EQ((RECT{0, 30, 260, 180}), WindowRectOf(mainWnd));
  EXPECT_EQ(kSnapScreenLeft, mainPart.GetDockState());
}

TEST_F(SnapWindowsTest, SizingCannotMoveADockedEdgeButCornersAndFreeEdgesMove) {
  DockFrameRight();
  const RECT now = WindowRectOf(frameWnd);
  struct {
    WPARAM edge;
    bool pinned;
  } cases[] = {{WMSZ_LEFT, true},
               {WMSZ_RIGHT, false},
               {WMSZ_TOP, false},
               {WMSZ_TOPLEFT, false},
               {WMSZ_BOTTOMLEFT, false}};
  for (auto& c : cases) {
    RECT proposed = {now.left - 30, now.top - 5, now.right + 20, now.bottom + 5};
    const RECT before = proposed;
    framePart.OnSizing(c.edge, &proposed);
    EXPECT_EQ(c.pinned ? now : before, proposed) << "edge " << c.edge;
  }
}

TEST_F(SnapWindowsTest, TheMainWindowPinsItsEdgesOnlyWhileCaught) {
  RECT proposed = {190, 190, 470, 360};
  const RECT free = proposed;
  mainPart.OnSizing(mainWnd, WMSZ_LEFT, &proposed);
  EXPECT_EQ(free, proposed);  // nothing caught yet
  MoveTo(mainWnd, 5, 300);
  ASSERT_EQ(kSnapScreenLeft, mainPart.GetDockState());
  const RECT now = WindowRectOf(mainWnd);
  proposed = {-20, 290, 270, 460};
  mainPart.OnSizing(mainWnd, WMSZ_LEFT, &proposed);
  EXPECT_EQ(now, proposed);
  proposed = {0, 290, 290, 460};
  mainPart.OnSizing(mainWnd, WMSZ_BOTTOMRIGHT, &proposed);
  EXPECT_EQ((RECT{0, 290, 290, 460}), proposed);
}

TEST_F(SnapWindowsTest, NoMoveRequestsAndAMinimizedMainWindowChangeNothing) {
  WINDOWPOS pos = {mainWnd, nullptr, 5, 5, 260, 150, SWP_NOMOVE};
  EXPECT_EQ(1, mainPart.OnWindowPosChanging(mainWnd, 0, &pos));
  EXPECT_EQ(5, pos.x);
  EXPECT_EQ(static_cast<UINT>(SWP_NOMOVE), pos.flags);
  WINDOWPOS childPos = {frameWnd, nullptr, 465, 220, 200, 100, SWP_NOMOVE};
  EXPECT_EQ(1, framePart.OnWindowPosChanging(0, &childPos));
  EXPECT_EQ(465, childPos.x);

  ::ShowWindow(mainWnd, SW_MINIMIZE);
  if (::IsIconic(mainWnd)) {
    WINDOWPOS moved = {mainWnd, nullptr, 4, 4, 260, 150, 0};
    EXPECT_EQ(1, mainPart.OnWindowPosChanging(mainWnd, 0, &moved));
    EXPECT_EQ(4, moved.x);
  }
}

TEST_F(SnapWindowsTest, DestroyingTheFramePartGivesItsWindowItsProcedureBack) {
  auto part = std::make_unique<CSnapChildWnd>();
  part->SetWnd(frameWnd);
  const LONG_PTR before = ::GetWindowLongPtrA(frameWnd, GWLP_WNDPROC);
  GetSubclassManager()->Subclass(frameWnd, part.get());
  part.reset();
  EXPECT_EQ(before, ::GetWindowLongPtrA(frameWnd, GWLP_WNDPROC));
}

}  // namespace
