#pragma once
// The sequencer without a clock: it is told what song time it is
// (AdvanceTo) and plays and reports everything due up to then, in order. The
// player drives it from its timing thread; tests drive it with a clock of
// their own and get exact times. Not thread-safe: the owner locks.
//
// Song time is milliseconds from tick 0; player time = song time + delay.
// Seek and the timers take and give player time.
#include <map>
#include <memory>
#include <vector>

#include <brevant/IBrevantTimer.h>
#include <brevant/PlayEvent.h>

#include "CompiledSong.h"
#include "VoiceSet.h"

class IPlayEventSink {
 public:
  virtual void OnPlayEvent(const PlayEvent& event) = 0;

 protected:
  ~IPlayEventSink() = default;
};

class SequencerCore {
 public:
  explicit SequencerCore(IPlayEventSink* sink) : sink_(sink) {}

  // The song, output and flags.
  // Stops and takes the song (null: none) from its start; delay and every
  // track's flags go back to 0, voices are taken for it.
  void SetSong(std::shared_ptr<const CompiledSong> song);
  // Stops and lets the song go; flags and delay stay.
  void CloseSong();
  bool HasSong() const { return song_ != nullptr; }
  const CompiledSong* Song() const { return song_.get(); }
  void SetOutput(IChannelManager* manager);
  void SetDelay(int ms) { delay_ = ms; }
  int Delay() const { return delay_; }
  void SetTrackFlags(int track, int flags);
  int TrackFlags(int track) const;

  // Playing.
  bool IsPlaying() const { return playing_; }
  // Played to its end, or moved there: the next Start begins at 0.
  bool AtEnd() const { return ended_ || (song_ && song_->lengthMs > 0 && position_ >= song_->lengthMs); }
  // From the current place, or from the start once the song has ended.
  void Start();
  // Silences and pauses; the place stays.
  void Stop();
  void Seek(double playerMs);
  // Plays everything due up to songMs. Time never runs backwards: an earlier
  // songMs plays nothing until the time catches up (so nothing plays twice).
  void AdvanceTo(double songMs);
  // Where the song stands, in song time.
  double PositionMs() const { return position_; }
  // Song time of the next thing to play (the song's length when nothing is
  // left).
  double NextDueMs() const;
  // The timers hear that the clock jumped to the current place.
  void RepositionTimers();

  // Timers; not owned.
  int AddTimer(IBrevantTimer* timer);
  int RemoveTimer(IBrevantTimer* timer);

 private:
  void PlaceAt(double songMs);
  void Emit(uint32_t type, int32_t v1, int32_t v2 = 0, int32_t v3 = 0, int32_t v4 = 0);
  void PlayGridPoint(const GridPoint& point);
  void PlaySongEvent(const SongEvent& event);
  bool GridPointDue(double songMs) const;
  void ReportPosition(bool always);
  void End();
  // Player time as the timers take it: never negative.
  uint32_t TimerNow() const;

  IPlayEventSink* sink_;
  std::shared_ptr<const CompiledSong> song_;
  VoiceSet voices_;
  std::map<int, int> trackFlags_;
  std::vector<IBrevantTimer*> timers_;
  int delay_ = 0;
  bool playing_ = false;
  bool ended_ = false;
  double position_ = 0;     // song ms played up to
  uint32_t placeTick_ = 0;  // the first tick still to play after the last jump
  size_t nextEvent_ = 0;    // first event not played yet
  GridPoint nextGrid_{};    // first bar or beat point not played yet
  long long lastSecond_ = -1;
};
