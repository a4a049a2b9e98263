#include "Stream.h"

#include <objbase.h>

#include <algorithm>
#include <cstring>

#include "CallbackGate.h"

namespace soundlib {
namespace {

// Source frames decoded in one step: small enough that a seek or the mixer
// never waits long for the decoding lock.
constexpr int kDecodeStep = 2048;

}  // namespace

Stream::Stream(uintptr_t h, int rate, int ringMs)
    : handle(h), mixRate(rate), gate(std::make_shared<CallbackGate>()) {
  ringFrames_ = size_t(std::max(rate / 10, rate * std::max(ringMs, 100) / 1000));
  ring_.resize(ringFrames_ * 2);
}

Stream::~Stream() { StopThread(); }

void Stream::SetDecoder(std::unique_ptr<Decoder> decoder) {
  std::lock_guard<std::mutex> hold(decodeLock_);
  decoder_ = std::move(decoder);
  decoderRate_ = decoder_->SampleRate();
  step_ = double(decoderRate_) / mixRate;
  t_ = 1.0;
  prev_[0] = prev_[1] = 0;
}

int64_t Stream::LengthMs() {
  std::lock_guard<std::mutex> hold(decodeLock_);
  if (!decoder_ || decoder_->LengthFrames() < 0) return 0;
  return decoder_->LengthFrames() * 1000 / decoder_->SampleRate();
}

void Stream::Resample(const float* in, int frames, int channels) {
  resampled_.clear();
  auto at = [&](int i, int c) { return in[i * channels + (channels == 2 ? c : 0)]; };
  if (step_ == 1.0) {
    // The common case is exact: the mix rate is the file's rate.
    for (int i = 0; i < frames; ++i) {
      resampled_.push_back(at(i, 0));
      resampled_.push_back(at(i, 1));
    }
    return;
  }
  // Linear interpolation between the frame before t_ and the one at it; the
  // chunk's last frame is kept for the next chunk.
  while (t_ < frames) {
    int i = int(t_);
    float frac = float(t_ - i);
    for (int c = 0; c < 2; ++c) {
      float a = i == 0 ? prev_[c] : at(i - 1, c);
      float b = at(i, c);
      resampled_.push_back(a + (b - a) * frac);
    }
    t_ += step_;
  }
  t_ -= frames;
  prev_[0] = at(frames - 1, 0);
  prev_[1] = at(frames - 1, 1);
}

bool Stream::Fill(int frames) {
  std::lock_guard<std::mutex> decoding(decodeLock_);
  if (!decoder_) return false;
  bool added = false;
  for (;;) {
    size_t room;
    {
      std::lock_guard<std::mutex> hold(ringLock_);
      if (eof_ || ringCount_ >= size_t(frames) || ringCount_ == ringFrames_) return added;
      room = ringFrames_ - ringCount_;
    }
    if (decoder_->SampleRate() != decoderRate_) {
      // A net stream learns its rate from its first frame.
      decoderRate_ = decoder_->SampleRate();
      step_ = double(decoderRate_) / mixRate;
    }
    // Decode no more source frames than the ring can take once resampled.
    int want = int(std::min<double>(kDecodeStep, std::max(1.0, double(room) * step_ - 2)));
    decoded_.resize(size_t(want) * decoder_->Channels());
    int got = decoder_->Read(decoded_.data(), want);
    if (got == Decoder::kNotYet) return added;
    std::lock_guard<std::mutex> hold(ringLock_);
    if (got <= 0) {
      eof_ = true;
      return added;
    }
    Resample(decoded_.data(), got, decoder_->Channels());
    size_t count = std::min(resampled_.size() / 2, ringFrames_ - ringCount_);
    for (size_t i = 0; i < count; ++i) {
      size_t slot = (ringRead_ + ringCount_ + i) % ringFrames_;
      ring_[slot * 2] = resampled_[i * 2];
      ring_[slot * 2 + 1] = resampled_[i * 2 + 1];
    }
    ringCount_ += count;
    added = true;
  }
}

int Stream::Pull(float* stereo, int frames) {
  std::lock_guard<std::mutex> hold(ringLock_);
  size_t take = std::min(size_t(frames), ringCount_);
  for (size_t i = 0; i < take; ++i) {
    size_t slot = (ringRead_ + i) % ringFrames_;
    stereo[i * 2] = ring_[slot * 2];
    stereo[i * 2 + 1] = ring_[slot * 2 + 1];
  }
  ringRead_ = (ringRead_ + take) % ringFrames_;
  ringCount_ -= take;
  // Wake the decoding thread only once there is a good piece to fill.
  if (take && ringCount_ < ringFrames_ / 2) ringCv_.notify_all();
  return int(take);
}

bool Stream::Drained() {
  std::lock_guard<std::mutex> hold(ringLock_);
  return eof_ && ringCount_ == 0;
}

void Stream::SeekTo(int64_t mixFrame) {
  std::lock_guard<std::mutex> decoding(decodeLock_);
  if (decoder_) {
    int64_t frame = mixFrame * decoder_->SampleRate() / mixRate;
    decoder_->Seek(frame);
  }
  t_ = 1.0;
  prev_[0] = prev_[1] = 0;
  std::lock_guard<std::mutex> hold(ringLock_);
  ringRead_ = ringCount_ = 0;
  eof_ = false;
  ringCv_.notify_all();
}

void Stream::StartThread() {
  if (thread_.joinable()) return;
  std::shared_ptr<Stream> self = shared_from_this();
  thread_ = std::thread([self] { self->ThreadMain(); });
}

void Stream::SignalEnd(FSOUND_STREAMCALLBACK callback, void* user) {
  std::lock_guard<std::mutex> hold(ringLock_);
  endPending_ = true;
  pendingCallback_ = callback;
  pendingUser_ = user;
  ringCv_.notify_all();
}

void Stream::StopThread() {
  {
    std::lock_guard<std::mutex> hold(ringLock_);
    quit_ = true;
    ringCv_.notify_all();
  }
  if (!thread_.joinable()) return;
  if (thread_.get_id() == std::this_thread::get_id())
    thread_.detach();  // closed from its own end callback: it ends when the callback returns
  else
    thread_.join();
}

void Stream::ThreadMain() {
  // Windows Media decoding is COM; the thread joins the free-threaded apartment.
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  try {
    for (;;) {
      bool signalEnd = false;
      FSOUND_STREAMCALLBACK callback = nullptr;
      void* user = nullptr;
      {
        std::unique_lock<std::mutex> hold(ringLock_);
        if (quit_) return;
        if (endPending_) {
          endPending_ = false;
          signalEnd = true;
          callback = pendingCallback_;
          user = pendingUser_;
        }
      }
      if (signalEnd) {
        if (callback && gate->Enter()) {
          callback(reinterpret_cast<FSOUND_STREAM*>(handle), nullptr, 0, user);
          gate->Leave();
        }
        continue;
      }
      bool added = Fill(int(ringFrames_));
      std::unique_lock<std::mutex> hold(ringLock_);
      if (quit_) return;
      if (!added && !endPending_) ringCv_.wait_for(hold, std::chrono::milliseconds(20));
    }
  } catch (...) {
    // No exception leaves a thread; a stream whose decoding fails goes quiet.
  }
}

}  // namespace soundlib
