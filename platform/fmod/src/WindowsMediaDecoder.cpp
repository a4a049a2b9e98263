#include "WindowsMediaDecoder.h"

#include <windows.h>
// The interface identifiers are defined here, once for the library.
#include <initguid.h>
// After initguid.h: the reader's interfaces and identifiers.
#include <mmsystem.h>
#include <mmreg.h>
#include <wmsdkidl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "base/Library.h"

namespace soundlib {
namespace {

constexpr HRESULT kNoMoreSamples = HRESULT(0xC00D0BCF);
// Hundreds of nanoseconds a second: the reader's time unit.
constexpr int64_t kUnits = 10000000;
// A longer gap between the reader's buffers is not filled with silence.
constexpr int64_t kMaxGapSeconds = 10;

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
// without it still plays everything else. The entry is kept, so the library
// stays for the rest of the process: an owner freeing it as this library
// unloads would call FreeLibrary from DllMain, which must not be done.
CreateSyncReaderFn CreateSyncReaderEntry() {
  static CreateSyncReaderFn entry = [] {
    base::Library module("wmvcore.dll");
    auto create = module.Find<CreateSyncReaderFn>("WMCreateSyncReader");
    module.Detach();
    return create;
  }();
  return entry;
}

uint64_t Le64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
  return v;
}
uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// What the reader does not say about a stream: the file's preroll and the
// coded format of each audio stream, from the ASF header object.
struct AsfFacts {
  int64_t prerollUnits = 0;
  struct Coded {
    uint16_t tag = 0;
    uint32_t rate = 0;
  };
  Coded coded[128];
};

bool ReadAsfFacts(const char* path, AsfFacts* facts) {
  static const GUID kFileProperties = {
      0x8CABDCA1, 0xA947, 0x11CF, {0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65}};
  static const GUID kStreamProperties = {
      0xB7DC0791, 0xA9B7, 0x11CF, {0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65}};
  static const GUID kAudioMedia = {
      0xF8699E40, 0x5B4D, 0x11CF, {0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B}};
  base::ScopedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  uint8_t top[30];
  DWORD got = 0;
  if (!ReadFile(file.Get(), top, sizeof top, &got, nullptr) || got != sizeof top) return false;
  uint64_t size = Le64(top + 16);
  // Album art makes headers large; beyond this the facts are not worth reading.
  if (size < sizeof top || size > (16u << 20)) return false;
  std::vector<uint8_t> header(size_t(size) - sizeof top);
  if (!ReadFile(file.Get(), header.data(), DWORD(header.size()), &got, nullptr) || got != header.size())
    return false;
  for (size_t at = 0; at + 24 <= header.size();) {
    uint64_t objectSize = Le64(&header[at + 16]);
    if (objectSize < 24 || objectSize > header.size() - at) break;
    const uint8_t* object = &header[at];
    if (std::memcmp(object, &kFileProperties, 16) == 0 && objectSize >= 24 + 64) {
      // Milliseconds after file id, size, date, packets, play and send durations.
      facts->prerollUnits = int64_t(Le64(object + 24 + 56)) * 10000;
    } else if (std::memcmp(object, &kStreamProperties, 16) == 0 && objectSize >= 78 &&
               std::memcmp(object + 24, &kAudioMedia, 16) == 0) {
      uint32_t formatBytes = Le32(object + 64);
      int number = Le16(object + 72) & 0x7F;
      if (formatBytes >= 16 && 78 + uint64_t(formatBytes) <= objectSize) {
        facts->coded[number].tag = Le16(object + 78);
        facts->coded[number].rate = Le32(object + 78 + 4);
      }
    }
    at += size_t(objectSize);
  }
  return true;
}

// The samples in a frame of the first Windows Media Audio codecs (version 1,
// 0x160, and 2, 0x161), which is also their decoders' delay: the first frame
// a decoder gives back is the overlap of nothing with the first coded frame,
// and its reader stamps it with that frame's time. 0 for other codecs.
int CodecFrameSamples(uint16_t tag, uint32_t rate) {
  if (tag != 0x160 && tag != 0x161) return 0;
  if (rate <= 16000) return 512;
  if (rate <= 22050 || (rate <= 32000 && tag == 0x160)) return 1024;
  return 2048;
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
    AsfFacts facts;
    if (ReadAsfFacts(path, &facts) && stream_ < 128) {
      prerollUnits_ = facts.prerollUnits;
      const AsfFacts::Coded& coded = facts.coded[stream_];
      int frame = CodecFrameSamples(coded.tag, coded.rate);
      // In the reader's output rate; a frame that does not map to whole
      // output samples gives no grid to place buffers on.
      if (frame && coded.rate && (int64_t(frame) * rate_) % coded.rate == 0)
        frameSamples_ = int(int64_t(frame) * rate_ / coded.rate);
    }
    ReadDuration();
    return true;
  }

  int SampleRate() const override { return rate_; }
  int Channels() const override { return channels_; }
  int64_t LengthFrames() const override { return length_; }

