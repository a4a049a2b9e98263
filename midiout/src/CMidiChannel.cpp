#include "CMidiChannel.h"

#include <algorithm>
#include <cstring>

#include "MidiMessage.h"

using namespace voxgate;

CMidiChannel::CMidiChannel(int masterScale) : masterScale_(masterScale) {}

void CMidiChannel::BindTo(CMidiPort* port, int channel) {
  port_ = port;
  channel_ = channel;
}

void CMidiChannel::Unbind() {
  port_ = nullptr;
  channel_ = -1;
}

bool CMidiChannel::Unreference() {
  if (referenceCount_ <= 0) return false;
  --referenceCount_;
  return true;
}

int CMidiChannel::ScaledVolume() const {
  // 64 bits: each factor is a caller's int, and their product overflows 32.
  int64_t value = static_cast<int64_t>(volume_) * volumeScale_ * masterScale_ / 10000;
  return static_cast<int>(std::clamp<int64_t>(value, 0, 127));
}

void CMidiChannel::Track(uint32_t message) {
  const uint8_t data1 = Data1Of(message) & 0x7F;
  const uint8_t data2 = Data2Of(message) & 0x7F;
  switch (StatusOf(message) & 0xF0) {
    case 0x80:
      velocities_[data1] = 0;
      break;
    case 0x90:
      velocities_[data1] = data2;
      break;
    case 0xB0:
      if (data1 == kCtlAllSoundOff || data1 == kCtlAllNotesOff) ForgetNotes();
      if (data1 == kCtlResetAll) {
        std::memset(settings_.controllerValues, 0, sizeof settings_.controllerValues);
        std::memset(settings_.controllerSet, 0, sizeof settings_.controllerSet);
      }
      settings_.controllerSet[data1] = 1;
      settings_.controllerValues[data1] = data2;
      break;
    case 0xC0:
      settings_.program = data1;
      break;
    case 0xE0:
      pitchBend_ = message;
      pitchBendSent_ = 1;
      break;
    default:
      break;
  }
}

void CMidiChannel::ForgetNotes() { std::memset(velocities_, 0, sizeof velocities_); }
