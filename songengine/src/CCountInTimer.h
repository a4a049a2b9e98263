#pragma once
// Counts in towards the first lyric: attached to the sequencer's clock, it
// posts WM_COUNT_IN to the engine's window at each step, with the number of
// steps still to come.
//
// Threads: the clock calls OnTick and Reposition on its own thread while Play
// calls Set and Clear on the UI thread. The count, step, next time and total
// are one state under one lock, so a tick never pairs a new step with an old
// next time and never writes its next time over a Set made meanwhile. The
// message is posted outside the lock; posting never waits.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>

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

  // One consistent reading of the state.
  struct State {
    uint32_t count = 0;
    uint32_t step = 0;
    // 64 bits, so stepping past a total near 2^32 cannot wrap below it.
    uint64_t next = 0;
    uint32_t total = 0;
  };
  State Get() const;
  uint32_t Count() const { return Get().count; }
  uint32_t Step() const { return Get().step; }
  uint64_t Next() const { return Get().next; }
  uint32_t Total() const { return Get().total; }

 private:
  std::atomic<HWND> target_{nullptr};
  mutable std::mutex lock_;
  State state_;
  const int wParam_ = 1;
};
