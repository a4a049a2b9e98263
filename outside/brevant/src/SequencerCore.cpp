#include "SequencerCore.h"
#include "base/MidiShort.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMuted = 1;
constexpr int kSelected = 2;

// Seek targets come as whole milliseconds (an event time rounded); an event
// up to half a millisecond before the target still belongs to it.
constexpr double kSeekRounding = 0.5;

}  // namespace

void SequencerCore::SetSong(std::shared_ptr<const CompiledSong> song) {
  Stop();
  song_ = std::move(song);
  trackFlags_.clear();
  delay_ = 0;
  PlaceAt(0);
  if (song_) {
    voices_.Allocate(*song_);
  } else {
    voices_.Free();
  }
}

void SequencerCore::CloseSong() {
  Stop();
  song_.reset();
  voices_.Free();
  PlaceAt(0);
}

void SequencerCore::SetOutput(IChannelManager* manager) {
  voices_.SetManager(manager);
  if (!song_) return;
  voices_.Allocate(*song_);
  if (playing_) voices_.Chase(*song_, nextEvent_);
}

void SequencerCore::SetTrackFlags(int track, int flags) {
  int old = TrackFlags(track);
  trackFlags_[track] = flags;
  if (playing_ && (flags & kMuted) != 0 && (old & kMuted) == 0) voices_.SilenceTrack(track);
}

int SequencerCore::TrackFlags(int track) const {
  auto it = trackFlags_.find(track);
  return it != trackFlags_.end() ? it->second : 0;
}

void SequencerCore::PlaceAt(double songMs) {
  ended_ = false;
  lastSecond_ = -1;
  if (!song_) {
    position_ = 0;
    placeTick_ = 0;
    nextEvent_ = 0;
    nextGrid_ = GridPoint{};
    return;
  }
  position_ = std::clamp(songMs, 0.0, song_->lengthMs);
  double tick = song_->tempo.MsToTick(std::max(0.0, position_ - kSeekRounding));
  placeTick_ = uint32_t(std::min(std::ceil(tick - 1e-9), double(UINT32_MAX)));
  nextEvent_ = song_->FirstEventAtOrAfter(placeTick_);
  nextGrid_ = song_->meter.FirstAtOrAfter(placeTick_);
}

void SequencerCore::Start() {
  if (!song_ || playing_) return;
  if (AtEnd()) {
    PlaceAt(0);
    Emit(kPlayEventSeek, 0);
  }
  playing_ = true;
  voices_.Chase(*song_, nextEvent_);
  for (IBrevantTimer* timer : timers_) timer->Start();
  RepositionTimers();
  ReportPosition(true);
}

void SequencerCore::Stop() {
  if (!playing_) return;
  playing_ = false;
  voices_.Silence();
  for (IBrevantTimer* timer : timers_) timer->Stop();
}

void SequencerCore::Seek(double playerMs) {
  if (!song_) return;
  PlaceAt(playerMs - delay_);
  if (playing_) {
    voices_.Silence();
    voices_.Chase(*song_, nextEvent_);
    RepositionTimers();
  }
  Emit(kPlayEventSeek, int32_t(std::min<uint32_t>(placeTick_, INT32_MAX)));
  ReportPosition(true);
}

bool SequencerCore::GridPointDue(double songMs) const {
  return nextGrid_.tick < song_->endTick && song_->tempo.TickToMs(nextGrid_.tick) <= songMs;
}

void SequencerCore::AdvanceTo(double songMs) {
  if (!playing_) return;
  const std::vector<SongEvent>& events = song_->events;
  for (;;) {
    bool gridDue = GridPointDue(songMs);
    bool eventDue = nextEvent_ < events.size() && events[nextEvent_].ms <= songMs;
    if (gridDue && (!eventDue || nextGrid_.tick <= events[nextEvent_].tick)) {
      PlayGridPoint(nextGrid_);
      nextGrid_ = song_->meter.Next(nextGrid_);
    } else if (eventDue) {
      PlaySongEvent(events[nextEvent_++]);
    } else {
      break;
    }
  }
  position_ = std::min(std::max(position_, songMs), song_->lengthMs);
  if (position_ + delay_ >= 0) {
    for (IBrevantTimer* timer : timers_) {
      if (timer->IsActive()) timer->OnTick(TimerNow());
    }
  }
  ReportPosition(false);
  if (nextEvent_ >= events.size() && songMs >= song_->lengthMs) End();
}

double SequencerCore::NextDueMs() const {
  if (!song_) return 0;
  double next = song_->lengthMs;
  if (nextEvent_ < song_->events.size()) next = std::min(next, song_->events[nextEvent_].ms);
  if (nextGrid_.tick < song_->endTick) next = std::min(next, song_->tempo.TickToMs(nextGrid_.tick));
  return next;
}

void SequencerCore::PlayGridPoint(const GridPoint& point) {
  Emit(kPlayEventCursor, point.step);
  if (point.IsBeat()) Emit(kPlayEventBeat, point.Beat(), point.beats, point.bar);
}

void SequencerCore::PlaySongEvent(const SongEvent& event) {
  int tick = int(std::min<uint32_t>(event.tick, INT32_MAX));
  switch (event.kind) {
    case SongEventKind::kChannel: {
      int flags = TrackFlags(event.track);
      bool note = base::IsNoteOn(event.value) || base::IsNoteOff(event.value);
      if (!(base::IsNoteOn(event.value) && (flags & kMuted) != 0)) voices_.Send(event.value, event.track);
      // Muted tracks still show their notes: the score follows what is
      // written, not what sounds.
      if (note && (flags & kSelected) != 0) Emit(kPlayEventNote, int32_t(event.value), 0, tick, event.track);
      break;
    }
    case SongEventKind::kLyric:
      Emit(kPlayEventLyric, tick, event.track);
      break;
    case SongEventKind::kMarker:
      Emit(kPlayEventTag, int32_t(event.value), tick, event.track);
      break;
  }
}

void SequencerCore::ReportPosition(bool always) {
  long long second = std::max(0LL, (long long)std::floor((position_ + delay_) / 1000.0));
  if (!always && (position_ + delay_ < 0 || second == lastSecond_)) return;
  lastSecond_ = second;
  Emit(kPlayEventPosition, int32_t(std::min<long long>(second, INT32_MAX)));
}

void SequencerCore::End() {
  Stop();
  position_ = song_->lengthMs;
  ended_ = true;
  Emit(kPlayEventEnd, 0);
}

uint32_t SequencerCore::TimerNow() const {
  double now = position_ + delay_;
  return now <= 0 ? 0 : uint32_t(std::min(now, double(UINT32_MAX)));
}

void SequencerCore::RepositionTimers() {
  for (IBrevantTimer* timer : timers_) timer->Reposition(TimerNow());
}

int SequencerCore::AddTimer(IBrevantTimer* timer) {
  if (timer == nullptr || std::find(timers_.begin(), timers_.end(), timer) != timers_.end()) return 1;
  timers_.push_back(timer);
  return 0;
}

int SequencerCore::RemoveTimer(IBrevantTimer* timer) {
  auto it = std::find(timers_.begin(), timers_.end(), timer);
  if (it == timers_.end()) return 1;
  timers_.erase(it);
  return 0;
}

void SequencerCore::Emit(uint32_t type, int32_t v1, int32_t v2, int32_t v3, int32_t v4) {
  PlayEvent event{type, v1, v2, v3, v4, 0, 0};
  sink_->OnPlayEvent(event);
}
