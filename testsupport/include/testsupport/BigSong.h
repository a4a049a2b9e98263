#pragma once
// The large song the benchmarks open: more than 1 MB of MIDI, so that what
// grows with the song shows in their figures.
#include "testsupport/SmfBuilder.h"

namespace testsupport {

// 16 tracks of notes in running status, tempo and time-signature changes,
// and a lyric syllable on every melody note (track 1).
Bytes BigSong();

}  // namespace testsupport
