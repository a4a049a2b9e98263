#include "SongTestSupport.h"

#include <iomanip>
#include <ostream>

namespace songtest {

std::ostream& operator<<(std::ostream& os, const Ev& e) {
  os << "{" << e.tick << ", kind " << e.kind << ",";
  for (uint8_t b : e.bytes) os << " " << std::hex << std::setw(2) << std::setfill('0') << int(b) << std::dec;
  return os << "}";
}

std::vector<Ev> Events(ISmfParser2& song, int track, uint32_t kindMask, uint32_t typeMask, uint32_t subTypeMask) {
  const uint32_t n = song.CountEvents(track, 0, UINT32_MAX, kindMask, typeMask, subTypeMask);
  std::vector<SmfEvent> raw(n + 1);
  song.GetEvents(track, 0, UINT32_MAX, raw.data(), kindMask, typeMask, subTypeMask);
  std::vector<Ev> out;
  for (uint32_t i = 0; i < n; ++i) out.push_back(Ev{raw[i].tick, raw[i].kind, Bytes(raw[i].data, raw[i].data + raw[i].length)});
  return out;
}

std::vector<Ev> EventsWithoutEnd(ISmfParser2& song, int track) {
  std::vector<Ev> out;
  for (Ev& e : Events(song, track)) {
    if (!(e.kind == kSmfKindMeta && e.bytes.size() >= 2 && e.bytes[1] == 0x2F)) out.push_back(e);
  }
  return out;
}

std::string TrackName(ISmfParser2& song, int track) {
  std::string name(song.GetTrackName(track, nullptr), '?');
  if (name.empty()) return "<none>";
  song.GetTrackName(track, name.data());
  name.pop_back();  // the terminating zero
  return name;
}

std::vector<SmfTimeSigEntry> TimeSignatures(ISmfParser2& song) {
  std::vector<SmfTimeSigEntry> out(song.GetTimeSignatures(nullptr));
  song.GetTimeSignatures(out.data());
  return out;
}

SongFile::SongFile(const Bytes& bytes, const std::string& name) : path_(dir_.File(name)) {
  testsupport::WriteBytes(path_, bytes);
}

Song LoadBytes(const Bytes& bytes, int* result) {
  SongFile file(bytes);
  Song song = NewSong();
  const int r = song->Load(file.Path(), nullptr, 0);
  if (result) *result = r;
  return song;
}

Bytes ChunkBody(const Bytes& file, size_t index) {
  size_t pos = 14;  // after the header chunk
  for (size_t i = 0; pos + 8 <= file.size(); ++i) {
    const uint32_t length = uint32_t(file[pos + 4]) << 24 | uint32_t(file[pos + 5]) << 16 |
                            uint32_t(file[pos + 6]) << 8 | file[pos + 7];
    if (i == index) return Bytes(file.begin() + pos + 8, file.begin() + std::min(file.size(), pos + 8 + length));
    pos += 8 + length;
  }
  return {};
}

}  // namespace songtest
