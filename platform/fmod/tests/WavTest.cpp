// WAV files: every sample format we read gives the same sound; damaged
// files fail to open or play what is there.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "FmodTestUtil.h"
#include "quillix/SongBlock.h"
#include "testsupport/WavBuilder.h"

namespace fmodtest {
namespace {

using testsupport::WavFile;
using testsupport::WavSamples;
using testsupport::WavSpec;

using Wav = ManualClock;

TEST_F(Wav, EverySampleFormatPlaysTheSameTone) {
  struct Case {
    const char* what;
    WavSpec spec;
    float tolerance;
  } cases[] = {
      {"8-bit mono", {1, 1, 44100, 8}, 0.02f},      {"16-bit stereo", {1, 2, 44100, 16}, 0.001f},
      {"24-bit stereo", {1, 2, 44100, 24}, 0.001f}, {"32-bit stereo", {1, 2, 44100, 32}, 0.001f},
      {"float stereo", {3, 2, 44100, 32}, 0.001f},  {"extensible 16-bit", {0xFFFE, 2, 44100, 16}, 0.001f},
  };
  for (const Case& c : cases) {
    std::vector<float> tone = testsupport::Sine(441, 0.5, 44100, 4410, c.spec.channels);
    std::string path = WriteTemp(std::string("fmt") + std::to_string(&c - cases) + ".wav",
                                 WavFile(c.spec, WavSamples(c.spec, tone)));
    int lengthMs = 0;
    std::vector<float> out = DecodeAll(path, &lengthMs);
    EXPECT_EQ(lengthMs, 100) << c.what;
    ASSERT_GE(out.size(), 4410u) << c.what;
    for (int i : {0, 25, 100, 1234, 4409})
      EXPECT_NEAR(out[size_t(i)], tone[size_t(i) * c.spec.channels], c.tolerance) << c.what << " frame " << i;
  }
}

TEST_F(Wav, CodedFilesPlayThroughTheSystemsCodecs) {
  for (const char* name : {"ima.wav", "msadpcm.wav", "ulaw.wav"}) {
    int lengthMs = 0;
    std::vector<float> out = DecodeAll(Media(name), &lengthMs);
    // ADPCM blocks round the length up to a whole block.
    EXPECT_NEAR(lengthMs, 3000, 30) << name;
    ASSERT_GT(out.size(), size_t(kRate) * 2) << name;
    std::vector<float> low(out.begin() + kRate / 4, out.begin() + kRate);
    std::vector<float> high(out.begin() + 2 * kRate, out.begin() + 2 * kRate + kRate / 2);
    EXPECT_NEAR(ZeroCrossingHz(low, kRate), 1000, 20) << name;
    EXPECT_NEAR(ZeroCrossingHz(high, kRate), 2500, 50) << name;
  }
  // A position lands in the coded data too.
  FSOUND_STREAM* stream = FSOUND_Stream_Open(Media("ima.wav").c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(stream, nullptr);
  ASSERT_TRUE(FSOUND_Stream_SetTime(stream, 2000));
  FSOUND_SetVolume(FSOUND_Stream_Play(FSOUND_FREE, stream), 255);
  MelFmod_SetCapture(1);
  MelFmod_MixBlocks(20);
  std::vector<int16_t> frames = Captured();
  std::vector<float> left;
  for (size_t i = 0; i < frames.size(); i += 2) left.push_back(frames[i] / 32768.0f);
  EXPECT_NEAR(ZeroCrossingHz(left, kRate), 2500, 60);
  FSOUND_Stream_Close(stream);
}

// The amplitude of a tone of frequency Hz in samples (a whole number of its
// periods long), through a Hann window so the other tones do not leak in.
double ToneAmplitude(const std::vector<float>& samples, double frequency, int rate) {
  const double pi = 3.14159265358979323846;
  double re = 0, im = 0, weights = 0;
  for (size_t i = 0; i < samples.size(); ++i) {
    double w = 0.5 - 0.5 * std::cos(2 * pi * double(i) / double(samples.size()));
    re += samples[i] * w * std::cos(2 * pi * frequency * double(i) / rate);
    im += samples[i] * w * std::sin(2 * pi * frequency * double(i) / rate);
    weights += w;
  }
  return 2 * std::sqrt(re * re + im * im) / weights;
}

TEST_F(Wav, EveryChannelIsMixedDownToStereoWithoutClipping) {
  // Each channel of the file its own tone, so each one's share of left and
  // right can be read from the output. ITU down-mix: centre and surrounds
  // 3 dB down into their sides (centre and low frequency into both),
  // scaled so that every channel at full scale together still fits.
  const double k = std::sqrt(0.5);
  const double tones[] = {500, 700, 1100, 130, 1700, 2300, 3100, 3700};
  struct Case {
    const char* what;
    uint16_t tag;
    int channels;
    uint32_t mask;
    std::vector<std::pair<double, double>> gains;  // (left, right) for each channel, before scaling
  } cases[] = {
      {"5.1 with its mask", 0xFFFE, 6, 0x3F, {{1, 0}, {0, 1}, {k, k}, {k, k}, {k, 0}, {0, k}}},
      {"6 channels without a mask: 5.1", 1, 6, 0, {{1, 0}, {0, 1}, {k, k}, {k, k}, {k, 0}, {0, k}}},
      {"quadraphonic", 0xFFFE, 4, 0x33, {{1, 0}, {0, 1}, {k, 0}, {0, k}}},
      {"7.1 with side speakers",
       0xFFFE,
       8,
       0x63F,
       {{1, 0}, {0, 1}, {k, k}, {k, k}, {k, 0}, {0, k}, {k, 0}, {0, k}}},
      {"three channels, the third beyond the mask: in the middle", 0xFFFE, 3, 0x3, {{1, 0}, {0, 1}, {k, k}}},
  };
  for (const Case& c : cases) {
    WavSpec spec{c.tag, uint16_t(c.channels), 48000, 16};
    std::vector<float> samples;
    for (int i = 0; i < 9600; ++i)
      for (int ch = 0; ch < c.channels; ++ch)
        samples.push_back(float(0.9 * std::sin(2 * 3.14159265358979323846 * tones[ch] * i / 48000)));
    std::vector<uint8_t> file = testsupport::WavFile(spec, WavSamples(spec, samples));
    if (c.tag == 0xFFFE)
      for (int b = 0; b < 4; ++b) file[40 + b] = uint8_t(c.mask >> (8 * b));
    FSOUND_STREAM* stream = FSOUND_Stream_Open(WriteTemp("surround.wav", file).c_str(), FSOUND_NORMAL, 0, 0);
    ASSERT_NE(stream, nullptr) << c.what;
    EXPECT_EQ(FSOUND_Stream_GetLengthMs(stream), 200) << c.what;
    FSOUND_SetVolume(FSOUND_Stream_Play(FSOUND_FREE, stream), 255);
    MelFmod_SetCapture(1);
    MelFmod_MixBlocks(15);
    std::vector<int16_t> out = Captured();
    FSOUND_Stream_Close(stream);
    std::vector<float> side[2];
    for (size_t i = kRate / 20; i < size_t(kRate / 20 + kRate / 10); ++i)
      for (int s = 0; s < 2; ++s) side[s].push_back(out[i * 2 + s] / 32768.0f);
    double sum[2] = {};
    for (const auto& g : c.gains) sum[0] += g.first, sum[1] += g.second;
    const double scale = 1 / std::max(sum[0], sum[1]);
    for (int ch = 0; ch < c.channels; ++ch) {
      EXPECT_NEAR(ToneAmplitude(side[0], tones[ch], kRate), 0.9 * c.gains[ch].first * scale, 0.003)
          << c.what << ": channel " << ch << " in the left";
      EXPECT_NEAR(ToneAmplitude(side[1], tones[ch], kRate), 0.9 * c.gains[ch].second * scale, 0.003)
          << c.what << ": channel " << ch << " in the right";
    }
  }
  // Every channel near full scale in step: the sum stays at that level
  // rather than clipping at three times it.
  WavSpec spec{0xFFFE, 6, 48000, 16};
  std::vector<float> same = testsupport::Sine(1000, 0.9, 48000, 9600, 6);
  std::vector<uint8_t> file = testsupport::WavFile(spec, WavSamples(spec, same));
  for (int b = 0; b < 4; ++b) file[40 + b] = uint8_t(0x3F >> (8 * b));
  std::vector<float> left = DecodeAll(WriteTemp("loud.wav", file));
  ASSERT_GE(left.size(), size_t(kRate / 5));
  float peak = 0;
  for (float s : left) peak = std::max(peak, std::fabs(s));
  EXPECT_NEAR(peak, 0.9f, 0.01f);
}

TEST_F(Wav, DamagedFilesFailOrPlayWhatIsThere) {
  WavSpec spec;
  std::vector<uint8_t> good = WavFile(spec, WavSamples(spec, testsupport::Sine(441, 0.5, 44100, 4410, 2)));
  auto with = [&](size_t at, std::vector<uint8_t> bytes) {
    std::vector<uint8_t> out = good;
    std::copy(bytes.begin(), bytes.end(), out.begin() + at);
    return out;
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int lengthMs;  // -1: the open fails
  } cases[] = {
      {"empty", {}, -1},
      {"not RIFF", with(0, {'R', 'I', 'F', 'X'}), -1},
      {"only the RIFF header", std::vector<uint8_t>(good.begin(), good.begin() + 12), -1},
      {"fmt size beyond the file", with(16, {0xFF, 0xFF, 0xFF, 0x7F}), -1},
      {"12 bits a sample", with(34, {12, 0}), -1},
      {"no channels", with(22, {0, 0}), -1},
      {"block align that lies", with(32, {7, 0}), -1},
      {"unknown coding", with(20, {0x34, 0x12}), -1},
      {"data size beyond the file", with(40, {0xFF, 0xFF, 0xFF, 0xFF}), 100},
      {"truncated data", std::vector<uint8_t>(good.begin(), good.begin() + 44 + 4 * 2205), 50},
  };
  for (const Case& c : cases) {
    std::string path = WriteTemp("bad.wav", c.bytes);
    FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
    if (c.lengthMs < 0) {
      EXPECT_EQ(stream, nullptr) << c.what;
      FSOUND_STREAM* later = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
      EXPECT_EQ(FSOUND_Stream_GetOpenState(later), FSOUND_OPEN_FAILED) << c.what;
      FSOUND_Stream_Close(later);
      continue;
    }
    ASSERT_NE(stream, nullptr) << c.what;
    EXPECT_EQ(FSOUND_Stream_GetLengthMs(stream), c.lengthMs) << c.what;
    FSOUND_Stream_Close(stream);
  }
}

// The song block's writer lives with the song-block library; this is the
// format as the footer describes it.
std::vector<uint8_t> SongBlock(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& chunks) {
  std::vector<uint8_t> block;
  for (const auto& chunk : chunks) {
    block.insert(block.end(), chunk.first.begin(), chunk.first.end());
    testsupport::PutLe(block, chunk.second.size(), 4);
    block.insert(block.end(), chunk.second.begin(), chunk.second.end());
  }
  uint32_t area = uint32_t(block.size());
  block.insert(block.end(), quillix::kSongBlockMagic, quillix::kSongBlockMagic + 8);
  testsupport::PutLe(block, area, 4);
  testsupport::PutLe(block, 1, 4);
  return block;
}

TEST_F(Wav, AnAppendedSongBlockIsNotSound) {
  WavSpec spec;
  std::vector<float> tone = testsupport::Sine(441, 0.5, 44100, 4410, 2);
  std::vector<uint8_t> plain = WavFile(spec, WavSamples(spec, tone));
  // A data chunk that claims everything to the end of the file, as some
  // writers leave it: the block must still not be played.
  std::vector<uint8_t> claiming = WavFile(spec, WavSamples(spec, tone), 0x7FFFFFFF);
  std::vector<uint8_t> block = SongBlock({{"EXIF", std::vector<uint8_t>(300, 0x55)}, {"OFMS", {1, 0, 0, 0}}});
  claiming.insert(claiming.end(), block.begin(), block.end());
  int plainMs = 0, packedMs = 0;
  std::vector<float> a = DecodeAll(WriteTemp("plain.wav", plain), &plainMs);
  std::vector<float> b = DecodeAll(WriteTemp("packed.wav", claiming), &packedMs);
  EXPECT_EQ(plainMs, packedMs);
  ASSERT_EQ(a.size(), b.size());
  EXPECT_EQ(a, b);
}

}  // namespace
}  // namespace fmodtest
