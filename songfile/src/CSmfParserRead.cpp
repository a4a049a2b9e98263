// CSmfParser: Load, the measure view, the event queries and SplitByChannel.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "ByteReader.h"
#include "CSmfParser.h"
#include "base/Guarded.h"
#include "SmfDecode.h"
#include "SmfEventClass.h"
#include "SongFileIo.h"
#include "TickScale.h"

namespace {

bool IsMeta(const SmfEventNode& n, uint8_t type) {
  return n.kind == kSmfKindMeta && n.length >= 2 && n.data[0] == 0xFF && n.data[1] == type;
}

// The first payload byte of a meta node and the payload's size. Meta lengths
// are kept as read: a VLQ of one or more bytes.
bool MetaPayload(const SmfEventNode& n, uint32_t& at, uint32_t& size) {
  if (n.length < 3) return false;
  at = 2;
  while (at < n.length && (n.data[at] & 0x80)) ++at;
  if (at >= n.length) return false;
  ++at;
  size = n.length - at;
  return true;
}

// 60,000,000 / tempo rounded to nearest, kept within 16 bits.
uint16_t RoundedBpm(uint32_t tempo) {
  return static_cast<uint16_t>(std::min(std::lround(60000000.0 / tempo), 0xFFFFL));
}

}  // namespace

int CSmfParser::Load(const char* path) {
  FreeSong();
  try {
    std::vector<uint8_t> file;
    if (!ReadSongFile(path, file)) return 1;
    ByteReader in(file.data(), file.size());
    const int result = LoadFrom(in);
    if (result != 0) FreeSong();  // a refused file leaves no half song behind
    return result;
  } catch (...) {
    FreeSong();
    return 1;
  }
}

int CSmfParser::LoadFrom(ByteReader& in) {
  uint32_t headerLength;
  uint16_t format, trackCount, division;
  if (!in.IdAt(0, "MThd") || !in.Skip(4) || !in.ReadBe32(headerLength) || headerLength != 6) return 1;
  if (!in.ReadBe16(format) || !in.ReadBe16(trackCount) || !in.ReadBe16(division)) return 1;
  const uint32_t ticksPerQuarter = TicksPerQuarter(division);
  if (format > 1 || ticksPerQuarter == 0) return 1;  // every tick would divide by a zero division
  format_ = format;
  division_ = division;
  const size_t firstChunk = in.Pos();

  // A format-0 song that counts no track needs no chunk: it is what this
  // parser writes for an empty song, and it must read back.
  if (format == 0 && trackCount > 0) {
    if (!in.IdAt(firstChunk, "MTrk")) return 1;
    // Channels in order of first appearance of a byte that looks like a note-on.
    bool seen[16] = {};
    for (size_t p = firstChunk; p < in.Size(); ++p) {
      const uint8_t b = *in.At(p);
      if ((b & 0xF0) == 0x90 && !seen[b & 0x0F]) {
        seen[b & 0x0F] = true;
        ++channelCount_;
      }
    }
  }

  for (uint16_t i = 0; i < trackCount; ++i) {
    uint32_t length;
    if (!in.IdAt(in.Pos(), "MTrk") || !in.Skip(4) || !in.ReadBe32(length)) return 1;
    chunkLengths_.push_back(length);
    SmfTrackNode* track = AppendTrack();
    trackCount_ = static_cast<uint16_t>(i + 1);
    names_[i];
    if (format == 1) programs_[i] = 0;
    lowestNotes_[i] = 127;
    highestNotes_[i] = 0;
    ReadTrack(in, i, *track, ticksPerQuarter, in.Pos(), length);
    if (highestNotes_[i] < lowestNotes_[i]) lowestNotes_[i] = highestNotes_[i] = 0;
  }
  division_ = kSmfTicksPerQuarter;
  RebuildMeasures();
  return 0;
}

