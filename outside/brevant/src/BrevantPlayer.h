#pragma once
// The player: a SequencerCore driven in real time by a timing thread of its
// own, on the performance counter.
//
// Locking: every operation and every step of the timing thread holds one
// lock, and the event callback is called under it (always with synchronous =
// 0, so a callback that posts to a window cannot deadlock against a UI thread
// waiting for the lock). Once Stop or SetEventCallback returns, no callback
// and no MIDI message follows. A step of the timing thread sends all its MIDI
// before it reports anything: a report may post a window message, which
// takes its time, and the notes of a chord must not wait for it. SyncTime, made for an audio thread, only
// leaves the new time for the timing thread and wakes it.
//
// Waking: whoever wakes the timing thread raises wakeRequested_ and then sets
// the event wake_ (Wake), with or without the lock. The thread waits on the
// event for all but the last stretch before an event; that stretch it sleeps
// and spins out without the event, reading the flag and touching no kernel
// object (so a wake then is seen within kSleepOnlyMs), and it clears the
// flag, outside the lock, before each step.
#include <atomic>
#include <vector>

#include <brevant/IBrevantPlayer.h>

#include "SequencerCore.h"
#include "SleepMargin.h"
#include "base/Handles.h"

// Where the player's clock reads the time: milliseconds, steadily rising.
class ITimeSource {
 public:
  virtual double NowMs() = 0;

 protected:
  ~ITimeSource() = default;
};

class CBrevantPlayer final : public IBrevantPlayer, private IPlayEventSink {
 public:
  // Null: the performance counter. Tests pass a clock of their own.
  explicit CBrevantPlayer(ITimeSource* time = nullptr);
  ~CBrevantPlayer();

  int CloseSong() override;
  int SetOutput(IChannelManager* manager) override;
  int Seek(int ms) override;
  void Reserved3() override {}
  int SetDelayTime(int ms) override;
  int GetTimeOffset() override;
  int SetSongBuffer(IBrevantSongBuffer* buffer) override;
  int Play() override;
  int Stop() override;
  int SetTempo(int bpm) override;
  void Reserved10() override {}
  int SetTrackFlags(int track, int flags) override;
  int GetTrackFlags(int track, int* flags) override;
  int GetState() override;
  void SetEventCallback(BrevantEventCallback callback, void* context) override;
  int SyncTime(int ms) override;
  IBrevantClock* GetClock() override { return &clock_; }
  void Release() override;

  // For tests, instead of sleeping: wakes the timing thread and waits until
  // it has handled everything due up to timeMs on the time source (every
  // sync, MIDI message and report), or timeoutMs has passed (false).
  bool WaitUntilHandled(double timeMs, DWORD timeoutMs);
  // The same up to the time source's present.
  bool WaitUntilHandledNow(DWORD timeoutMs) { return WaitUntilHandled(time_->NowMs(), timeoutMs); }

  // Outside clock steps: a step forward up to this far plays the skipped
  // events at once; further forward, or further back than the hold, is a
  // seek. A smaller step back holds the song until the outside clock has
  // caught up, so no note plays twice.
  static constexpr double kMaxCatchUpMs = 1000.0;
  static constexpr double kMaxHoldMs = 300.0;
  // The timing thread wakes at least this often for timers and positions.
  static constexpr DWORD kMaxWaitMs = 10;

  // How the timing thread waits for an event aheadMs away. The wake event's
  // timeout counts whole milliseconds and overruns it, and under Wine every
  // wait on it is a round trip to the server, whose own scheduling adds to
  // the overrun on a busy machine; so the event is waited on only until
  // kEventGuardMs or more before the event, and the last stretch, under
  // kSleepOnlyMs, when finish says so, is a plain sleep asked to the tenth of
  // a microsecond that ends SleepMargin short of the event, and a spin for
  // what the sleep left. Notes go out at their time plus what the host's
  // sleep overslept beyond the margin; the processor spins only for the part
  // of the margin the sleep did not oversleep. Nothing is sent before its
  // time: the spin ends only once it is due.
  struct StepWait {
    DWORD eventMs;  // how long to wait on the event first: 0 not at all, INFINITE when idle
    bool finish;    // then sleep and spin until the event is due
  };
  static constexpr DWORD kEventGuardMs = 2;
  static constexpr double kSleepOnlyMs = kEventGuardMs + 1;
  static StepWait PlanWait(double aheadMs);

 private:
  class Clock final : public IBrevantClock {
   public:
    explicit Clock(CBrevantPlayer* owner) : owner_(owner) {}
    int AddTimer(IBrevantTimer* timer) override;
    int RemoveTimer(IBrevantTimer* timer) override;

   private:
    CBrevantPlayer* owner_;
  };

  void OnPlayEvent(const PlayEvent& event) override;
  static DWORD WINAPI ThreadMain(void* self);
  void Run();
  // One step of the timing thread; how it waits afterwards.
  StepWait Step();
  // Sleeps and then yields the processor until the time source reaches
  // dueMs, the player is woken, or a few milliseconds of real time have
  // passed (a test's clock may stand still or jump).
  void FinishWait(double dueMs);
  void ApplySync();
  // Wakes the timing thread; callable from any thread, locked or not.
  void Wake();
  void StopLocked();
  bool StartThread();

  // The song clock: song ms now, from the performance counter while playing.
  double SongNow();
  void Rebase(double songMs);

  static constexpr long long kNoSync = -(1LL << 62);

  base::CriticalSection lock_;
  SequencerCore core_{this};
  Clock clock_{this};
  BrevantEventCallback callback_ = nullptr;
  void* context_ = nullptr;
  int tempo_ = 0;
  // Song ms where playing resumes (may be below 0 while a delay holds the
  // song back).
  double resumeAt_ = 0;
  ITimeSource* time_;
  double baseTime_ = 0;  // the time source's ms at the last rebase
  double baseMs_ = 0;    // song ms at the last rebase

  base::ScopedHandle thread_;
  base::ScopedHandle wake_;
  std::atomic<bool> wakeRequested_{false};
  bool quit_ = false;
  std::atomic<bool> playing_{false};
  std::atomic<long long> pendingSync_{kNoSync};
  // What the current step of the timing thread has to report; kept between
  // steps so that reporting allocates nothing.
  std::vector<PlayEvent> stepEvents_;
  bool inStep_ = false;
  double finishAt_ = 0;  // the time source's ms to finish the wait at
  SleepMargin margin_;   // the timing thread's alone
  unsigned stops_ = 0;   // how often playing was stopped
  // Steps the timing thread has finished, and the time source's ms at the
  // start of the last one: all that was due by then is done.
  unsigned long long steps_ = 0;
  double handledUpTo_ = -1e300;
};
