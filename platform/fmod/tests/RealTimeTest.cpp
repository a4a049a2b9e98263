// The threads of a real-time run, on the silent output: non-blocking opens,
// the end callback on the stream's thread, and closing while callbacks run;
// and on the device, closing while the mixer may still be opening it.
#include <windows.h>

#include <atomic>

#include "FmodTestUtil.h"
#include "testsupport/WaitUntil.h"
#include "testsupport/SilentPipe.h"
#include "testsupport/WavBuilder.h"

namespace fmodtest {
namespace {

class RealTime : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEnvironmentVariableA("MELODARA_AUDIO", "silent");
    MelFmod_SetManualClock(0);
    ASSERT_TRUE(FSOUND_Init(kRate, 32, 0));
  }
  void TearDown() override { FSOUND_Close(); }
};

struct Ended {
  std::atomic<int> calls{0};
  std::atomic<DWORD> thread{0};
};
signed char OnEnd(FSOUND_STREAM*, void*, int, void* user) {
  auto* ended = static_cast<Ended*>(user);
  ended->thread = GetCurrentThreadId();
  ++ended->calls;
  return 0;
}

TEST_F(RealTime, AStreamPlaysInRealTimeAndEndsOnItsOwnThread) {
  testsupport::WavSpec spec;
  std::string path = WriteTemp(
      "rt.wav", testsupport::WavFile(
                    spec, testsupport::WavSamples(spec, testsupport::Sine(440, 0.3, kRate, kRate / 2, 2))));
  FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
  ASSERT_NE(stream, nullptr);
  ASSERT_TRUE(testsupport::WaitUntil(
      [&] { return FSOUND_Stream_GetOpenState(stream) != FSOUND_OPEN_OPENING; }, 5000));
  ASSERT_EQ(FSOUND_Stream_GetOpenState(stream), FSOUND_OPEN_READY);
  Ended ended;
  FSOUND_Stream_SetEndCallback(stream, OnEnd, &ended);
  DWORD start = GetTickCount();
  ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return FSOUND_Stream_GetTime(stream) >= 200; }, 5000));
  ASSERT_TRUE(testsupport::WaitUntil([&] { return ended.calls > 0; }, 5000));
  // Half a second of sound takes about that long on the silent output.
  EXPECT_GE(GetTickCount() - start, 400u);
  EXPECT_NE(ended.thread, GetCurrentThreadId());
  Sleep(100);
  EXPECT_EQ(ended.calls, 1);
  EXPECT_EQ(FSOUND_Stream_GetTime(stream), 0);
  EXPECT_TRUE(FSOUND_Stream_Close(stream));
}

