#include "CCountInTimer.h"

#include <tunewell/ISongEngine.h>

uint32_t CCountInTimer::Set(uint32_t count, uint32_t step, uint32_t total) {
  if (uint64_t{step} * count > total) count = total / step;  // step > 0 here
  std::lock_guard<std::mutex> hold(lock_);
  state_.count = count;
  state_.step = step;
  state_.total = total;
  state_.next = uint64_t{total} - uint64_t{step} * count;
  return step * count;
}

void CCountInTimer::Clear() {
  std::lock_guard<std::mutex> hold(lock_);
  state_ = State();
}

CCountInTimer::State CCountInTimer::Get() const {
  std::lock_guard<std::mutex> hold(lock_);
  return state_;
}

void CCountInTimer::OnTick(uint32_t time) {
  uint64_t toCome;
  {
    std::lock_guard<std::mutex> hold(lock_);
    State& s = state_;
    if (s.step == 0 || s.next > s.total || time < s.next) return;
    toCome = (s.total - s.next) / s.step;
    s.next += s.step;
  }
  PostMessageA(target_, WM_COUNT_IN, wParam_, static_cast<LPARAM>(toCome));
}

void CCountInTimer::Reposition(uint32_t time) {
  std::lock_guard<std::mutex> hold(lock_);
  State& s = state_;
  if (time <= s.total) {
    s.next = uint64_t{s.total} - uint64_t{s.step} * s.count;
  } else if (s.step == 0) {
    // Nothing is posted with step 0 anyway; keep the mark beyond the end.
    s.next = uint64_t{s.total} + 1;
  } else {
    s.next = (uint64_t{time} + s.step - 1) / s.step * s.step;
  }
}
