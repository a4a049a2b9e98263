#include "AudioOutput.h"

#include <windows.h>
// windows.h first: mmsystem.h needs its types.
#include <mmsystem.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "base/Handles.h"

namespace soundlib {
namespace {

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

// Keeps the caller at the pace of real time: Write returns when the frames
// would have finished playing, allowing a little lead.
class Pacer {
 public:
  explicit Pacer(int rate) : rate_(rate) {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
  }
  void Advance(int frames) {
    written_ += frames;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    double elapsed = double(now.QuadPart - start_.QuadPart) / double(frequency_.QuadPart);
    double due = double(written_) / rate_;
    // After a long stall (a debugger, a suspended machine) start afresh
    // instead of racing to catch up.
    if (elapsed - due > 0.5) {
      start_ = now;
      written_ = 0;
      return;
    }
    if (due > elapsed + 0.002) Sleep(DWORD((due - elapsed) * 1000));
  }

 private:
  int rate_;
  LARGE_INTEGER frequency_{};
  LARGE_INTEGER start_{};
  int64_t written_ = 0;
};

class SilentOutput : public AudioOutput {
 public:
  explicit SilentOutput(int rate) : pacer_(rate) {}
  void Write(const int16_t*, int count) override { pacer_.Advance(count); }

 private:
  Pacer pacer_;
};

class WavFileOutput : public AudioOutput {
 public:
  WavFileOutput(FILE* file, int rate) : file_(file), rate_(rate), pacer_(rate) {}
  ~WavFileOutput() override {
    uint8_t header[44];
    MakeWavHeader(rate_, bytes_, header);
    std::fseek(file_, 0, SEEK_SET);
    std::fwrite(header, 1, sizeof header, file_);
    std::fclose(file_);
  }
  void Write(const int16_t* frames, int count) override {
    bytes_ += uint32_t(std::fwrite(frames, 4, size_t(count), file_) * 4);
    pacer_.Advance(count);
  }

 private:
  FILE* file_;
  int rate_;
  uint32_t bytes_ = 0;
  Pacer pacer_;
};

// The wave mapper with a ring of headers; the event wakes the writer when
// the device hands one back.
class DeviceOutput : public AudioOutput {
 public:
  ~DeviceOutput() override {
    if (!device_) return;
    waveOutReset(device_);
    for (Buffer& b : buffers_)
      if (b.header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device_, &b.header, sizeof b.header);
    waveOutClose(device_);
  }
  bool Open(int rate, int bufferMs) {
    event_.Attach(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!event_) return false;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = DWORD(rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = DWORD(rate) * 4;
    if (waveOutOpen(&device_, WAVE_MAPPER, &format, DWORD_PTR(event_.Get()), 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR) {
      device_ = nullptr;
      return false;
    }
    int perBuffer = rate * bufferMs / 1000 / kBuffers;
    if (perBuffer < rate / 100) perBuffer = rate / 100;
    for (Buffer& b : buffers_) {
      b.samples.resize(size_t(perBuffer) * 2);
      b.header = WAVEHDR{};
      b.header.lpData = reinterpret_cast<LPSTR>(b.samples.data());
      b.header.dwBufferLength = DWORD(b.samples.size() * 2);
      if (waveOutPrepareHeader(device_, &b.header, sizeof b.header) != MMSYSERR_NOERROR) return false;
      b.header.dwFlags |= WHDR_DONE;
    }
    return true;
  }
  void Write(const int16_t* frames, int count) override {
    while (count > 0) {
      Buffer& b = buffers_[current_];
      // Wait for the device to hand the buffer back; a device that stops
      // answering is given up on after a while rather than hanging the mixer.
      for (int tries = 0; !(b.header.dwFlags & WHDR_DONE) && tries < 50; ++tries)
        WaitForSingleObject(event_.Get(), 20);
      if (!(b.header.dwFlags & WHDR_DONE)) return;
      size_t room = b.samples.size() / 2 - filled_;
      size_t take = size_t(count) < room ? size_t(count) : room;
      std::memcpy(b.samples.data() + filled_ * 2, frames, take * 4);
      filled_ += take;
      frames += take * 2;
      count -= int(take);
      if (filled_ == b.samples.size() / 2) {
        b.header.dwFlags &= ~WHDR_DONE;
        waveOutWrite(device_, &b.header, sizeof b.header);
        filled_ = 0;
        current_ = (current_ + 1) % kBuffers;
      }
    }
  }

 private:
  static constexpr int kBuffers = 4;
  struct Buffer {
    std::vector<int16_t> samples;
    WAVEHDR header;
  };
  HWAVEOUT device_ = nullptr;
  base::ScopedHandle event_;
  Buffer buffers_[kBuffers];
  int current_ = 0;
  size_t filled_ = 0;
};

}  // namespace

void MakeWavHeader(int rate, uint32_t dataBytes, uint8_t h[44]) {
  std::memcpy(h, "RIFF", 4);
  Put32(h + 4, 36 + dataBytes);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  Put32(h + 16, 16);
  Put32(h + 20, 1 | 2 << 16);  // PCM, two channels
  Put32(h + 24, uint32_t(rate));
  Put32(h + 28, uint32_t(rate) * 4);
  Put32(h + 32, 4 | 16 << 16);  // four bytes a frame, 16 bits
  std::memcpy(h + 36, "data", 4);
  Put32(h + 40, dataBytes);
}

std::unique_ptr<AudioOutput> OpenDeviceOutput(int rate, int bufferMs) {
  std::unique_ptr<DeviceOutput> output(new DeviceOutput);
  if (!output->Open(rate, bufferMs)) return nullptr;
  return output;
}

std::unique_ptr<AudioOutput> OpenSilentOutput(int rate) {
  return std::unique_ptr<AudioOutput>(new SilentOutput(rate));
}

std::unique_ptr<AudioOutput> OpenWavFileOutput(const std::string& path, int rate) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return nullptr;
  uint8_t header[44];
  MakeWavHeader(rate, 0, header);
  std::fwrite(header, 1, sizeof header, file);
  return std::unique_ptr<AudioOutput>(new WavFileOutput(file, rate));
}

}  // namespace soundlib
