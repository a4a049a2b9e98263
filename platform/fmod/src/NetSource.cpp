#include "NetSource.h"

#include <windows.h>
// windows.h first: wininet.h needs its types.
#include <wininet.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "AcmConverter.h"
#include "Mp3Decoder.h"
#include "Mp3Frames.h"
#include "fmod.h"

namespace soundlib {
namespace {

// A stream is ready once this much is buffered (or the body ended) and it
// holds MP3 frames; a body with no frame in its first bytes is not MP3.
constexpr size_t kReadyBytes = 16 * 1024;
constexpr size_t kSearchBytes = 64 * 1024;
// The queue never holds more than this; the reader waits for the decoder.
constexpr size_t kMaxQueued = 1024 * 1024;

// Two chained layer III frame headers within bytes (after an ID3v2 tag).
bool HoldsMp3(const std::vector<uint8_t>& bytes) {
  size_t at = 0;
  if (bytes.size() >= 10 && std::memcmp(bytes.data(), "ID3", 3) == 0) {
    const uint8_t* s = bytes.data() + 6;
    at = 10 +
         (size_t(s[0] & 0x7F) << 21 | size_t(s[1] & 0x7F) << 14 | size_t(s[2] & 0x7F) << 7 | (s[3] & 0x7F));
  }
  for (; at + 4 <= bytes.size(); ++at) {
    Mp3Header a, b;
    if (!ParseMp3Header(bytes.data() + at, &a)) continue;
    size_t next = at + size_t(a.frameBytes);
    if (next + 4 <= bytes.size() && ParseMp3Header(bytes.data() + next, &b) && SameMp3Stream(a, b))
      return true;
  }
  return false;
}

// MP3 frames as they arrive: a frame is decoded once it and the next
// header are in; stray bytes are skipped.
class NetMp3Decoder : public Decoder {
 public:
  explicit NetMp3Decoder(std::shared_ptr<NetSource> source) : source_(std::move(source)) {}
  int SampleRate() const override { return rate_; }
  int Channels() const override { return channels_; }
  int64_t LengthFrames() const override { return -1; }
  bool Seek(int64_t) override { return false; }

  int Read(float* out, int maxFrames) override {
    int done = 0;
    while (done < maxFrames) {
      size_t available = (pcm_.size() - pcmRead_) / channels_;
      if (available > 0) {
        size_t take = std::min<size_t>(available, size_t(maxFrames - done));
        for (size_t i = 0; i < take * channels_; ++i)
          out[size_t(done) * channels_ + i] = pcm_[pcmRead_ + i] * (1.0f / 32768.0f);
        pcmRead_ += take * channels_;
        done += int(take);
        continue;
      }
      pcm_.clear();
      pcmRead_ = 0;
      if (!DecodeFrame()) break;
    }
    if (done > 0) return done;
    return ended_ ? 0 : kNotYet;
  }

 private:
  bool DecodeFrame() {
    uint8_t piece[4096];
    bool ended = false;
    size_t got = source_->Take(piece, sizeof piece, &ended);
    bytes_.insert(bytes_.end(), piece, piece + got);
    for (;;) {
      Mp3Header header;
      size_t at = 0;
      while (at + 4 <= bytes_.size() && !ParseMp3Header(bytes_.data() + at, &header)) ++at;
      bytes_.erase(bytes_.begin(), bytes_.begin() + std::min(at, bytes_.size() > 3 ? bytes_.size() - 3 : 0));
      if (bytes_.size() < 4 || !ParseMp3Header(bytes_.data(), &header)) {
        if (ended && got == 0) ended_ = true;
        return false;
      }
      size_t next = size_t(header.frameBytes);
      Mp3Header following;
      bool whole = bytes_.size() >= next + 4;
      if (!whole && !(ended && bytes_.size() >= next)) {
        if (ended && got == 0) ended_ = true;
        return false;
      }
      bool chained =
          !whole || (ParseMp3Header(bytes_.data() + next, &following) && SameMp3Stream(header, following));
      if (!chained || (started_ && !SameMp3Stream(header, format_))) {
        bytes_.erase(bytes_.begin());
        continue;
      }
      if (!started_ && !StartCodec(header)) {
        ended_ = true;
        return false;
      }
      bool ok = codec_.Convert(bytes_.data(), next, &pcm_);
      bytes_.erase(bytes_.begin(), bytes_.begin() + next);
      if (!ok) {
        ended_ = true;
        return false;
      }
      if (!pcm_.empty()) return true;
    }
  }

