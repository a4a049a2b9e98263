#pragma once
// Builds WAV file bytes in tests: a RIFF header, a "fmt " chunk and a
// "data" chunk, each of which a test can make lie.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct WavSpec {
  uint16_t formatTag = 1;  // 1 PCM, 3 float, 0xFFFE extensible
  uint16_t channels = 2;
  uint32_t rate = 44100;
  uint16_t bits = 16;
};

inline void PutLe(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

// Frames of interleaved samples in -1..1, stored in the sample format `WavSpec` names.
inline std::vector<uint8_t> WavSamples(const WavSpec& spec, const std::vector<float>& samples) {
  std::vector<uint8_t> data;
  bool isFloat = spec.formatTag == 3;
  for (float s : samples) {
    if (isFloat && spec.bits == 32) {
      uint32_t raw;
      static_assert(sizeof raw == sizeof s, "float size");
      __builtin_memcpy(&raw, &s, 4);
      PutLe(data, raw, 4);
    } else if (spec.bits == 8) {
      data.push_back(uint8_t(std::lround(s * 127.0f) + 128));
    } else {
      double scale = double(1ULL << (spec.bits - 1)) - 1;
      PutLe(data, uint64_t(int64_t(std::llround(s * scale))), spec.bits / 8);
    }
  }
  return data;
}

// A whole file; declaredData overrides the data chunk's size field.
inline std::vector<uint8_t> WavFile(const WavSpec& spec, const std::vector<uint8_t>& data,
                                    int64_t declaredData = -1) {
  std::vector<uint8_t> fmt;
  uint16_t blockAlign = uint16_t(spec.channels * spec.bits / 8);
  PutLe(fmt, spec.formatTag, 2);
  PutLe(fmt, spec.channels, 2);
  PutLe(fmt, spec.rate, 4);
  PutLe(fmt, spec.rate * blockAlign, 4);
  PutLe(fmt, blockAlign, 2);
  PutLe(fmt, spec.bits, 2);
  if (spec.formatTag == 0xFFFE) {
    PutLe(fmt, 22, 2);         // extra bytes
    PutLe(fmt, spec.bits, 2);  // valid bits
    PutLe(fmt, 3, 4);          // channel mask
    PutLe(fmt, 1, 2);          // sub-format GUID: PCM ...
    const uint8_t rest[14] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    fmt.insert(fmt.end(), rest, rest + 14);
  }
  std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
  PutLe(out, 4 + 8 + fmt.size() + 8 + data.size(), 4);
  const char* wave = "WAVEfmt ";
  out.insert(out.end(), wave, wave + 8);
  PutLe(out, fmt.size(), 4);
  out.insert(out.end(), fmt.begin(), fmt.end());
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  PutLe(out, declaredData >= 0 ? uint64_t(declaredData) : data.size(), 4);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// A sine of frequency Hz and amplitude for frames, the same on every channel.
inline std::vector<float> Sine(double frequency, double amplitude, uint32_t rate, size_t frames,
                               int channels) {
  std::vector<float> out;
  for (size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      out.push_back(float(amplitude * std::sin(2 * 3.14159265358979323846 * frequency * double(i) / rate)));
  return out;
}

}  // namespace testsupport
