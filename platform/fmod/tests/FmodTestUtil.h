#pragma once
// Shared pieces of the audio library's tests: a manual-clock session,
// captured output, media paths and small files written by the test.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fmod.h"

namespace fmodtest {

// The library on its manual clock, capturing every block, for one test.
class ManualClock : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

constexpr int kRate = 44100;
constexpr int kBlock = kRate / 100;

// Everything captured since the last SetCapture(1), as stereo frames.
std::vector<int16_t> Captured();
// A media file made at build time.
std::string Media(const char* name);
// Writes bytes to a file in the temporary folder under name; its path.
std::string WriteTemp(const std::string& name, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadAll(const std::string& path);
// Opens a file (blocking) and plays all of it on the manual clock; the
// left channel as floats. Empty when it does not open.
std::vector<float> DecodeAll(const std::string& path, int* lengthMs = nullptr);
// The frequency with the most energy in samples (by zero crossings).
double ZeroCrossingHz(const std::vector<float>& samples, int rate);
double Rms(const std::vector<float>& samples);

}  // namespace fmodtest
