#pragma once
// How far short of an event the timing thread's last plain sleep ends. The
// sleep is asked to the tenth of a microsecond, but the host wakes the thread
// later than asked by an amount of its own: about a tenth of a millisecond
// under Wine, up to a whole one where the system counts its timer in
// milliseconds. Whatever the sleep leaves before the event is spun away, so
// the margin is what costs processor time, and a sleep that oversleeps it
// makes the event late by the difference.
//
// The margin follows what the sleeps overslept lately, moving a small fixed
// step up or down with each: it settles where three sleeps in four overslept
// less (a step up weighs three steps down), and one long stall of the whole
// machine moves it no more than any other sleep does.
class SleepMargin {
 public:
  double Ms() const { return marginMs_; }
  // One sleep overslept this much (negative: it came back early).
  void Add(double oversleptMs);

  // Before anything is known: enough for the sleeps of a host with a fine
  // timer, a few seconds of playing to learn a coarse one.
  static constexpr double kInitialMs = 0.25;
  static constexpr double kMaxMs = 1.5;
  static constexpr double kStepUpMs = 0.006;
  static constexpr double kStepDownMs = 0.002;

 private:
  double marginMs_ = kInitialMs;
};
