#include "Resampler.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace soundlib {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Stop-band attenuation the window is designed for, in dB.
constexpr double kAttenuation = 110;
// The transition band: from 90 % of the lower rate's Nyquist frequency to it.
constexpr double kTransition = 0.05;
// Ratios with more distinct phases than this (unusual rates) read their
// coefficients from the prototype, interpolated between kSteps points a frame.
constexpr int64_t kMostPhases = 2048;
constexpr int kSteps = 1024;

double BesselI0(double x) {
  double sum = 1, term = 1;
  for (int k = 1; k < 200 && term > sum * 1e-17; ++k) {
    term *= (x / (2 * k)) * (x / (2 * k));
    sum += term;
  }
  return sum;
}

}  // namespace

void Resampler::Design() {
  table_.clear();
  prototype_.clear();
  phases_ = 0;
  if (inRate_ == outRate_) {
    half_ = 0;
    return;
  }
  const double lower = std::min(inRate_, outRate_);
  cutoff_ = (0.5 - kTransition / 2) * lower / inRate_;
  const double width = kTransition * lower / inRate_;
  beta_ = 0.1102 * (kAttenuation - 8.7);
  // Kaiser's estimate of the length that reaches the attenuation.
  const double taps = (kAttenuation - 7.95) / (14.36 * width) + 1;
  half_ = int(std::ceil(taps / 2));
  const double i0Beta = BesselI0(beta_);
  auto filter = [&](double x) {
    double r = x / half_;
    if (r <= -1 || r >= 1) return 0.0;
    double window = BesselI0(beta_ * std::sqrt(1 - r * r)) / i0Beta;
    double arg = 2 * cutoff_ * x;
    double sinc = arg == 0 ? 1 : std::sin(kPi * arg) / (kPi * arg);
    return 2 * cutoff_ * sinc * window;
  };
  const int64_t common = std::gcd(int64_t(inRate_), int64_t(outRate_));
  phaseUnit_ = common;
  const int64_t phases = outRate_ / common;
  const int taps2 = 2 * half_;
  if (phases <= kMostPhases) {
    phases_ = phases;
    table_.resize(size_t(phases * taps2));
    std::vector<double> exact(static_cast<size_t>(taps2));
    for (int64_t p = 0; p < phases; ++p) {
      const double frac = double(p) / double(phases);
      float* row = &table_[size_t(p * taps2)];
      double sum = 0;
      for (int j = 0; j < taps2; ++j) sum += exact[size_t(j)] = filter(frac + half_ - 1 - j);
      // Every phase passes a constant unchanged: no ripple at the phase rate.
      for (int j = 0; j < taps2; ++j) row[j] = float(exact[size_t(j)] / sum);
    }
  } else {
    prototype_.resize(size_t(half_) * kSteps + 2);
    for (size_t i = 0; i < prototype_.size(); ++i) prototype_[i] = float(filter(double(i) / kSteps));
    scratch_.resize(size_t(taps2));
  }
}

int64_t Resampler::Reset(int inRate, int outRate, int64_t firstOutput) {
  if (inRate != inRate_ || outRate != outRate_) {
    inRate_ = inRate;
    outRate_ = outRate;
    Design();
  }
  next_ = firstOutput;
  end_ = -1;
  history_.clear();
  if (inRate_ <= 0 || outRate_ <= 0) {
    base_ = 0;
    return 0;
  }
  base_ = firstOutput * inRate_ / outRate_ - (half_ > 0 ? half_ - 1 : 0);
  if (base_ < 0) {
    history_.assign(size_t(-base_) * 2, 0.0f);
    return 0;
  }
  return base_;
}

void Resampler::Push(const float* in, int frames, int channels) {
  size_t at = history_.size();
  history_.resize(at + size_t(frames) * 2);
  float* to = history_.data() + at;
  if (channels == 2) {
    std::copy(in, in + size_t(frames) * 2, to);
  } else {
    for (int i = 0; i < frames; ++i) to[i * 2] = to[i * 2 + 1] = in[i];
  }
}

void Resampler::Finish() {
  if (end_ >= 0) return;
  end_ = base_ + int64_t(history_.size() / 2);
  // Silence after the end, for the last frames' look-ahead.
  history_.resize(history_.size() + size_t(half_) * 2 + 2, 0.0f);
}

bool Resampler::Done() const { return end_ >= 0 && (outRate_ <= 0 || next_ * inRate_ >= end_ * outRate_); }

const float* Resampler::Coefficients(int64_t remainder) {
  if (phases_) return &table_[size_t(remainder / phaseUnit_ * 2 * half_)];
  const double frac = double(remainder) / outRate_;
  for (int j = 0; j < 2 * half_; ++j) {
    double x = std::fabs(frac + half_ - 1 - j) * kSteps;
    size_t i = size_t(x);
    float f = float(x - double(i));
    scratch_[size_t(j)] =
        i + 1 < prototype_.size() ? prototype_[i] + (prototype_[i + 1] - prototype_[i]) * f : 0.0f;
  }
  return scratch_.data();
}

int Resampler::Produce(float* stereo, int maxFrames) {
  if (outRate_ <= 0 || inRate_ <= 0) return 0;
  const int64_t have = base_ + int64_t(history_.size() / 2);
  int made = 0;
  if (half_ == 0) {
    // Equal rates: the source frames themselves.
    int64_t last = end_ >= 0 ? std::min(end_, have) : have;
    made = int(std::max<int64_t>(0, std::min<int64_t>(maxFrames, last - next_)));
    std::copy(history_.begin() + (next_ - base_) * 2, history_.begin() + (next_ - base_ + made) * 2, stereo);
    next_ += made;
  } else {
    const int taps2 = 2 * half_;
    for (; made < maxFrames; ++made) {
      const int64_t position = next_ * inRate_;
      if (end_ >= 0 && position >= end_ * outRate_) break;
      const int64_t whole = position / outRate_;
      if (whole + half_ >= have) break;
      const float* c = Coefficients(position % outRate_);
      const float* x = history_.data() + (whole - half_ + 1 - base_) * 2;
      float left = 0, right = 0;
      for (int j = 0; j < taps2; ++j) {
        left += c[j] * x[j * 2];
        right += c[j] * x[j * 2 + 1];
      }
      stereo[made * 2] = left;
      stereo[made * 2 + 1] = right;
      ++next_;
    }
  }
  // Drop the source frames no later output reaches.
  const int64_t keepFrom = std::min(have, next_ * inRate_ / outRate_ - (half_ > 0 ? half_ - 1 : 0));
  if (keepFrom > base_) {
    history_.erase(history_.begin(), history_.begin() + (keepFrom - base_) * 2);
    base_ = keepFrom;
  }
  return made;
}

}  // namespace soundlib