void CSmfParser::ReadTrack(ByteReader& in, uint16_t number, SmfTrackNode& track, uint32_t ticksPerQuarter,
                           size_t body, uint32_t length) {
  const ChunkSpan span = BeginChunkBody(in, body, length);
  SmfEventNode** tail = &track.first;
  auto append = [&](uint32_t delta, uint32_t kind, const uint8_t* bytes, uint32_t n) {
    *tail = NewNode(delta, kind, bytes, n);
    tail = &(*tail)->next;
    ++track.eventCount;
  };
  uint8_t runningStatus = 0;
  bool programSeen = false;
  uint32_t rawTick = 0, previousTick = 0;
  bool endOfTrack = false;
  while (!endOfTrack) {
    EventStart ev;
    if (!ReadEventStart(in, ticksPerQuarter, rawTick, ev)) break;
    const uint32_t tick = ev.tick;
    const size_t start = ev.pos;
    const uint8_t b = ev.first;
    if (b == 0xFF || b == 0xF0 || b == 0xF7) {
      uint8_t type = 0;
      if (b == 0xFF && !in.ReadU8(type)) break;
      // Meta lengths are read as VLQs and kept as in the file: one byte
      // below 128, and longer names or texts still load.
      uint32_t n, lengthBytes;
      if (!ReadDataLength(in, n, lengthBytes)) break;
      const uint32_t head = (b == 0xFF ? 2 : 1) + lengthBytes;
      append(tick - previousTick, b == 0xFF ? kSmfKindMeta : kSmfKindSysEx, in.At(start), head + n);
      in.Skip(n);
      if (b == 0xFF) {
        ReadMeta(number, in.At(start), head + n, head, tick);
        endOfTrack = type == 0x2F;
      }
      previousTick = tick;
      continue;
    }
    ChannelMessage msg;
    const ChannelDecode decoded = DecodeChannel(in, b, runningStatus, msg);
    if (decoded == ChannelDecode::kPartial) break;
    if (decoded == ChannelDecode::kDropped) continue;
    const uint8_t channel = msg.bytes[0] & 0x0F;
    switch (msg.bytes[0] >> 4) {
      case 0x8:
      case 0x9:
        lowestNotes_[number] = std::min<uint16_t>(lowestNotes_[number], msg.bytes[1]);
        highestNotes_[number] = std::max<uint16_t>(highestNotes_[number], msg.bytes[1]);
        if (channel == 9) drumTrack_ = number;
        break;
      case 0xC:
        if (format_ == 0) {
          programs_.emplace(channel, msg.bytes[1]);  // the first of each channel
        } else if (!programSeen) {
          programs_[number] = msg.bytes[1];
          programSeen = true;
        }
        break;
      default:
        break;
    }
    append(tick - previousTick, kSmfKindChannel, msg.bytes, msg.length);
    previousTick = tick;
  }
  EndChunkBody(in, span, endOfTrack);
}

void CSmfParser::ReadMeta(uint16_t number, const uint8_t* bytes, uint32_t length, uint32_t payloadAt,
                          uint32_t tick) {
  const uint8_t* payload = bytes + payloadAt;
  const uint32_t size = length - payloadAt;
  switch (bytes[1]) {
    case 0x03:
      names_[number].assign(reinterpret_cast<const char*>(payload), size);
      break;
    case 0x59:
      if (size < 1) break;
      lastKey_ = payload[0];
      keys_.push_back(SmfKeySigEntry{static_cast<int8_t>(payload[0]), tick});
      break;
    case 0x51: {
      if (size < 3) break;
      const uint32_t tempo = static_cast<uint32_t>(payload[0]) << 16 | payload[1] << 8 | payload[2];
      if (tempo == 0) break;  // no tempo at all; it would divide by zero
      const uint16_t bpm = RoundedBpm(tempo);
      if (tempos_.empty()) initialBpm_ = bpm;
      tempos_.push_back(SmfTempoEntry{static_cast<float>(bpm), tick});
      break;
    }
    default:
      break;
  }
}

// @name The measure view

void CSmfParser::RebuildMeasures() {
  std::vector<LegacyMeasureTable::Signature> signatures;
  if (tracks_) {
    uint32_t tick = 0;
    for (SmfEventNode* n = tracks_->first; n; n = n->next) {
      tick += n->delta;
      uint32_t at, size;
      if (IsMeta(*n, 0x58) && MetaPayload(*n, at, size) && size >= 2)
        signatures.push_back(LegacyMeasureTable::Signature{tick, n->data[at], n->data[at + 1]});
    }
  }
  timeSignatures_.Build(signatures, division_);
  haveTimeSignatureList_ = false;
  measureCounts_.clear();
  maxMeasureCount_ = 0;
  for (SmfTrackNode* t = tracks_; t; t = t->next) {
    uint32_t tick = 0;
    for (SmfEventNode* n = t->first; n; n = n->next) tick += n->delta;
    const uint16_t count =
        static_cast<uint16_t>(std::min<uint32_t>(timeSignatures_.MeasureOfTick(tick) + 1, 0xFFFF));
    measureCounts_.push_back(count);
    maxMeasureCount_ = std::max(maxMeasureCount_, count);
  }
}

// @name Event queries

bool CSmfParser::Passes(const SmfEventNode& node, uint32_t kindMask, uint32_t typeMask, int controller) {
  if (node.length == 0 || !node.data) return false;
  const uint32_t kind =
      node.kind == kSmfKindChannel || node.kind == kSmfKindSysEx || node.kind == kSmfKindMeta ? node.kind : 0;
  if (!(kind & kindMask)) return false;
  if (kind == kSmfKindSysEx) return true;
  if (kind == kSmfKindMeta) {
    if (node.length < 2) return false;
    const uint32_t type = node.data[1] == 0x80 ? 0 : SmfEventClass::MetaTypeBit(node.data[1]);
    return (type & typeMask) != 0;
  }
  const uint32_t type = SmfEventClass::ChannelTypeBit(node.data[0]);
  if (!(type & typeMask)) return false;
  if (type != kSmfTypeControl) return true;
  return controller == -1 || (node.length >= 2 && node.data[1] == controller);
}

