#include "SongBuffer.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include <scrivel/SmfMetaEvent.h>

#include "base/Guarded.h"

namespace {

constexpr uint8_t kMetaLyric = 0x05;
constexpr uint8_t kMetaMarker = 0x80;
constexpr double kDefaultBpm = 120.0;

// A channel message packed as the output takes it, or false for anything else
// (system messages, or an event cut short).
bool PackChannelMessage(const SmfEvent& event, uint32_t* message) {
  if (event.data == nullptr || event.length < 1) return false;
  uint8_t status = event.data[0];
  if (status < 0x80 || status >= 0xF0) return false;
  uint32_t size = (status & 0xE0) == 0xC0 ? 2 : 3;  // program change and channel pressure have one data byte
  if (event.length < size) return false;
  *message = status | uint32_t(event.data[1] & 0x7F) << 8;
  if (size == 3) *message |= uint32_t(event.data[2] & 0x7F) << 16;
  return true;
}

}  // namespace

int RoundMs(double ms) {
  if (!(ms < double(INT_MAX))) return INT_MAX;
  return int(std::lround(ms));
}

void CSongBuffer::Release() { delete this; }

void CSongBuffer::Reserve(size_t more) {
  std::vector<SongSource::Event>& events = source_.events;
  // Grown by half again at least, so that a song given track by track moves
  // its events a few times only.
  if (events.capacity() - events.size() < more)
    events.reserve(std::max(events.size() + more, events.capacity() + events.capacity() / 2));
}

void CSongBuffer::Clear() {
  // The lists keep their memory: the engine clears and refills one buffer
  // for every song it opens, and fresh memory for a large song's events costs
  // more to touch than to keep.
  source_.Clear();
  compiled_.reset();
}

// Each method below is called across the library's edge and grows a list:
// when memory runs out the buffer keeps what it had taken so far, and the
// compiled song is made again from that at the next question.

void CSongBuffer::AddTrackEvents(int track, const SmfEvent* events, int count) {
  compiled_.reset();
  base::Guarded([&] {
    if (events != nullptr && count > 0) Reserve(size_t(count));
    for (int i = 0; events != nullptr && i < count; ++i) {
      uint32_t message;
      if (PackChannelMessage(events[i], &message)) {
        source_.Add(SongEventKind::kChannel, track, events[i].tick, message);
      }
    }
  });
}

void CSongBuffer::SetTimeSignatures(const SmfTimeSigEntry* entries, int count) {
  compiled_.reset();
  base::Guarded([&] {
    source_.timeSignatures.assign(entries, entries != nullptr && count > 0 ? entries + count : entries);
  });
}

void CSongBuffer::SetTempos(const SmfTempoEntry* entries, int count) {
  compiled_.reset();
  base::Guarded(
      [&] { source_.tempos.assign(entries, entries != nullptr && count > 0 ? entries + count : entries); });
}

void CSongBuffer::AddMarkers(int track, const SmfEvent* events, int count) {
  compiled_.reset();
  base::Guarded([&] {
    for (int i = 0; events != nullptr && i < count; ++i) {
      SmfMetaPayload payload;
      // A marker is a four-byte code; anything shorter names nothing.
      if (!SmfReadMetaPayload(events[i], kMetaMarker, &payload) || payload.length < 4) continue;
      const uint8_t* p = payload.data;
      uint32_t tag = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
      source_.Add(SongEventKind::kMarker, track, events[i].tick, tag);
    }
  });
}

void CSongBuffer::AddLyrics(int track, const SmfEvent* events, int count) {
  compiled_.reset();
  base::Guarded([&] {
    for (int i = 0; events != nullptr && i < count; ++i) {
      SmfMetaPayload payload;
      if (!SmfReadMetaPayload(events[i], kMetaLyric, &payload)) continue;
      source_.Add(SongEventKind::kLyric, track, events[i].tick, 0);
    }
  });
}

const CompiledSong& CSongBuffer::Compiled() {
  if (!compiled_) compiled_ = CompileSong(source_, kDefaultBpm);
  return *compiled_;
}

std::shared_ptr<const CompiledSong> CSongBuffer::Compile(double fallbackBpm) {
  if (compiled_ && (!compiled_->tempo.UsesFallback() || fallbackBpm == kDefaultBpm)) return compiled_;
  std::shared_ptr<const CompiledSong> song = CompileSong(source_, fallbackBpm);
  if (fallbackBpm == kDefaultBpm || !song->tempo.UsesFallback()) compiled_ = song;
  return song;
}

// A song that cannot be compiled for want of memory is 0 ms long and has no
// tags or times.
int CSongBuffer::Finish() {
  return base::Guarded([&] { return RoundMs(Compiled().lengthMs); }, 0);
}

int CSongBuffer::FindTag(uint32_t tag) {
  return base::Guarded(
      [&] {
        const SongEvent* marker = Compiled().FindTag(tag);
        return marker != nullptr ? int(std::min<uint32_t>(marker->tick, INT_MAX)) : -1;
      },
      -1);
}

int CSongBuffer::GetEventTime(int index) {
  if (index < 0) return -1;
  return base::Guarded([&] { return RoundMs(Compiled().tempo.TickToMs(index)); }, -1);
}
