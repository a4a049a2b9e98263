// The score buffer: the song engine fills it with the signatures, notes and
// lyrics of the chosen tracks, and the notation views read its bars when they
// rebuild. Made by CreateScoreBufferInstance(2), freed only by Release.
// Every operation returns 0; 1 only when memory ran out, and then the buffer
// is as it was before the call. Null arrays and counts below 1 are empty lists.
#pragma once

#include "score/ScoreRecords.h"

class IScoreBuffer {
 public:
  virtual void Release() = 0;
  // Frees every bar array and empties notes, texts and lyrics; does nothing
  // while no bar array exists. Signatures are never cleared here.
  virtual int Clear() = 0;
  // Records with no beats or no ticks per beat (or more than 255 beats or
  // 1920 ticks per beat) are dropped, and so is one that does not start after
  // the one before; at one tick the later record holds. The first kept record
  // rules from tick 0. With none left the list is one 4/4 signature at tick 0.
  virtual int SetTimeSignatures(const ScoreTimeSig* sigs, int count) = 0;
  // Keys outside -7..+7 are stored as 0.
  virtual int SetKeySignatures(const ScoreKeySig* sigs, int count) = 0;
  virtual int SetTexts(const ScoreText* texts, int count, int track) = 0;
  virtual int SetLyrics(int track, const ScoreLyric* lyrics, int count) = 0;
  // Bar-end snapping rewrites the ticks of `events` in place.
  virtual int AddTrackNotes(int track, ScoreNoteEvent* events, unsigned count, int barCount,
                            int staffKind) = 0;
  // Read in place; valid until the next call that changes the buffer. The views
  // change a track entry's staff kind in place; nothing else is written.
  virtual ScoreData* GetData() = 0;
  // Bit 0 of flags frees the object.
  virtual void Destroy(unsigned flags) = 0;

 protected:
  ~IScoreBuffer() = default;
};

extern "C" {
typedef IScoreBuffer* (*CreateScoreBufferInstanceFn)(int version);
}
