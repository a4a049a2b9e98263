#pragma once
// MPEG audio layer III frames: header parsing and the frame index that gives
// an MP3 file its exact length and sample-accurate positions.
#include <cstdint>
#include <vector>

namespace soundlib {

struct Mp3Header {
  int version = 0;  // 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5
  int sampleRate = 0;
  int channels = 0;
  int bitrate = 0;  // kbit/s
  int frameBytes = 0;
  int samplesPerFrame = 0;
  int sideInfoBytes = 0;
};

// The four bytes at p as a layer III frame header; false for anything else
// (free-format bitrate included: its frames cannot be measured).
bool ParseMp3Header(const uint8_t* p, Mp3Header* header);
// Two headers belong to one stream.
bool SameMp3Stream(const Mp3Header& a, const Mp3Header& b);

// Where a frame sits in the file.
struct Mp3Frame {
  uint64_t offset;
  uint32_t bytes;
};

struct Mp3Index {
  Mp3Header format;  // of the first audio frame
  std::vector<Mp3Frame> frames;
  // Samples the encoder put before the sound and after it (from the encoder's
  // Info frame; 0 when there is none).
  int leadingSamples = 0;
  int trailingSamples = 0;
  // Audio frames and bytes (from itself to the end of the audio) the Info
  // frame counts; -1 and 0 when it does not. Trusted when the bytes are
  // exactly the file's.
  int64_t infoFrames = -1;
  uint64_t infoBytes = 0;
  bool infoTrusted = false;
  int64_t LengthFrames() const;
};

// Indexes the audio frames in [begin, end): skips an ID3v2 tag (with its
// footer) and an ID3v1 tag at the end, takes the Info/Xing frame's delay
// and padding without counting it as audio, and resyncs only onto a frame
// whose next frame follows it, so stray bytes are never decoded as sound.
// A truncated last frame is dropped. False when no audio frame is found.
bool BuildMp3Index(const uint8_t* data, uint64_t end, Mp3Index* index);

// The same walk one frame at a time, so that an index can be built while
// the file already plays. Start clears index; the first Next fills in its
// format and Info frame fields. index must outlive the scanner.
class Mp3Scanner {
 public:
  void Start(const uint8_t* data, uint64_t end, Mp3Index* index);
  // The next audio frame; false at the end of the audio.
  bool Next(Mp3Frame* frame);

 private:
  const uint8_t* data_ = nullptr;
  uint64_t end_ = 0;
  uint64_t at_ = 0;
  Mp3Index* index_ = nullptr;
  bool first_ = true;
  bool haveLast_ = false;
  Mp3Frame last_{};
};

// Drops delay and padding larger than frames of audio: not this file's.
void CheckEncoderGap(Mp3Index* index, int64_t frames);

}  // namespace soundlib
