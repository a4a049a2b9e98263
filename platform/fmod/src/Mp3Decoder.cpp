#include "Mp3Decoder.h"

#include <algorithm>

namespace soundlib {
namespace {

// The system's MP3 codec puts this many samples of its own before the
// encoder's first sample (the synthesis filter's delay).
constexpr int kCodecDelay = 529;
// A frame may take up to this many bytes of its data from frames before it.
constexpr uint32_t kMaxReservoir = 511;
constexpr size_t kFramesPerFeed = 8;

}  // namespace

std::unique_ptr<Mp3Decoder> Mp3Decoder::Open(const char* path) {
  std::unique_ptr<Mp3Decoder> decoder(new Mp3Decoder);
  if (!decoder->file_.Open(path)) return nullptr;
  uint64_t end = AudioEnd(decoder->file_.Data(), decoder->file_.Size());
  if (!BuildMp3Index(decoder->file_.Data(), end, &decoder->index_)) return nullptr;
  if (!decoder->Start(decoder->index_.format)) return nullptr;
  return decoder;
}

bool OpenMp3Codec(const Mp3Header& format, AcmConverter* codec) {
  MPEGLAYER3WAVEFORMAT mp3{};
  mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
  mp3.wfx.nChannels = WORD(format.channels);
  mp3.wfx.nSamplesPerSec = DWORD(format.sampleRate);
  mp3.wfx.nAvgBytesPerSec = DWORD(format.bitrate * 1000 / 8);
  mp3.wfx.nBlockAlign = 1;
  mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
  mp3.wID = MPEGLAYER3_ID_MPEG;
  mp3.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
  mp3.nBlockSize = WORD(format.frameBytes);
  mp3.nFramesPerBlock = 1;
  auto* bytes = reinterpret_cast<const uint8_t*>(&mp3);
  return codec->Open(std::vector<uint8_t>(bytes, bytes + sizeof mp3));
}

bool Mp3Decoder::Start(const Mp3Header& format) {
  if (!OpenMp3Codec(format, &codec_)) return false;
  if (codec_.SampleRate() != format.sampleRate || codec_.Channels() != format.channels) return false;
  int64_t total = int64_t(index_.frames.size()) * format.samplesPerFrame;
  if (index_.leadingSamples || index_.trailingSamples) skip_ = index_.leadingSamples + kCodecDelay;
  length_ = std::max<int64_t>(0, std::min(index_.LengthFrames(), total - skip_));
  return Seek(0);
}

bool Mp3Decoder::Decode() {
  if (nextFrame_ >= index_.frames.size()) return false;
  size_t last = std::min(index_.frames.size(), nextFrame_ + kFramesPerFeed);
  // Frames sit back to back unless garbage was skipped between them.
  batch_.clear();
  for (size_t i = nextFrame_; i < last; ++i) {
    const Mp3Frame& frame = index_.frames[i];
    batch_.insert(batch_.end(), file_.Data() + frame.offset, file_.Data() + frame.offset + frame.bytes);
  }
  nextFrame_ = last;
  if (pcmRead_ > 0) {
    pcm_.erase(pcm_.begin(), pcm_.begin() + pcmRead_);
    pcmRead_ = 0;
  }
  return codec_.Convert(batch_.data(), batch_.size(), &pcm_);
}

int Mp3Decoder::Read(float* out, int maxFrames) {
  const int channels = index_.format.channels;
  int done = 0;
  while (done < maxFrames && pcmFrame_ < skip_ + length_) {
    size_t available = (pcm_.size() - pcmRead_) / channels;
    if (available == 0) {
      if (!Decode()) break;
      continue;
    }
    // Samples before the sound starts are dropped, not delivered.
    if (pcmFrame_ < skip_) {
      size_t drop = size_t(std::min<int64_t>(int64_t(available), skip_ - pcmFrame_));
      pcmRead_ += drop * channels;
      pcmFrame_ += int64_t(drop);
      continue;
    }
    size_t take =
        std::min<size_t>({available, size_t(maxFrames - done), size_t(skip_ + length_ - pcmFrame_)});
    const int16_t* in = pcm_.data() + pcmRead_;
    float* to = out + size_t(done) * channels;
    for (size_t i = 0; i < take * channels; ++i) to[i] = in[i] * (1.0f / 32768.0f);
    pcmRead_ += take * channels;
    pcmFrame_ += int64_t(take);
    done += int(take);
  }
  return done;
}

bool Mp3Decoder::Seek(int64_t frame) {
  frame = std::max<int64_t>(0, std::min(frame, length_));
  const int64_t target = frame + skip_;
  const int spf = index_.format.samplesPerFrame;
  size_t first = size_t(target / spf);
  if (first >= index_.frames.size()) first = index_.frames.size() - 1;
  // Start early: the two frames before the target shape its first samples
  // (overlap and synthesis history), and their data may begin up to a
  // reservoir's worth of bytes further back.
  size_t start = first;
  uint32_t reservoirBytes = 0;
  while (start > 0 && (first - start < 3 || reservoirBytes < kMaxReservoir)) {
    --start;
    if (first - start > 2) reservoirBytes += index_.frames[start].bytes;
  }
  if (!codec_.Reset()) return false;
  nextFrame_ = start;
  pcm_.clear();
  pcmRead_ = 0;
  pcmFrame_ = int64_t(start) * spf;
  // Decode up to the target and drop what lies before it.
  while (pcmFrame_ < target) {
    size_t available = (pcm_.size() - pcmRead_) / index_.format.channels;
    if (available == 0) {
      if (!Decode()) return pcmFrame_ >= target;
      continue;
    }
    size_t drop = size_t(std::min<int64_t>(int64_t(available), target - pcmFrame_));
    pcmRead_ += drop * index_.format.channels;
    pcmFrame_ += int64_t(drop);
  }
  return true;
}

}  // namespace soundlib
