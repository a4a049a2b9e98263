#include "WavDecoder.h"

#include <algorithm>
#include <cstring>

namespace soundlib {
namespace {

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// Coded data is handed to the codec in pieces of about this many bytes.
constexpr uint64_t kCodedPiece = 16384;

}  // namespace

std::unique_ptr<WavDecoder> WavDecoder::Open(const char* path) {
  std::unique_ptr<WavDecoder> d(new WavDecoder);
  if (!d->file_.Open(path)) return nullptr;
  const uint8_t* data = d->file_.Data();
  uint64_t end = AudioEnd(data, d->file_.Size());
  if (end < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) return nullptr;
  std::vector<uint8_t> format;
  bool haveData = false;
  // Chunk sizes are not trusted: the walk stops at the end of the audio and
  // a data chunk that claims more than is there is cut where the bytes end.
  for (uint64_t at = 12; at + 8 <= end;) {
    uint32_t size = Le32(data + at + 4);
    uint64_t body = at + 8;
    uint64_t available = end - body;
    if (std::memcmp(data + at, "fmt ", 4) == 0) {
      if (size < 16 || size > available || size > 4096) return nullptr;
      format.assign(data + body, data + body + size);
    } else if (std::memcmp(data + at, "data", 4) == 0) {
      d->dataStart_ = body;
      d->dataBytes_ = std::min<uint64_t>(size, available);
      haveData = true;
      break;
    }
    if (size > available) break;
    at = body + size + (size & 1);
  }
  if (format.empty() || !haveData) return nullptr;
  uint16_t tag = Le16(format.data());
  d->channels_ = Le16(format.data() + 2);
  d->rate_ = int(Le32(format.data() + 4));
  d->blockAlign_ = Le16(format.data() + 12);
  d->bits_ = Le16(format.data() + 14);
  if (d->channels_ < 1 || d->channels_ > 8 || d->rate_ < 1000 || d->rate_ > 384000 || d->blockAlign_ == 0)
    return nullptr;
  if (tag == kFormatExtensible) {
    // The sub-format GUID starts with the plain format tag.
    if (format.size() < 40) return nullptr;
    tag = Le16(format.data() + 24);
  }
  if (tag == kFormatPcm || tag == kFormatFloat) {
    bool ok = tag == kFormatPcm ? (d->bits_ == 8 || d->bits_ == 16 || d->bits_ == 24 || d->bits_ == 32)
                                : (d->bits_ == 32 || d->bits_ == 64);
    if (!ok || d->blockAlign_ != uint32_t(d->channels_ * d->bits_ / 8)) return nullptr;
    d->kind_ = tag == kFormatPcm ? Kind::kInt : Kind::kFloat;
    d->frames_ = int64_t(d->dataBytes_ / d->blockAlign_);
    return d;
  }
  if (!d->OpenCoded(format)) return nullptr;
  return d;
}

bool WavDecoder::OpenCoded(const std::vector<uint8_t>& format) {
  std::vector<uint8_t> full = format;
  // The codec wants a complete WAVEFORMATEX: a cbSize field that matches.
  if (full.size() < sizeof(WAVEFORMATEX)) full.resize(sizeof(WAVEFORMATEX), 0);
  auto* wfx = reinterpret_cast<WAVEFORMATEX*>(full.data());
  if (sizeof(WAVEFORMATEX) + wfx->cbSize > full.size())
    wfx->cbSize = WORD(full.size() - sizeof(WAVEFORMATEX));
  if (!codec_.Open(full)) return false;
  kind_ = Kind::kCoded;
  channels_ = codec_.Channels();
  // The length of coded data is known only by decoding it all; decoding is
  // fast and coded WAV files are small.
  std::vector<int16_t> all;
  for (uint64_t at = 0; at < dataBytes_;) {
    uint64_t piece = std::min(kCodedPiece / blockAlign_ * blockAlign_ + blockAlign_, dataBytes_ - at);
    if (!codec_.Convert(file_.Data() + dataStart_ + at, size_t(piece), &all)) break;
    at += piece;
    frames_ += int64_t(all.size() / channels_);
    all.clear();
  }
  return Seek(0);
}

bool WavDecoder::DecodeCoded() {
  if (dataAt_ >= dataBytes_) return false;
  uint64_t piece = std::min(kCodedPiece / blockAlign_ * blockAlign_ + blockAlign_, dataBytes_ - dataAt_);
  if (pcmRead_ > 0) {
    pcm_.erase(pcm_.begin(), pcm_.begin() + pcmRead_);
    pcmRead_ = 0;
  }
  bool ok = codec_.Convert(file_.Data() + dataStart_ + dataAt_, size_t(piece), &pcm_);
  dataAt_ += piece;
  return ok;
}

float WavDecoder::Sample(const uint8_t* p) const {
  if (kind_ == Kind::kFloat) {
    if (bits_ == 32) {
      float f;
      std::memcpy(&f, p, 4);
      return f == f ? f : 0.0f;
    }
    double v;
    std::memcpy(&v, p, 8);
    return v == v ? float(v) : 0.0f;
  }
  switch (bits_) {
    case 8:
      return (int(p[0]) - 128) * (1.0f / 128.0f);
    case 16:
      return int16_t(Le16(p)) * (1.0f / 32768.0f);
    case 24:
      return int32_t(uint32_t(p[0]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 24) *
             (1.0f / 2147483648.0f);
    default:
      return int32_t(Le32(p)) * (1.0f / 2147483648.0f);
  }
}

int WavDecoder::Read(float* out, int maxFrames) {
  const int outChannels = Channels();
  int done = 0;
  if (kind_ == Kind::kCoded) {
    while (done < maxFrames && position_ < frames_) {
      size_t available = (pcm_.size() - pcmRead_) / channels_;
      if (available == 0) {
        if (!DecodeCoded()) break;
        continue;
      }
      size_t take = std::min<size_t>(available, size_t(maxFrames - done));
      for (size_t i = 0; i < take * channels_; ++i)
        out[size_t(done) * channels_ + i] = pcm_[pcmRead_ + i] / 32768.0f;
      pcmRead_ += take * channels_;
      position_ += int64_t(take);
      done += int(take);
    }
    return done;
  }
  int64_t take = std::min<int64_t>(maxFrames, frames_ - position_);
  const uint8_t* p = file_.Data() + dataStart_ + uint64_t(position_) * blockAlign_;
  const int bytes = bits_ / 8;
  for (int64_t i = 0; i < take; ++i, p += blockAlign_) {
    for (int c = 0; c < outChannels; ++c) out[i * outChannels + c] = Sample(p + c * bytes);
  }
  position_ += take;
  return int(take);
}

bool WavDecoder::Seek(int64_t frame) {
  frame = std::max<int64_t>(0, std::min(frame, frames_));
  if (kind_ != Kind::kCoded) {
    position_ = frame;
    return true;
  }
  // Coded blocks carry state: decode from the start and drop up to the frame.
  if (!codec_.Reset()) return false;
  dataAt_ = 0;
  pcm_.clear();
  pcmRead_ = 0;
  position_ = 0;
  while (position_ < frame) {
    size_t available = (pcm_.size() - pcmRead_) / channels_;
    if (available == 0) {
      if (!DecodeCoded()) break;
      continue;
    }
    size_t drop = size_t(std::min<int64_t>(int64_t(available), frame - position_));
    pcmRead_ += drop * channels_;
    position_ += int64_t(drop);
  }
  return true;
}

}  // namespace soundlib
