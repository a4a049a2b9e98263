#pragma once
// One open MIDI output handle and which of its 16 channels voices hold.
#include <windows.h>
#include <mmsystem.h>

#include "MidiMessage.h"

class CMidiPort {
 public:
  explicit CMidiPort(HMIDIOUT handle) : handle_(handle) {}
  CMidiPort(const CMidiPort&) = delete;
  CMidiPort& operator=(const CMidiPort&) = delete;

  HMIDIOUT Handle() const { return handle_; }
  bool InUse(int channel) const { return inUse_[channel] != 0; }
  void SetInUse(int channel, bool inUse) { inUse_[channel] = inUse ? 1 : 0; }
  // The lowest channel no voice holds, skipping `except` (-1 skips none);
  // -1 when there is none.
  int LowestFree(int except = -1) const;
  // kind as in ChannelKind; 0 for an unknown kind.
  int CountUsed(int kind) const;

 private:
  HMIDIOUT handle_;
  int inUse_[voxgate::kChannelsPerPort] = {};
};
