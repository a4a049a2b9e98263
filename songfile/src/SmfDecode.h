#pragma once
// Decoding steps shared by the song reader (SmfTrackReader) and the legacy
// parser: where a track chunk's events may be read, and the pieces of an
// event. The chunk and every length in it are untrusted.
#include <cstddef>
#include <cstdint>

#include "ByteReader.h"

// Where a track chunk's events may be read. The declared length is believed
// when the chunk ends at the end of the file or right before another chunk
// (a track chunk, or a foreign one as ForeignChunkAt tells); otherwise it is taken to be too short, as some
// writers make it, and reading runs on to the end-of-track event or the end of the file.
struct ChunkSpan {
  size_t body;  // first byte of the events
  size_t end;   // declared end, clamped to the file
  bool believed;
};

// Whether a track chunk ("MTrk" or "MCtl") starts at pos.
bool TrackChunkAt(const ByteReader& in, size_t pos);
// Whether a chunk of a kind this reader does not know starts at pos: an id of
// four printable ASCII characters and a declared length that fits the file.
// Readers skip such chunks; anything else where a chunk should stand is damage.
bool ForeignChunkAt(const ByteReader& in, size_t pos);
// Skips the foreign chunks at the reader's position; whether there were any.
bool SkipForeignChunks(ByteReader& in);

// Seeks to the chunk body and limits reading to the believed end.
ChunkSpan BeginChunkBody(ByteReader& in, size_t body, uint32_t declaredLength);
// Lifts the limit and leaves the reader where the next chunk head is
// expected: at the declared end when a track chunk stands there (so padding
// after the end-of-track event is skipped), else after any repeated
// end-of-track markers (00 FF 2F 00) within the declared length.
void EndChunkBody(ByteReader& in, const ChunkSpan& span, bool endOfTrack);

// The start of an event: its delta time (added to rawTick, then rescaled into
// tick), its position and the byte in status position. False at the end of
// what may be read.
struct EventStart {
  uint32_t tick;
  size_t pos;
  uint8_t first;
};
bool ReadEventStart(ByteReader& in, uint32_t ticksPerQuarter, uint32_t& rawTick, EventStart& out);

// The VLQ length of a meta or system-exclusive event. False when the length
// is partial or promises more bytes than there are: nothing after such a
// length can be trusted.
bool ReadDataLength(ByteReader& in, uint32_t& n, uint32_t& lengthBytes);

// A channel message in file form with running status expanded.
struct ChannelMessage {
  uint8_t bytes[3];
  uint32_t length;  // 2 or 3
};

enum class ChannelDecode {
  kEvent,    // msg holds a message
  kDropped,  // a system status (F1..FE) or a data byte without a status; nothing more read
  kPartial,  // the file ends inside the message
};

// first: the byte already read in status position. runningStatus is updated.
ChannelDecode DecodeChannel(ByteReader& in, uint8_t first, uint8_t& runningStatus, ChannelMessage& msg);
