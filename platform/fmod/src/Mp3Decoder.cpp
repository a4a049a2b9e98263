#include "Mp3Decoder.h"

#include <algorithm>
#include <vector>

#include "base/Guarded.h"

namespace soundlib {
namespace {

// The system's MP3 codec puts this many samples of its own before the
// encoder's first sample (the synthesis filter's delay).
constexpr int kCodecDelay = 529;
// A frame may take up to this many bytes of its data from frames before it.
constexpr uint32_t kMaxReservoir = 511;
constexpr size_t kFramesPerFeed = 8;
// Frames the scanning thread adds to the index at a time.
constexpr size_t kScanBatch = 512;

// Opening the system's MP3 codec takes tens of milliseconds (it looks for its
// driver), resetting one a few: the codecs of closed decoders are kept, a
// few, and an open of the same rate and channels takes one of them.
class CodecShelf {
 public:
  static CodecShelf& Get() {
    // Never destroyed: no codec is closed while the library unloads at exit.
    static CodecShelf* shelf = new CodecShelf;
    return *shelf;
  }
  std::unique_ptr<AcmConverter> Take(const Mp3Header& format) {
    {
      std::lock_guard<std::mutex> hold(lock_);
      for (auto it = idle_.end(); it != idle_.begin();) {
        --it;
        if (!SameMp3Stream(it->format, format)) continue;
        std::unique_ptr<AcmConverter> codec = std::move(it->codec);
        idle_.erase(it);
        if (codec->Reset()) return codec;
        break;
      }
    }
    std::unique_ptr<AcmConverter> codec(new AcmConverter);
    if (!OpenMp3Codec(format, codec.get())) return nullptr;
    return codec;
  }
  void Give(const Mp3Header& format, std::unique_ptr<AcmConverter> codec) {
    std::lock_guard<std::mutex> hold(lock_);
    idle_.push_back(Idle{format, std::move(codec)});
    if (idle_.size() > kKept) idle_.erase(idle_.begin());
  }
  void Clear() {
    std::vector<Idle> idle;
    {
      std::lock_guard<std::mutex> hold(lock_);
      idle.swap(idle_);
    }
  }

