#pragma once
// One open stream: its decoder, a ring of decoded audio at the mix rate
// (stereo float), and its thread that keeps the ring filled and makes the
// end callback.
//
// Locks, always taken in this order: the system's API lock (channel, pause,
// gain, position, end state), then decodeLock (decoder, resampler), then
// ringLock (ring, eof, endPending). The decoding thread takes decodeLock and
// ringLock but never the API lock, so the mixer and API calls never wait on
// more than one decoding step.
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Decoder.h"
#include "Resampler.h"
#include "fmod.h"

namespace soundlib {

class CallbackGate;
class NetSource;

class Stream : public std::enable_shared_from_this<Stream> {
 public:
  Stream(uintptr_t handle, int mixRate, int ringMs);
  ~Stream();

  // Decoding.
  void SetDecoder(std::unique_ptr<Decoder> decoder);
  // Decodes into the ring until it holds at least frames (or the ring is
  // full, or the source ends). False when nothing more could be added.
  bool Fill(int frames);
  // Takes up to frames from the ring; the number taken.
  int Pull(float* stereo, int frames);
  // The source ended and the ring is empty.
  bool Drained();
  // Moves the decoder to a mix-rate frame and empties the ring.
  void SeekTo(int64_t mixFrame);
  int64_t LengthMs();

  // The decoding thread (real-time runs only). It holds the stream while it
  // runs, so a stream closed from its own end callback outlives the callback.
  void StartThread();
  // Asks the thread to make the end callback (the one set when the stream ended).
  void SignalEnd(FSOUND_STREAMCALLBACK callback, void* user);
  // Ends the thread; returns once it has ended, unless called on it.
  void StopThread();
  void WakeThread() { ringCv_.notify_all(); }

  const uintptr_t handle;
  const int mixRate;
  std::atomic<int> openState{FSOUND_OPEN_OPENING};
  std::atomic<int> netStatus{FSOUND_STREAM_NET_NOTCONNECTED};
  std::shared_ptr<NetSource> net;  // an HTTP stream's source
  std::shared_ptr<CallbackGate> gate;

  // Under the system's API lock.
  int channel = -1;
  bool paused = false;
  float gain = 1.0f;
  int64_t position = 0;  // mix-rate frames consumed by the mixer
  FSOUND_STREAMCALLBACK endCallback = nullptr;
  void* endUser = nullptr;
  // A non-blocking open still under way on its opener's thread.
  std::shared_ptr<void> opening;
  uint64_t openDeadline = 0;  // GetTickCount64: the open is given up after it

 private:
  void ThreadMain();

  std::mutex decodeLock_;
  std::unique_ptr<Decoder> decoder_;
  std::vector<float> decoded_;
  std::vector<float> resampled_;
  Resampler resampler_;

  std::mutex ringLock_;
  std::condition_variable ringCv_;
  std::vector<float> ring_;
  size_t ringFrames_;
  size_t ringRead_ = 0;
  size_t ringCount_ = 0;
  bool eof_ = false;
  bool endPending_ = false;
  FSOUND_STREAMCALLBACK pendingCallback_ = nullptr;
  void* pendingUser_ = nullptr;
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace soundlib
