// Positions, pause, stop, the end of a stream, volume, DSP units and the
// spectrum, all on the manual clock.
#include <cmath>
#include <string>
#include <vector>

#include "FmodTestUtil.h"
#include "testsupport/WavBuilder.h"

namespace fmodtest {
namespace {

using testsupport::WavSpec;

// A 16-bit stereo ramp: frame i holds i (left) and -i (right), so any
// captured frame tells which source frame it is.
std::string RampWav(const std::string& name, int frames) {
  std::vector<uint8_t> data;
  for (int i = 0; i < frames; ++i) {
    testsupport::PutLe(data, uint16_t(int16_t(i % 30000)), 2);
    testsupport::PutLe(data, uint16_t(int16_t(-(i % 30000))), 2);
  }
  return WriteTemp(name, testsupport::WavFile(WavSpec{}, data));
}

struct EndCount {
  int calls = 0;
  FSOUND_STREAM* stream = nullptr;
};
signed char CountEnd(FSOUND_STREAM* stream, void*, int, void* user) {
  auto* count = static_cast<EndCount*>(user);
  ++count->calls;
  count->stream = stream;
  return 0;
}

using Mixer = ManualClock;

TEST_F(Mixer, PositionFollowsTheMixedBlocksAndTheEndRewindsOnce) {
  std::string path = RampWav("ramp.wav", kRate);  // one second
  FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(FSOUND_Stream_GetLengthMs(stream), 1000);
  EndCount ends;
  ASSERT_TRUE(FSOUND_Stream_SetEndCallback(stream, CountEnd, &ends));
  int channel = FSOUND_Stream_Play(FSOUND_FREE, stream);
  ASSERT_GE(channel, 0);
  MelFmod_MixBlocks(25);
  EXPECT_EQ(FSOUND_Stream_GetTime(stream), 250);
  EXPECT_EQ(ends.calls, 0);
  MelFmod_MixBlocks(75);  // exactly the last sample
  EXPECT_EQ(ends.calls, 0) << "the end is seen when the mixer finds nothing more";
  MelFmod_MixBlocks(1);
  EXPECT_EQ(ends.calls, 1);
  EXPECT_EQ(ends.stream, stream);
  EXPECT_EQ(FSOUND_Stream_GetTime(stream), 0);
  EXPECT_FALSE(FSOUND_SetVolume(channel, 10)) << "the channel is gone";
  MelFmod_MixBlocks(20);
  EXPECT_EQ(ends.calls, 1);
  // The capture is the file, frame for frame, then silence.
  std::vector<int16_t> out = Captured();
  ASSERT_GE(out.size(), size_t(kRate) * 2);
  for (int i : {0, 1, 441, 12345, kRate - 1}) {
    EXPECT_EQ(out[size_t(i) * 2], i % 30000) << i;
    EXPECT_EQ(out[size_t(i) * 2 + 1], -(i % 30000)) << i;
  }
  EXPECT_EQ(out[size_t(kRate) * 2], 0);
  // A replay starts at 0.
  ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
  MelFmod_SetCapture(1);
  MelFmod_MixBlocks(1);
  EXPECT_EQ(Captured()[2], 1);
}

TEST_F(Mixer, StopRewindsAndSetTimeStartsThereWhateverTheState) {
  std::string path = RampWav("ramp2.wav", 3 * kRate);
  FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(stream, nullptr);
  EndCount ends;
  FSOUND_Stream_SetEndCallback(stream, CountEnd, &ends);
  // Stopped: SetTime, then Play starts there.
  ASSERT_TRUE(FSOUND_Stream_SetTime(stream, 500));
  EXPECT_EQ(FSOUND_Stream_GetTime(stream), 500);
  int channel = FSOUND_Stream_Play(FSOUND_FREE, stream);
  MelFmod_MixBlocks(1);
  EXPECT_EQ(Captured()[0], (kRate / 2) % 30000);
  EXPECT_EQ(FSOUND_Stream_GetTime(stream), 510);
  // Paused: the position holds, SetTime moves it, unpausing starts there.
  ASSERT_TRUE(FSOUND_SetPaused(channel, 1));
  EXPECT_TRUE(FSOUND_GetPaused(channel));
  MelFmod_MixBlocks(10);
  EXPECT_EQ(FSOUND_Stream_GetTime(stream), 510);
  ASSERT_TRUE(FSOUND_Stream_SetTime(stream, 100));
  ASSERT_TRUE(FSOUND_SetPaused(channel, 0));
  MelFmod_SetCapture(1);
  MelFmod_MixBlocks(1);
  EXPECT_EQ(Captured()[0], kRate / 10);
  // Playing: SetTime jumps.
  ASSERT_TRUE(FSOUND_Stream_SetTime(stream, 2000));
  MelFmod_SetCapture(1);
  MelFmod_MixBlocks(1);
  EXPECT_EQ(Captured()[0], (2 * kRate) % 30000);
  // Stop rewinds to 0 and frees the channel; no end callback.
  ASSERT_TRUE(FSOUND_Stream_Stop(stream));
  EXPECT_EQ(FSOUND_Stream_GetTime(stream), 0);
  EXPECT_FALSE(FSOUND_GetPaused(channel));
  ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
  MelFmod_SetCapture(1);
  MelFmod_MixBlocks(1);
  EXPECT_EQ(Captured()[2], 1);
  // Past the end: the next block ends it.
  ASSERT_TRUE(FSOUND_Stream_SetTime(stream, 999999));
  MelFmod_MixBlocks(1);
  EXPECT_EQ(ends.calls, 1);
  EXPECT_EQ(FSOUND_Stream_GetTime(stream), 0);
}

TEST_F(Mixer, GetTimeReadsBackWhatSetTimeSetAtAnyMixRate) {
  std::string path = RampWav("ramp4.wav", 3 * kRate);
  for (int rate : {44100, 48000, 22050, 32000, 8000}) {
    FSOUND_Close();
    MelFmod_SetManualClock(1);
    ASSERT_TRUE(FSOUND_Init(rate, 32, 0));
    FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
    ASSERT_NE(stream, nullptr);
    int wrong = 0, first = -1;
    for (int ms = 0; ms <= FSOUND_Stream_GetLengthMs(stream); ++ms) {
      FSOUND_Stream_SetTime(stream, ms);
      if (FSOUND_Stream_GetTime(stream) != ms && wrong++ == 0) first = ms;
    }
    EXPECT_EQ(wrong, 0) << rate << " Hz, first at " << first << " ms";
    FSOUND_Stream_Close(stream);
  }
}

TEST_F(Mixer, VolumeIsALinearGainOf255) {
  std::vector<uint8_t> data;
  for (int i = 0; i < kRate / 10; ++i) testsupport::PutLe(data, uint32_t(uint16_t(25500)) * 0x10001u, 4);
  std::string path = WriteTemp("level.wav", testsupport::WavFile(WavSpec{}, data));
  struct Case {
    int volume;
    int expected;
  } cases[] = {{255, 25500}, {127, 12700}, {0, 0}, {-5, 0}, {300, 25500}};
  for (const Case& c : cases) {
    FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
    int channel = FSOUND_Stream_Play(FSOUND_FREE, stream);
    ASSERT_TRUE(FSOUND_SetVolume(channel, c.volume));
    MelFmod_SetCapture(1);
    MelFmod_MixBlocks(1);
    EXPECT_NEAR(Captured()[100], c.expected, 1) << c.volume;
    FSOUND_Stream_Close(stream);
  }
}

struct UnitLog {
  std::vector<int>* order;
  int id;
  int calls = 0;
  int lastLength = 0;
  FSOUND_STREAM* stream = nullptr;
  int timeSeen = -1;
};
void* LogUnit(void* original, void* buffer, int length, void* user) {
  auto* log = static_cast<UnitLog*>(user);
  log->order->push_back(log->id);
  ++log->calls;
  log->lastLength = length;
  EXPECT_EQ(original, buffer);
  // Calling back into the library from a callback is allowed.
  if (log->stream) log->timeSeen = FSOUND_Stream_GetTime(log->stream);
  return original;
}
void* HalveUnit(void* original, void*, int length, void*) {
  float* samples = static_cast<float*>(original);
  for (int i = 0; i < length * 2; ++i) samples[i] *= 0.5f;
  return original;
}

TEST_F(Mixer, DspUnitsRunOncePerBlockInPriorityOrderEvenWhenIdle) {
  std::vector<int> order;
  UnitLog late{&order, 3}, early{&order, 1}, middle{&order, 2}, idle{&order, 4};
  FSOUND_DSPUNIT* a = FSOUND_DSP_Create(LogUnit, 500, &late);
  FSOUND_DSPUNIT* b = FSOUND_DSP_Create(LogUnit, 10, &early);
  FSOUND_DSPUNIT* c = FSOUND_DSP_Create(LogUnit, 300, &middle);
  FSOUND_DSPUNIT* d = FSOUND_DSP_Create(LogUnit, 1, &idle);
  for (auto* unit : {a, b, c}) FSOUND_DSP_SetActive(unit, 1);
  (void)d;  // created but never activated
  MelFmod_MixBlocks(5);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3}));
  EXPECT_EQ(middle.lastLength, kBlock);
  EXPECT_EQ(idle.calls, 0);
  // Freed and deactivated units are not called again.
  FSOUND_DSP_Free(a);
  FSOUND_DSP_SetActive(b, 0);
  order.clear();
  MelFmod_MixBlocks(2);
  EXPECT_EQ(order, (std::vector<int>{2, 2}));
  FSOUND_DSP_Free(c);
}

