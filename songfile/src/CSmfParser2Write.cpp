// CSmfParser2: SaveAs, the MIDI file writer.
#include <algorithm>
#include <numeric>

#include "ByteWriter.h"
#include "CSmfParser2.h"
#include "base/Guarded.h"
#include "SongFileIo.h"
#include "base/SaveFile.h"

namespace {

bool IsEndOfTrack(const SmfEvent& e) { return e.length >= 2 && e.data[0] == 0xFF && e.data[1] == 0x2F; }

// The events of a track in the order they are written: by tick, equal ticks
// in track order. Events added out of order would otherwise need negative
// deltas, which a file cannot hold. End-of-track events are left out: the
// chunk gets exactly one, at the end.
std::vector<uint32_t> WriteOrder(const std::vector<SmfEvent>& events) {
  std::vector<uint32_t> order;
  order.reserve(events.size());
  for (uint32_t i = 0; i < events.size(); ++i) {
    if (events[i].length && events[i].data && !IsEndOfTrack(events[i])) order.push_back(i);
  }
  auto byTick = [&](uint32_t a, uint32_t b) { return events[a].tick < events[b].tick; };
  if (!std::is_sorted(order.begin(), order.end(), byTick))
    std::stable_sort(order.begin(), order.end(), byTick);
  return order;
}

}  // namespace

int CSmfParser2::SaveAs(const char* path) {
  SettleInserts();
  return base::Guarded(
      [&] {
        trackCount_ = static_cast<uint16_t>(tracks_.size());
        ByteWriter out;
        out.Id(SmfChunkId('M', 'T', 'h', 'd'));
        out.Be32(6);
        // A single-track format cannot hold several tracks.
        out.Be16(format_ == 0 && trackCount_ != 1 ? 1 : format_);
        out.Be16(trackCount_);
        out.Be16(division_);
        for (const SmfTrack& t : tracks_) WriteTrack(out, t);
        return base::SaveFileReplacing(path, out.Bytes(), "scv") ? 0 : 1;
      },
      1);
}

void CSmfParser2::WriteTrack(ByteWriter& out, const SmfTrack& track) const {
  const size_t lengthAt = out.BeginChunk(track.chunkId);
  uint32_t endTick = 0;  // an end-of-track event may stand after the last note
  for (const SmfEvent& e : track.events) endTick = std::max(endTick, e.tick);

  uint32_t previousTick = 0;
  uint8_t previousStatus = 0;  // running status lives for one chunk
  for (uint32_t i : WriteOrder(track.events)) {
    const SmfEvent& e = track.events[i];
    out.Vlq(e.tick - previousTick);
    previousTick = e.tick;
    const uint8_t status = e.data[0];
    if (e.kind == kSmfKindChannel && status >= 0x80 && status < 0xF0) {
      // Running status only where the byte after it is a data byte; a reader
      // would take any other byte for a new status.
      if (status == previousStatus && e.length >= 2 && e.data[1] < 0x80) {
        out.Append(e.data + 1, e.length - 1);
      } else {
        out.Append(e.data, e.length);
        previousStatus = status;
      }
    } else {
      // Meta and system-exclusive events hold their length bytes as read, so
      // they go out byte for byte; they cancel running status.
      out.Append(e.data, e.length);
      previousStatus = 0;
    }
  }
  // Every chunk ends in one end-of-track event, an empty track too, so other
  // programs read our files.
  const uint8_t endOfTrack[3] = {0xFF, 0x2F, 0x00};
  out.Vlq(endTick - previousTick);
  out.Append(endOfTrack, 3);
  out.EndChunk(lengthAt);
}
