#pragma once
// Counts in towards the first lyric: attached to the sequencer's clock, it
// posts WM_COUNT_IN to the engine's window at each step, with the number of
// steps still to come. The clock calls it on its own thread while Play sets
// it on the UI thread, so every field is atomic; it only ever posts.
#include <windows.h>

#include <atomic>
#include <cstdint>

#include <brevant/IBrevantTimer.h>

class CCountInTimer : public IBrevantTimer {
 public:
  CCountInTimer() = default;

  // @name Clock callbacks
  void Start() override {}
  void OnTick(uint32_t time) override;
  int IsActive() override { return 1; }
  void Stop() override {}
  void Reposition(uint32_t time) override;

  // @name Engine side
  void SetTarget(HWND target) { target_ = target; }
  // count steps of step time units ending at total; fewer steps when they
  // would start before time 0. Returns the length of the count-in.
  uint32_t Set(uint32_t count, uint32_t step, uint32_t total);
  void Clear();

  uint32_t Count() const { return count_; }
  uint32_t Step() const { return step_; }
  uint64_t Next() const { return next_; }
  uint32_t Total() const { return total_; }

 private:
  std::atomic<HWND> target_{nullptr};
  std::atomic<uint32_t> count_{0};
  std::atomic<uint32_t> step_{0};
  // 64 bits, so stepping past a total near 2^32 cannot wrap below it.
  std::atomic<uint64_t> next_{0};
  std::atomic<uint32_t> total_{0};
  const int wParam_ = 1;
};
