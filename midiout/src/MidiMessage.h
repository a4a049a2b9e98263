#pragma once
// Short messages as the output library handles them: the packed form and its
// parts come from the base library; the controllers and channels below are
// the ones the channel manager treats specially.
#include <cstdint>

#include "base/MidiShort.h"

namespace voxgate {

using base::Data1Of;
using base::Data2Of;
using base::IsChannelStatus;
using base::PackMessage;
using base::StatusOf;

// Controllers the manager treats specially.
constexpr uint8_t kCtlVolume = 7;
constexpr uint8_t kCtlAllSoundOff = 120;
constexpr uint8_t kCtlResetAll = 121;
constexpr uint8_t kCtlAllNotesOff = 123;
// Controllers 120-127 are channel-mode messages, not settings worth restoring.
constexpr int kFirstModeController = 120;

// Drum kits play on the tenth channel.
constexpr int kDrumChannel = 9;
constexpr int kChannelsPerPort = 16;

}  // namespace voxgate
