#pragma once
// Records that cross the library boundary. Their layout is binding: other
// libraries read them field by field, so field order and types never change.
// Pointer-free records keep their historic byte sizes (checked below); records
// that hold a pointer are as wide as the platform's pointer makes them.
#include <cstdint>

// Ticks everywhere are 120 per quarter note (480 per whole note), whatever the
// division of the file a song was read from.
constexpr uint32_t kSmfTicksPerQuarter = 120;

// Event kinds, also the kind bits of the query filters.
constexpr uint32_t kSmfKindChannel = 1;  // channel message
constexpr uint32_t kSmfKindSysEx = 2;    // system exclusive, status F0 or F7
constexpr uint32_t kSmfKindMeta = 4;     // meta event, status FF

// Type bits of channel messages, by status high nibble.
constexpr uint32_t kSmfTypeNoteOff = 1;
constexpr uint32_t kSmfTypeNoteOn = 2;
constexpr uint32_t kSmfTypePolyPressure = 4;
constexpr uint32_t kSmfTypeControl = 8;
constexpr uint32_t kSmfTypeProgram = 16;
constexpr uint32_t kSmfTypeChannelPressure = 32;
constexpr uint32_t kSmfTypePitchBend = 64;

// Type bits of meta events, by meta type byte.
constexpr uint32_t kSmfMetaSequenceNumber = 1;  // 0x00
constexpr uint32_t kSmfMetaText = 2;            // 0x01
constexpr uint32_t kSmfMetaCopyright = 4;       // 0x02
constexpr uint32_t kSmfMetaTrackName = 8;       // 0x03
constexpr uint32_t kSmfMetaInstrument = 16;     // 0x04
constexpr uint32_t kSmfMetaLyric = 32;          // 0x05
constexpr uint32_t kSmfMetaMarker = 64;         // 0x06
constexpr uint32_t kSmfMetaCuePoint = 128;      // 0x07
constexpr uint32_t kSmfMetaEndOfTrack = 256;    // 0x2F
constexpr uint32_t kSmfMetaTempo = 512;         // 0x51
constexpr uint32_t kSmfMetaSmpteOffset = 1024;  // 0x54
constexpr uint32_t kSmfMetaTimeSig = 2048;      // 0x58
constexpr uint32_t kSmfMetaKeySig = 4096;       // 0x59
constexpr uint32_t kSmfMetaSequencer = 8192;    // 0x7F
constexpr uint32_t kSmfMetaControl = 0x4000;    // 0x80, markers of "MCtl" tracks

constexpr uint32_t kSmfAllBits = 0xFFFFFFFFu;

// The type bit of a meta type byte; 0 for a type without one, which the event
// filters let through any type mask.
constexpr uint32_t SmfMetaTypeBit(uint8_t type) {
  if (type <= 0x07) return 1u << type;
  switch (type) {
    case 0x2F:
      return kSmfMetaEndOfTrack;
    case 0x51:
      return kSmfMetaTempo;
    case 0x54:
      return kSmfMetaSmpteOffset;
    case 0x58:
      return kSmfMetaTimeSig;
    case 0x59:
      return kSmfMetaKeySig;
    case 0x7F:
      return kSmfMetaSequencer;
    case 0x80:
      return kSmfMetaControl;
    default:
      return 0;
  }
}

// Chunk identifiers as four ASCII bytes in file order, read as a little-endian
// 32-bit value.
constexpr uint32_t SmfChunkId(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
         static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}
constexpr uint32_t kSmfChunkMTrk = SmfChunkId('M', 'T', 'r', 'k');
constexpr uint32_t kSmfChunkMCtl = SmfChunkId('M', 'C', 't', 'l');  // control track of this system

// One event of a song. data holds the whole message in file form, status byte
// first: channel messages with running status expanded; system exclusive as
// status, length bytes as in the file, data; meta as FF, type, length bytes as
// in the file, data (so data[3] is the first payload byte of a short meta).
// Copies handed out by the queries share data with the song: the song owns it,
// and it stays valid until the song is reset, reloaded or destroyed.
struct SmfEvent {
  uint32_t tick;
  uint32_t kind;
  uint32_t length;
  const uint8_t* data;
};

#pragma pack(push, 1)
// A program record of a track.
struct SmfProgramChange {
  uint32_t tick;
  uint8_t status;  // 0xC0 | channel
  uint8_t program;
};
#pragma pack(pop)
static_assert(sizeof(SmfProgramChange) == 6, "SmfProgramChange is 6 packed bytes");

// Query records.
struct SmfTimeSigEntry {
  uint16_t measure;  // 0-based measure in which the signature starts
  uint8_t numerator;
  uint8_t power;  // denominator as a power of two: 2 quarter, 3 eighth
};
static_assert(sizeof(SmfTimeSigEntry) == 4, "SmfTimeSigEntry is 4 bytes");

struct SmfTempoEntry {
  float bpm;
  uint32_t tick;
};
static_assert(sizeof(SmfTempoEntry) == 8, "SmfTempoEntry is 8 bytes");

struct SmfKeySigEntry {
  int32_t sharps;  // positive sharps, negative flats
  uint32_t tick;
};
static_assert(sizeof(SmfKeySigEntry) == 8, "SmfKeySigEntry is 8 bytes");

// Filled by ISmfParserHandler::GetTimeSignatureAt.
struct SmfBeatInfo {
  int32_t measure;
  int32_t numerator;
  int32_t beatLength;  // ticks per beat: 480 / 2^power
};
static_assert(sizeof(SmfBeatInfo) == 12, "SmfBeatInfo is 12 bytes");

// Result codes of ISmfParser2::Load and SplitByChannel.
enum SmfLoadResult : int {
  kSmfLoadOk = 0,
  kSmfLoadCannotOpen = 1,
  kSmfLoadNoHeader = 2,
  kSmfLoadBadHeader = 3,     // header length is not 6, or the division is 0
  kSmfLoadBadChunk = 4,      // a track chunk is neither "MTrk" nor "MCtl"
  kSmfLoadBadFormat = 5,     // format above 1
  kSmfLoadBadTrackList = 6,  // exactly one of track list and count given
  kSmfSplitRefused = 7,      // the song does not hold exactly one track
};
