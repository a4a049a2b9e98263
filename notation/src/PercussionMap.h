// Where each General MIDI drum sound sits on the percussion staff and which
// note head it gets.
#pragma once

enum DrumHeadKind : int {
  kCrossHead = 0,
  kOpenCrossHead = 1,  // open hi-hat
  kSideStickHead = 2,  // side stick, hand clap and the small instruments
  kNormalHead = 3,
};

struct DrumHead {
  int displayPitch;  // placed like a pitch of key 0
  int headKind;
};

class CPercussionMap {
 public:
  static DrumHead GetDrumHead(int note, bool percussion);
  static int GetDrumPosition(int note, bool percussion);
};
