#pragma once
// A karaoke song generated in memory: four lines of a nursery rhyme, one
// syllable a quarter note at 120 beats per minute, after two bars of count-in
// accompaniment, with the marker track the song side expects.
#include <cstdint>
#include <vector>

// The song's first syllable stands at this tick (120 ticks a quarter).
constexpr int kDemoFirstSyllableTick = 960;

std::vector<uint8_t> DemoKaraokeSong();