TEST_F(Mixer, AUnitChangesWhatIsPlayedAndMayAskForTheTime) {
  std::string path = RampWav("ramp3.wav", kRate);
  FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
  std::vector<int> order;
  UnitLog log{&order, 1};
  log.stream = stream;
  FSOUND_DSPUNIT* halve = FSOUND_DSP_Create(HalveUnit, 100, nullptr);
  FSOUND_DSPUNIT* watch = FSOUND_DSP_Create(LogUnit, 300, &log);
  FSOUND_DSP_SetActive(halve, 1);
  FSOUND_DSP_SetActive(watch, 1);
  FSOUND_Stream_Play(FSOUND_FREE, stream);
  MelFmod_MixBlocks(3);
  EXPECT_EQ(log.timeSeen, 30);
  EXPECT_EQ(Captured()[2 * 1000], 500);
}

TEST_F(Mixer, SpectrumShowsTheToneAndNothingForSilence) {
  EXPECT_EQ(FSOUND_DSP_GetSpectrum(), nullptr) << "the FFT unit starts off";
  FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1);
  float* silent = FSOUND_DSP_GetSpectrum();
  ASSERT_NE(silent, nullptr);
  MelFmod_MixBlocks(5);
  for (int i = 0; i < 512; ++i) ASSERT_LT(silent[i], 1e-6f) << i;

  std::vector<float> sine = testsupport::Sine(1000, 1.0, kRate, kRate / 2, 2);
  WavSpec spec;
  spec.formatTag = 3;
  spec.bits = 32;
  std::string path = WriteTemp("sine1k.wav", testsupport::WavFile(spec, testsupport::WavSamples(spec, sine)));
  FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
  int channel = FSOUND_Stream_Play(FSOUND_FREE, stream);
  FSOUND_SetVolume(channel, 255);
  MelFmod_MixBlocks(10);
  float* bins = FSOUND_DSP_GetSpectrum();
  ASSERT_EQ(bins, silent) << "the array stays where it is";
  int peak = 0;
  for (int i = 0; i < 512; ++i) {
    ASSERT_TRUE(bins[i] >= 0.0f && bins[i] <= 1.0f) << i;
    if (bins[i] > bins[peak]) peak = i;
  }
  // 1000 Hz at 44100 / 1024 Hz a bin.
  EXPECT_NEAR(peak, 23, 1);
  EXPECT_GT(bins[peak] + bins[peak + 1], 0.8f);
  EXPECT_LT(bins[200], 0.01f);
  FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 0);
  EXPECT_EQ(FSOUND_DSP_GetSpectrum(), nullptr);
}

TEST_F(Mixer, ResampledAudioKeepsItsPitchAndLevel) {
  int lengthMs = 0;
  std::vector<float> mono = DecodeAll(Media("mono.wav"), &lengthMs);
  EXPECT_EQ(lengthMs, 2000);
  // 2 s at 22.05 kHz resampled to 44.1 kHz: twice the frames, the same pitch.
  ASSERT_GE(mono.size(), size_t(2 * kRate));
  std::vector<float> middle(mono.begin() + kRate / 2, mono.begin() + kRate);
  EXPECT_NEAR(ZeroCrossingHz(middle, kRate), 440, 5);
  EXPECT_NEAR(Rms(middle), 0.5 / std::sqrt(2.0), 0.02);
}

}  // namespace
}  // namespace fmodtest
