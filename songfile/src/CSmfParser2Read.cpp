// CSmfParser2: Load and SplitByChannel.
#include <string>

#include "ByteReader.h"
#include "CSmfParser2.h"
#include "base/Guarded.h"
#include "SmfDecode.h"
#include "SmfTrackReader.h"
#include "SongFileIo.h"
#include "TickScale.h"

namespace {
const uint8_t kEndOfTrack[3] = {0xFF, 0x2F, 0x00};
}  // namespace

int CSmfParser2::Load(const char* path, const uint16_t* trackList, uint16_t count) {
  if ((trackList != nullptr) != (count != 0)) return kSmfLoadBadTrackList;
  try {
    std::vector<uint8_t> file;
    if (!ReadSongFile(path, file)) return kSmfLoadCannotOpen;
    Reset();
    ByteReader in(file.data(), file.size());
    const int result = LoadFrom(in, trackList, count);
    lists_.timeSignatures.Settle();
    lists_.keySignatures.Settle();
    lists_.tempos.Settle();
    division_ = kSmfTicksPerQuarter;
    return result;
  } catch (...) {
    Reset();
    return kSmfLoadCannotOpen;
  }
}

int CSmfParser2::LoadFrom(ByteReader& in, const uint16_t* trackList, uint16_t count) {
  // Bytes of any kind may stand before the header (files cut out of archives
  // or mail); they are skipped.
  const size_t header = in.Find("MThd", 0);
  if (header == in.Size()) return kSmfLoadNoHeader;
  in.Seek(header + 4);
  uint32_t headerLength;
  uint16_t format, trackCount, division;
  if (!in.ReadBe32(headerLength) || headerLength != 6) return kSmfLoadBadHeader;
  if (!in.ReadBe16(format) || !in.ReadBe16(trackCount) || !in.ReadBe16(division)) return kSmfLoadBadHeader;
  format_ = format;
  trackCount_ = trackCount;
  division_ = division;
  if (format > 1) return kSmfLoadBadFormat;
  const uint32_t ticksPerQuarter = TicksPerQuarter(division);
  if (ticksPerQuarter == 0) {
    Reset();  // every tick would divide by it
    return kSmfLoadBadHeader;
  }
  SmfTrackReader reader(in, ticksPerQuarter, bytes_, lists_, drumTrack_);
  if (format == 1) return ReadTrackChunks(in, reader, trackList, count);

  // Format 0: one track, split into one track per channel. A file whose only
  // chunk is not a track is refused rather than "loaded" empty.
  uint32_t length;
  SkipForeignChunks(in);
  if (!in.IdAt(in.Pos(), "MTrk") || !in.Skip(4) || !in.ReadBe32(length)) return kSmfLoadBadChunk;
  tracks_.emplace_back();
  tracks_.back().index = 0;
  reader.Read(tracks_.back(), in.Pos(), length);
  SplitByChannel();
  return kSmfLoadOk;
}

int CSmfParser2::ReadTrackChunks(ByteReader& in, SmfTrackReader& reader, const uint16_t* trackList,
                                 uint16_t count) {
  uint16_t used = 0;
  for (uint32_t i = 0; i < trackCount_; ++i) {
    SkipForeignChunks(in);
    const size_t head = in.Pos();
    uint32_t length = 0;
    if (in.Remaining() < 8) {
      // The file ends before the header's count of chunks: a truncated song
      // keeps what it has, but a file with no track at all is no song.
      return tracks_.empty() ? kSmfLoadBadChunk : kSmfLoadOk;
    }
    if (!TrackChunkAt(in, head)) return kSmfLoadBadChunk;
    const uint32_t chunkId =
        SmfChunkId(static_cast<char>(*in.At(head)), static_cast<char>(*in.At(head + 1)),
                   static_cast<char>(*in.At(head + 2)), static_cast<char>(*in.At(head + 3)));
    in.Skip(4);
    in.ReadBe32(length);
    if (trackList) {
      // The list is taken in ascending order. A repeated entry counts as used
      // without taking a chunk, so it cannot make the next one be skipped.
      while (used < count && FindTrack(trackList[used])) ++used;
      if (used == count || trackList[used] >= trackCount_) return kSmfLoadOk;
      if (trackList[used] != i) {
        in.Seek(static_cast<size_t>(std::min<uint64_t>(static_cast<uint64_t>(in.Pos()) + length, in.Size())));
        continue;
      }
      ++used;
    }
    tracks_.emplace_back();
    SmfTrack& track = tracks_.back();
    track.index = static_cast<int16_t>(i);
    track.chunkId = chunkId;
    reader.Read(track, in.Pos(), length);
  }
  return kSmfLoadOk;
}

int CSmfParser2::SplitByChannel() {
  if (tracks_.size() != 1) return kSmfSplitRefused;
  SettleInserts();
  return base::Guarded(
      [&] {
        const std::vector<SmfEvent>& events = tracks_[0].events;
        auto isChannel = [](const SmfEvent& e) {
          return e.kind == kSmfKindChannel && e.length > 0 && e.data;
        };

        // Count first, so each new track gets exactly the room it needs.
        size_t perChannel[16] = {};
        size_t others = 0;
        for (const SmfEvent& e : events) {
          if (isChannel(e)) {
            ++perChannel[e.data[0] & 0x0F];
          } else {
            ++others;
          }
        }
        std::vector<SmfTrack> split(1);
        split[0].index = 0;
        split[0].events.reserve(others + 1);
        size_t slot[16] = {};
        for (int ch = 0; ch < 16; ++ch) {
          if (!perChannel[ch]) continue;
          slot[ch] = split.size();
          SmfTrack& t = split.emplace_back();
          t.index = static_cast<int16_t>(slot[ch]);
          t.name = std::to_string(slot[ch]);  // the track's number, not the channel's
          t.events.reserve(perChannel[ch] + 1);
        }
        int32_t drumTrack = drumTrack_;
        for (const SmfEvent& e : events) {
          if (!isChannel(e)) {
            split[0].events.push_back(e);
            continue;
          }
          const int ch = e.data[0] & 0x0F;
          split[slot[ch]].events.push_back(e);
          if (ch == 9) drumTrack = split[slot[ch]].index;
        }
        for (SmfTrack& t : split) {
          const uint32_t tick = t.events.empty() ? 0 : t.events.back().tick;
          t.events.push_back(SmfEvent{tick, kSmfKindMeta, 3, kEndOfTrack});
        }
        // The bytes stay where they are, in the song's arena; only the records move.
        tracks_.swap(split);
        trackCount_ = static_cast<uint16_t>(tracks_.size());
        drumTrack_ = drumTrack;
        format_ = 1;
        return static_cast<int>(kSmfLoadOk);
      },
      static_cast<int>(kSmfSplitRefused));
}