 private:
  static constexpr size_t kKept = 4;
  struct Idle {
    Mp3Header format;
    std::unique_ptr<AcmConverter> codec;
  };
  std::mutex lock_;
  std::vector<Idle> idle_;
};

}  // namespace

void CloseKeptMp3Codecs() { CodecShelf::Get().Clear(); }

std::unique_ptr<Mp3Decoder> Mp3Decoder::Open(const char* path) {
  std::unique_ptr<Mp3Decoder> decoder(new Mp3Decoder);
  if (!decoder->file_.Open(path)) return nullptr;
  if (!decoder->Start()) return nullptr;
  return decoder;
}

Mp3Decoder::~Mp3Decoder() {
  {
    std::lock_guard<std::mutex> hold(indexLock_);
    stopScan_ = true;
  }
  if (scanThread_.joinable()) scanThread_.join();
  if (codec_) CodecShelf::Get().Give(format_, std::move(codec_));
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

bool Mp3Decoder::Start() {
  scanner_.Start(file_.Data(), AudioEnd(file_.Data(), file_.Size()), &index_);
  Mp3Frame first;
  if (!scanner_.Next(&first)) return false;
  index_.frames.push_back(first);
  format_ = index_.format;
  codec_ = CodecShelf::Get().Take(format_);
  codecFresh_ = true;
  if (!codec_ || codec_->SampleRate() != format_.sampleRate || codec_->Channels() != format_.channels)
    return false;
  // The encoder's delay and padding are checked against the frames its Info
  // frame counts (the index is not complete yet).
  if (index_.infoFrames >= 0) CheckEncoderGap(&index_, index_.infoFrames);
  if (index_.leadingSamples || index_.trailingSamples) skip_ = index_.leadingSamples + kCodecDelay;
  if (index_.infoTrusted) {
    // The Info frame tells the length before the index is built; the
    // index corrects it should the file not hold what it says.
    int64_t total = index_.infoFrames * format_.samplesPerFrame;
    length_ =
        std::max<int64_t>(0, std::min(total - index_.leadingSamples - index_.trailingSamples, total - skip_));
  }
  scanThread_ = std::thread([this] { Scan(); });
  return Seek(0);
}

void Mp3Decoder::Scan() {
  // No exception leaves the thread: should the scan throw, the index ends at
  // the frames found so far, so no reader waits for frames that never come.
  if (base::Guarded([&] { return IndexFrames(), true; }, false)) return;
  std::lock_guard<std::mutex> hold(indexLock_);
  EndIndexLocked();
  indexed_.notify_all();
}

void Mp3Decoder::IndexFrames() {
  std::vector<Mp3Frame> batch;
  Mp3Frame frame;
  bool more = true;
  while (more) {
    batch.clear();
    while (batch.size() < kScanBatch && (more = scanner_.Next(&frame))) batch.push_back(frame);
    std::lock_guard<std::mutex> hold(indexLock_);
    if (stopScan_) return;
    index_.frames.insert(index_.frames.end(), batch.begin(), batch.end());
    if (!more) EndIndexLocked();
    indexed_.notify_all();
  }
}

void Mp3Decoder::EndIndexLocked() {
  int64_t frames = int64_t(index_.frames.size());
  int64_t total = frames * format_.samplesPerFrame;
  int64_t gap = index_.leadingSamples + index_.trailingSamples;
  // Gapless as the Info frame says, unless the frames cannot hold its
  // delay and padding; the sound starts where it started playing.
  if (gap >= total) gap = 0;
  length_ = std::max<int64_t>(0, std::min(total - gap, total - skip_));
  indexDone_ = true;
}

bool Mp3Decoder::FrameAt(size_t i, Mp3Frame* frame) const {
  std::unique_lock<std::mutex> hold(indexLock_);
  indexed_.wait(hold, [&] { return i < index_.frames.size() || indexDone_; });
  if (i >= index_.frames.size()) return false;
  *frame = index_.frames[i];
  return true;
}

size_t Mp3Decoder::FrameCount() const {
  std::unique_lock<std::mutex> hold(indexLock_);
  indexed_.wait(hold, [&] { return indexDone_; });
  return index_.frames.size();
}

int64_t Mp3Decoder::LengthFrames() const {
  std::unique_lock<std::mutex> hold(indexLock_);
  indexed_.wait(hold, [&] { return indexDone_ || length_ >= 0; });
  return length_;
}

int64_t Mp3Decoder::KnownLength() const {
  std::lock_guard<std::mutex> hold(indexLock_);
  return length_;
}

int64_t Mp3Decoder::SoundEnd() const {
  std::lock_guard<std::mutex> hold(indexLock_);
  return length_ >= 0 ? skip_ + length_ : INT64_MAX;
}

bool Mp3Decoder::Decode() {
  // Frames sit back to back unless garbage was skipped between them.
  batch_.clear();
  size_t i = nextFrame_;
  Mp3Frame frame;
  for (; i < nextFrame_ + kFramesPerFeed && FrameAt(i, &frame); ++i)
    batch_.insert(batch_.end(), file_.Data() + frame.offset, file_.Data() + frame.offset + frame.bytes);
  if (i == nextFrame_) return false;
  nextFrame_ = i;
  if (pcmRead_ > 0) {
    pcm_.erase(pcm_.begin(), pcm_.begin() + pcmRead_);
    pcmRead_ = 0;
  }
  return codec_->Convert(batch_.data(), batch_.size(), &pcm_);
}

int Mp3Decoder::Read(float* out, int maxFrames) {
  const int channels = format_.channels;
  int done = 0;
  int64_t end = SoundEnd();
  while (done < maxFrames && pcmFrame_ < end) {
    size_t available = (pcm_.size() - pcmRead_) / channels;
    if (available == 0) {
      if (!Decode()) break;
      end = SoundEnd();
      continue;
    }
    // Samples before the sound starts are dropped, not delivered.
    if (pcmFrame_ < skip_) {
      size_t drop = size_t(std::min<int64_t>(int64_t(available), skip_ - pcmFrame_));
      pcmRead_ += drop * channels;
      pcmFrame_ += int64_t(drop);
      continue;
    }
    size_t take = std::min<size_t>(
        {available, size_t(maxFrames - done), size_t(std::min<int64_t>(end - pcmFrame_, INT32_MAX))});
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
  // The length is not waited for: most seeks land inside what is indexed.
  int64_t known = KnownLength();
  frame = std::max<int64_t>(0, known >= 0 ? std::min(frame, known) : frame);
  int64_t target = frame + skip_;
  const int spf = format_.samplesPerFrame;
  size_t first = size_t(target / spf);
  Mp3Frame at;
  if (!FrameAt(first, &at)) {
    // Beyond the last frame: the index is complete by now.
    frame = std::min(frame, LengthFrames());
    target = frame + skip_;
    first = std::min(size_t(target / spf), FrameCount() - 1);
  }
  // Start early: the two frames before the target shape its first samples
  // (overlap and synthesis history), and their data may begin up to a
  // reservoir's worth of bytes further back.
  size_t start = first;
  uint32_t reservoirBytes = 0;
  while (start > 0 && (first - start < 3 || reservoirBytes < kMaxReservoir)) {
    --start;
    if (first - start > 2 && FrameAt(start, &at)) reservoirBytes += at.bytes;
  }
  if (!codecFresh_ && !codec_->Reset()) return false;
  codecFresh_ = false;
  nextFrame_ = start;
  pcm_.clear();
  pcmRead_ = 0;
  pcmFrame_ = int64_t(start) * spf;
  // Decode up to the target and drop what lies before it.
  while (pcmFrame_ < target) {
    size_t available = (pcm_.size() - pcmRead_) / format_.channels;
    if (available == 0) {
      if (!Decode()) return pcmFrame_ >= target;
      continue;
    }
    size_t drop = size_t(std::min<int64_t>(int64_t(available), target - pcmFrame_));
    pcmRead_ += drop * format_.channels;
    pcmFrame_ += int64_t(drop);
  }
  return true;
}

}  // namespace soundlib
