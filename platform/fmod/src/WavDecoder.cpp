#include "WavDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace soundlib {
namespace {

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatMsAdpcm = 2;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatAlaw = 6;
constexpr uint16_t kFormatMulaw = 7;
constexpr uint16_t kFormatImaAdpcm = 0x11;
constexpr uint16_t kFormatGsm610 = 0x31;
constexpr uint16_t kFormatMp3 = 0x55;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// Coded data is handed to the codec in pieces of about this many bytes.
constexpr uint64_t kCodedPiece = 16384;
// No MP3 frame makes more than 24 samples a byte (MPEG-2 at 8 kbit/s and
// 24 kHz); with a margin, and a frame's worth the codec may still hold.
constexpr uint64_t kMp3SamplesPerByte = 32;
constexpr uint64_t kMp3FrameSamples = 1152;

// What decoding a coded format takes, learnt from its header alone.
struct CodedShape {
  uint32_t blockFrames = 0;  // 0: no fixed blocks
  bool independent = false;
};

// The system's codecs trust the header: they divide by its rate, block size,
// bytes a second and samples a block, and size their buffers and loops by
// them, so a zero or a value the block cannot hold ends the process inside
// the codec. Only a header whose every such field is consistent goes to
// them. format is a WAVEFORMATEX with its extra bytes.
bool ShapeOf(const std::vector<uint8_t>& format, CodedShape* shape) {
  const uint8_t* f = format.data();
  if (format.size() < 18) return false;
  uint16_t tag = Le16(f);
  uint32_t channels = Le16(f + 2);
  uint32_t rate = Le32(f + 4);
  uint32_t bytesPerSecond = Le32(f + 8);
  uint32_t align = Le16(f + 12);
  uint32_t bits = Le16(f + 14);
  uint32_t extra = Le16(f + 16);
  if (channels < 1 || channels > 2 || rate == 0 || bytesPerSecond == 0 || align == 0) return false;
  if (18 + extra > format.size()) return false;
  uint32_t samplesPerBlock = extra >= 2 ? Le16(f + 18) : 0;
  switch (tag) {
    case kFormatMsAdpcm: {
      // A block: 7 header bytes a channel (two of its samples), then 4 bits a sample.
      if (bits != 4 || extra < 4 || align < 7 * channels) return false;
      uint32_t coefficients = Le16(f + 20);
      if (coefficients < 7 || coefficients > 256 || extra < 4 + 4 * coefficients) return false;
      uint32_t most = (align - 7 * channels) * 2 / channels + 2;
      if (samplesPerBlock < 2 || samplesPerBlock > most) return false;
      *shape = {samplesPerBlock, true};
      return true;
    }
    case kFormatImaAdpcm: {
      // A block: 4 header bytes a channel (one sample), then groups of 4
      // bytes a channel, 8 samples each; the codec decodes exactly that many.
      if (bits != 4 || extra < 2 || align <= 4 * channels || (align - 4 * channels) % (4 * channels) != 0)
        return false;
      if (samplesPerBlock != (align - 4 * channels) * 2 / channels + 1) return false;
      *shape = {samplesPerBlock, true};
      return true;
    }
    case kFormatAlaw:
    case kFormatMulaw:
      if (bits != 8 || align != channels) return false;
      *shape = {1, true};
      return true;
    case kFormatGsm610:
      // 65-byte blocks of 320 samples, the codec's only layout.
      if (channels != 1 || align != 65 || samplesPerBlock != 320) return false;
      *shape = {320, false};
      return true;
    case kFormatMp3: {
      static const uint32_t kRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
      if (std::find(std::begin(kRates), std::end(kRates), rate) == std::end(kRates)) return false;
      // 8 to 640 kbit/s; the codec sizes its output by bytes per frame.
      if (bytesPerSecond < 1000 || bytesPerSecond > 80000 || extra < 12) return false;
      *shape = {0, false};
      return true;
    }
    default:
      return false;
  }
}

// The speakers of WAVE_FORMAT_EXTENSIBLE's channel mask, in channel order.
enum Speaker : uint32_t {
  kFrontLeft = 0x1,
  kFrontRight = 0x2,
  kFrontCentre = 0x4,
  kLowFrequency = 0x8,
  kBackLeft = 0x10,
  kBackRight = 0x20,
  kFrontLeftOfCentre = 0x40,
  kFrontRightOfCentre = 0x80,
  kBackCentre = 0x100,
  kSideLeft = 0x200,
  kSideRight = 0x400,
  kTopCentre = 0x800,
  kTopFrontLeft = 0x1000,
  kTopFrontCentre = 0x2000,
  kTopFrontRight = 0x4000,
  kTopBackLeft = 0x8000,
  kTopBackCentre = 0x10000,
  kTopBackRight = 0x20000,
};

// Windows' layouts for a file without a mask, by channel count.
uint32_t DefaultMask(int channels) {
  switch (channels) {
    case 3:
      return kFrontLeft | kFrontRight | kFrontCentre;
    case 4:
      return kFrontLeft | kFrontRight | kBackLeft | kBackRight;
    case 5:
      return kFrontLeft | kFrontRight | kFrontCentre | kBackLeft | kBackRight;
    case 6:
      return kFrontLeft | kFrontRight | kFrontCentre | kLowFrequency | kBackLeft | kBackRight;
    case 7:
      return kFrontLeft | kFrontRight | kFrontCentre | kLowFrequency | kBackLeft | kBackRight | kBackCentre;
    default:
      return kFrontLeft | kFrontRight | kFrontCentre | kLowFrequency | kBackLeft | kBackRight | kSideLeft |
             kSideRight;
  }
}

// ITU-R BS.775 down-mix: front left and right as they are, the centre and
// every surround 3 dB down into its side; what sits in the middle (centre,
// low frequency, back and top centre) 3 dB down into both.
void SpeakerGains(uint32_t speaker, float* left, float* right) {
  const float k = float(std::sqrt(0.5));
  switch (speaker) {
    case kFrontLeft:
    case kFrontLeftOfCentre:
      *left = 1, *right = 0;
      return;
    case kFrontRight:
    case kFrontRightOfCentre:
      *left = 0, *right = 1;
      return;
    case kBackLeft:
    case kSideLeft:
    case kTopFrontLeft:
    case kTopBackLeft:
      *left = k, *right = 0;
      return;
    case kBackRight:
    case kSideRight:
    case kTopFrontRight:
    case kTopBackRight:
      *left = 0, *right = k;
      return;
    default:
      *left = k, *right = k;
      return;
  }
}

}  // namespace

