#include "FmodTestUtil.h"

#include <windows.h>

#include <cmath>
#include <cstdio>

namespace fmodtest {

void ManualClock::SetUp() {
  MelFmod_SetManualClock(1);
  ASSERT_TRUE(FSOUND_Init(kRate, 32, 0));
  MelFmod_SetCapture(1);
}

void ManualClock::TearDown() {
  FSOUND_Close();
  MelFmod_SetCapture(0);
}

std::vector<int16_t> Captured() {
  std::vector<int16_t> frames(size_t(MelFmod_CaptureLength()) * 2);
  int got = MelFmod_ReadCapture(0, frames.data(), int(frames.size() / 2));
  frames.resize(size_t(got) * 2);
  return frames;
}

std::string Media(const char* name) { return std::string("fmod_media\\") + name; }

std::string WriteTemp(const std::string& name, const std::vector<uint8_t>& bytes) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  std::string path = std::string(folder) + "fmodtest_" + std::to_string(GetCurrentProcessId()) + "_" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file) {
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  return path;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return bytes;
  uint8_t piece[65536];
  size_t got;
  while ((got = std::fread(piece, 1, sizeof piece, file)) > 0) bytes.insert(bytes.end(), piece, piece + got);
  std::fclose(file);
  return bytes;
}

std::vector<float> DecodeAll(const std::string& path, int* lengthMs) {
  std::vector<float> left;
  FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
  if (!stream) return left;
  if (lengthMs) *lengthMs = FSOUND_Stream_GetLengthMs(stream);
  MelFmod_SetCapture(1);
  int channel = FSOUND_Stream_Play(FSOUND_FREE, stream);
  FSOUND_SetVolume(channel, 255);
  // Until the channel is gone (the end), bounded by ten minutes of blocks.
  for (int i = 0; i < 60000 && FSOUND_GetPaused(channel) == 0 && FSOUND_SetVolume(channel, 255); ++i)
    MelFmod_MixBlocks(1);
  std::vector<int16_t> frames = Captured();
  for (size_t i = 0; i < frames.size(); i += 2) left.push_back(frames[i] / 32768.0f);
  FSOUND_Stream_Close(stream);
  return left;
}

double ZeroCrossingHz(const std::vector<float>& samples, int rate) {
  if (samples.size() < 2) return 0;
  int crossings = 0;
  for (size_t i = 1; i < samples.size(); ++i)
    if ((samples[i - 1] < 0) != (samples[i] < 0)) ++crossings;
  return crossings / 2.0 * rate / double(samples.size());
}

double Rms(const std::vector<float>& samples) {
  double sum = 0;
  for (float s : samples) sum += double(s) * s;
  return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

}  // namespace fmodtest