TEST_F(RealTime, ANonBlockingOpenOfAQuicklyReadFileIsReadyWhenTheCallReturns) {
  // The process's first open also starts what the readers need: it is
  // awaited apart.
  FSOUND_STREAM* first =
      FSOUND_Stream_Open(Media("tone.wav").c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
  ASSERT_TRUE(
      testsupport::WaitUntil([&] { return FSOUND_Stream_GetOpenState(first) != FSOUND_OPEN_OPENING; }, 5000));
  EXPECT_TRUE(FSOUND_Stream_Close(first));
  // Without the wait no try comes back ready: the reader runs on a thread
  // that has hardly started. A machine so busy that a reader now and then
  // misses the wait gets a few tries.
  for (const char* name : {"tone.wav", "tone.mp3", "mono.mp3"}) {
    bool ready = false;
    for (int attempt = 0; attempt < 5 && !ready; ++attempt) {
      FSOUND_STREAM* stream =
          FSOUND_Stream_Open(Media(name).c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
      ASSERT_NE(stream, nullptr) << name;
      ready = FSOUND_Stream_GetOpenState(stream) == FSOUND_OPEN_READY;
      if (ready) {
        EXPECT_GE(FSOUND_Stream_Play(FSOUND_FREE, stream), 0) << name;
      }
      EXPECT_TRUE(FSOUND_Stream_Close(stream)) << name;
    }
    EXPECT_TRUE(ready) << name;
  }
}

struct SlowUnit {
  std::atomic<int> calls{0};
  std::atomic<int> inside{0};
  FSOUND_STREAM* stream = nullptr;
};
void* Slow(void* original, void*, int, void* user) {
  auto* unit = static_cast<SlowUnit*>(user);
  ++unit->inside;
  ++unit->calls;
  if (unit->stream) FSOUND_Stream_GetTime(unit->stream);  // takes the library's lock
  Sleep(3);
  --unit->inside;
  return original;
}

TEST_F(RealTime, FreeingAUnitWaitsForItsCallbackAndCloseEndsTheMixer) {
  FSOUND_STREAM* stream =
      FSOUND_Stream_Open(Media("tone.mp3").c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
  ASSERT_TRUE(
      testsupport::WaitUntil([&] { return FSOUND_Stream_GetOpenState(stream) == FSOUND_OPEN_READY; }, 5000));
  FSOUND_Stream_Play(FSOUND_FREE, stream);
  for (int round = 0; round < 20; ++round) {
    SlowUnit unit;
    unit.stream = stream;
    FSOUND_DSPUNIT* handle = FSOUND_DSP_Create(Slow, 300, &unit);
    FSOUND_DSP_SetActive(handle, 1);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return unit.calls >= 2; }, 5000));
    FSOUND_DSP_Free(handle);
    EXPECT_EQ(unit.inside, 0) << "a callback still runs after Free returned";
    int calls = unit.calls;
    Sleep(15);
    EXPECT_EQ(unit.calls, calls);
  }
  // Ticks run whether or not anything plays; Close stops them.
  SlowUnit idle;
  FSOUND_Stream_Close(stream);
  FSOUND_DSPUNIT* handle = FSOUND_DSP_Create(Slow, 1, &idle);
  FSOUND_DSP_SetActive(handle, 1);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return idle.calls >= 3; }, 5000));
  FSOUND_Close();
  int calls = idle.calls;
  Sleep(50);
  EXPECT_EQ(idle.calls, calls);
}

struct Closer {
  std::atomic<int> calls{0};
};
signed char CloseFromEnd(FSOUND_STREAM* stream, void*, int, void* user) {
  // Closing a stream from its own end callback must not wait for itself.
  FSOUND_Stream_Close(stream);
  ++static_cast<Closer*>(user)->calls;
  return 0;
}

TEST_F(RealTime, StreamsCloseWhilePlayingAndFromTheirOwnEnd) {
  for (int round = 0; round < 10; ++round) {
    FSOUND_STREAM* stream = FSOUND_Stream_Open(Media("tone.mp3").c_str(), FSOUND_NORMAL, 0, 0);
    ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
    Sleep(round * 3);
    EXPECT_TRUE(FSOUND_Stream_Close(stream));
  }
  testsupport::WavSpec spec;
  std::string path = WriteTemp("short.wav", testsupport::WavFile(spec, std::vector<uint8_t>(4 * 441 * 3, 0)));
  FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
  Closer closer;
  FSOUND_Stream_SetEndCallback(stream, CloseFromEnd, &closer);
  FSOUND_Stream_Play(FSOUND_FREE, stream);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return closer.calls > 0; }, 5000));
  EXPECT_EQ(FSOUND_Stream_GetOpenState(stream), FSOUND_OPEN_INVALID);
}

