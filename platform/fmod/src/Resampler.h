#pragma once
// Sample-rate conversion of a stream's audio to the mix rate: a polyphase
// windowed-sinc (Kaiser) filter whose stop band starts at the lower rate's
// Nyquist frequency, so images and aliases are over 110 dB down; flat to
// 90 % of that frequency. Output frame k sits exactly at source time
// k * inRate / outRate (no drift, no delay), so the output after a Reset at a
// frame equals what playing from the start gives there. Equal rates pass
// the samples through untouched.
//
// One thread at a time (the stream's decoding lock).
#include <cstdint>
#include <vector>

namespace soundlib {

class Resampler {
 public:
  // Starts afresh so that the next frame made is output frame firstOutput.
  // Returns the source frame the input must start at (what comes before the
  // source's start is taken as silence).
  int64_t Reset(int inRate, int outRate, int64_t firstOutput);
  // Source frames (1 or 2 channels), following those pushed before.
  void Push(const float* in, int frames, int channels);
  // The source has ended: what is left can be made, up to its end.
  void Finish();
  // Up to maxFrames interleaved stereo frames; 0 when more input is needed
  // (or, once finished, at the end).
  int Produce(float* stereo, int maxFrames);
  bool Done() const;
  int InRate() const { return inRate_; }

 private:
  void Design();
  const float* Coefficients(int64_t remainder);

  int inRate_ = 0;
  int outRate_ = 0;
  int64_t next_ = 0;            // the output frame made next
  int64_t base_ = 0;            // source frame of history_'s first frame
  std::vector<float> history_;  // stereo source frames not yet behind the filter
  int64_t end_ = -1;            // the source's frame count once finished
  // The filter: output at source time t weighs frames floor(t) - half_ + 1
  // up to floor(t) + half_.
  int half_ = 0;
  int64_t phaseUnit_ = 1;         // remainders (k * inRate % outRate) per phase
  int64_t phases_ = 0;            // rows of table_, or 0: coefficients from prototype_
  std::vector<float> table_;      // [phase][2 * half_], each row summing to 1
  std::vector<float> prototype_;  // the filter at kSteps points a source frame, from 0 to half_
  double cutoff_ = 0.5;           // cycles a source frame, at -6 dB
  double beta_ = 0;
  std::vector<float> scratch_;
};

}  // namespace soundlib