uint32_t CSmfParser::CountEvents(int track, uint16_t fromMeasure, uint16_t toMeasure, uint32_t kindMask,
                                 uint32_t typeMask, int controller) {
  SmfTrackNode* t = GetTrack(track);
  if (!t || toMeasure > maxMeasureCount_) return 0;
  uint32_t count = 0, tick = 0;
  for (SmfEventNode* n = t->first; n; n = n->next) {
    tick += n->delta;
    const uint32_t measure = timeSignatures_.MeasureOfTick(tick);
    if (measure > toMeasure) break;
    if (measure >= fromMeasure && Passes(*n, kindMask, typeMask, controller)) ++count;
  }
  return count;
}

int CSmfParser::GetEvents(int track, uint16_t fromMeasure, uint16_t toMeasure, SmfEventNode** out,
                          uint32_t kindMask, uint32_t typeMask, int controller) {
  if (!out) return 0;
  *out = nullptr;
  const uint32_t count = CountEvents(track, fromMeasure, toMeasure, kindMask, typeMask, controller);
  if (count == 0) return 0;
  SmfTrackNode* t = GetTrack(track);
  return base::Guarded(
      [&] {
        std::unique_ptr<SmfEventNode[]> nodes(new SmfEventNode[count]());
        uint32_t kept = 0, tick = 0, carried = 0;
        try {
          for (SmfEventNode* n = t->first; n && kept < count; n = n->next) {
            tick += n->delta;
            carried += n->delta;
            const uint32_t measure = timeSignatures_.MeasureOfTick(tick);
            if (measure < fromMeasure || !Passes(*n, kindMask, typeMask, controller)) continue;
            SmfEventNode& to = nodes[kept];
            to = SmfEventNode{carried, n->kind, n->length, new uint8_t[n->length], nullptr};
            std::memcpy(to.data, n->data, n->length);
            if (kept > 0) nodes[kept - 1].next = &to;
            ++kept;
            carried = 0;
          }
        } catch (...) {
          for (uint32_t i = 0; i < kept; ++i) delete[] nodes[i].data;
          throw;
        }
        *out = nodes.release();
        return 0;
      },
      0);
}

int CSmfParser::FreeEvents(SmfEventNode* events, uint32_t count) {
  if (!events) return 0;
  for (uint32_t i = 0; i < count; ++i) delete[] events[i].data;
  delete[] events;
  return 1;
}

// @name SplitByChannel

int CSmfParser::SplitByChannel() {
  if (format_ != 0 || !tracks_) return 1;
  return base::Guarded(
      [&] {
        struct Timed {
          uint32_t tick;
          SmfEventNode* node;
        };
        // Absolute times first, so every node keeps its time wherever it goes.
        std::vector<Timed> stay, moved[16];
        uint32_t tick = 0;
        for (SmfEventNode* n = tracks_->first; n; n = n->next) {
          tick += n->delta;
          const bool channel =
              n->kind == kSmfKindChannel && n->length && n->data[0] >= 0x80 && n->data[0] < 0xF0;
          (channel ? moved[n->data[0] & 0x0F] : stay).push_back(Timed{tick, n});
        }
        // Make the new tracks before any node moves, so running out of memory
        // leaves the song as it was.
        SmfTrackNode* added[16] = {};
        for (int ch = 0; ch < 16; ++ch) {
          if (moved[ch].empty()) continue;
          AddTrack();
          added[ch] = GetTrack(trackCount_ - 1);
        }
        auto relink = [](SmfTrackNode& track, const std::vector<Timed>& nodes, SmfEventNode* end) {
          SmfEventNode** tail = &track.first;
          uint32_t previous = 0;
          for (const Timed& t : nodes) {
            t.node->delta = t.tick - previous;
            previous = t.tick;
            *tail = t.node;
            tail = &t.node->next;
          }
          *tail = end;
          if (end) end->delta = 0;  // the end-of-track of a new track follows its last event
          track.eventCount = static_cast<uint32_t>(nodes.size()) + (end ? 1 : 0);
        };
        relink(*tracks_, stay, nullptr);
        uint16_t index = 0;
        for (SmfTrackNode* t = tracks_; t; t = t->next, ++index) {
          for (int ch = 0; ch < 16; ++ch) {
            if (added[ch] != t) continue;
            relink(*t, moved[ch], t->first);
            if (ch == 9) drumTrack_ = index;
          }
        }
        format_ = 1;
        RebuildMeasures();
        return 0;
      },
      1);
}
