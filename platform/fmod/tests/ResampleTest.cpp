// Audio at another rate than the mixer's: a tone near the top of the source's
// band comes out at its level with nothing else beside it (the images and
// aliases a simple interpolator leaves some 30 dB down).
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <string>
#include <vector>

#include "FmodTestUtil.h"
#include "testsupport/WavBuilder.h"

namespace fmodtest {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr size_t kPoints = 16384;

// The mixed blocks as floats, before they are rounded to 16 bits.
std::vector<float>* g_mixed = nullptr;
void* KeepLeft(void* original, void*, int length, void*) {
  const float* block = static_cast<const float*>(original);
  for (int i = 0; i < length; ++i) g_mixed->push_back(block[i * 2]);
  return original;
}

void Fft(std::vector<std::complex<double>>& a) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    std::complex<double> step = std::polar(1.0, -2 * kPi / double(len));
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> w = 1;
      for (size_t k = 0; k < len / 2; ++k, w *= step) {
        std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
}

double BesselI0(double x) {
  double sum = 1, term = 1;
  for (int k = 1; k < 300; ++k) {
    term *= (x / (2 * k)) * (x / (2 * k));
    sum += term;
  }
  return sum;
}

struct Spectrum {
  double toneLevel;  // amplitude of the tone
  double worstDb;    // the strongest other component, in dB below the tone
  double worstHz;
};

// A Kaiser window (beta 20: side lobes far below anything measured here)
// over kPoints samples; the tone's main lobe is left out of "other".
Spectrum Measure(const std::vector<float>& samples, size_t from, double toneHz, int rate) {
  std::vector<std::complex<double>> a(kPoints);
  double weights = 0, squares = 0;
  for (size_t i = 0; i < kPoints; ++i) {
    double r = 2.0 * double(i) / double(kPoints - 1) - 1;
    double w = BesselI0(20 * std::sqrt(1 - r * r)) / BesselI0(20);
    a[i] = samples[from + i] * w;
    weights += w;
    squares += w * w;
  }
  Fft(a);
  const double binHz = double(rate) / kPoints;
  const size_t toneBin = size_t(std::lround(toneHz / binHz));
  Spectrum s{0, 0, 0};
  double toneEnergy = 0, other = 0;
  for (size_t k = 1; k < kPoints / 2; ++k) {
    double magnitude = std::abs(a[k]);
    if (k + 40 > toneBin && k < toneBin + 40) {
      toneEnergy += magnitude * magnitude;
    } else if (magnitude > other) {
      other = magnitude;
      s.worstHz = double(k) * binHz;
    }
  }
  // The tone's energy over its main lobe gives its amplitude wherever it
  // falls between bins; a component is compared with the peak the tone
  // would have at the centre of a bin.
  s.toneLevel = 2 * std::sqrt(toneEnergy / (double(kPoints) * squares));
  s.worstDb = 20 * std::log10(other / (s.toneLevel / 2 * weights));
  return s;
}

using Resample = ManualClock;

TEST_F(Resample, AToneNearTheBandEdgeComesOutAloneAtItsLevel) {
  struct Case {
    int rate;
    double toneHz;  // about 88 % of the lower rate's Nyquist frequency
  } cases[] = {{8000, 3510},
               {11025, 4850},
               {16000, 7040},
               {22050, 9700},
               {32000, 14080},
               {48000, 19400},
               // Rates with thousands of phases against 44.1 kHz: their
               // coefficients come from the interpolated prototype.
               {22254, 9790},
               {44056, 19380}};
  std::vector<float> mixed;
  g_mixed = &mixed;
  FSOUND_DSPUNIT* unit = FSOUND_DSP_Create(KeepLeft, 100, nullptr);
  FSOUND_DSP_SetActive(unit, 1);
  for (const Case& c : cases) {
    testsupport::WavSpec spec{3, 1, uint32_t(c.rate), 32};
    std::vector<float> tone = testsupport::Sine(c.toneHz, 0.5, uint32_t(c.rate), size_t(c.rate) * 6 / 10, 1);
    std::string path = WriteTemp("tone.wav", testsupport::WavFile(spec, testsupport::WavSamples(spec, tone)));
    FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
    ASSERT_NE(stream, nullptr) << c.rate;
    FSOUND_SetVolume(FSOUND_Stream_Play(FSOUND_FREE, stream), 255);
    mixed.clear();
    MelFmod_MixBlocks(50);
    FSOUND_Stream_Close(stream);
    ASSERT_GE(mixed.size(), size_t(kRate / 20) + kPoints) << c.rate;
    Spectrum s = Measure(mixed, kRate / 20, c.toneHz, kRate);
    std::printf("%5d Hz source, %5.0f Hz tone: level %.4f, strongest other %.1f dB at %.0f Hz\n", c.rate,
                c.toneHz, s.toneLevel, s.worstDb, s.worstHz);
    EXPECT_NEAR(s.toneLevel, 0.5, 0.002) << c.rate;
    EXPECT_LT(s.worstDb, -90) << c.rate << " Hz: at " << s.worstHz << " Hz";
  }
  FSOUND_DSP_Free(unit);
  g_mixed = nullptr;
}

TEST_F(Resample, APositionSoundsAsPlayingFromTheStartSoundsThere) {
  // 22.05 kHz mono, resampled: after a seek the filter starts on the same
  // source frames at the same phase as it does playing through.
  std::vector<float> whole = DecodeAll(Media("mono.wav"));
  ASSERT_GE(whole.size(), size_t(2 * kRate));
  FSOUND_STREAM* stream = FSOUND_Stream_Open(Media("mono.wav").c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(stream, nullptr);
  for (int ms : {0, 1, 3, 777, 1500, 1999}) {
    ASSERT_TRUE(FSOUND_Stream_SetTime(stream, ms));
    FSOUND_SetVolume(FSOUND_Stream_Play(FSOUND_FREE, stream), 255);
    MelFmod_SetCapture(1);
    MelFmod_MixBlocks(2);
    std::vector<int16_t> out = Captured();
    const size_t first = size_t(ms) * kRate / 1000;
    int differing = 0;
    for (size_t i = 0; i < out.size() / 2 && first + i < whole.size(); ++i)
      differing += out[i * 2] != int16_t(whole[first + i] * 32768.0f);
    EXPECT_EQ(differing, 0) << "at " << ms << " ms";
    FSOUND_Stream_Stop(stream);
  }
  FSOUND_Stream_Close(stream);
}

}  // namespace
}  // namespace fmodtest
