#include "SmfTrackReader.h"

#include <algorithm>

#include "CSmfParser2.h"
#include "MeasureMap.h"
#include "SmfDecode.h"

void SmfTrackReader::Read(SmfTrack& track, size_t body, uint32_t declaredLength) {
  const ChunkSpan span = BeginChunkBody(in_, body, declaredLength);
  runningStatus_ = 0;
  haveNote_ = false;
  lowNote_ = highNote_ = 0;
  uint32_t rawTick = 0;
  bool endOfTrack = false;
  // Room for the events a chunk of this size usually holds (notes in running
  // status take 3 or 4 bytes), so the array does not regrow as it fills. A
  // huge chunk may be one huge system-exclusive event: past a cap the array
  // grows as it goes.
  constexpr size_t kMaxReserve = 1u << 20;
  if (span.believed)
    track.events.reserve(track.events.size() + std::min((span.end - span.body) / 4, kMaxReserve));
  while (!endOfTrack) {
    EventStart ev;
    if (!ReadEventStart(in_, ticksPerQuarter_, rawTick, ev)) break;
    const uint32_t tick = ev.tick;
    const size_t start = ev.pos;
    const uint8_t b = ev.first;
    bool ok;
    if (b == 0xFF) {
      ok = ReadMeta(track, start, tick, endOfTrack);
    } else if (b == 0xF0 || b == 0xF7) {
      ok = ReadSysEx(track, start, tick);
    } else {
      ok = ReadChannel(track, b, tick);
    }
    if (!ok) break;
  }
  // The range is kept however the track ended; a track without notes gets
  // (0, 0), which the queries report as it stands.
  track.lowNote = lowNote_;
  track.highNote = highNote_;
  // Reading leaves spare capacity behind; a song lives long.
  track.events.shrink_to_fit();
  EndChunkBody(in_, span, endOfTrack);
}

bool SmfTrackReader::ReadMeta(SmfTrack& track, size_t start, uint32_t tick, bool& endOfTrack) {
  uint8_t type;
  if (!in_.ReadU8(type)) return false;
  if (type == 0x2F) {
    uint8_t lengthByte;
    if (!in_.ReadU8(lengthByte)) return false;
    track.events.push_back(SmfEvent{tick, kSmfKindMeta, 3, arena_.Copy(in_.At(start), 3)});
    endOfTrack = true;
    return true;
  }
  uint32_t n, lengthBytes;
  if (!ReadDataLength(in_, n, lengthBytes)) return false;
  const uint32_t length = n + lengthBytes + 2;
  SmfEvent e{tick, kSmfKindMeta, length, arena_.Copy(in_.At(start), length)};
  track.events.push_back(e);
  const char* payload = reinterpret_cast<const char*>(in_.Here());
  in_.Skip(n);
  if (type == 0x03) {
    track.name.assign(payload, n);
  } else if (type == 0x51 || type == 0x58 || type == 0x59) {
    OfferToLists(e, type, n, lengthBytes);
  }
  return true;
}

// The queries read tempo, time and key signatures at data[3..]; only events
// that hold those bytes and make sense (a tempo above 0, a signature with a
// measure length) join the song lists. The events stay in their track anyway.
void SmfTrackReader::OfferToLists(const SmfEvent& e, uint8_t type, uint32_t payload, uint32_t lengthBytes) {
  if (lengthBytes != 1) return;
  const uint8_t* d = e.data;
  if (type == 0x51) {
    if (payload >= 3 && (d[3] | d[4] | d[5]) != 0) lists_.tempos.Offer(e, arena_);
  } else if (type == 0x58) {
    if (payload >= 4 && MeasureMap::MeasureLength(d[3], d[4]) > 0) lists_.timeSignatures.Offer(e, arena_);
  } else if (payload >= 2) {
    lists_.keySignatures.Offer(e, arena_);
  }
}

bool SmfTrackReader::ReadSysEx(SmfTrack& track, size_t start, uint32_t tick) {
  uint32_t n, lengthBytes;
  if (!ReadDataLength(in_, n, lengthBytes)) return false;
  const uint32_t length = n + lengthBytes + 1;
  track.events.push_back(SmfEvent{tick, kSmfKindSysEx, length, arena_.Copy(in_.At(start), length)});
  in_.Skip(n);
  return true;
}

bool SmfTrackReader::ReadChannel(SmfTrack& track, uint8_t first, uint32_t tick) {
  ChannelMessage msg;
  switch (DecodeChannel(in_, first, runningStatus_, msg)) {
    case ChannelDecode::kPartial:
      return false;
    case ChannelDecode::kDropped:
      return true;
    case ChannelDecode::kEvent:
      break;
  }
  const uint8_t status = msg.bytes[0];
  const uint8_t channel = status & 0x0F;
  const uint8_t key = msg.bytes[1];
  switch (status >> 4) {
    case 0x8:
    case 0x9:
      if (!haveNote_) {
        lowNote_ = highNote_ = key;
        haveNote_ = true;
      } else {
        lowNote_ = std::min(lowNote_, key);
        highNote_ = std::max(highNote_, key);
      }
      // A track plays program 0 until its first program change.
      if (track.programChanges.empty())
        track.programChanges.push_back(SmfProgramChange{tick, static_cast<uint8_t>(0xC0 | channel), 0});
      if (channel == 9) drumTrack_ = track.index;
      break;
    case 0xC:
      track.programChanges.push_back(
          SmfProgramChange{tick, static_cast<uint8_t>(0xC0 | channel), msg.bytes[1]});
      break;
    default:
      break;
  }
  uint8_t* copy = arena_.Allocate(msg.length);
  for (uint32_t i = 0; i < msg.length; ++i) copy[i] = msg.bytes[i];
  track.events.push_back(SmfEvent{tick, kSmfKindChannel, msg.length, copy});
  return true;
}
