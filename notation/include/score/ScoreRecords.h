// Records that cross from the song engine into the notation library, and the
// bar lists the score buffer builds from them. The buffer copies every record
// it is given; the caller keeps ownership of its arrays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Every tick in the notation records: 120 to the quarter note, as the song
// file library counts them.
constexpr int kScoreTicksPerQuarter = 120;

// Staff kinds of a part: kept per track in the buffer's track entries, chosen
// by ChooseClef or set with SetTrackStaffKind. The numbered view draws every
// kind alike.
enum StaffKind : int {
  kTrebleStaff = 0,
  kBassStaff = 1,
  kGrandStaff = 2,         // two staves; pitches below 60 on the lower one
  kAltoStaff = 3,          // C clef on the middle line
  kTenorStaff = 4,         // C clef on the fourth line
  kTrebleOctaveStaff = 5,  // the treble staff, every pitch drawn an octave lower
  kBassOctaveStaff = 6,    // the bass staff, every pitch drawn an octave higher
  kPercussionStaff = 7,
};

inline bool IsValidStaffKind(int kind) { return kind >= kTrebleStaff && kind <= kPercussionStaff; }

// @name Records handed in by the song engine

// One time signature, from the first bar that has it.
struct ScoreTimeSig {
  int32_t startTick;     // absolute tick, 120 per quarter note
  int32_t beatsPerBar;   // the numerator
  int32_t ticksPerBeat;  // 480 / 2^denominator power: 480, 240, 120, 60, 30, 15
};

struct ScoreKeySig {
  int32_t tick;
  int32_t key;  // -7 = seven flats .. 0 .. +7 = seven sharps
};

// A short MIDI message at a tick. Laid out so that status | note << 8 |
// velocity << 16 is the packed form the sequencer uses.
struct ScoreNoteEvent {
  int32_t tick;      // absolute; -1 ends a list
  uint8_t status;    // 0x8n note-off, 0x9n note-on; other statuses are ignored
  uint8_t note;      // 0..127
  uint8_t velocity;  // a note-on with velocity 0 is a note-off
  uint8_t pad;
};
static_assert(sizeof(ScoreNoteEvent) == 8, "ScoreNoteEvent is handed over as packed 8-byte records");

struct ScoreLyric {
  std::string text;  // the syllable's bytes, system code page
  int32_t tick;
};

// A free text of a part. Nothing in the system produces these; the list is
// kept as given and handed to the part of the text track.
struct ScoreText {
  std::string text;
  int32_t data;  // carried through unchanged
  int32_t tick;  // shown in the measure that starts at this tick
};

// @name Bars built by the buffer, read in place by the views

// One note of a bar.
struct ScoreNoteNode {
  int32_t note;         // 0..127
  int32_t length;       // ticks, a multiple of 10; 0 while the note is open, never 0 once closed
  int32_t offset;       // ticks from the start of its bar
  int32_t tick;         // absolute start tick after bar-end snapping, not rounded
  ScoreNoteNode* next;  // null at the end of the bar's list
};

struct ScoreBar {
  int32_t index;             // 0-based
  ScoreNoteNode* firstNote;  // null for an empty bar; nodes in note-on order
  ScoreBar* next;            // the following element of the same array; null in the last bar
};

struct ScoreTrackEntry {
  ScoreBar* bars;     // bar count elements, allocated in one piece
  int32_t track;      // as the engine numbers tracks
  int32_t staffKind;  // a StaffKind
  int32_t barCount;
};

// The buffer's whole state, returned by IScoreBuffer::GetData.
struct ScoreData {
  std::vector<ScoreTimeSig> timeSigs;
  std::vector<ScoreKeySig> keySigs;
  std::vector<ScoreBar*> barArrays;     // one per AddTrackNotes call; null when it gave no bars
  std::vector<ScoreTrackEntry> tracks;  // one per AddTrackNotes call that gave bars
  std::vector<ScoreText> texts;
  int32_t textTrack = 0;
  std::vector<ScoreLyric> lyrics;
  int32_t lyricTrack = 0;
};
