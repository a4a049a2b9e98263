#include "BrevantPlayer.h"

#include <algorithm>
#include <cmath>

#include "SongBuffer.h"
#include "base/Guarded.h"
#include "base/Library.h"

namespace {

constexpr double kDefaultBpm = 120.0;
// Reports one step of the timing thread usually makes at most: a few chords'
// notes, their beat and bar, a lyric and a position.
constexpr size_t kStepEventsReserved = 256;

class PerformanceCounter final : public ITimeSource {
 public:
  PerformanceCounter() { QueryPerformanceFrequency(&frequency_); }
  double NowMs() override {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency_.QuadPart);
  }

 private:
  LARGE_INTEGER frequency_;
};

// One-millisecond timer resolution while the timing thread lives: with the
// default tick of 15.6 ms every note would be late by up to that much. Asked
// of ntdll rather than the multimedia library, whose loading brings up the
// audio device services for nothing.
// Held only while a song plays: a finer tick costs the whole machine power.
class TimerResolution {
 public:
  TimerResolution() {
    set_ = base::FindExport<SetFn>(GetModuleHandleW(L"ntdll.dll"), "NtSetTimerResolution");
  }
  ~TimerResolution() { Hold(false); }
  void Hold(bool fine) {
    if (fine == held_ || set_ == nullptr) return;
    ULONG actual;
    set_(kOneMs, fine ? TRUE : FALSE, &actual);
    held_ = fine;
  }

 private:
  typedef LONG(NTAPI* SetFn)(ULONG desired, BOOLEAN set, ULONG* actual);
  static constexpr ULONG kOneMs = 10000;  // in units of 100 ns
  SetFn set_;
  bool held_ = false;
};

ITimeSource* DefaultTimeSource() {
  static PerformanceCounter counter;
  return &counter;
}

// A sleep that no event can cut short, asked in units of 100 ns: the wait
// functions count whole milliseconds. Not alertable, so under Wine it is a
// plain sleep of the process, with no round trip to the server.
class PreciseSleep {
 public:
  PreciseSleep() { delay_ = base::FindExport<DelayFn>(GetModuleHandleW(L"ntdll.dll"), "NtDelayExecution"); }
  // False when the system has no such sleep.
  bool For(double ms) const {
    if (delay_ == nullptr) return false;
    LARGE_INTEGER interval;
    interval.QuadPart = -LONGLONG(ms * 10000.0);  // negative: relative to now
    delay_(FALSE, &interval);
    return true;
  }

 private:
  typedef LONG(NTAPI* DelayFn)(BOOLEAN alertable, LARGE_INTEGER* interval);
  DelayFn delay_;
};

}  // namespace

