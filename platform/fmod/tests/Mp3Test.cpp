// MP3 files: exact length, the encoder's delay and padding trimmed,
// sample-accurate positions, tags and song blocks left out of the sound,
// and damaged files that fail or play what is sound.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "FmodTestUtil.h"
#include "quillix/SongBlock.h"
#include "testsupport/WavBuilder.h"

namespace fmodtest {
namespace {

using Mp3 = ManualClock;

// The source of tone.mp3, left channel.
std::vector<float> SourceTone() {
  std::vector<uint8_t> wav = ReadAll(Media("tone.wav"));
  std::vector<float> left;
  for (size_t at = 44; at + 4 <= wav.size(); at += 4)
    left.push_back(int16_t(wav[at] | wav[at + 1] << 8) / 32768.0f);
  return left;
}

double MeanDifference(const std::vector<float>& a, size_t aAt, const std::vector<float>& b, size_t bAt,
                      size_t n) {
  double sum = 0;
  for (size_t i = 0; i < n; ++i) sum += std::fabs(double(a[aAt + i]) - b[bAt + i]);
  return sum / n;
}

TEST_F(Mp3, LengthAndSoundMatchTheSourceSampleForSample) {
  int lengthMs = 0;
  std::vector<float> decoded = DecodeAll(Media("tone.mp3"), &lengthMs);
  std::vector<float> source = SourceTone();
  // The encoder's delay and padding are trimmed: exactly the source's length.
  EXPECT_EQ(lengthMs, 3000);
  ASSERT_GE(decoded.size(), source.size());
  for (size_t i = source.size(); i < decoded.size(); ++i) ASSERT_EQ(decoded[i], 0.0f) << "past the end " << i;
  // Where the tone is high-pitched a one-sample shift is a large difference;
  // lossy coding of a pure tone is a small one.
  for (size_t at : {size_t(70000), size_t(100000), size_t(128000)}) {
    EXPECT_LT(MeanDifference(decoded, at, source, at, 441), 0.02) << at;
    EXPECT_GT(MeanDifference(decoded, at + 1, source, at, 441), 0.05) << "the comparison sees a shift " << at;
  }
}

TEST_F(Mp3, SetTimeLandsOnTheSameSampleAsADecodeFromTheStart) {
  std::vector<float> whole = DecodeAll(Media("tone.mp3"));
  FSOUND_STREAM* stream =
      FSOUND_Stream_Open(Media("tone.mp3").c_str(), FSOUND_NORMAL | FSOUND_MPEGACCURATE, 0, 0);
  ASSERT_NE(stream, nullptr);
  for (int ms : {1, 26, 500, 1499, 1500, 2345, 2990}) {
    ASSERT_TRUE(FSOUND_Stream_SetTime(stream, ms));
    int channel = FSOUND_Stream_Play(FSOUND_FREE, stream);
    FSOUND_SetVolume(channel, 255);
    MelFmod_SetCapture(1);
    MelFmod_MixBlocks(1);
    std::vector<int16_t> out = Captured();
    size_t first = size_t(ms) * kRate / 1000;
    int worst = 0;
    for (size_t i = 0; i < 441 && first + i < whole.size(); ++i)
      worst = std::max(worst, std::abs(out[i * 2] - int(std::lround(whole[first + i] * 32768.0f))));
    // The same sample: a shift of one would differ by thousands. The codec's
    // restarted state leaves a rounding difference of a few steps.
    EXPECT_LE(worst, 4) << "at " << ms << " ms";
    FSOUND_Stream_Stop(stream);
  }
  FSOUND_Stream_Close(stream);
}

std::vector<uint8_t> Block(size_t songBytes) {
  std::vector<uint8_t> block = {'E', 'X', 'I', 'F'};
  testsupport::PutLe(block, songBytes, 4);
  block.resize(block.size() + songBytes, 0xFF);  // sync bytes: a trap for a careless parser
  uint32_t area = uint32_t(block.size());
  block.insert(block.end(), quillix::kSongBlockMagic, quillix::kSongBlockMagic + 8);
  testsupport::PutLe(block, area, 4);
  testsupport::PutLe(block, 1, 4);
  return block;
}

TEST_F(Mp3, TagsAndSongBlocksAreNotSoundButDamagedBlocksAreNotTrusted) {
  std::vector<uint8_t> plain = ReadAll(Media("tone.mp3"));
  ASSERT_FALSE(plain.empty());
  int plainMs = 0;
  std::vector<float> reference = DecodeAll(Media("tone.mp3"), &plainMs);

  std::vector<uint8_t> id3v2 = {'I', 'D', '3', 3, 0, 0, 0, 0, 2, 0};  // 256 bytes of tag
  id3v2.resize(10 + 256, 0xFF);
  std::vector<uint8_t> id3v1(128, 0xFF);
  id3v1[0] = 'T', id3v1[1] = 'A', id3v1[2] = 'G';
  auto cat = [](std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  };
  std::vector<uint8_t> badMagic = cat({plain, Block(100)});
  badMagic[badMagic.size() - 16] = 'X';
  std::vector<uint8_t> overrun = cat({plain, Block(100)});
  overrun[overrun.size() - 16 - 104 - 8 + 4] = 200;  // the chunk claims more than the area
  std::vector<uint8_t> tooLong = cat({plain, Block(100)});
  tooLong[tooLong.size() - 8] = 0xFF, tooLong[tooLong.size() - 7] = 0xFF, tooLong[tooLong.size() - 6] = 0xFF;

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"ID3v2 before, ID3v1 after", cat({id3v2, plain, id3v1})},
      {"song block", cat({plain, Block(5000)})},
      {"ID3v1 then song block", cat({plain, id3v1, Block(10)})},
      {"block with a bad magic", badMagic},
      {"block with an overrunning chunk", overrun},
      {"block longer than the file", tooLong},
  };
  for (const Case& c : cases) {
    int ms = 0;
    std::vector<float> out = DecodeAll(WriteTemp("tagged.mp3", c.bytes), &ms);
    EXPECT_EQ(ms, plainMs) << c.what;
    ASSERT_GE(out.size(), size_t(kRate) * 3) << c.what;
    EXPECT_TRUE(std::equal(reference.begin(), reference.begin() + kRate * 3, out.begin())) << c.what;
  }
}

