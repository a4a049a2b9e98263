#pragma once
// The player's clock as its timers see it. Owned by the player.
#include <brevant/IBrevantTimer.h>

class IBrevantClock {
 public:
  // 0 attached; 1 for null or a timer already attached. The timer is not
  // owned.
  virtual int AddTimer(IBrevantTimer* timer) = 0;
  // 0 detached, 1 when it was not attached. Once this returns, the timer is
  // never called again, so its owner may destroy it.
  virtual int RemoveTimer(IBrevantTimer* timer) = 0;

 protected:
  ~IBrevantClock() = default;
};
