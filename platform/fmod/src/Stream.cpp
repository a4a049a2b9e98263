#include "Stream.h"

#include <objbase.h>

#include <algorithm>
#include <cstring>

#include "CallbackGate.h"
#include "base/Guarded.h"

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
  resampler_.Reset(decoder_->SampleRate(), mixRate, 0);
}

int64_t Stream::LengthMs() {
  std::lock_guard<std::mutex> hold(decodeLock_);
  if (!decoder_ || decoder_->LengthFrames() < 0) return 0;
  return decoder_->LengthFrames() * 1000 / decoder_->SampleRate();
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
    // What the resampler can make from the source it holds goes first; the
    // rest stays there for the next fill, so nothing is lost to a full ring.
    resampled_.resize(size_t(kDecodeStep) * 2);
    int made = resampler_.Produce(resampled_.data(), int(std::min<size_t>(room, kDecodeStep)));
    if (made > 0) {
      std::lock_guard<std::mutex> hold(ringLock_);
      for (int i = 0; i < made; ++i) {
        size_t slot = (ringRead_ + ringCount_ + size_t(i)) % ringFrames_;
        ring_[slot * 2] = resampled_[size_t(i) * 2];
        ring_[slot * 2 + 1] = resampled_[size_t(i) * 2 + 1];
      }
      ringCount_ += size_t(made);
      added = true;
      continue;
    }
    if (resampler_.Done()) {
      std::lock_guard<std::mutex> hold(ringLock_);
      eof_ = true;
      return added;
    }
    decoded_.resize(size_t(kDecodeStep) * decoder_->Channels());
    int got = decoder_->Read(decoded_.data(), kDecodeStep);
    if (got == Decoder::kNotYet) return added;
    if (got <= 0) {
      resampler_.Finish();
      continue;
    }
    // A net stream learns its rate from its first frame.
    if (decoder_->SampleRate() != resampler_.InRate()) resampler_.Reset(decoder_->SampleRate(), mixRate, 0);
    resampler_.Push(decoded_.data(), got, decoder_->Channels());
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
  // The resampler starts a little before the frame (its filter reaches back),
  // so the frame sounds as it does when played from the start.
  if (decoder_) decoder_->Seek(resampler_.Reset(decoder_->SampleRate(), mixRate, mixFrame));
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
  // No exception leaves a thread; a stream whose decoding fails goes quiet.
  base::Guarded([&] {
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
  });
}

}  // namespace soundlib
