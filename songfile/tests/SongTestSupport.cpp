#include "SongTestSupport.h"

#include <iomanip>
#include <ostream>

namespace songtest {

std::ostream& operator<<(std::ostream& os, const Ev& e) {
  os << "{" << e.tick << ", kind " << e.kind << ",";
  for (uint8_t b : e.bytes) os << " " << std::hex << std::setw(2) << std::setfill('0') << int(b) << std::dec;
  return os << "}";
}

std::vector<Ev> Events(ISmfParser2& song, int track, uint32_t kindMask, uint32_t typeMask,
                       uint32_t subTypeMask) {
  const uint32_t n = song.CountEvents(track, 0, UINT32_MAX, kindMask, typeMask, subTypeMask);
  std::vector<SmfEvent> raw(n + 1);
  song.GetEvents(track, 0, UINT32_MAX, raw.data(), kindMask, typeMask, subTypeMask);
  std::vector<Ev> out;
  for (uint32_t i = 0; i < n; ++i)
    out.push_back(Ev{raw[i].tick, raw[i].kind, Bytes(raw[i].data, raw[i].data + raw[i].length)});
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

std::vector<Bytes> SampleSongs() {
  testsupport::TrackBuilder zero;
  zero.Tempo(0, 500000)
      .TimeSig(0, 3, 2)
      .KeySig(0, -3, 1)
      .Text(0, 0x03, "Song")
      .Event(0, {0xC0, 0x05})
      .Event(0, {0x90, 0x3C, 0x40})
      .Text(60, 0x05, "la")
      .Event(0, {0x3E, 0x40})
      .Event(0, {0x99, 0x24, 0x64})
      .Event(0, {0xF0, 0x05, 0x43, 0x10, 0x4C, 0x00, 0xF7})
      .Event(0, {0xB1, 0x07, 0x64})
      .Event(0, {0xE1, 0x00, 0x40})
      .Event(0, {0xD1, 0x20})
      .Event(120, {0x80, 0x3C, 0x00})
      .EndOfTrack();
  testsupport::TrackBuilder conductor, melody, control;
  conductor.Tempo(0, 600000).TimeSig(0, 6, 3).TimeSig(1440, 2, 2).Tempo(960, 400000).EndOfTrack();
  melody.Text(0, 0x03, "Melody")
      .Event(0, {0x90, 0x40, 0x40})
      .Event(200, {0x40, 0x00})
      .Meta(0, 0x01, Bytes(140, 'a'))
      .Event(300, {0x91, 0x30, 0x40})
      .Event(16384, {0x81, 0x30, 0x00})
      .EndOfTrack();
  control.Meta(0, 0x80, {'C', 'L', 'S', 'T'}).Meta(480, 0x80, {'C', 'L', 'S', 'T'}).EndOfTrack(480);
  return {testsupport::Cat({testsupport::Header(0, 1, 96), zero.Chunk()}),
          testsupport::Cat(
              {testsupport::Header(1, 3, 480), conductor.Chunk(), melody.Chunk(), control.Chunk("MCtl")})};
}

Bytes ChunkBody(const Bytes& file, size_t index) {
  size_t pos = 14;  // after the header chunk
  for (size_t i = 0; pos + 8 <= file.size(); ++i) {
    const uint32_t length = uint32_t(file[pos + 4]) << 24 | uint32_t(file[pos + 5]) << 16 |
                            uint32_t(file[pos + 6]) << 8 | file[pos + 7];
    if (i == index)
      return Bytes(file.begin() + pos + 8, file.begin() + std::min(file.size(), pos + 8 + length));
    pos += 8 + length;
  }
  return {};
}

}  // namespace songtest
