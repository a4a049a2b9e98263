#include "SmfDecode.h"

#include <algorithm>

#include "TickScale.h"

bool TrackChunkAt(const ByteReader& in, size_t pos) { return in.IdAt(pos, "MTrk") || in.IdAt(pos, "MCtl"); }

bool ForeignChunkAt(const ByteReader& in, size_t pos) {
  if (pos > in.Size() || in.Size() - pos < 8 || TrackChunkAt(in, pos)) return false;
  const uint8_t* head = in.At(pos);
  for (int i = 0; i < 4; ++i) {
    if (head[i] < 0x20 || head[i] > 0x7E) return false;
  }
  const uint32_t length = static_cast<uint32_t>(head[4]) << 24 | static_cast<uint32_t>(head[5]) << 16 |
                          static_cast<uint32_t>(head[6]) << 8 | head[7];
  return length <= in.Size() - pos - 8;
}

bool SkipForeignChunks(ByteReader& in) {
  bool skipped = false;
  while (ForeignChunkAt(in, in.Pos())) {
    const uint8_t* head = in.At(in.Pos());
    const uint32_t length = static_cast<uint32_t>(head[4]) << 24 | static_cast<uint32_t>(head[5]) << 16 |
                            static_cast<uint32_t>(head[6]) << 8 | head[7];
    in.Seek(in.Pos() + 8 + length);
    skipped = true;
  }
  return skipped;
}

namespace {
bool ChunkAt(const ByteReader& in, size_t pos) { return TrackChunkAt(in, pos) || ForeignChunkAt(in, pos); }
}  // namespace

ChunkSpan BeginChunkBody(ByteReader& in, size_t body, uint32_t declaredLength) {
  const uint64_t declaredEnd = static_cast<uint64_t>(body) + declaredLength;
  ChunkSpan span;
  span.body = body;
  span.end = static_cast<size_t>(std::min<uint64_t>(declaredEnd, in.Size()));
  span.believed = declaredEnd >= in.Size() || ChunkAt(in, span.end);
  in.Seek(body);
  if (span.believed) in.SetLimit(span.end);
  return span;
}

void EndChunkBody(ByteReader& in, const ChunkSpan& span, bool endOfTrack) {
  in.ClearLimit();
  if (span.end < in.Size() && ChunkAt(in, span.end)) {
    in.Seek(span.end);
    return;
  }
  if (!endOfTrack) {
    // Reading stopped at damage or at the end of the file; what follows the
    // declared end is the best guess for the next chunk.
    in.Seek(span.end);
    return;
  }
  while (in.Pos() < span.end && in.Remaining() >= 4) {
    const uint8_t* p = in.Here();
    if (p[1] != 0xFF || p[2] != 0x2F) break;
    in.Skip(4);
  }
}

bool ReadEventStart(ByteReader& in, uint32_t ticksPerQuarter, uint32_t& rawTick, EventStart& out) {
  uint32_t delta, deltaBytes;
  if (!in.ReadVlq(delta, deltaBytes)) return false;
  rawTick += delta;  // modulo 2^32, as any reader of 32-bit ticks
  out.tick = RescaleTick(rawTick, ticksPerQuarter);
  out.pos = in.Pos();
  return in.ReadU8(out.first);
}

bool ReadDataLength(ByteReader& in, uint32_t& n, uint32_t& lengthBytes) {
  return in.ReadVlq(n, lengthBytes) && n <= in.Remaining();
}

ChannelDecode DecodeChannel(ByteReader& in, uint8_t first, uint8_t& runningStatus, ChannelMessage& msg) {
  uint8_t status;
  if (first & 0x80) {
    // A system status other than F0, F7 and FF has no place in a file; it
    // stays as running status, so the data bytes after it are dropped too.
    runningStatus = first;
    if (first >= 0xF0) return ChannelDecode::kDropped;
    status = first;
    if (!in.ReadU8(msg.bytes[1])) return ChannelDecode::kPartial;
  } else {
    if (runningStatus < 0x80 || runningStatus >= 0xF0) return ChannelDecode::kDropped;
    status = runningStatus;
    msg.bytes[1] = first;
  }
  msg.bytes[0] = status;
  msg.bytes[2] = 0;
  const uint8_t high = status >> 4;
  if (high == 0xC || high == 0xD) {
    msg.length = 2;
    return ChannelDecode::kEvent;
  }
  msg.length = 3;
  return in.ReadU8(msg.bytes[2]) ? ChannelDecode::kEvent : ChannelDecode::kPartial;
}
