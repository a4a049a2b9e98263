#pragma once
// The FFT unit's work: the latest mixed samples (mono) and their spectrum.
#include <mutex>

namespace soundlib {

class Spectrum {
 public:
  static constexpr int kWindow = 1024;
  static constexpr int kBins = kWindow / 2;

  Spectrum();
  // Interleaved stereo, frames of it; on the mixer thread.
  void Push(const float* stereo, int frames);
  void Clear();
  // 512 magnitudes 0..1 into bins: a Hann window, scaled so a full-scale
  // sine's bin reads about 1. Never NaN.
  void Compute(float* bins);

 private:
  std::mutex lock_;
  float history_[kWindow] = {};
  int next_ = 0;
  float window_[kWindow];
  float windowSum_ = 0;
};

}  // namespace soundlib
