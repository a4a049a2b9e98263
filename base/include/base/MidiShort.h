#pragma once
// Short MIDI messages, written once: the packed form midiOutShortMsg takes
// (status | data1 << 8 | data2 << 16) and the status-byte rules every reader
// of a song needs. "Status" is always the whole byte; its high nibble is the
// message's kind, its low nibble the channel.
#include <cstdint>

namespace base {

// Kinds of channel message (a status byte's high nibble).
constexpr uint8_t kNoteOff = 0x80;
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kPolyPressure = 0xA0;
constexpr uint8_t kControlChange = 0xB0;
constexpr uint8_t kProgramChange = 0xC0;
constexpr uint8_t kChannelPressure = 0xD0;
constexpr uint8_t kPitchBend = 0xE0;

// The whole status byte of a packed message.
constexpr uint8_t StatusOf(uint32_t message) { return static_cast<uint8_t>(message & 0xFF); }
// The kind of a status byte or packed message: its high nibble, channel removed.
constexpr uint8_t KindOf(uint32_t statusOrMessage) { return static_cast<uint8_t>(statusOrMessage & 0xF0); }
constexpr int ChannelOf(uint32_t statusOrMessage) { return static_cast<int>(statusOrMessage & 0x0F); }
// Data bytes carry seven bits; a stray high bit never indexes past a 128-entry table.
constexpr uint8_t Data1Of(uint32_t message) { return static_cast<uint8_t>((message >> 8) & 0x7F); }
constexpr uint8_t Data2Of(uint32_t message) { return static_cast<uint8_t>((message >> 16) & 0x7F); }

constexpr uint32_t PackMessage(uint8_t status, uint8_t data1, uint8_t data2 = 0) {
  return status | static_cast<uint32_t>(data1) << 8 | static_cast<uint32_t>(data2) << 16;
}

// Statuses 0x80-0xEF address a channel in their low nibble; 0xF0-0xFF do not.
constexpr bool IsChannelStatus(uint8_t status) { return status >= 0x80 && status < 0xF0; }

// A note on with velocity 0 is a note off (running status lets a song stay
// in note-on and end its notes that way).
constexpr bool IsNoteOn(uint8_t status, uint8_t velocity) {
  return KindOf(status) == kNoteOn && velocity != 0;
}
constexpr bool IsNoteOff(uint8_t status, uint8_t velocity) {
  return KindOf(status) == kNoteOff || (KindOf(status) == kNoteOn && velocity == 0);
}
constexpr bool IsNoteOn(uint32_t message) { return IsNoteOn(StatusOf(message), Data2Of(message)); }
constexpr bool IsNoteOff(uint32_t message) { return IsNoteOff(StatusOf(message), Data2Of(message)); }
// Note on or note off, whichever the velocity makes it.
constexpr bool IsNoteMessage(uint32_t message) {
  return KindOf(message) == kNoteOn || KindOf(message) == kNoteOff;
}

}  // namespace base