TEST_F(RealTime, AnOpenThatNeverAnswersNeitherBlocksNorHangsAndFails) {
  testsupport::SilentPipe pipe;
  ASSERT_TRUE(pipe.Made());
  DWORD start = GetTickCount();
  FSOUND_STREAM* waiting = FSOUND_Stream_Open(pipe.Path().c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
  ASSERT_NE(waiting, nullptr);
  EXPECT_LT(GetTickCount() - start, 2000u) << "a non-blocking open does not wait for its reader's end";
  EXPECT_EQ(FSOUND_Stream_GetOpenState(waiting), FSOUND_OPEN_OPENING);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, waiting), -1) << "nothing to play yet";
  // Other streams open and play meanwhile.
  FSOUND_STREAM* other =
      FSOUND_Stream_Open(Media("tone.wav").c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
  ASSERT_TRUE(
      testsupport::WaitUntil([&] { return FSOUND_Stream_GetOpenState(other) == FSOUND_OPEN_READY; }, 5000));
  EXPECT_GE(FSOUND_Stream_Play(FSOUND_FREE, other), 0);
  // The reader is given up after its bound: the stream fails.
  ASSERT_TRUE(testsupport::WaitUntil(
      [&] { return FSOUND_Stream_GetOpenState(waiting) != FSOUND_OPEN_OPENING; }, 30000));
  EXPECT_EQ(FSOUND_Stream_GetOpenState(waiting), FSOUND_OPEN_FAILED);
  EXPECT_EQ(FSOUND_Stream_GetLengthMs(waiting), 0);
  start = GetTickCount();
  EXPECT_TRUE(FSOUND_Stream_Close(waiting));
  EXPECT_LT(GetTickCount() - start, 2000u);

  // A blocking open waits for the bound at most, then fails.
  start = GetTickCount();
  EXPECT_EQ(FSOUND_Stream_Open(pipe.Path().c_str(), FSOUND_NORMAL, 0, 0), nullptr);
  EXPECT_LT(GetTickCount() - start, 30000u);
  // Closing a stream still opening returns at once too.
  FSOUND_STREAM* closed = FSOUND_Stream_Open(pipe.Path().c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
  start = GetTickCount();
  EXPECT_TRUE(FSOUND_Stream_Close(closed));
  EXPECT_LT(GetTickCount() - start, 2000u);
  EXPECT_TRUE(FSOUND_Stream_Close(other));
}

// The device is opened by the mixer thread, after Init has returned: a Close
// that comes before the open has finished still ends the mixer, and the next
// session mixes again (on the device, or silently when none opens).
struct Counter {
  std::atomic<int> calls{0};
};
void* Count(void* original, void*, int, void* user) {
  ++static_cast<Counter*>(user)->calls;
  return original;
}

DWORD WINAPI CloseSound(void*) {
  FSOUND_Close();
  return 0;
}

TEST(RealTimeDevice, CloseEndsTheMixerWhetherOrNotTheDeviceHasOpened) {
  char before[MAX_PATH] = {};
  const DWORD hadChoice = GetEnvironmentVariableA("MELODARA_AUDIO", before, sizeof before);
  SetEnvironmentVariableA("MELODARA_AUDIO", "device");
  MelFmod_SetManualClock(0);
  struct Round {
    const char* what;
    int blocksBeforeClose;  // mixed blocks seen before Close; 0: Close at once
  };
  const Round rounds[] = {
      {"Close right after Init", 0},
      {"Close once the mixer runs", 5},
      {"Close right after Init again", 0},
  };
  for (const Round& round : rounds) {
    SCOPED_TRACE(round.what);
    ASSERT_TRUE(FSOUND_Init(kRate, 32, 0));
    Counter counter;
    FSOUND_DSPUNIT* unit = FSOUND_DSP_Create(Count, 300, &counter);
    ASSERT_NE(unit, nullptr);
    FSOUND_DSP_SetActive(unit, 1);
    if (round.blocksBeforeClose > 0) {
      EXPECT_TRUE(testsupport::WaitUntil([&] { return counter.calls >= round.blocksBeforeClose; }, 10000))
          << "the mixer never ran";
    }
    // Close waits for the mixer, which may still be opening the device:
    // bounded here, so a mixer that never ends fails instead of hanging.
    HANDLE closer = CreateThread(nullptr, 0, CloseSound, nullptr, 0, nullptr);
    ASSERT_NE(closer, nullptr);
    const DWORD waited = WaitForSingleObject(closer, 15000);
    CloseHandle(closer);
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "Close did not return";
    const int calls = counter.calls;
    Sleep(50);
    EXPECT_EQ(counter.calls, calls) << "the mixer runs after Close";
    EXPECT_EQ(FSOUND_DSP_GetFFTUnit(), nullptr) << "the session is over";
  }
  SetEnvironmentVariableA("MELODARA_AUDIO", hadChoice > 0 && hadChoice < sizeof before ? before : nullptr);
}

}  // namespace
}  // namespace fmodtest
