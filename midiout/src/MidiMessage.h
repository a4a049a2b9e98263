#pragma once
// Short messages in the packed form midiOutShortMsg takes:
// status | data1 << 8 | data2 << 16.
#include <cstdint>

namespace voxgate {

constexpr uint8_t StatusOf(uint32_t message) { return static_cast<uint8_t>(message & 0xFF); }
constexpr uint8_t Data1Of(uint32_t message) { return static_cast<uint8_t>((message >> 8) & 0xFF); }
constexpr uint8_t Data2Of(uint32_t message) { return static_cast<uint8_t>((message >> 16) & 0xFF); }
constexpr uint32_t PackMessage(uint8_t status, uint8_t data1, uint8_t data2 = 0) {
  return status | static_cast<uint32_t>(data1) << 8 | static_cast<uint32_t>(data2) << 16;
}
// Statuses 0x80-0xEF address a channel in their low nibble; 0xF0-0xFF do not.
constexpr bool IsChannelStatus(uint8_t status) { return status >= 0x80 && status < 0xF0; }

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
