// A few short songs of different kinds, written out note by note, for
// looking at the staff view and for its tests: a melody with lyrics, a
// two-hand piano piece, a drum groove. They can be written as MIDI files,
// or put straight into a score buffer the way the song engine fills it.
#pragma once

#include <string>
#include <vector>

#include "score/IScoreBuffer.h"
#include "score/IScoreView.h"

struct DemoNote {
  int tick;
  int length;
  int note;
};

struct DemoTrack {
  int number;   // as the engine numbers tracks
  int channel;  // 9 for drums
  std::vector<DemoNote> notes;
  std::vector<ScoreLyric> lyrics;
};

struct DemoSong {
  std::string name;
  int beats = 4;
  int power = 2;  // denominator as a power of two
  int key = 0;
  std::vector<DemoTrack> tracks;

  int BarTicks() const { return beats * (480 >> power); }
  int BarCount() const;
};

const std::vector<DemoSong>& DemoSongs();
const DemoSong* FindDemoSong(const std::string& name);

// Note-on and note-off events of a track in time order, as the engine hands them over.
std::vector<ScoreNoteEvent> DemoEvents(const DemoTrack& track);
// Clears the buffer and fills it with the song's signatures and the tracks,
// each with the staff kind the view chooses for its range, then its lyrics.
void FillDemo(IScoreBuffer* buffer, IScoreView* view, const DemoSong& song);
// The song as a Standard MIDI File (format 1, 120 ticks per quarter).
std::vector<unsigned char> DemoMidiFile(const DemoSong& song);
