#include "testsupport/BigSong.h"

#include <string>

namespace testsupport {

Bytes BigSong() {
  constexpr int kNotesPerTrack = 9000;
  TrackBuilder tempo;
  for (int bar = 0; bar < kNotesPerTrack / 4; bar += 16) {
    tempo.Tempo(bar == 0 ? 0 : 16 * 480, 400000 + (bar % 64) * 2000);
    tempo.TimeSig(0, (bar / 16) % 2 ? 3 : 4, 2);
  }
  tempo.EndOfTrack();
  std::vector<Bytes> chunks = {Header(1, 17, 480), tempo.Chunk()};
  for (int track = 1; track <= 16; ++track) {
    const uint8_t channel = static_cast<uint8_t>(track - 1);
    TrackBuilder builder;
    builder.Text(0, 0x03, "Track " + std::to_string(track))
        .Event(0, {static_cast<uint8_t>(0xC0 | channel), 0});
    for (int i = 0; i < kNotesPerTrack; ++i) {
      const uint8_t note = static_cast<uint8_t>(48 + (i * 7 + track) % 36);
      if (track == 1) builder.Text(0, 0x05, i % 8 == 7 ? "," : "la");
      // Note-on with its status once per note, the note-off in running status
      // as a note-on of velocity 0.
      builder.Event(0, {static_cast<uint8_t>(0x90 | channel), note, 90});
      builder.Raw(Cat({Vlq(200), Bytes{note, 0}}));
      builder.Raw(Cat({Vlq(40)}));
      builder.Raw(Bytes{static_cast<uint8_t>(0xB0 | channel), 11, static_cast<uint8_t>(i % 128)});
    }
    builder.EndOfTrack();
    chunks.push_back(builder.Chunk());
  }
  Bytes song;
  for (const Bytes& chunk : chunks) song.insert(song.end(), chunk.begin(), chunk.end());
  return song;
}

}  // namespace testsupport