  bool StartCodec(const Mp3Header& format) {
    if (!OpenMp3Codec(format, &codec_)) return false;
    format_ = format;
    rate_ = format.sampleRate;
    channels_ = format.channels;
    started_ = true;
    return true;
  }

  std::shared_ptr<NetSource> source_;
  std::vector<uint8_t> bytes_;
  AcmConverter codec_;
  Mp3Header format_;
  bool started_ = false;
  bool ended_ = false;
  int rate_ = 44100;
  int channels_ = 2;
  std::vector<int16_t> pcm_;
  size_t pcmRead_ = 0;
};

}  // namespace

void NetSource::Start(bool, std::atomic<int>* openState, std::atomic<int>* netStatus) {
  openState_ = openState;
  netStatus_ = netStatus;
  thread_ = std::thread([this] { ThreadMain(); });
}

void NetSource::Stop() {
  quit_ = true;
  {
    // Closing the session aborts a read that waits on the network.
    std::lock_guard<std::mutex> hold(lock_);
    if (session_) InternetCloseHandle(session_);
    session_ = nullptr;
  }
  if (thread_.joinable()) {
    if (thread_.get_id() == std::this_thread::get_id())
      thread_.detach();
    else
      thread_.join();
  }
}

size_t NetSource::Take(uint8_t* out, size_t max, bool* ended) {
  std::lock_guard<std::mutex> hold(lock_);
  size_t count = std::min(max, bytes_.size());
  std::copy(bytes_.begin(), bytes_.begin() + count, out);
  bytes_.erase(bytes_.begin(), bytes_.begin() + count);
  *ended = ended_ && bytes_.empty();
  return count;
}

size_t NetSource::Buffered() {
  std::lock_guard<std::mutex> hold(lock_);
  return bytes_.size();
}

void NetSource::ThreadMain() {
  HINTERNET session = InternetOpenA("Melodara", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (quit_ && session) {
      InternetCloseHandle(session);
      session = nullptr;
    }
    session_ = session;
  }
  Transfer(session);
  // The session closes its request with it.
  std::lock_guard<std::mutex> hold(lock_);
  if (session_) InternetCloseHandle(session_);
  session_ = nullptr;
}

void NetSource::Transfer(void* session) {
  auto fail = [this] {
    if (*openState_ != FSOUND_OPEN_READY) *openState_ = FSOUND_OPEN_FAILED;
    *netStatus_ = FSOUND_STREAM_NET_ERROR;
    std::lock_guard<std::mutex> hold(lock_);
    ended_ = true;
  };
  try {
    if (!session) return fail();
    DWORD timeout = 10000;
    InternetSetOptionA(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
    InternetSetOptionA(session, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
    HINTERNET request =
        InternetOpenUrlA(session, url_.c_str(), nullptr, 0,
                         INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_UI, 0);
    if (!request || quit_) return fail();
    DWORD status = 0, size = sizeof status;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
        status != 200)
      return fail();
    DWORD contentLength = 0;
    size = sizeof contentLength;
    bool haveLength = HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                                     &contentLength, &size, nullptr) != FALSE;
    *openState_ = FSOUND_OPEN_BUFFERING;
    *netStatus_ = FSOUND_STREAM_NET_BUFFERING;
    std::vector<uint8_t> head;  // the first bytes, to see that they are MP3
    uint64_t received = 0;
    uint8_t piece[8192];
    for (;;) {
      if (quit_) return;
      if (Buffered() > kMaxQueued) {
        Sleep(10);
        continue;
      }
      DWORD got = 0;
      BOOL ok = InternetReadFile(request, piece, sizeof piece, &got);
      bool over = ok && got == 0;
      if (!ok || (over && haveLength && received < contentLength)) return fail();  // the connection was lost
      received += got;
      if (head.size() < kSearchBytes) head.insert(head.end(), piece, piece + got);
      {
        std::lock_guard<std::mutex> hold(lock_);
        bytes_.insert(bytes_.end(), piece, piece + got);
        if (over) ended_ = true;
      }
      if (*openState_ != FSOUND_OPEN_READY && (head.size() >= kReadyBytes || over)) {
        if (HoldsMp3(head)) {
          *openState_ = FSOUND_OPEN_READY;
          *netStatus_ = FSOUND_STREAM_NET_READY;
        } else if (head.size() >= kSearchBytes || over) {
          return fail();
        }
      }
      if (over) return;
    }
  } catch (...) {
    fail();
  }
}

std::unique_ptr<Decoder> MakeNetDecoder(std::shared_ptr<NetSource> source) {
  return std::unique_ptr<Decoder>(new NetMp3Decoder(std::move(source)));
}

}  // namespace soundlib
