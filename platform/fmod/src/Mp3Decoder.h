#pragma once
// MP3 files: our own frame index for the exact length and positions, the
// system's MP3 codec (ACM) for the samples.
#include <memory>

#include "AcmConverter.h"
#include "Decoder.h"
#include "MappedFile.h"
#include "Mp3Frames.h"

namespace soundlib {

// Opens codec for frames of format (16-bit PCM out).
bool OpenMp3Codec(const Mp3Header& format, AcmConverter* codec);

class Mp3Decoder : public Decoder {
 public:
  // Null when the file holds no MP3 audio or the codec will not take it.
  static std::unique_ptr<Mp3Decoder> Open(const char* path);

  int SampleRate() const override { return index_.format.sampleRate; }
  int Channels() const override { return index_.format.channels; }
  int64_t LengthFrames() const override { return length_; }
  int Read(float* out, int maxFrames) override;
  bool Seek(int64_t frame) override;

 private:
  bool Start(const Mp3Header& format);
  // Feeds the codec a few frames; false at the end or when the codec fails.
  bool Decode();

  MappedFile file_;
  Mp3Index index_;
  AcmConverter codec_;
  int64_t skip_ = 0;    // decoded samples before the sound starts
  int64_t length_ = 0;  // frames of sound
  size_t nextFrame_ = 0;
  std::vector<int16_t> pcm_;  // decoded, not yet read
  size_t pcmRead_ = 0;        // samples of pcm_ already read
  int64_t pcmFrame_ = 0;      // decoded-sample number of pcm_[pcmRead_]
  std::vector<uint8_t> batch_;
};

}  // namespace soundlib
