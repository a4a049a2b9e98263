#pragma once
// One conversion through the system's audio codecs (ACM): coded audio in,
// 16-bit PCM out. MP3 and coded WAV decode through it.
#include <windows.h>
// windows.h first: the codec headers need its types and the multimedia ones.
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <cstdint>
#include <vector>

namespace soundlib {

class AcmConverter {
 public:
  AcmConverter() = default;
  ~AcmConverter() { Close(); }
  AcmConverter(const AcmConverter&) = delete;
  AcmConverter& operator=(const AcmConverter&) = delete;

  // source is a complete WAVEFORMATEX with its extra bytes (cbSize of them).
  // The output keeps the source's rate and channels, 16-bit.
  bool Open(const std::vector<uint8_t>& source);
  // Starts afresh, as if nothing had been converted: for seeking.
  bool Reset();
  void Close();
  // Converts bytes, appending the PCM samples made; input the codec does not
  // take now is kept for the next call. False when the codec fails.
  // maxSamples, when not 0, is the most the caller knows the bytes can make:
  // the output room never exceeds it, whatever the codec answers.
  bool Convert(const uint8_t* bytes, size_t size, std::vector<int16_t>* pcm, size_t maxSamples = 0);
  int Channels() const { return pcm_.nChannels; }
  int SampleRate() const { return int(pcm_.nSamplesPerSec); }

 private:
  bool OpenStream();

  std::vector<uint8_t> source_;
  WAVEFORMATEX pcm_{};
  HACMSTREAM stream_ = nullptr;
  bool started_ = false;
  std::vector<uint8_t> pending_;
  std::vector<uint8_t> out_;
};

}  // namespace soundlib
