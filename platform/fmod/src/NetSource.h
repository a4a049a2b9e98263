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

class NetSource {
 public:
  explicit NetSource(std::string url) : url_(std::move(url)) {}
  ~NetSource() { Stop(); }
  // Connects on its own thread, setting the stream's open state and net
  // status as it goes (on the manual clock too: the network has no clock).
  void Start(bool manual, std::atomic<int>* openState, std::atomic<int>* netStatus);
  // Ends the thread and the connection.
  void Stop();
  // Up to max bytes; 0 with *ended set once the body is over or lost.
  size_t Take(uint8_t* out, size_t max, bool* ended);
  size_t Buffered();

 private:
  void ThreadMain();
  void Transfer(void* session);

  std::string url_;
  std::atomic<int>* openState_ = nullptr;
  std::atomic<int>* netStatus_ = nullptr;
  std::mutex lock_;
  std::deque<uint8_t> bytes_;
  bool ended_ = false;
  void* session_ = nullptr;  // HINTERNET, under lock_
  std::atomic<bool> quit_{false};
  std::thread thread_;
};

std::unique_ptr<Decoder> MakeNetDecoder(std::shared_ptr<NetSource> source);

}  // namespace soundlib
