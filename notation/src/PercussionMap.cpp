#include "PercussionMap.h"

namespace {

constexpr int kFirstMapped = 35;
constexpr int kLastMapped = 59;

// GM drum notes 35..59.
const DrumHead kMap[kLastMapped - kFirstMapped + 1] = {
    {64, 3}, {65, 3}, {60, 2}, {72, 3}, {60, 2}, {72, 3}, {67, 3}, {79, 0}, {69, 3},  // 35..43
    {62, 0}, {71, 3}, {79, 1}, {74, 3}, {76, 3}, {81, 0}, {77, 3}, {77, 0}, {86, 0},  // 44..52
    {74, 0}, {60, 2}, {84, 0}, {76, 2}, {83, 0}, {60, 2}, {74, 0},                    // 53..59
};

}  // namespace

DrumHead CPercussionMap::GetDrumHead(int note, bool percussion) {
  if (!percussion) return DrumHead{note, kNormalHead};
  if (note < kFirstMapped || note > kLastMapped) return DrumHead{60, kSideStickHead};
  return kMap[note - kFirstMapped];
}

int CPercussionMap::GetDrumPosition(int note, bool percussion) {
  return GetDrumHead(note, percussion).displayPitch;
}