std::unique_ptr<WavDecoder> WavDecoder::Open(const char* path) {
  std::unique_ptr<WavDecoder> d(new WavDecoder);
  if (!d->file_.Open(path)) return nullptr;
  const uint8_t* data = d->file_.Data();
  uint64_t end = AudioEnd(data, d->file_.Size());
  if (end < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) return nullptr;
  std::vector<uint8_t> format;
  uint32_t factFrames = 0;
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
    } else if (std::memcmp(data + at, "fact", 4) == 0 && size >= 4 && size <= available) {
      factFrames = Le32(data + body);
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
  uint32_t mask = 0;
  if (tag == kFormatExtensible) {
    // The sub-format GUID starts with the plain format tag.
    if (format.size() < 40) return nullptr;
    mask = Le32(format.data() + 20);
    tag = Le16(format.data() + 24);
  }
  if (tag == kFormatPcm || tag == kFormatFloat) {
    bool ok = tag == kFormatPcm ? (d->bits_ == 8 || d->bits_ == 16 || d->bits_ == 24 || d->bits_ == 32)
                                : (d->bits_ == 32 || d->bits_ == 64);
    if (!ok || d->blockAlign_ != uint32_t(d->channels_ * d->bits_ / 8)) return nullptr;
    d->kind_ = tag == kFormatPcm ? Kind::kInt : Kind::kFloat;
    d->frames_ = int64_t(d->dataBytes_ / d->blockAlign_);
    if (d->channels_ > 2) d->SetMixDown(mask);
    return d;
  }
  if (Le16(format.data()) == kFormatExtensible || !d->OpenCoded(format, factFrames)) return nullptr;
  return d;
}

