#pragma once
// MP3 files: our own frame index for the exact length and positions, the
// system's MP3 codec (ACM) for the samples.
//
// An open costs little: the index is built by a thread of the decoder's own
// while the file already plays (the length comes from the encoder's Info
// frame when there is one, else from the whole index), and the system's
// codec, slow to open, is kept between opens for the next file of its format.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "AcmConverter.h"
#include "Decoder.h"
#include "MappedFile.h"
#include "Mp3Frames.h"

namespace soundlib {

// Opens codec for frames of format (16-bit PCM out).
bool OpenMp3Codec(const Mp3Header& format, AcmConverter* codec);
// Closes the codecs kept for the next open (the library closes: none is
// left open when the program ends).
void CloseKeptMp3Codecs();

class Mp3Decoder : public Decoder {
 public:
  // Null when the file holds no MP3 audio or the codec will not take it.
  static std::unique_ptr<Mp3Decoder> Open(const char* path);
  ~Mp3Decoder() override;

  int SampleRate() const override { return format_.sampleRate; }
  int Channels() const override { return format_.channels; }
  // Waits for the index when the file has no Info frame to tell it.
  int64_t LengthFrames() const override;
  int Read(float* out, int maxFrames) override;
  bool Seek(int64_t frame) override;

 private:
  Mp3Decoder() = default;
  bool Start();
  // The scanning thread.
  void Scan();
  void IndexFrames();
  // The index is complete: the length follows from its frames. Under indexLock_.
  void EndIndexLocked();
  // Waits until frame i is indexed or the index is complete; false when
  // there is no such frame.
  bool FrameAt(size_t i, Mp3Frame* frame) const;
  // The frames indexed, once the index is complete.
  size_t FrameCount() const;
  // The length so far known; -1 while not.
  int64_t KnownLength() const;
  // Where the sound ends, in decoded samples; INT64_MAX while not known.
  int64_t SoundEnd() const;
  // Feeds the codec a few frames; false at the end or when the codec fails.
  bool Decode();

  MappedFile file_;
  Mp3Header format_;
  std::unique_ptr<AcmConverter> codec_;
  bool codecFresh_ = false;  // nothing converted since it was opened or reset
  int64_t skip_ = 0;         // decoded samples before the sound starts

  // The index, filled by the scanning thread.
  mutable std::mutex indexLock_;
  mutable std::condition_variable indexed_;
  Mp3Index index_;  // the format and Info frame fields, then frames
  bool indexDone_ = false;
  int64_t length_ = -1;  // frames of sound; -1 while not known
  bool stopScan_ = false;
  Mp3Scanner scanner_;
  std::thread scanThread_;

  size_t nextFrame_ = 0;
  std::vector<int16_t> pcm_;  // decoded, not yet read
  size_t pcmRead_ = 0;        // samples of pcm_ already read
  int64_t pcmFrame_ = 0;      // decoded-sample number of pcm_[pcmRead_]
  std::vector<uint8_t> batch_;
};

}  // namespace soundlib