CBrevantPlayer::CBrevantPlayer(ITimeSource* time) : time_(time != nullptr ? time : DefaultTimeSource()) {
  wake_.Attach(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  stepEvents_.reserve(kStepEventsReserved);
  // Ready before the first Play: a thread made then would make the song's
  // first notes wait for it, longest on a busy machine. Play tries again
  // should this fail.
  StartThread();
}

CBrevantPlayer::~CBrevantPlayer() {
  {
    base::ScopedLock lock(lock_);
    StopLocked();
    quit_ = true;
  }
  if (thread_.Get() != nullptr) {
    Wake();
    WaitForSingleObject(thread_.Get(), INFINITE);
  }
  core_.SetOutput(nullptr);
}

void CBrevantPlayer::Release() { delete this; }

void CBrevantPlayer::Wake() {
  // The flag first: a timing thread that sees it is sure to find the event set.
  wakeRequested_.store(true);
  SetEvent(wake_.Get());
}

double CBrevantPlayer::SongNow() {
  if (!playing_.load()) return resumeAt_;
  return baseMs_ + (time_->NowMs() - baseTime_);
}

void CBrevantPlayer::Rebase(double songMs) {
  baseTime_ = time_->NowMs();
  baseMs_ = songMs;
}

int CBrevantPlayer::CloseSong() {
  base::ScopedLock lock(lock_);
  return base::Guarded(
      [&] {
        StopLocked();
        core_.CloseSong();
        resumeAt_ = 0;
        return 0;
      },
      1);
}

int CBrevantPlayer::SetOutput(IChannelManager* manager) {
  base::ScopedLock lock(lock_);
  return base::Guarded(
      [&] {
        core_.SetOutput(manager);
        return 0;
      },
      1);
}

int CBrevantPlayer::Seek(int ms) {
  base::ScopedLock lock(lock_);
  return base::Guarded(
      [&] {
        if (!core_.HasSong()) return 0;
        pendingSync_.store(kNoSync);
        core_.Seek(ms);
        // Before the song's start (a delay holds it back) the clock starts below 0
        // and the song waits for it.
        double target = std::min(double(ms) - core_.Delay(), core_.Song()->lengthMs);
        resumeAt_ = target;
        if (playing_.load()) {
          Rebase(target);
          Wake();  // what lies at the new place is due now
        }
        return 0;
      },
      1);
}

int CBrevantPlayer::SetDelayTime(int ms) {
  base::ScopedLock lock(lock_);
  core_.SetDelay(ms);
  return 0;
}

int CBrevantPlayer::GetTimeOffset() {
  base::ScopedLock lock(lock_);
  return core_.Delay();
}

int CBrevantPlayer::SetSongBuffer(IBrevantSongBuffer* buffer) {
  base::ScopedLock lock(lock_);
  return base::Guarded(
      [&] {
        StopLocked();
        resumeAt_ = 0;
        // Only buffers of this library can be read; anything else is no song.
        auto* ours = dynamic_cast<CSongBuffer*>(buffer);
        if (ours == nullptr) {
          core_.CloseSong();
          return 0;
        }
        core_.SetSong(ours->Compile(tempo_ > 0 ? double(tempo_) : kDefaultBpm));
        return 0;
      },
      1);
}

int CBrevantPlayer::Play() {
  base::ScopedLock lock(lock_);
  return base::Guarded(
      [&] {
        if (!core_.HasSong()) return 1;
        if (playing_.load()) {
          core_.RepositionTimers();
          return 0;
        }
        if (!StartThread()) return 1;
        if (core_.AtEnd()) resumeAt_ = 0;
        core_.Start();
        Rebase(resumeAt_);
        playing_.store(core_.IsPlaying());
        Wake();
        return 0;
      },
      1);
}

bool CBrevantPlayer::StartThread() {
  if (thread_.Get() != nullptr) return true;
  thread_.Attach(CreateThread(nullptr, 0, &CBrevantPlayer::ThreadMain, this, 0, nullptr));
  return thread_.Get() != nullptr;
}

int CBrevantPlayer::Stop() {
  base::ScopedLock lock(lock_);
  StopLocked();
  return 0;
}

void CBrevantPlayer::StopLocked() {
  if (!playing_.load()) return;
  double now = SongNow();
  // While a delay holds the song back the clock stands below 0; otherwise
  // the song resumes where it played up to (which a held clock has not
  // reached yet).
  resumeAt_ = now < 0 ? now : core_.PositionMs();
  playing_.store(false);
  pendingSync_.store(kNoSync);
  core_.Stop();
  ++stops_;
}

int CBrevantPlayer::SetTempo(int bpm) {
  base::ScopedLock lock(lock_);
  tempo_ = bpm;
  return 0;
}

int CBrevantPlayer::SetTrackFlags(int track, int flags) {
  base::ScopedLock lock(lock_);
  return base::Guarded(
      [&] {
        core_.SetTrackFlags(track, flags);
        return 0;
      },
      1);
}

int CBrevantPlayer::GetTrackFlags(int track, int* flags) {
  if (flags == nullptr) return 1;
  base::ScopedLock lock(lock_);
  *flags = core_.TrackFlags(track);
  return 0;
}

int CBrevantPlayer::GetState() {
  base::ScopedLock lock(lock_);
  if (!core_.HasSong()) return kBrevantNoSong;
  return playing_.load() ? kBrevantPlaying : kBrevantStopped;
}

void CBrevantPlayer::SetEventCallback(BrevantEventCallback callback, void* context) {
  base::ScopedLock lock(lock_);
  callback_ = callback;
  context_ = context;
}

int CBrevantPlayer::SyncTime(int ms) {
  if (!playing_.load()) return 1;
  pendingSync_.store(ms);
  Wake();
  return 0;
}

void CBrevantPlayer::OnPlayEvent(const PlayEvent& event) {
  if (inStep_) {
    stepEvents_.push_back(event);
  } else if (callback_ != nullptr) {
    callback_(&event, context_, 0);
  }
}

int CBrevantPlayer::Clock::AddTimer(IBrevantTimer* timer) {
  base::ScopedLock lock(owner_->lock_);
  return base::Guarded([&] { return owner_->core_.AddTimer(timer); }, 1);
}

int CBrevantPlayer::Clock::RemoveTimer(IBrevantTimer* timer) {
  base::ScopedLock lock(owner_->lock_);
  return base::Guarded([&] { return owner_->core_.RemoveTimer(timer); }, 1);
}

DWORD WINAPI CBrevantPlayer::ThreadMain(void* self) {
  // A late note is heard; a late UI thread is not.
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  base::Guarded([&] { static_cast<CBrevantPlayer*>(self)->Run(); });
  return 0;
}

void CBrevantPlayer::Run() {
  TimerResolution resolution;
  StepWait plan{INFINITE, false};
  for (;;) {
    resolution.Hold(plan.eventMs != INFINITE);
    // Nothing to wait for on the event (something is due, or soon enough for
    // the sleep alone): no round trip for a timeout of 0.
    const bool woken = plan.eventMs != 0 && WaitForSingleObject(wake_.Get(), plan.eventMs) == WAIT_OBJECT_0;
    if (!woken && plan.finish) FinishWait(finishAt_);
    // Cleared before the step looks at anything: a wake asked for from here on
    // raises it again and leaves the event set for the next wait.
    wakeRequested_.store(false);
    base::ScopedLock lock(lock_);
    if (quit_) return;
    const double stepStart = time_->NowMs();
    inStep_ = true;
    // A step that runs out of memory (its reports grow a list) loses the
    // reports it could not keep, and the thread tries again shortly.
    plan = base::Guarded([&] { return Step(); }, StepWait{kMaxWaitMs, false});
    inStep_ = false;
    // A callback that stops the player hears nothing more of this step.
    unsigned stops = stops_;
    base::Guarded([&] {
      for (size_t i = 0; i < stepEvents_.size() && stops_ == stops; ++i) OnPlayEvent(stepEvents_[i]);
    });
    stepEvents_.clear();
    handledUpTo_ = stepStart;
    ++steps_;
  }
}

bool CBrevantPlayer::WaitUntilHandled(double timeMs, DWORD timeoutMs) {
  unsigned long long seen;
  {
    base::ScopedLock lock(lock_);
    seen = steps_;
  }
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    // A step that began before the call may have missed a sync made just before it.
    Wake();
    {
      base::ScopedLock lock(lock_);
      if (steps_ > seen && handledUpTo_ >= timeMs) return true;
    }
    if (GetTickCount64() >= deadline) return false;
    Sleep(1);
  }
}

