// Every call fails cleanly outside an Init/Close pair, and handles from one
// session (or made up) do nothing in another.
#include <windows.h>

#include "FmodTestUtil.h"

namespace fmodtest {
namespace {

void* DspPassThrough(void* original, void*, int, void*) { return original; }

void ExpectEveryCallFails(FSOUND_STREAM* stream, FSOUND_DSPUNIT* unit, int channel) {
  EXPECT_EQ(FSOUND_Stream_Open(Media("tone.wav").c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0), nullptr);
  EXPECT_EQ(FSOUND_Stream_GetOpenState(stream), FSOUND_OPEN_INVALID);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), -1);
  EXPECT_FALSE(FSOUND_Stream_Stop(stream));
  EXPECT_FALSE(FSOUND_Stream_SetTime(stream, 100));
  EXPECT_EQ(FSOUND_Stream_GetTime(stream), 0);
  EXPECT_EQ(FSOUND_Stream_GetLengthMs(stream), 0);
  EXPECT_FALSE(FSOUND_Stream_SetEndCallback(stream, nullptr, nullptr));
  int status = -7;
  EXPECT_FALSE(FSOUND_Stream_Net_GetStatus(stream, &status, nullptr, nullptr, nullptr));
  EXPECT_FALSE(FSOUND_Stream_Close(stream));
  EXPECT_FALSE(FSOUND_SetPaused(channel, 1));
  EXPECT_FALSE(FSOUND_GetPaused(channel));
  EXPECT_FALSE(FSOUND_SetVolume(channel, 100));
  EXPECT_EQ(FSOUND_DSP_Create(DspPassThrough, 300, nullptr), nullptr);
  FSOUND_DSP_SetActive(unit, 1);
  FSOUND_DSP_Free(unit);
  EXPECT_EQ(FSOUND_DSP_GetFFTUnit(), nullptr);
  EXPECT_EQ(FSOUND_DSP_GetSpectrum(), nullptr);
  EXPECT_EQ(FMUSIC_LoadSong(Media("tone.wav").c_str()), nullptr);
  EXPECT_EQ(FSOUND_GetMixer(), 0);
  EXPECT_EQ(MelFmod_MixBlocks(3), 0);
}

TEST(ApiState, EveryCallFailsBeforeInitAndAfterClose) {
  ExpectEveryCallFails(nullptr, nullptr, -1);

  MelFmod_SetManualClock(1);
  ASSERT_TRUE(FSOUND_Init(kRate, 32, 0));
  EXPECT_FALSE(FSOUND_Init(kRate, 32, 0)) << "a second Init";
  EXPECT_FALSE(FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND)) << "set-up after Init";
  FSOUND_STREAM* stream = FSOUND_Stream_Open(Media("tone.wav").c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(stream, nullptr);
  int channel = FSOUND_Stream_Play(FSOUND_FREE, stream);
  ASSERT_GE(channel, 0);
  FSOUND_DSPUNIT* unit = FSOUND_DSP_Create(DspPassThrough, 300, nullptr);
  ASSERT_NE(unit, nullptr);
  FSOUND_Close();
  FSOUND_Close();  // twice is harmless

  ExpectEveryCallFails(stream, unit, channel);

  // A new session does not take the old handles for its own.
  ASSERT_TRUE(FSOUND_Init(kRate, 32, 0));
  FSOUND_STREAM* fresh = FSOUND_Stream_Open(Media("tone.wav").c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(fresh, nullptr);
  EXPECT_NE(fresh, stream);
  EXPECT_EQ(FSOUND_Stream_GetOpenState(stream), FSOUND_OPEN_INVALID);
  EXPECT_FALSE(FSOUND_SetVolume(channel, 10));
  FSOUND_Close();
}

TEST(ApiState, SetUpCallsClampAndRefuseNonsense) {
  EXPECT_TRUE(FSOUND_SetBufferSize(200));
  EXPECT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND));
  EXPECT_TRUE(FSOUND_SetDriver(0));
  EXPECT_FALSE(FSOUND_SetDriver(3)) << "there is one driver";
  EXPECT_TRUE(FSOUND_SetMixer(FSOUND_MIXER_QUALITY_AUTODETECT));
  EXPECT_TRUE(FSOUND_SetHWND(nullptr));
  EXPECT_TRUE(FSOUND_Stream_SetBufferSize(1000));
  EXPECT_FALSE(FSOUND_Init(100, 32, 0)) << "no mixer at 100 Hz";
  MelFmod_SetManualClock(1);
  ASSERT_TRUE(FSOUND_Init(kRate, 128, FSOUND_INIT_GLOBALFOCUS));
  EXPECT_EQ(FSOUND_GetMixer(), FSOUND_MIXER_QUALITY_FPU);
  FSOUND_Close();
}

