#include "Spectrum.h"

#include <cmath>
#include <complex>
#include <vector>

namespace soundlib {

Spectrum::Spectrum() {
  const double pi = 3.14159265358979323846;
  for (int i = 0; i < kWindow; ++i) {
    window_[i] = float(0.5 - 0.5 * std::cos(2 * pi * i / kWindow));
    windowSum_ += window_[i];
  }
}

void Spectrum::Push(const float* stereo, int frames) {
  std::lock_guard<std::mutex> hold(lock_);
  for (int i = 0; i < frames; ++i) {
    history_[next_] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
    next_ = (next_ + 1) % kWindow;
  }
}

void Spectrum::Clear() {
  std::lock_guard<std::mutex> hold(lock_);
  for (float& s : history_) s = 0;
  next_ = 0;
}

void Spectrum::Compute(float* bins) {
  std::vector<std::complex<float>> x(kWindow);
  {
    std::lock_guard<std::mutex> hold(lock_);
    for (int i = 0; i < kWindow; ++i) {
      float s = history_[(next_ + i) % kWindow];
      x[i] = (std::isfinite(s) ? s : 0.0f) * window_[i];
    }
  }
  // Iterative radix-2 FFT.
  for (int i = 1, j = 0; i < kWindow; ++i) {
    int bit = kWindow >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(x[i], x[j]);
  }
  const double pi = 3.14159265358979323846;
  for (int len = 2; len <= kWindow; len <<= 1) {
    std::complex<float> step(float(std::cos(2 * pi / len)), float(-std::sin(2 * pi / len)));
    for (int i = 0; i < kWindow; i += len) {
      std::complex<float> w(1, 0);
      for (int k = 0; k < len / 2; ++k) {
        std::complex<float> a = x[i + k], b = x[i + k + len / 2] * w;
        x[i + k] = a + b;
        x[i + k + len / 2] = a - b;
        w *= step;
      }
    }
  }
  for (int i = 0; i < kBins; ++i) {
    float m = std::abs(x[i]) * 2.0f / windowSum_;
    bins[i] = std::isfinite(m) ? (m > 1.0f ? 1.0f : m) : 0.0f;
  }
}

}  // namespace soundlib
