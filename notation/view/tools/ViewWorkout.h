// Takes a view through a whole song the way playback and the user do: the
// cursor stepped through every bar and beat, seeks across the song, points
// swept along the shown line, every state painted. Tests run it on songs in
// unusual meters and measure widths, where the tick arithmetic is thinnest.
#pragma once

#include "ViewBitmap.h"
#include "score/IScoreBuffer.h"
#include "score/IScoreView.h"

struct ViewWorkout {
  int steps = 0;             // cursor steps taken
  int pointsAnswered = 0;    // points that gave a tick
  int pointsOutOfOrder = 0;  // a point right of another gave an earlier tick
  int pointsOutOfSong = 0;   // a tick outside [0, song end]
  int paintsWithInk = 0;     // paints that left anything on the bitmap
  int paints = 0;
};

// `songEnd` is the tick where the last bar ends; `background` fills the
// bitmap before each paint.
ViewWorkout WorkOut(IScoreView& view, int songEnd, CViewBitmap& bitmap, COLORREF background);

// Clears the buffer and fills it with one track (number 1) of `bars` bars in
// `beats` beats of `beatTicks`: chords, triplets, off-grid onsets and notes
// held across bar lines, the same for the same seed. Returns the song's end.
int FillMeterSong(IScoreBuffer* buffer, int beats, int beatTicks, int bars, int staffKind, unsigned seed);
