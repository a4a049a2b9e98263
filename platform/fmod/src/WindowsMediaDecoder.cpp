#include "WindowsMediaDecoder.h"

#include <windows.h>
// The interface identifiers are defined here, once for the library.
#include <initguid.h>
// After initguid.h: the reader's interfaces and identifiers.
#include <mmsystem.h>
#include <mmreg.h>
#include <wmsdkidl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace soundlib {
namespace {

constexpr HRESULT kNoMoreSamples = HRESULT(0xC00D0BCF);
// Hundreds of nanoseconds a second: the reader's time unit.
constexpr int64_t kUnits = 10000000;

template <typename T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() {
    if (p) p->Release();
  }
  T** Receive() { return &p; }
  T* operator->() const { return p; }
};

using CreateSyncReaderFn = HRESULT(WINAPI*)(IUnknown*, DWORD, IWMSyncReader**);

// Loaded by name: the toolchain has no import library for it, and a system
// without it still plays everything else.
CreateSyncReaderFn CreateSyncReaderEntry() {
  static CreateSyncReaderFn entry = [] {
    HMODULE module = LoadLibraryA("wmvcore.dll");
    return module ? reinterpret_cast<CreateSyncReaderFn>(GetProcAddress(module, "WMCreateSyncReader"))
                  : nullptr;
  }();
  return entry;
}

class WindowsMediaDecoder : public Decoder {
 public:
  ~WindowsMediaDecoder() override {
    if (reader_) {
      reader_->Close();
      reader_->Release();
    }
  }

