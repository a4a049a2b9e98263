#pragma once
// WAV files through our own RIFF reader: PCM of 8 to 32 bits, IEEE float and
// the extensible header directly, more than two channels mixed down to
// stereo; coded WAV (ADPCM, A-law, mu-law, GSM, MP3) through the system's
// codecs, decoded as the stream plays.
#include <memory>

#include "AcmConverter.h"
#include "Decoder.h"
#include "MappedFile.h"

namespace soundlib {

class WavDecoder : public Decoder {
 public:
  // Null when the file is not a WAV file we can play.
  static std::unique_ptr<WavDecoder> Open(const char* path);

  int SampleRate() const override { return rate_; }
  int Channels() const override { return channels_ >= 2 ? 2 : 1; }
  int64_t LengthFrames() const override { return frames_; }
  int Read(float* out, int maxFrames) override;
  bool Seek(int64_t frame) override;

 private:
  enum class Kind { kInt, kFloat, kCoded };
  // Gains of each file channel into left and right, for more than two channels.
  void SetMixDown(uint32_t channelMask);
  bool OpenCoded(const std::vector<uint8_t>& format, uint32_t factFrames);
  bool DecodeCoded();
  float Sample(const uint8_t* p) const;

  MappedFile file_;
  Kind kind_ = Kind::kInt;
  int rate_ = 0;
  int channels_ = 0;  // in the file
  int bits_ = 0;
  uint32_t blockAlign_ = 0;
  uint64_t dataStart_ = 0;
  uint64_t dataBytes_ = 0;
  int64_t frames_ = 0;
  int64_t position_ = 0;
  std::vector<float> mixDown_;  // [channel * 2 + side], empty for one or two channels
  // Coded data: converted a few blocks at a time from dataAt_.
  AcmConverter codec_;
  // Frames each block of blockAlign_ bytes makes; 0 for a codec without
  // fixed blocks (MP3), whose length comes from the header.
  uint32_t blockFrames_ = 0;
  // Blocks decode alone (ADPCM, A-law, mu-law): a seek starts at its block.
  bool blocksIndependent_ = false;
  // The most PCM samples one byte of coded data can make, with a margin.
  uint32_t samplesPerByte_ = 0;
  uint64_t dataAt_ = 0;
  std::vector<int16_t> pcm_;
  size_t pcmRead_ = 0;
};

}  // namespace soundlib