void WavDecoder::SetMixDown(uint32_t mask) {
  // Speakers come in the mask's bit order; channels beyond the mask's bits
  // have no place and go to both sides.
  if (mask == 0) mask = DefaultMask(channels_);
  mixDown_.assign(size_t(channels_) * 2, 0.0f);
  uint32_t bit = 1;
  for (int c = 0; c < channels_; ++c) {
    while (bit && !(mask & bit)) bit <<= 1;
    SpeakerGains(bit, &mixDown_[size_t(c) * 2], &mixDown_[size_t(c) * 2 + 1]);
    if (bit) bit <<= 1;
  }
  // Scaled so that every channel at full scale at once still fits: the
  // down-mix never clips.
  float left = 0, right = 0;
  for (int c = 0; c < channels_; ++c) {
    left += mixDown_[size_t(c) * 2];
    right += mixDown_[size_t(c) * 2 + 1];
  }
  float scale = 1.0f / std::max({left, right, 1.0f});
  for (float& gain : mixDown_) gain *= scale;
}

bool WavDecoder::OpenCoded(const std::vector<uint8_t>& format, uint32_t factFrames) {
  std::vector<uint8_t> full = format;
  // The codec wants a complete WAVEFORMATEX: a 16-byte header has no extra bytes.
  if (full.size() < sizeof(WAVEFORMATEX)) full.resize(sizeof(WAVEFORMATEX), 0);
  CodedShape shape;
  if (!ShapeOf(full, &shape)) return false;
  full.resize(sizeof(WAVEFORMATEX) + Le16(full.data() + 16));
  if (!codec_.Open(full) || codec_.Channels() != channels_ || codec_.SampleRate() != rate_) return false;
  kind_ = Kind::kCoded;
  blockFrames_ = shape.blockFrames;
  blocksIndependent_ = shape.independent;
  // The length comes from the header, not from decoding: the open costs the
  // same for any length. The codecs decode whole blocks only.
  if (blockFrames_) {
    frames_ = int64_t(dataBytes_ / blockAlign_) * blockFrames_;
  } else {
    uint64_t most = dataBytes_ * kMp3SamplesPerByte;
    uint64_t estimate = dataBytes_ * uint32_t(rate_) / Le32(full.data() + 8);
    frames_ = int64_t(std::min<uint64_t>(factFrames ? factFrames : estimate, most));
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
  // The codec's own answer for the output size is not trusted: the piece
  // cannot make more than its blocks hold.
  uint64_t most = blockFrames_ ? (piece / blockAlign_ + 1) * blockFrames_
                               : piece * kMp3SamplesPerByte + 2 * kMp3FrameSamples;
  bool ok = codec_.Convert(file_.Data() + dataStart_ + dataAt_, size_t(piece), &pcm_,
                           size_t(most) * size_t(channels_));
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
      size_t take = std::min<size_t>({available, size_t(maxFrames - done), size_t(frames_ - position_)});
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
  if (mixDown_.empty()) {
    for (int64_t i = 0; i < take; ++i, p += blockAlign_) {
      for (int c = 0; c < outChannels; ++c) out[i * outChannels + c] = Sample(p + c * bytes);
    }
  } else {
    for (int64_t i = 0; i < take; ++i, p += blockAlign_) {
      float left = 0, right = 0;
      for (int c = 0; c < channels_; ++c) {
        float s = Sample(p + c * bytes);
        left += s * mixDown_[size_t(c) * 2];
        right += s * mixDown_[size_t(c) * 2 + 1];
      }
      out[i * 2] = left;
      out[i * 2 + 1] = right;
    }
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
  // Coded blocks may carry state from the ones before: decode from the
  // start of the block that holds the frame when blocks stand alone, else
  // from the start of the data, and drop up to the frame.
  if (!codec_.Reset()) return false;
  int64_t block = blocksIndependent_ ? frame / blockFrames_ : 0;
  dataAt_ = uint64_t(block) * blockAlign_;
  pcm_.clear();
  pcmRead_ = 0;
  position_ = block * blockFrames_;
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