TEST_F(Mp3, DamagedFilesFailOrPlayUpToWhereSoundStops) {
  std::vector<uint8_t> plain = ReadAll(Media("tone.mp3"));
  std::vector<uint8_t> noise(20000);
  srand(7);
  for (auto& b : noise) b = uint8_t(rand());
  std::vector<uint8_t> lyingId3 = {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};
  lyingId3.insert(lyingId3.end(), plain.begin(), plain.end());
  std::vector<uint8_t> truncated(plain.begin(), plain.end() - 200);
  std::vector<uint8_t> halfGarbage(plain.begin(), plain.begin() + plain.size() / 2);
  halfGarbage.insert(halfGarbage.end(), noise.begin(), noise.end());
  std::vector<uint8_t> headerOnly(plain.begin(), plain.begin() + 3);

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int minMs, maxMs;  // both -1: the open fails
  } cases[] = {
      {"random bytes", noise, -1, -1},
      {"an ID3 size beyond the file", lyingId3, -1, -1},
      {"three bytes", headerOnly, -1, -1},
      {"a truncated last frame", truncated, 2940, 2990},
      {"garbage after half the frames", halfGarbage, 1400, 1600},
  };
  for (const Case& c : cases) {
    std::string path = WriteTemp("damaged.mp3", c.bytes);
    FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
    if (c.minMs < 0) {
      EXPECT_EQ(stream, nullptr) << c.what;
      continue;
    }
    ASSERT_NE(stream, nullptr) << c.what;
    FSOUND_Stream_Close(stream);
    int ms = 0;
    std::vector<float> out = DecodeAll(path, &ms);
    EXPECT_GE(ms, c.minMs) << c.what;
    EXPECT_LE(ms, c.maxMs) << c.what;
    EXPECT_GE(out.size(), size_t(ms) * kRate / 1000) << c.what;
  }
}

TEST_F(Mp3, FilesWithoutAnInfoFrameAndMonoFilesPlay) {
  int bareMs = 0;
  std::vector<float> bare = DecodeAll(Media("bare.mp3"), &bareMs);
  // Without the encoder's note of its delay every frame counts.
  EXPECT_GE(bareMs, 3000);
  EXPECT_LE(bareMs, 3000 + 2 * 26 + 26);
  ASSERT_GT(bare.size(), size_t(kRate));
  std::vector<float> middle(bare.begin() + kRate / 4, bare.begin() + kRate);
  EXPECT_NEAR(ZeroCrossingHz(middle, kRate), 1000, 10);

  int monoMs = 0;
  std::vector<float> mono = DecodeAll(Media("mono.mp3"), &monoMs);
  EXPECT_NEAR(monoMs, 2000, 26);
  ASSERT_GT(mono.size(), size_t(kRate));
  std::vector<float> part(mono.begin() + kRate / 4, mono.begin() + kRate);
  EXPECT_NEAR(ZeroCrossingHz(part, kRate), 440, 5);
  EXPECT_NEAR(Rms(part), 0.5 / std::sqrt(2.0), 0.05);
}

