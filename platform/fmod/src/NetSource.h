#pragma once
// An HTTP MP3 stream: a thread of its own reads the body through WinInet
// into a byte queue; the stream's decoder takes whole frames from it.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "Decoder.h"

namespace soundlib {

// Wine's WinInet applies no time-out to a connect or a read, and a closed
// session does not end a read under way; so a watchdog thread of the source
// fails a call that passes its time-out, and Stop closes every handle and
// leaves a call still blocked to end on its own (its thread holds the source).
class NetSource : public std::enable_shared_from_this<NetSource> {
 public:
  explicit NetSource(std::string url) : url_(std::move(url)) {}
  ~NetSource() { Stop(); }
  // Connects on its own thread, setting the stream's open state and net
  // status as it goes (on the manual clock too: the network has no clock).
  // Both must outlive the source or its Stop.
  void Start(bool manual, std::atomic<int>* openState, std::atomic<int>* netStatus);
  // Ends the transfer at once, whatever the server does; nothing is set
  // through the state pointers afterwards.
  void Stop();
  // Up to max bytes; 0 with *ended set once the body is over or lost.
  size_t Take(uint8_t* out, size_t max, bool* ended);
  size_t Buffered();

  // A connect (up to the response's headers) or a read may last this long.
  static constexpr int kTimeoutMs = 10000;

 private:
  enum Handle { kSession, kConnection, kRequest, kHandles };
  // How the body's reading ended: all of it queued, given up because the
  // source was stopped or already failed, or failed here.
  enum Ending { kReceived, kLeft, kFailed };
  // The transfer thread: Receive, then what its ending asks.
  void Transfer();
  Ending Receive();
  void Watch();
  // Sets the states unless stopped; under lock_.
  void SetStatesLocked(int openState, int netStatus);
  // The transfer failed: states, end of the body, handles closed.
  void Fail();
  void CloseHandlesLocked();
  // Keeps h for Stop and the watchdog to close; false once stopped (h closed).
  bool Register(Handle which, void* h);
  // Around a blocking call: the watchdog times it.
  void EnterCall();
  void LeaveCall();

  std::string url_;
  std::atomic<int>* openState_ = nullptr;
  std::atomic<int>* netStatus_ = nullptr;
  std::mutex lock_;
  std::condition_variable wake_;
  std::deque<uint8_t> bytes_;
  bool ended_ = false;
  bool stopped_ = false;
  void* handles_[kHandles] = {};  // HINTERNET, under lock_
  uint64_t callStart_ = 0;        // GetTickCount64 of the blocking call under way, 0 when none
  std::atomic<bool> quit_{false};
  std::thread watchdog_;
};

std::unique_ptr<Decoder> MakeNetDecoder(std::shared_ptr<NetSource> source);

}  // namespace soundlib
