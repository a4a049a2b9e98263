#include "DemoSong.h"

#include <string>

#include "testsupport/SmfBuilder.h"

using testsupport::TrackBuilder;

std::vector<uint8_t> DemoKaraokeSong() {
  struct Syllable {
    const char* text;
    int note;
    const char* breakAfter;  // "," line, "." paragraph
  };
  static const Syllable kSyllables[] = {
      {"Twin", 60, nullptr}, {"kle", 60, nullptr},  {"twin", 67, nullptr},  {"kle", 67, nullptr},
      {"lit", 69, nullptr},  {"tle", 69, nullptr},  {"star", 67, ","},      {"How", 65, nullptr},
      {"I", 65, nullptr},    {"won", 64, nullptr},  {"der", 64, nullptr},   {"what", 62, nullptr},
      {"you", 62, nullptr},  {"are", 60, "."},      {"Up", 67, nullptr},    {"a", 67, nullptr},
      {"bove", 65, nullptr}, {"the", 65, nullptr},  {"world", 64, nullptr}, {"so", 64, nullptr},
      {"high", 62, ","},     {"Like", 67, nullptr}, {"a", 67, nullptr},     {"dia", 65, nullptr},
      {"mond", 65, nullptr}, {"in", 64, nullptr},   {"the", 64, nullptr},   {"sky", 62, "."},
  };
  TrackBuilder tempo;
  tempo.Tempo(0, 500000).TimeSig(0, 4, 2).KeySig(0, 0, 0).EndOfTrack();

  TrackBuilder melody;
  melody.Text(0, 0x03, "Melody").Event(0, {0xC0, 0});
  uint32_t delta = kDemoFirstSyllableTick;
  for (const Syllable& s : kSyllables) {
    // The lyric compiler writes a line's break before the syllable that ends
    // it, at that syllable's tick.
    if (s.breakAfter) {
      melody.Text(delta, 0x05, s.breakAfter);
      delta = 0;
    }
    melody.Text(delta, 0x05, s.text)
        .Event(0, {0x90, static_cast<uint8_t>(s.note), 100})
        .Event(110, {0x80, static_cast<uint8_t>(s.note), 0});
    delta = 10;
  }
  melody.EndOfTrack();

  // Chords on the bar, from the start, so the count-in has something to count.
  TrackBuilder chords;
  chords.Event(0, {0xC1, 0});
  const int bars = 2 + static_cast<int>(sizeof(kSyllables) / sizeof(kSyllables[0]) + 3) / 4;
  for (int bar = 0; bar < bars; ++bar) {
    const uint8_t root = bar % 2 ? 53 : 48;
    chords.Event(bar == 0 ? 0 : 10, {0x91, root, 70}).Event(0, {0x91, static_cast<uint8_t>(root + 4), 70});
    chords.Event(470, {0x81, root, 0}).Event(0, {0x81, static_cast<uint8_t>(root + 4), 0});
  }
  chords.EndOfTrack();

  TrackBuilder control;
  control.Meta(kDemoFirstSyllableTick, 0x80, {'C', 'L', 'S', 'T'}).EndOfTrack();

  return testsupport::Cat(
      {testsupport::Header(1, 4, 120), tempo.Chunk(), melody.Chunk(), chords.Chunk(), control.Chunk("MCtl")});
}
