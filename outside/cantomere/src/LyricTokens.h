#pragma once
// Turns a song's lyric events into the karaoke view's tokens, following the
// conventions of the player's lyric compiler: one lyric event per syllable on
// one track, and the one-character events "," (line end) and "." (paragraph
// end) at the tick of the syllable they follow (inside a range of evenly spread
// words, at the tick of the syllable after them).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "LyricData.h"

enum class LyricTokenKind { kSyllable, kLineBreak, kParagraphBreak };

struct LyricToken {
  LyricTokenKind kind;
  std::string text;
  uint32_t tick;
  int startMs;
  int durationMs;
};

struct LyricTokenList {
  int track = -1;                  // the lyric track shown; -1 when there is none
  std::vector<LyricToken> tokens;  // in singing order
};

// A syllable's wipe lasts until the next syllable or the end of its phrase,
// within these bounds: never 0 (the view divides by it), and a last syllable
// with nothing after it does not hold for the rest of the song.
constexpr int kMinSyllableMs = 50;
constexpr int kMaxSyllableMs = 2000;

// The lowest track with a syllable is the one shown (the compiler writes track
// 1; other tracks may carry text too). Within one tick the events are read
// last to first: the compiler inserts each event in front of those already at
// its tick. Leading breaks and empty texts are dropped. Times are left at 0.
LyricTokenList BuildLyricTokens(const CantomereLyricData& data);

// The tick of the first syllable BuildLyricTokens would give; -1 when it gives
// none.
int FirstSyllableTick(const CantomereLyricData& data);

// Fills in start and duration: timeOf turns a tick into ms; a syllable lasts
// until the next syllable's start or the next "WDOF" marker after its own tick,
// whichever is first, clamped to the bounds above. A break starts where the
// syllable before it ends and lasts 0.
void TimeLyricTokens(LyricTokenList* list, const std::vector<MarkerRecord>& markers,
                     const std::function<int(uint32_t tick)>& timeOf);
