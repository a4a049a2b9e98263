#include "Mp3Frames.h"

#include <cstring>

namespace soundlib {
namespace {

const int kBitrates[2][16] = {
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},  // MPEG-1
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},      // MPEG-2 and 2.5
};
const int kRates[3] = {44100, 48000, 32000};

uint32_t Be32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// ID3v2: "ID3", version, flags, a 28-bit size in four 7-bit bytes; a footer
// flag adds ten bytes. Zero when there is no tag.
uint64_t Id3v2Size(const uint8_t* data, uint64_t end) {
  if (end < 10 || std::memcmp(data, "ID3", 3) != 0) return 0;
  const uint8_t* s = data + 6;
  if ((s[0] | s[1] | s[2] | s[3]) & 0x80) return 0;
  uint64_t size = 10 + (uint64_t(s[0]) << 21 | uint64_t(s[1]) << 14 | uint64_t(s[2]) << 7 | s[3]);
  if (data[5] & 0x10) size += 10;
  return size;
}

// The encoder's Info frame: "Xing" or "Info" right after the side
// information, followed by optional fields and the encoder's tag with its
// delay and padding.
bool ReadInfoFrame(const uint8_t* frame, const Mp3Header& header, Mp3Index* index) {
  uint32_t at = 4 + header.sideInfoBytes;
  if (uint32_t(header.frameBytes) < at + 8) return false;
  const uint8_t* tag = frame + at;
  if (std::memcmp(tag, "Xing", 4) != 0 && std::memcmp(tag, "Info", 4) != 0) return false;
  uint32_t flags = Be32(tag + 4);
  // Frames, then bytes (from this frame to the end of the audio), when flagged.
  if ((flags & 3) == 3 && uint32_t(header.frameBytes) >= at + 16) {
    index->infoFrames = Be32(tag + 8);
    index->infoBytes = Be32(tag + 12);
  }
  uint32_t fields =
      8 + (flags & 1 ? 4 : 0) + (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) + (flags & 8 ? 4 : 0);
  // The encoder tag: 9 bytes of version, then 12 bytes up to the 3 bytes of
  // delay (12 bits) and padding (12 bits).
  if (uint32_t(header.frameBytes) >= at + fields + 24) {
    const uint8_t* enc = tag + fields;
    const uint8_t* dp = enc + 21;
    int delay = dp[0] << 4 | dp[1] >> 4;
    int padding = (dp[1] & 0x0F) << 8 | dp[2];
    if (std::memcmp(enc, "LAME", 4) == 0 || std::memcmp(enc, "Lavc", 4) == 0 ||
        std::memcmp(enc, "Lavf", 4) == 0) {
      index->leadingSamples = delay;
      index->trailingSamples = padding;
    }
  }
  return true;
}

}  // namespace

bool ParseMp3Header(const uint8_t* p, Mp3Header* h) {
  if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
  int versionBits = (p[1] >> 3) & 3;
  int layerBits = (p[1] >> 1) & 3;
  if (versionBits == 1 || layerBits != 1) return false;  // reserved version; layer III only
  int bitrateIndex = p[2] >> 4;
  int rateIndex = (p[2] >> 2) & 3;
  if (bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
  if ((p[3] & 3) == 2) return false;  // reserved emphasis
  h->version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 3;
  h->sampleRate = kRates[rateIndex] >> (h->version - 1);
  h->bitrate = kBitrates[h->version == 1 ? 0 : 1][bitrateIndex];
  h->channels = (p[3] >> 6) == 3 ? 1 : 2;
  int padding = (p[2] >> 1) & 1;
  h->samplesPerFrame = h->version == 1 ? 1152 : 576;
  h->frameBytes = (h->samplesPerFrame / 8) * h->bitrate * 1000 / h->sampleRate + padding;
  if (h->version == 1)
    h->sideInfoBytes = h->channels == 1 ? 17 : 32;
  else
    h->sideInfoBytes = h->channels == 1 ? 9 : 17;
  return h->frameBytes > 4 + h->sideInfoBytes;
}

bool SameMp3Stream(const Mp3Header& a, const Mp3Header& b) {
  return a.version == b.version && a.sampleRate == b.sampleRate && a.channels == b.channels;
}

int64_t Mp3Index::LengthFrames() const {
  int64_t total = int64_t(frames.size()) * format.samplesPerFrame - leadingSamples - trailingSamples;
  return total > 0 ? total : 0;
}

void Mp3Scanner::Start(const uint8_t* data, uint64_t end, Mp3Index* index) {
  *index = Mp3Index{};
  // ID3v1 sits in the last 128 bytes of the audio.
  if (end >= 128 && std::memcmp(data + end - 128, "TAG", 3) == 0) end -= 128;
  data_ = data;
  end_ = end;
  at_ = Id3v2Size(data, end);
  index_ = index;
  first_ = true;
  haveLast_ = false;
}

bool Mp3Scanner::Next(Mp3Frame* frame) {
  Mp3Header header;
  while (at_ + 4 <= end_) {
    if (!ParseMp3Header(data_ + at_, &header)) {
      ++at_;
      continue;
    }
    uint64_t next = at_ + header.frameBytes;
    if (next > end_) {
      at_ = end_;  // a truncated last frame
      return false;
    }
    // A lone header-looking byte pattern is not a frame: once locked on, the
    // stream's frames follow one another; when resyncing, ask for the next
    // header too (or the end of the audio).
    bool locked =
        !first_ && haveLast_ && SameMp3Stream(header, index_->format) && last_.offset + last_.bytes == at_;
    if (!locked) {
      Mp3Header following;
      bool chained =
          next + 4 <= end_ && ParseMp3Header(data_ + next, &following) && SameMp3Stream(header, following);
      if (!chained && next != end_) {
        ++at_;
        continue;
      }
      if (!first_ && !SameMp3Stream(header, index_->format)) {
        ++at_;
        continue;
      }
    }
    if (first_) {
      first_ = false;
      index_->format = header;
      if (ReadInfoFrame(data_ + at_, header, index_)) {
        // A count for other bytes than the file holds (cut, joined or
        // damaged) is not this file's.
        index_->infoTrusted = index_->infoFrames >= 0 && index_->infoBytes == end_ - at_;
        at_ = next;
        continue;
      }
    }
    last_ = Mp3Frame{at_, uint32_t(header.frameBytes)};
    haveLast_ = true;
    at_ = next;
    *frame = last_;
    return true;
  }
  return false;
}

void CheckEncoderGap(Mp3Index* index, int64_t frames) {
  if (index->leadingSamples + index->trailingSamples >= frames * index->format.samplesPerFrame)
    index->leadingSamples = index->trailingSamples = 0;
}

bool BuildMp3Index(const uint8_t* data, uint64_t end, Mp3Index* index) {
  Mp3Scanner scanner;
  scanner.Start(data, end, index);
  Mp3Frame frame;
  while (scanner.Next(&frame)) index->frames.push_back(frame);
  if (index->frames.empty()) return false;
  CheckEncoderGap(index, int64_t(index->frames.size()));
  return true;
}

}  // namespace soundlib
