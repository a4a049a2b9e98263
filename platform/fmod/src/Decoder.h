#pragma once
// A source of PCM for one stream. Called by one thread at a time (the
// stream's lock serialises Read and Seek).
#include <cstdint>

namespace soundlib {

class Decoder {
 public:
  virtual ~Decoder() = default;
  virtual int SampleRate() const = 0;
  // 1 or 2: what Read delivers per frame.
  virtual int Channels() const = 0;
  // In frames of the source rate; -1 when not known (a net stream).
  virtual int64_t LengthFrames() const = 0;
  // Up to maxFrames interleaved floats; 0 at the end, kNotYet when a net
  // source has nothing now. A source that stops being sound ends there.
  static constexpr int kNotYet = -2;
  virtual int Read(float* out, int maxFrames) = 0;
  // The next Read starts exactly at frame.
  virtual bool Seek(int64_t frame) = 0;
};

}  // namespace soundlib
