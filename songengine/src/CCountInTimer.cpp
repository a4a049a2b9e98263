#include "CCountInTimer.h"

#include <tunewell/ISongEngine.h>

uint32_t CCountInTimer::Set(uint32_t count, uint32_t step, uint32_t total) {
  if (uint64_t{step} * count > total) count = total / step;  // step > 0 here
  count_ = count;
  step_ = step;
  total_ = total;
  next_ = uint64_t{total} - uint64_t{step} * count;
  return step * count;
}

void CCountInTimer::Clear() {
  count_ = 0;
  step_ = 0;
  next_ = 0;
  total_ = 0;
}

void CCountInTimer::OnTick(uint32_t time) {
  const uint32_t step = step_;
  const uint64_t next = next_;
  const uint32_t total = total_;
  if (step == 0 || next > total || time < next) return;
  PostMessageA(target_, WM_COUNT_IN, wParam_, static_cast<LPARAM>((total - next) / step));
  next_ = next + step;
}

void CCountInTimer::Reposition(uint32_t time) {
  const uint32_t step = step_;
  const uint32_t total = total_;
  if (time <= total) {
    next_ = uint64_t{total} - uint64_t{step} * count_;
  } else if (step == 0) {
    // Nothing is posted with step 0 anyway; keep the mark beyond the end.
    next_ = uint64_t{total} + 1;
  } else {
    next_ = (uint64_t{time} + step - 1) / step * step;
  }
}
