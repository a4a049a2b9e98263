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
#include "base/Guarded.h"
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
  std::shared_ptr<NetSource> self = shared_from_this();
  // The transfer's thread is never waited for: a call blocked in WinInet may
  // outlast the stream, and it holds the source until it returns.
  std::thread([self] { self->Transfer(); }).detach();
  watchdog_ = std::thread([self] { self->Watch(); });
}

void NetSource::Stop() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    quit_ = true;
    stopped_ = true;
    // Closing the handles ends what WinInet can end; the rest is let go.
    CloseHandlesLocked();
    wake_.notify_all();
  }
  if (watchdog_.joinable()) {
    if (watchdog_.get_id() == std::this_thread::get_id())
      watchdog_.detach();
    else
      watchdog_.join();
  }
}

void NetSource::CloseHandlesLocked() {
  // The request first, then what it was made from.
  for (int i = kHandles - 1; i >= 0; --i) {
    if (handles_[i]) InternetCloseHandle(handles_[i]);
    handles_[i] = nullptr;
  }
}

bool NetSource::Register(Handle which, void* h) {
  std::lock_guard<std::mutex> hold(lock_);
  if (quit_) {
    if (h) InternetCloseHandle(h);
    return false;
  }
  handles_[which] = h;
  return h != nullptr;
}

void NetSource::SetStatesLocked(int openState, int netStatus) {
  if (stopped_) return;
  // A stream that was ready stays so: what arrived still plays.
  if (openState != FSOUND_OPEN_FAILED || *openState_ != FSOUND_OPEN_READY) *openState_ = openState;
  *netStatus_ = netStatus;
}

void NetSource::Fail() {
  std::lock_guard<std::mutex> hold(lock_);
  SetStatesLocked(FSOUND_OPEN_FAILED, FSOUND_STREAM_NET_ERROR);
  ended_ = true;
  quit_ = true;
  CloseHandlesLocked();
  wake_.notify_all();
}

void NetSource::EnterCall() {
  std::lock_guard<std::mutex> hold(lock_);
  callStart_ = GetTickCount64();
  wake_.notify_all();
}

void NetSource::LeaveCall() {
  std::lock_guard<std::mutex> hold(lock_);
  callStart_ = 0;
}

void NetSource::Watch() {
  // False once a call passed its time-out, or when the watchdog itself threw
  // (no exception leaves the thread): a transfer nobody times could block for
  // good, so both fail it.
  const bool watched = base::Guarded(
      [&] {
        std::unique_lock<std::mutex> hold(lock_);
        while (!quit_) {
          if (callStart_ && GetTickCount64() - callStart_ >= uint64_t(kTimeoutMs)) return false;
          if (callStart_)
            wake_.wait_for(hold, std::chrono::milliseconds(std::max<int64_t>(
                                     1, int64_t(callStart_ + kTimeoutMs) - int64_t(GetTickCount64()))));
          else
            wake_.wait(hold);
        }
        return true;
      },
      false);
  if (!watched) Fail();
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

void NetSource::Transfer() {
  // No exception leaves the thread: one thrown fails the transfer as a lost
  // connection does.
  switch (base::Guarded([&] { return Receive(); }, kFailed)) {
    case kFailed:
      return Fail();
    case kLeft:
      return;
    case kReceived:
      break;
  }
  // The body is over: the handles close, and so does the watchdog.
  std::lock_guard<std::mutex> hold(lock_);
  quit_ = true;
  CloseHandlesLocked();
  wake_.notify_all();
}

NetSource::Ending NetSource::Receive() {
  char host[256] = {}, path[2048] = {}, extra[2048] = {};
  URL_COMPONENTSA parts = {};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host;
  parts.dwHostNameLength = sizeof host;
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = sizeof path;
  parts.lpszExtraInfo = extra;
  parts.dwExtraInfoLength = sizeof extra;
  if (!InternetCrackUrlA(url_.c_str(), 0, 0, &parts) || parts.nScheme != INTERNET_SCHEME_HTTP || !host[0])
    return kFailed;
  std::string object = std::string(path[0] ? path : "/") + extra;
  HINTERNET session = InternetOpenA("Melodara", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (!Register(kSession, session)) return kFailed;
  HINTERNET connection =
      InternetConnectA(session, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  if (!Register(kConnection, connection)) return kFailed;
  HINTERNET request =
      HttpOpenRequestA(connection, "GET", object.c_str(), nullptr, nullptr, nullptr,
                       INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_UI, 0);
  if (!Register(kRequest, request)) return kFailed;
  // Set on the request, where a WinInet that applies them looks; the
  // watchdog holds to them either way.
  DWORD timeout = kTimeoutMs;
  InternetSetOptionA(request, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
  InternetSetOptionA(request, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
  EnterCall();
  BOOL sent = HttpSendRequestA(request, nullptr, 0, nullptr, 0);
  LeaveCall();
  if (!sent || quit_) return kFailed;
  DWORD status = 0, size = sizeof status;
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
      status != 200)
    return kFailed;
  DWORD contentLength = 0;
  size = sizeof contentLength;
  bool haveLength = HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                                   &contentLength, &size, nullptr) != FALSE;
  {
    std::lock_guard<std::mutex> hold(lock_);
    SetStatesLocked(FSOUND_OPEN_BUFFERING, FSOUND_STREAM_NET_BUFFERING);
  }
  std::vector<uint8_t> head;  // the first bytes, to see that they are MP3
  uint64_t received = 0;
  uint8_t piece[8192];
  for (;;) {
    if (quit_) return kLeft;
    if (Buffered() > kMaxQueued) {
      Sleep(10);
      continue;
    }
    DWORD got = 0;
    EnterCall();
    BOOL ok = InternetReadFile(request, piece, sizeof piece, &got);
    LeaveCall();
    if (quit_) return kLeft;
    bool over = ok && got == 0;
    if (!ok || (over && haveLength && received < contentLength)) return kFailed;  // the connection was lost
    received += got;
    if (head.size() < kSearchBytes) head.insert(head.end(), piece, piece + got);
    std::lock_guard<std::mutex> hold(lock_);
    if (stopped_) return kLeft;
    bytes_.insert(bytes_.end(), piece, piece + got);
    if (over) ended_ = true;
    if (*openState_ != FSOUND_OPEN_READY && (head.size() >= kReadyBytes || over)) {
      if (HoldsMp3(head)) {
        SetStatesLocked(FSOUND_OPEN_READY, FSOUND_STREAM_NET_READY);
      } else if (head.size() >= kSearchBytes || over) {
        SetStatesLocked(FSOUND_OPEN_FAILED, FSOUND_STREAM_NET_ERROR);
        ended_ = true;
        break;
      }
    }
    if (over) break;
  }
  return kReceived;
}

std::unique_ptr<Decoder> MakeNetDecoder(std::shared_ptr<NetSource> source) {
  return std::unique_ptr<Decoder>(new NetMp3Decoder(std::move(source)));
}

}  // namespace soundlib
