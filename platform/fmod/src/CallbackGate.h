#pragma once
// Lets a stream's or DSP unit's callbacks run until the object is closed,
// and lets Close wait until the last one has returned, unless Close is
// called from inside one of them (it would wait for itself).
#include <windows.h>

#include <condition_variable>
#include <mutex>

namespace soundlib {

class CallbackGate {
 public:
  // False once closed: the callback must not be made.
  bool Enter() {
    std::lock_guard<std::mutex> hold(lock_);
    if (closed_) return false;
    ++running_;
    if (running_ == 1) thread_ = GetCurrentThreadId();
    return true;
  }
  void Leave() {
    std::lock_guard<std::mutex> hold(lock_);
    --running_;
    idle_.notify_all();
  }
  void Close() {
    std::unique_lock<std::mutex> hold(lock_);
    closed_ = true;
    if (running_ > 0 && thread_ == GetCurrentThreadId()) return;
    idle_.wait(hold, [this] { return running_ == 0; });
  }

 private:
  std::mutex lock_;
  std::condition_variable idle_;
  int running_ = 0;
  DWORD thread_ = 0;
  bool closed_ = false;
};

}  // namespace soundlib
