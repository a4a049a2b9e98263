#pragma once
// Records a stream's events, ticks and times; the reader's threads call it
// while the test reads, so every access is locked.
#include <mutex>
#include <vector>

#include "playback/IMediaPlayer.h"

class MediaEventRecorder : public IMediaListener {
 public:
  void OnPlayerEvent(int code) override {
    std::lock_guard<std::mutex> hold(lock);
    events.push_back(code);
  }
  void OnPlayTime(int ms) override {
    std::lock_guard<std::mutex> hold(lock);
    times.push_back(ms);
  }
  void OnPlayTick(int ms) override {
    std::lock_guard<std::mutex> hold(lock);
    ticks.push_back(ms);
  }
  bool Saw(int code) {
    std::lock_guard<std::mutex> hold(lock);
    for (int event : events)
      if (event == code) return true;
    return false;
  }
  std::vector<int> Events() {
    std::lock_guard<std::mutex> hold(lock);
    return events;
  }

  std::mutex lock;
  std::vector<int> events, times, ticks;
};
