#pragma once
// The contents of a lyric buffer: copies of the song's lyric and marker
// events, in the order they were added. The controller takes a copy of the
// whole value, never a pointer into a buffer that the engine refills.
#include <cstdint>
#include <string>
#include <vector>

#include <cantomere/Cantomere.h>

struct LyricEventRecord {
  uint32_t tick;
  int track;
  std::string text;  // the meta event's payload, system code page
};

struct MarkerRecord {
  uint32_t tick;
  int track;
  uint32_t tag;  // the four code bytes in memory order ("WDOF" = 'W' first)
};

struct CantomereLyricData {
  std::vector<LyricEventRecord> lyrics;
  std::vector<MarkerRecord> markers;
};

// Tags the controller knows by their bytes.
constexpr uint32_t FourCc(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
         uint32_t(uint8_t(d)) << 24;
}
constexpr uint32_t kTagPhraseEnd = FourCc('W', 'D', 'O', 'F');
