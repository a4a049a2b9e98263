// Coded WAV: a header the system's codecs would trust wrongly is refused
// before it reaches them (they end the process on a zero they divide by or
// run past a block that cannot hold what the header says); good files play
// as they decode, and a position lands on the very sample playing reaches.
#define PSAPI_VERSION 2
#include <windows.h>
// windows.h first: psapi.h needs its types.
#include <psapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FmodTestUtil.h"
#include "testsupport/WavBuilder.h"

namespace fmodtest {
namespace {

using testsupport::PutLe;

// A WAVEFORMATEX with its extra bytes.
std::vector<uint8_t> Format(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t bytesPerSecond,
                            uint16_t blockAlign, uint16_t bits, const std::vector<uint8_t>& extra) {
  std::vector<uint8_t> f;
  PutLe(f, tag, 2);
  PutLe(f, channels, 2);
  PutLe(f, rate, 4);
  PutLe(f, bytesPerSecond, 4);
  PutLe(f, blockAlign, 2);
  PutLe(f, bits, 2);
  PutLe(f, extra.size(), 2);
  f.insert(f.end(), extra.begin(), extra.end());
  return f;
}

// MPEGLAYER3WAVEFORMAT's extra bytes: ID, flags, block size, frames a block, codec delay.
std::vector<uint8_t> Mp3Extra(uint16_t blockSize) {
  std::vector<uint8_t> e;
  PutLe(e, 1, 2);
  PutLe(e, 2, 4);
  PutLe(e, blockSize, 2);
  PutLe(e, 1, 2);
  PutLe(e, 1393, 2);
  return e;
}

// MS ADPCM's extra bytes: samples a block, then the seven standard predictor pairs.
std::vector<uint8_t> MsAdpcmExtra(uint16_t samplesPerBlock, int coefficients = 7) {
  static const int16_t kPairs[7][2] = {{256, 0}, {512, -256}, {0, 0},     {192, 64},
                                       {240, 0}, {460, -208}, {392, -232}};
  std::vector<uint8_t> e;
  PutLe(e, samplesPerBlock, 2);
  PutLe(e, 7, 2);
  for (int i = 0; i < coefficients; ++i) {
    PutLe(e, uint16_t(kPairs[i][0]), 2);
    PutLe(e, uint16_t(kPairs[i][1]), 2);
  }
  return e;
}

std::vector<uint8_t> Le16Bytes(uint16_t value) { return {uint8_t(value), uint8_t(value >> 8)}; }

// RIFF, "fmt ", an optional "fact" (frames), then "data".
std::vector<uint8_t> WavOf(const std::vector<uint8_t>& format, const std::vector<uint8_t>& data,
                           uint32_t factFrames = 0) {
  std::vector<uint8_t> body = {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  PutLe(body, format.size(), 4);
  body.insert(body.end(), format.begin(), format.end());
  if (factFrames) {
    body.insert(body.end(), {'f', 'a', 'c', 't'});
    PutLe(body, 4, 4);
    PutLe(body, factFrames, 4);
  }
  body.insert(body.end(), {'d', 'a', 't', 'a'});
  PutLe(body, data.size(), 4);
  body.insert(body.end(), data.begin(), data.end());
  std::vector<uint8_t> file = {'R', 'I', 'F', 'F'};
  PutLe(file, body.size(), 4);
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

// The most memory the process has ever committed.
uint64_t PeakCommit() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakPagefileUsage;
}

using CodedWav = ManualClock;

TEST_F(CodedWav, AHeaderTheCodecWouldTrustWronglyIsRefusedCheaply) {
  const std::vector<uint8_t> mp3 = Mp3Extra(104);
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
  } cases[] = {
      // 262 bytes, as found: the codec's size query divides by the bytes a second.
      {"MP3 with no bytes a second", WavOf(Format(0x55, 1, 22050, 0, 1, 0, mp3), std::vector<uint8_t>(204))},
      {"MP3 at a rate MPEG does not have", WavOf(Format(0x55, 1, 22000, 8000, 1, 0, mp3), std::vector<uint8_t>(204))},
      {"MP3 without its extra bytes", WavOf(Format(0x55, 1, 22050, 8000, 1, 0, {}), std::vector<uint8_t>(204))},
      // The codec's conversion divides by the samples a block.
      {"MS ADPCM with no samples a block",
       WavOf(Format(2, 1, 22050, 11155, 256, 4, MsAdpcmExtra(0)), std::vector<uint8_t>(1024))},
      // Found as a 53 KB file: 2036 samples from blocks of 8 bytes made the
      // codec ask for a gigabyte and read past every block.
      {"MS ADPCM blocks smaller than their samples",
       WavOf(Format(2, 1, 22050, 11155, 8, 4, MsAdpcmExtra(2036)), std::vector<uint8_t>(53000))},
      {"MS ADPCM block shorter than its header",
       WavOf(Format(2, 2, 22050, 11155, 12, 4, MsAdpcmExtra(2)), std::vector<uint8_t>(1200))},
      {"MS ADPCM without its predictors",
       WavOf(Format(2, 1, 22050, 11155, 256, 4, MsAdpcmExtra(500, 3)), std::vector<uint8_t>(1024))},
      {"MS ADPCM of three channels",
       WavOf(Format(2, 3, 22050, 11155, 768, 4, MsAdpcmExtra(500)), std::vector<uint8_t>(3072))},
      {"IMA ADPCM samples a block its blocks cannot hold",
       WavOf(Format(0x11, 1, 22050, 11100, 256, 4, Le16Bytes(1000)), std::vector<uint8_t>(1024))},
      {"IMA ADPCM of uneven blocks",
       WavOf(Format(0x11, 2, 22050, 22201, 250, 4, Le16Bytes(243)), std::vector<uint8_t>(1000))},
      {"mu-law of 16 bits", WavOf(Format(7, 1, 8000, 8000, 1, 16, {}), std::vector<uint8_t>(800))},
      {"A-law whose blocks are not a sample", WavOf(Format(6, 2, 8000, 16000, 3, 8, {}), std::vector<uint8_t>(800))},
      {"GSM of short blocks", WavOf(Format(0x31, 1, 8000, 1625, 64, 0, Le16Bytes(320)), std::vector<uint8_t>(650))},
      {"more extra bytes than the header holds",
       [] {
         std::vector<uint8_t> f = Format(0x11, 1, 22050, 11100, 256, 4, Le16Bytes(505));
         f[16] = 40;
         return WavOf(f, std::vector<uint8_t>(1024));
       }()},
  };
  for (const Case& c : cases) {
    std::string path = WriteTemp("coded.wav", c.file);
    uint64_t before = PeakCommit();
    FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
    EXPECT_EQ(stream, nullptr) << c.what;
    FSOUND_Stream_Close(stream);
    FSOUND_STREAM* later = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
    EXPECT_EQ(FSOUND_Stream_GetOpenState(later), FSOUND_OPEN_FAILED) << c.what;
    FSOUND_Stream_Close(later);
    EXPECT_LT(PeakCommit() - before, 64u << 20) << c.what;
  }
}

TEST_F(CodedWav, MP3InAWavPlaysForTheLengthItsHeaderGives) {
  // The MP3 encoding of a 2-second 440 Hz tone at 22.05 kHz, whole, as the data.
  std::vector<uint8_t> frames = ReadAll(Media("mono.mp3"));
  ASSERT_FALSE(frames.empty());
  const std::vector<uint8_t> format = Format(0x55, 1, 22050, 8000, 1, 0, Mp3Extra(209));
  struct Case {
    const char* what;
    uint32_t factFrames;
    int lengthMs;
  } cases[] = {
      {"with a fact chunk", 44100, 2000},
      {"from its bytes a second", 0, int(frames.size() / 8)},
  };
  for (const Case& c : cases) {
    int lengthMs = 0;
    std::vector<float> left = DecodeAll(WriteTemp("mp3.wav", WavOf(format, frames, c.factFrames)), &lengthMs);
    EXPECT_NEAR(lengthMs, c.lengthMs, 1) << c.what;
    ASSERT_GT(left.size(), size_t(kRate)) << c.what;
    std::vector<float> middle(left.begin() + kRate / 2, left.begin() + kRate);
    EXPECT_NEAR(ZeroCrossingHz(middle, kRate), 440, 5) << c.what;
  }
}

TEST_F(CodedWav, APositionLandsOnTheSampleThatPlayingReaches) {
  for (const char* name : {"ima.wav", "msadpcm.wav", "ulaw.wav"}) {
    std::vector<float> whole = DecodeAll(Media(name));
    ASSERT_GT(whole.size(), size_t(kRate) * 2) << name;
    FSOUND_STREAM* stream = FSOUND_Stream_Open(Media(name).c_str(), FSOUND_NORMAL, 0, 0);
    ASSERT_NE(stream, nullptr) << name;
    // In the first block, across a block boundary and deep in the file.
    for (int ms : {7, 1000, 1234, 2001, 2950}) {
      ASSERT_TRUE(FSOUND_Stream_SetTime(stream, ms)) << name;
      const size_t first = size_t(ms) * kRate / 1000;
      FSOUND_SetVolume(FSOUND_Stream_Play(FSOUND_FREE, stream), 255);
      MelFmod_SetCapture(1);
      MelFmod_MixBlocks(2);
      std::vector<int16_t> out = Captured();
      ASSERT_EQ(out.size(), size_t(kBlock) * 4) << name;
      int differing = 0;
      for (size_t i = 0; i < out.size() / 2 && first + i < whole.size(); ++i)
        differing += out[i * 2] != int16_t(whole[first + i] * 32768.0f);
      EXPECT_EQ(differing, 0) << name << " at " << ms << " ms";
      FSOUND_Stream_Stop(stream);
    }
    FSOUND_Stream_Close(stream);
  }
}

}  // namespace
}  // namespace fmodtest
