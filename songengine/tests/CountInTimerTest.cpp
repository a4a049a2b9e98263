#include <atomic>
#include <climits>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <base/CMsgWnd.h>
#include <tunewell/ISongEngine.h>

#include "CCountInTimer.h"

namespace {

class CountInTimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, window_.Create(nullptr));
    timer_.SetTarget(window_.GetHwnd());
  }
  // The lParam of every WM_COUNT_IN queued since the last call.
  std::vector<int> Posted() {
    std::vector<int> steps;
    MSG msg;
    while (PeekMessageA(&msg, window_.GetHwnd(), WM_COUNT_IN, WM_COUNT_IN, PM_REMOVE)) {
      EXPECT_EQ(1u, msg.wParam);
      steps.push_back(static_cast<int>(msg.lParam));
    }
    return steps;
  }
  // Ticks at each time and collects what each tick posted, -1 for nothing.
  std::vector<int> TickAt(const std::vector<uint32_t>& times) {
    std::vector<int> result;
    for (uint32_t time : times) {
      timer_.OnTick(time);
      std::vector<int> steps = Posted();
      EXPECT_LE(steps.size(), 1u) << "at most one message per tick";
      result.push_back(steps.empty() ? -1 : steps[0]);
    }
    return result;
  }

  CMsgWnd window_;
  CCountInTimer timer_;
};

TEST_F(CountInTimerTest, SetCutsTheCountToWhatFitsBeforeTheTotal) {
  struct Row {
    uint32_t count, step, total;
    uint32_t expectCount, expectNext, expectLength;
  } rows[] = {
      {4, 1000, 6500, 4, 2500, 4000},
      {4, 1000, 2500, 2, 500, 2000},
      {4, 1000, 999, 0, 999, 0},
      {0, 0, 0, 0, 0, 0},
      {4, 1000, UINT_MAX, 4, UINT_MAX - 4000, 4000},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.expectLength, timer_.Set(row.count, row.step, row.total));
    EXPECT_EQ(row.expectCount, timer_.Count()) << row.total;
    EXPECT_EQ(row.expectNext, timer_.Next()) << row.total;
  }
}

TEST_F(CountInTimerTest, PostsTheStepsStillToComeAtEachStep) {
  timer_.Set(4, 1000, 6500);
  EXPECT_EQ((std::vector<int>{-1, 4, -1, 3, 2, 1, -1, 0, -1}),
            TickAt({2000, 2500, 3000, 3500, 4500, 5500, 6000, 6500, 10000}));
}

TEST_F(CountInTimerTest, ALateClockCatchesUpOneStepPerTick) {
  timer_.Set(4, 1000, 6500);
  EXPECT_EQ((std::vector<int>{4, 3, 2, 1, 0, -1}), TickAt({9000, 9000, 9000, 9000, 9000, 9000}));
}

TEST_F(CountInTimerTest, RepositionRestartsBeforeTheTotalAndEndsBeyondIt) {
  timer_.Set(4, 1000, 6500);
  TickAt({2500, 3500, 4500});
  timer_.Reposition(3000);
  EXPECT_EQ(2500u, timer_.Next());
  EXPECT_EQ((std::vector<int>{4, 3}), TickAt({3000, 3500}));
  timer_.Reposition(7000);
  EXPECT_EQ((std::vector<int>{-1, -1}), TickAt({7000, 20000}));
}

TEST_F(CountInTimerTest, ZeroStepPostsNothingAndRepositionDoesNotDivide) {
  timer_.Set(0, 0, 0);
  EXPECT_EQ((std::vector<int>{-1, -1}), TickAt({0, 5000}));
  timer_.Reposition(5000);
  EXPECT_GT(timer_.Next(), timer_.Total());
  EXPECT_EQ((std::vector<int>{-1}), TickAt({6000}));
}

TEST_F(CountInTimerTest, NothingWrapsNearTheEndOfTheClock) {
  timer_.Set(2, 1000, UINT_MAX - 10);
  EXPECT_EQ((std::vector<int>{2, 1, 0, -1, -1}),
            TickAt({UINT_MAX - 2010, UINT_MAX - 1010, UINT_MAX - 10, UINT_MAX - 10, UINT_MAX}));
  timer_.Reposition(UINT_MAX);
  EXPECT_GT(timer_.Next(), timer_.Total());
  EXPECT_EQ((std::vector<int>{-1}), TickAt({UINT_MAX}));
}

TEST_F(CountInTimerTest, ClearStopsACountInUnderWay) {
  timer_.Set(4, 1000, 6500);
  TickAt({2500});
  timer_.Clear();
  EXPECT_EQ((std::vector<int>{-1, -1}), TickAt({3500, 6500}));
}

// The clock thread ticks while the UI thread sets count-ins of two step
// lengths. Whatever interleaving happens, the next time stays on the grid of
// the step it is read with: a tick must not add an old step to a new next
// time, nor write its next time over a Set made in between.
TEST(CountInTimerRaceTest, TheClockNeverMixesTwoCountIns) {
  CCountInTimer timer;  // no target: the posts go nowhere
  std::atomic<bool> done{false};
  std::atomic<int> offGrid{0};
  std::atomic<long> ticks{0};
  std::thread clock([&] {
    while (!done) {
      timer.OnTick(8000);
      ++ticks;
      const CCountInTimer::State s = timer.Get();
      if (s.step == 0) continue;
      const uint64_t first = uint64_t{s.total} - uint64_t{s.step} * s.count;
      if (s.next < first || (s.next - first) % s.step != 0) ++offGrid;
    }
  });
  // Until the clock has ticked often enough to meet many Sets on the way.
  for (long i = 0; ticks < 300000 && i < 50000000 && offGrid == 0; ++i) {
    if (i % 2 == 0)
      timer.Set(4, 1000, 8000);
    else
      timer.Set(4, 300, 8000);
  }
  done = true;
  clock.join();
  EXPECT_EQ(0, offGrid.load());
}

}  // namespace
