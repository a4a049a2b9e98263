#pragma once
// A client of the player's clock (IBrevantClock::AddTimer). All times are
// player time in milliseconds; the clock never passes a negative time, so a
// timer sees no call while a negative delay keeps player time below zero.
// The calls come from the player's timing thread, or from the thread that
// calls Play, Seek or Stop, always under the player's lock: a timer must be
// quick and must not wait for another thread that uses the player.
#include <cstdint>

class IBrevantTimer {
 public:
  // Playback starts.
  virtual void Start() = 0;
  // The clock advanced to now; called on every clock step while playing and
  // IsActive() is nonzero.
  virtual void OnTick(uint32_t now) = 0;
  virtual int IsActive() = 0;
  // Playback stopped (by Stop, by the end of the song, or with the song closed).
  virtual void Stop() = 0;
  // The clock jumped to now: at Play, and after every seek.
  virtual void Reposition(uint32_t now) = 0;
  virtual ~IBrevantTimer() = default;
};