using Handles = ManualClock;

TEST_F(Handles, MadeUpAndStaleHandlesAreHarmless) {
  FSOUND_STREAM* stream = FSOUND_Stream_Open(Media("tone.wav").c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(stream, nullptr);
  int channel = FSOUND_Stream_Play(FSOUND_FREE, stream);
  ASSERT_GE(channel, 0);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), channel) << "playing again keeps its channel";
  EXPECT_TRUE(FSOUND_Stream_Stop(stream));
  // The old channel number is stale once the stream stopped, even when the
  // next play takes the same slot.
  int next = FSOUND_Stream_Play(FSOUND_FREE, stream);
  ASSERT_GE(next, 0);
  EXPECT_NE(next, channel);
  EXPECT_FALSE(FSOUND_SetPaused(channel, 1));
  EXPECT_FALSE(FSOUND_GetPaused(next));

  auto* madeUp = reinterpret_cast<FSOUND_STREAM*>(uintptr_t(0x1234));
  EXPECT_EQ(FSOUND_Stream_GetOpenState(madeUp), FSOUND_OPEN_INVALID);
  EXPECT_EQ(FSOUND_Stream_GetTime(nullptr), 0);
  EXPECT_FALSE(FSOUND_SetVolume(-1, 100));
  EXPECT_FALSE(FSOUND_GetPaused(-1));
  FSOUND_DSP_Free(reinterpret_cast<FSOUND_DSPUNIT*>(uintptr_t(0x99)));
  FSOUND_DSP_Free(FSOUND_DSP_GetFFTUnit());  // the FFT unit is not freed
  EXPECT_NE(FSOUND_DSP_GetFFTUnit(), nullptr);

  EXPECT_TRUE(FSOUND_Stream_Close(stream));
  EXPECT_FALSE(FSOUND_Stream_Close(stream));
  EXPECT_EQ(FSOUND_Stream_GetOpenState(stream), FSOUND_OPEN_INVALID);
  EXPECT_FALSE(FSOUND_SetVolume(next, 1));
}

TEST_F(Handles, OpenFailuresGiveNullOrAFailedState) {
  std::string missing = WriteTemp("gone.mp3", {});
  DeleteFileA(missing.c_str());
  EXPECT_EQ(FSOUND_Stream_Open(missing.c_str(), FSOUND_NORMAL, 0, 0), nullptr);
  FSOUND_STREAM* failed = FSOUND_Stream_Open(missing.c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
  ASSERT_NE(failed, nullptr);
  EXPECT_EQ(FSOUND_Stream_GetOpenState(failed), FSOUND_OPEN_FAILED);
  EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, failed), -1);
  EXPECT_EQ(FSOUND_Stream_GetLengthMs(failed), 0);
  EXPECT_TRUE(FSOUND_Stream_Close(failed));

  MelFmod_FailNextOpen();
  FSOUND_STREAM* forced =
      FSOUND_Stream_Open(Media("tone.wav").c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
  ASSERT_NE(forced, nullptr);
  EXPECT_EQ(FSOUND_Stream_GetOpenState(forced), FSOUND_OPEN_FAILED);
  FSOUND_STREAM* after =
      FSOUND_Stream_Open(Media("tone.wav").c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
  EXPECT_EQ(FSOUND_Stream_GetOpenState(after), FSOUND_OPEN_READY) << "only the next open fails";
}

}  // namespace
}  // namespace fmodtest