CBrevantPlayer::StepWait CBrevantPlayer::PlanWait(double aheadMs) {
  if (!(aheadMs > 0)) return {0, false};
  if (aheadMs < kSleepOnlyMs) return {0, true};
  if (aheadMs >= double(kMaxWaitMs) + kSleepOnlyMs) return {kMaxWaitMs, false};
  return {DWORD(std::floor(aheadMs)) - kEventGuardMs, true};
}

void CBrevantPlayer::FinishWait(double dueMs) {
  static const PreciseSleep precise;
  ITimeSource* real = DefaultTimeSource();
  const double start = real->NowMs();
  const double sleepMs = std::min(dueMs - time_->NowMs(), kSleepOnlyMs) - margin_.Ms();
  // Shorter sleeps cost more than the spin they save.
  constexpr double kShortestSleepMs = 0.02;
  if (sleepMs >= kShortestSleepMs && !wakeRequested_.load() && precise.For(sleepMs)) {
    margin_.Add(real->NowMs() - start - sleepMs);
  }
  while (time_->NowMs() < dueMs) {
    // Asking the event itself on every pass is a round trip to the server
    // under Wine; the flag is read here, and the event only taken once woken,
    // so the next wait does not wake again for the same request.
    if (wakeRequested_.load()) {
      WaitForSingleObject(wake_.Get(), 0);
      return;
    }
    if (real->NowMs() - start > kSleepOnlyMs + 1) return;
    SwitchToThread();
  }
}

CBrevantPlayer::StepWait CBrevantPlayer::Step() {
  if (!playing_.load()) return {INFINITE, false};
  ApplySync();
  core_.AdvanceTo(SongNow());
  if (!core_.IsPlaying()) {
    // The song reached its end.
    resumeAt_ = core_.PositionMs();
    playing_.store(false);
    return {INFINITE, false};
  }
  const double ahead = core_.NextDueMs() - SongNow();
  finishAt_ = time_->NowMs() + ahead;
  return PlanWait(ahead);
}

void CBrevantPlayer::ApplySync() {
  long long playerMs = pendingSync_.exchange(kNoSync);
  if (playerMs == kNoSync) return;
  double target = double(playerMs) - core_.Delay();
  double step = target - SongNow();
  if (step > kMaxCatchUpMs || step < -kMaxHoldMs) {
    core_.Seek(double(playerMs));
    target = std::min(target, core_.Song()->lengthMs);
  }
  // A small step forward plays what it skipped at the next advance; a small
  // step back holds the song, which plays nothing until the clock is past
  // where it stands.
  Rebase(target);
}
