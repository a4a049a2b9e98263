#include "SleepMargin.h"

#include <algorithm>

void SleepMargin::Add(double oversleptMs) {
  const double moved = oversleptMs > marginMs_ ? marginMs_ + kStepUpMs : marginMs_ - kStepDownMs;
  marginMs_ = std::clamp(moved, 0.0, kMaxMs);
}