  bool Open(const char* path) {
    CreateSyncReaderFn create = CreateSyncReaderEntry();
    if (!create || FAILED(create(nullptr, 0, &reader_)) || !reader_) return false;
    int wideLength = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (wideLength <= 0) return false;
    std::wstring wide(size_t(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, &wide[0], wideLength);
    if (FAILED(reader_->Open(wide.c_str()))) return false;
    DWORD outputs = 0;
    if (FAILED(reader_->GetOutputCount(&outputs))) return false;
    bool found = false;
    for (DWORD i = 0; i < outputs && !found; ++i) found = TakeAudioOutput(i);
    if (!found) return false;
    // Only the audio stream is read.
    std::vector<WORD> numbers;
    std::vector<WMT_STREAM_SELECTION> selections;
    for (DWORD i = 0; i < outputs; ++i) {
      WORD number = 0;
      if (FAILED(reader_->GetStreamNumberForOutput(i, &number))) continue;
      numbers.push_back(number);
      selections.push_back(number == stream_ ? WMT_ON : WMT_OFF);
    }
    if (!numbers.empty())
      reader_->SetStreamsSelected(WORD(numbers.size()), numbers.data(), selections.data());
    ReadDuration();
    return true;
  }

  int SampleRate() const override { return rate_; }
  int Channels() const override { return channels_; }
  int64_t LengthFrames() const override { return length_; }

  int Read(float* out, int maxFrames) override {
    int done = 0;
    while (done < maxFrames && position_ < length_) {
      size_t available = (pcm_.size() - pcmRead_) / channels_;
      if (available == 0) {
        if (!NextSample()) break;
        continue;
      }
      size_t take = std::min<size_t>({available, size_t(maxFrames - done), size_t(length_ - position_)});
      for (size_t i = 0; i < take * channels_; ++i)
        out[size_t(done) * channels_ + i] = pcm_[pcmRead_ + i] * (1.0f / 32768.0f);
      pcmRead_ += take * channels_;
      position_ += int64_t(take);
      done += int(take);
    }
    return done;
  }

  bool Seek(int64_t frame) override {
    frame = std::max<int64_t>(0, std::min(frame, length_));
    if (FAILED(reader_->SetRange(QWORD(frame * kUnits / rate_), 0))) return false;
    pcm_.clear();
    pcmRead_ = 0;
    position_ = frame;
    // The first sample may start before the wanted frame: drop the difference.
    dropUntil_ = frame;
    return true;
  }

 private:
  bool TakeAudioOutput(DWORD output) {
    ComPtr<IWMOutputMediaProps> props;
    if (FAILED(reader_->GetOutputProps(output, props.Receive())) || !props.p) return false;
    DWORD size = 0;
    if (FAILED(props->GetMediaType(nullptr, &size)) || size < sizeof(WM_MEDIA_TYPE) || size > 65536)
      return false;
    std::vector<uint8_t> bytes(size);
    auto* type = reinterpret_cast<WM_MEDIA_TYPE*>(bytes.data());
    if (FAILED(props->GetMediaType(type, &size))) return false;
    if (!IsEqualGUID(type->majortype, WMMEDIATYPE_Audio) || type->cbFormat < sizeof(WAVEFORMATEX) ||
        !type->pbFormat)
      return false;
    auto* format = reinterpret_cast<const WAVEFORMATEX*>(type->pbFormat);
    if (format->wBitsPerSample != 16 || format->nChannels < 1 || format->nChannels > 2 ||
        format->nSamplesPerSec < 1000)
      return false;
    if (FAILED(reader_->GetStreamNumberForOutput(output, &stream_))) return false;
    rate_ = int(format->nSamplesPerSec);
    channels_ = format->nChannels;
    output_ = output;
    return true;
  }

  void ReadDuration() {
    ComPtr<IWMHeaderInfo> info;
    if (SUCCEEDED(reader_->QueryInterface(IID_IWMHeaderInfo, reinterpret_cast<void**>(info.Receive()))) &&
        info.p) {
      WORD streamNumber = 0;
      WMT_ATTR_DATATYPE type;
      QWORD duration = 0;
      WORD length = sizeof duration;
      if (SUCCEEDED(info->GetAttributeByName(&streamNumber, L"Duration", &type,
                                             reinterpret_cast<BYTE*>(&duration), &length)) &&
          type == WMT_TYPE_QWORD) {
        length_ = int64_t(duration / kUnits) * rate_ + int64_t(duration % kUnits) * rate_ / kUnits;
        return;
      }
    }
    // No duration: read to the end.
    length_ = INT64_MAX;
  }

  bool NextSample() {
    for (;;) {
      ComPtr<INSSBuffer> sample;
      QWORD time = 0, duration = 0;
      DWORD flags = 0, output = 0;
      WORD stream = 0;
      HRESULT hr =
          reader_->GetNextSample(stream_, sample.Receive(), &time, &duration, &flags, &output, &stream);
      if (hr == kNoMoreSamples || FAILED(hr) || !sample.p) {
        // The file ends where the samples end.
        if (length_ == INT64_MAX || position_ < length_) length_ = position_;
        return false;
      }
      BYTE* data = nullptr;
      DWORD bytes = 0;
      // GetLength is not reliable on the sync reader's buffers.
      if (FAILED(sample->GetBufferAndLength(&data, &bytes)) || !data) continue;
      size_t samples = bytes / 2;
      samples -= samples % channels_;
      pcm_.erase(pcm_.begin(), pcm_.begin() + pcmRead_);
      pcmRead_ = 0;
      size_t at = pcm_.size();
      pcm_.resize(at + samples);
      std::memcpy(pcm_.data() + at, data, samples * 2);
      if (dropUntil_ >= 0) {
        int64_t first = int64_t(time / kUnits) * rate_ + int64_t(time % kUnits) * rate_ / kUnits;
        int64_t drop =
            std::min<int64_t>(std::max<int64_t>(0, dropUntil_ - first), int64_t(samples / channels_));
        pcmRead_ += size_t(drop) * channels_;
        dropUntil_ = -1;
      }
      if (pcm_.size() > pcmRead_) return true;
    }
  }

  IWMSyncReader* reader_ = nullptr;
  WORD stream_ = 0;
  DWORD output_ = 0;
  int rate_ = 0;
  int channels_ = 0;
  int64_t length_ = 0;
  int64_t position_ = 0;
  int64_t dropUntil_ = -1;
  std::vector<int16_t> pcm_;
  size_t pcmRead_ = 0;
};

}  // namespace

std::unique_ptr<Decoder> OpenWindowsMediaDecoder(const char* path) {
  // Only files that start with the ASF header object go to the reader: it
  // would take MP3 and others too, slowly, and damaged files are its own risk.
  static const uint8_t kAsfHeader[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                         0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
  uint8_t head[16] = {};
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  DWORD got = 0;
  BOOL read = ReadFile(file, head, sizeof head, &got, nullptr);
  CloseHandle(file);
  if (!read || got != sizeof head || std::memcmp(head, kAsfHeader, sizeof head) != 0) return nullptr;
  // The reader is a COM object; the library's threads are free-threaded.
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  std::unique_ptr<WindowsMediaDecoder> decoder(new WindowsMediaDecoder);
  if (!decoder->Open(path)) return nullptr;
  decoder->Seek(0);
  return decoder;
}

}  // namespace soundlib
