#pragma once
// Where mixed blocks go: the sound device through the wave mapper, nowhere
// at the pace of real time, or a WAV file at the pace of real time.
#include <cstdint>
#include <memory>
#include <string>

namespace soundlib {

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // 16-bit stereo frames. Blocks while the device is full, so the mixer runs
  // at the device's pace.
  virtual void Write(const int16_t* frames, int count) = 0;
};

// Null when no device opens.
std::unique_ptr<AudioOutput> OpenDeviceOutput(int rate, int bufferMs);
std::unique_ptr<AudioOutput> OpenSilentOutput(int rate);
// Null when the file cannot be made.
std::unique_ptr<AudioOutput> OpenWavFileOutput(const std::string& path, int rate);

// A WAV header for 16-bit stereo at rate with dataBytes of samples.
void MakeWavHeader(int rate, uint32_t dataBytes, uint8_t header[44]);

}  // namespace soundlib