TEST_F(Mp3, WindowsMediaFilesPlayWithTheirLength) {
  int ms = 0;
  std::vector<float> out = DecodeAll(Media("tone.wma"), &ms);
  EXPECT_NEAR(ms, 3000, 100);
  ASSERT_GT(out.size(), size_t(kRate) * 2);
  std::vector<float> low(out.begin() + kRate / 4, out.begin() + kRate);
  std::vector<float> high(out.begin() + 2 * kRate, out.begin() + 2 * kRate + kRate / 2);
  EXPECT_NEAR(ZeroCrossingHz(low, kRate), 1000, 20);
  EXPECT_NEAR(ZeroCrossingHz(high, kRate), 2500, 50);
}

// The first sample from `from` on past half the clicks' height; -1 when none.
int ClickAt(const std::vector<float>& samples, size_t from) {
  for (size_t i = from; i < samples.size(); ++i)
    if (std::fabs(samples[i]) > 0.3f) return int(i);
  return -1;
}

TEST_F(Mp3, WindowsMediaPlaysTheMusicFromItsFirstSampleAndSeeksOntoIt) {
  int ms = 0;
  std::vector<float> out = DecodeAll(Media("clicks.wma"), &ms);
  EXPECT_NEAR(ClickAt(out, 0), 4410, 3) << "the codec's unprimed first frame is not the music";
  EXPECT_NEAR(ClickAt(out, 10000), 65150, 3);
  // The music is 66150 samples; the codec itself may lose less than a frame at the end.
  EXPECT_LE(out.size(), size_t(66150 + 441));
  EXPECT_GE(out.size(), size_t(66150 - 2048));
  EXPECT_NEAR(ms, 1500, 50);

  FSOUND_STREAM* stream = FSOUND_Stream_Open(Media("clicks.wma").c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(stream, nullptr);
  // Some on or beside the codec's frames (2048 samples, 46.4 ms).
  for (int at : {10, 46, 47, 60, 92, 93, 1450, 1470}) {
    ASSERT_TRUE(FSOUND_Stream_SetTime(stream, at));
    int channel = FSOUND_Stream_Play(FSOUND_FREE, stream);
    FSOUND_SetVolume(channel, 255);
    MelFmod_SetCapture(1);
    MelFmod_MixBlocks(10);
    std::vector<int16_t> frames = Captured();
    std::vector<float> left;
    for (size_t i = 0; i < frames.size(); i += 2) left.push_back(frames[i] / 32768.0f);
    int expected = (at < 1000 ? 4410 : 65150) - at * kRate / 1000;
    EXPECT_NEAR(ClickAt(left, 0), expected, 3) << "after a seek to " << at << " ms";
    FSOUND_Stream_Stop(stream);
  }
  FSOUND_Stream_Close(stream);

  // A seek's first block is the music a play from the start has there, not
  // a restarted decoder's first frame.
  std::vector<float> whole = DecodeAll(Media("tone.wma"));
  stream = FSOUND_Stream_Open(Media("tone.wma").c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(stream, nullptr);
  for (int at : {46, 47, 93, 700, 1500, 2880}) {
    ASSERT_TRUE(FSOUND_Stream_SetTime(stream, at));
    int channel = FSOUND_Stream_Play(FSOUND_FREE, stream);
    FSOUND_SetVolume(channel, 255);
    MelFmod_SetCapture(1);
    MelFmod_MixBlocks(5);
    std::vector<int16_t> frames = Captured();
    size_t first = size_t(at) * kRate / 1000;
    float worst = 0;
    for (size_t i = 0; i * 2 < frames.size() && first + i < whole.size(); ++i)
      worst = std::max(worst, std::fabs(frames[i * 2] / 32768.0f - whole[first + i]));
    EXPECT_LT(worst, 0.02f) << "after a seek to " << at << " ms";
    FSOUND_Stream_Stop(stream);
  }
  FSOUND_Stream_Close(stream);
}

}  // namespace
}  // namespace fmodtest