  int Read(float* out, int maxFrames) override {
    // Up to the reader's last sample: the header's duration is the coded
    // frames', not the music's.
    int done = 0;
    while (done < maxFrames) {
      size_t available = (pcm_.size() - pcmRead_) / channels_;
      if (available == 0) {
        if (!NextSample()) break;
        continue;
      }
      size_t take = std::min<size_t>(available, size_t(maxFrames - done));
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
    // Start the reader early enough that its decoder is primed by the frame
    // wanted: a restarted decoder's first frame is not the music either.
    // Whatever comes before the frame is dropped as it is placed.
    int64_t lead = frameSamples_ ? 2 * int64_t(frameSamples_) : int64_t(rate_) / 5;
    int64_t start = std::max<int64_t>(0, frame + frameSamples_ - lead);
    QWORD units = QWORD(start / rate_ * kUnits + start % rate_ * kUnits / rate_);
    if (frameSamples_) {
      // On a frame's own stamp (whole milliseconds in the file), so the
      // reader gives that frame whole rather than cut at a rounded place.
      int64_t frameIndex = start / frameSamples_;
      units = QWORD(FramesToUnits(frameIndex * frameSamples_) / 10000 * 10000);
    }
    if (timesHoldPreroll_ > 0) units += QWORD(prerollUnits_);
    if (FAILED(reader_->SetRange(units, 0))) return false;
    pcm_.clear();
    pcmRead_ = 0;
    position_ = frame;
    placed_ = false;
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
        // The duration counts the coded frames, the decoder's delay among them.
        length_ = int64_t(duration / kUnits) * rate_ + int64_t(duration % kUnits) * rate_ / kUnits;
        length_ = std::max<int64_t>(0, length_ - frameSamples_);
        return;
      }
    }
    // No duration: read to the end.
    length_ = INT64_MAX;
  }

  int64_t FramesToUnits(int64_t frames) const {
    return frames / rate_ * kUnits + frames % rate_ * kUnits / rate_;
  }
  // Rounded down, also below zero.
  int64_t UnitsToFrames(int64_t units) const {
    int64_t whole = units / kUnits, rest = units % kUnits;
    if (rest < 0) {
      --whole;
      rest += kUnits;
    }
    return whole * rate_ + rest * rate_ / kUnits;
  }

  // Where a buffer of frames the reader stamped with time sits in the music.
  int64_t Place(QWORD time, int64_t frames) {
    if (timesHoldPreroll_ < 0) {
      // The first stamp from the start tells whether the reader's times
      // count the header's preroll (the file's own presentation times).
      timesHoldPreroll_ = prerollUnits_ > 0 && int64_t(time) >= prerollUnits_ ? 1 : 0;
    }
    int64_t units = int64_t(time) - (timesHoldPreroll_ ? prerollUnits_ : 0);
    int64_t at = UnitsToFrames(units);
    // Stamps are whole milliseconds in the file: within that of where
    // counting puts it, the buffer follows the one before.
    const int64_t slack = rate_ / 1000 + 2;
    if (placed_ && std::llabs(at - nextPlace_) <= slack) {
      at = nextPlace_;
    } else if (frameSamples_) {
      // A buffer starts or ends on one of the codec's frames (the reader
      // cuts the first one after a seek at its front, the last one at the
      // end): snap it onto that frame.
      auto snap = [&](int64_t frame) { return (frame + frameSamples_ / 2) / frameSamples_ * frameSamples_; };
      if (std::llabs(snap(at) - at) <= slack)
        at = snap(at);
      else if (std::llabs(snap(at + frames) - (at + frames)) <= slack)
        at = snap(at + frames) - frames;
    }
    placed_ = true;
    nextPlace_ = at + frames;
    // The decoder's delay: its first frame is not the music.
    return at - frameSamples_;
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
        // The music ends where the samples end.
        length_ = position_ + int64_t((pcm_.size() - pcmRead_) / channels_);
        return false;
      }
      BYTE* data = nullptr;
      DWORD bytes = 0;
      // GetLength is not reliable on the sync reader's buffers.
      if (FAILED(sample->GetBufferAndLength(&data, &bytes)) || !data) continue;
      int64_t frames = int64_t(bytes / 2 / channels_);
      if (frames == 0) continue;
      int64_t at = Place(time, frames);
      pcm_.erase(pcm_.begin(), pcm_.begin() + pcmRead_);
      pcmRead_ = 0;
      // Against where the next frame to give sits: what lies before it
      // (before the music's start, or before a seek's frame) is dropped, a
      // gap the reader left is silence.
      int64_t end = position_ + int64_t(pcm_.size() / channels_);
      int64_t skip = std::max<int64_t>(0, std::min(end - at, frames));
      int64_t gap = std::min<int64_t>(std::max<int64_t>(0, at - end), kMaxGapSeconds * int64_t(rate_));
      pcm_.resize(pcm_.size() + size_t(gap) * channels_, 0);
      const int16_t* in = reinterpret_cast<const int16_t*>(data) + size_t(skip) * channels_;
      pcm_.insert(pcm_.end(), in, in + size_t(frames - skip) * channels_);
      if (!pcm_.empty()) return true;
    }
  }

  IWMSyncReader* reader_ = nullptr;
  WORD stream_ = 0;
  DWORD output_ = 0;
  int rate_ = 0;
  int channels_ = 0;
  int64_t length_ = 0;
  int64_t position_ = 0;  // the music's frame the next Read starts at
  int64_t prerollUnits_ = 0;
  int timesHoldPreroll_ = -1;  // -1 until the first stamp is seen
  int frameSamples_ = 0;       // the codec's frame and delay; 0 when not known
  bool placed_ = false;        // a buffer was placed since the start or a seek
  int64_t nextPlace_ = 0;      // where counting puts the next buffer (reader's frames)
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
