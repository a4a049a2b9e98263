#include "LyricBuffer.h"

#include "LyricTokens.h"
#include "base/Guarded.h"
#include <scrivel/SmfMetaEvent.h>

namespace {
constexpr uint8_t kMetaLyric = 0x05;
constexpr uint8_t kMetaMarker = 0x80;
}  // namespace

void CLyricBuffer::Release() { delete this; }

void CLyricBuffer::Clear() {
  data_.lyrics.clear();
  data_.markers.clear();
}

void CLyricBuffer::AddMarkers(int track, const SmfEvent* events, int count) {
  base::Guarded([&] {
    if (events == nullptr) {
      return;
    }
    for (int i = 0; i < count; ++i) {
      SmfMetaPayload payload;
      // A marker carries a four-byte code; shorter ones mean nothing to us.
      if (!SmfReadMetaPayload(events[i], kMetaMarker, &payload) || payload.length < 4) {
        continue;
      }
      const uint8_t* p = payload.data;
      uint32_t tag = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
      data_.markers.push_back({events[i].tick, track, tag});
    }
  });
}

void CLyricBuffer::AddLyrics(int track, const SmfEvent* events, int count) {
  base::Guarded([&] {
    if (events == nullptr) {
      return;
    }
    for (int i = 0; i < count; ++i) {
      SmfMetaPayload payload;
      if (!SmfReadMetaPayload(events[i], kMetaLyric, &payload)) {
        continue;
      }
      data_.lyrics.push_back(
          {events[i].tick, track, std::string(reinterpret_cast<const char*>(payload.data), payload.length)});
    }
  });
}

int CLyricBuffer::GetFirstLyric(int kind) {
  return base::Guarded(
      [&] {
        if (kind != 1) {
          return -1;
        }
        return FirstSyllableTick(data_);
      },
      -1);
}

const CantomereLyricData* CLyricBuffer::GetLyricData() { return &data_; }
