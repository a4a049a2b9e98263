// The margin the timing thread leaves before an event when it sleeps: where
// it settles for hosts whose sleeps overslip by different amounts, and that
// neither a stall nor early wakes carry it away.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "../src/SleepMargin.h"

namespace {

// Oversleeps spread evenly over [lowMs, highMs], in a scrambled but fixed
// order, as a host's sleeps come.
std::vector<double> Oversleeps(double lowMs, double highMs, int count) {
  std::vector<double> out;
  unsigned seed = 12345;
  for (int i = 0; i < count; ++i) {
    seed = seed * 1103515245u + 12345u;
    out.push_back(lowMs + (highMs - lowMs) * double(seed >> 16 & 0xFFFF) / 65535.0);
  }
  return out;
}

TEST(SleepMargin, SettlesWhereThreeSleepsInFourOversleepLess) {
  struct Host {
    const char* what;
    double lowMs, highMs;
  } hosts[] = {
      {"fine timer (Wine)", 0.05, 0.20},
      {"millisecond timer", 0.0, 1.0},
      {"sleeps that come back early", -0.3, 0.1},
  };
  for (const Host& host : hosts) {
    SleepMargin margin;
    for (double o : Oversleeps(host.lowMs, host.highMs, 4000)) margin.Add(o);
    // Measured on sleeps the margin has not seen: the share that oversleeps it.
    std::vector<double> next = Oversleeps(host.lowMs, host.highMs, 20000);
    next.erase(next.begin(), next.begin() + 4000);
    const double over =
        double(std::count_if(next.begin(), next.end(), [&](double o) { return o > margin.Ms(); })) /
        double(next.size());
    const double expected = std::max(0.0, host.lowMs + 0.75 * (host.highMs - host.lowMs));
    EXPECT_NEAR(margin.Ms(), expected, 0.1 * (host.highMs - host.lowMs) + SleepMargin::kStepUpMs)
        << host.what;
    if (expected > 0) {
      EXPECT_NEAR(over, 0.25, 0.1) << host.what;
    }
    EXPECT_GE(margin.Ms(), 0.0) << host.what;
    EXPECT_LE(margin.Ms(), SleepMargin::kMaxMs) << host.what;
  }
}

TEST(SleepMargin, AStallMovesItOneStepAndItStaysWithinItsBounds) {
  SleepMargin margin;
  for (double o : Oversleeps(0.05, 0.2, 4000)) margin.Add(o);
  const double settled = margin.Ms();
  margin.Add(50.0);  // the whole machine stood still for a moment
  EXPECT_DOUBLE_EQ(margin.Ms(), settled + SleepMargin::kStepUpMs);

  SleepMargin early;
  for (int i = 0; i < 1000; ++i) early.Add(-1.0);
  EXPECT_EQ(early.Ms(), 0.0);

  SleepMargin late;
  for (int i = 0; i < 1000; ++i) late.Add(20.0);
  EXPECT_EQ(late.Ms(), SleepMargin::kMaxMs);
}

}  // namespace
