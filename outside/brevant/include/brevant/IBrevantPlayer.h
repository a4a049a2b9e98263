#pragma once
// The playback controller: plays one song at a time, in real time on a timing
// thread of its own, through a MIDI channel manager, and reports its progress
// through an event callback (PlayEvent).
//
// Times passed in and reported are milliseconds of player time: song time
// plus the delay set with SetDelayTime. Every operation may be called from
// any thread; SyncTime is made for an audio thread and never blocks on the
// timing thread.
#include <cstdint>

#include <brevant/IBrevantClock.h>
#include <brevant/IBrevantSongBuffer.h>
#include <brevant/PlayEvent.h>

class IChannelManager;

// Per-track flags (SetTrackFlags).
constexpr int kBrevantTrackMuted = 1;     // its note-ons are not sent
constexpr int kBrevantTrackSelected = 2;  // its notes are reported (kPlayEventNote)

// GetState.
constexpr int kBrevantPlaying = 0;
constexpr int kBrevantStopped = 1;  // a song is loaded, not playing (stopped or paused)
constexpr int kBrevantNoSong = 2;

class IBrevantPlayer {
 public:
  // Stops and lets the song go. 0.
  virtual int CloseSong() = 0;
  // Null plays on silently. The voices taken on the old manager are given
  // back. 0.
  virtual int SetOutput(IChannelManager* manager) = 0;
  // Moves to a player time (held to the song); while playing, sounding notes
  // stop and programs, controllers and pitch bend are brought to what they
  // are at the new place. Reports kPlayEventSeek and kPlayEventPosition. 0.
  virtual int Seek(int ms) = 0;
  virtual void Reserved3() = 0;
  // Player time = song time + delay (may be negative). Reset by SetSongBuffer.
  virtual int SetDelayTime(int ms) = 0;
  virtual int GetTimeOffset() = 0;
  // Stops and takes a copy of the buffer's song (later changes to the buffer
  // do not reach the player); position 0, delay 0, all track flags 0. Null
  // closes the song. 0.
  virtual int SetSongBuffer(IBrevantSongBuffer* buffer) = 0;
  // 0 playing (also when already playing), 1 without a song. At the end of
  // the song, starts again from the beginning.
  virtual int Play() = 0;
  // Pauses: once it returns no event and no MIDI message follows. The
  // position stays. 0, also when not playing.
  virtual int Stop() = 0;
  // Tempo for a song whose buffer has none. 0.
  virtual int SetTempo(int bpm) = 0;
  virtual void Reserved10() = 0;
  // kBrevantTrack* bits; kept for tracks the song does not have, too. 0.
  virtual int SetTrackFlags(int track, int flags) = 0;
  // 0 with the flags (0 when never set) in *flags; 1 for a null pointer.
  virtual int GetTrackFlags(int track, int* flags) = 0;
  virtual int GetState() = 0;
  // Null stops the reports. Once this returns, the old callback is not
  // called again.
  virtual void SetEventCallback(BrevantEventCallback callback, void* context) = 0;
  // Follows an outside clock (player ms): a small step forward plays the
  // skipped events at once, a large jump seeks, a small step back holds the
  // player's clock until the outside clock catches up. Never blocks for
  // long and never calls the callback itself. 0 applied, 1 when not playing.
  virtual int SyncTime(int ms) = 0;
  // Owned by the player.
  virtual IBrevantClock* GetClock() = 0;
  // Stops and destroys the player; waits for its timing thread, so never
  // from inside the event callback.
  virtual void Release() = 0;

 protected:
  ~IBrevantPlayer() = default;
};
