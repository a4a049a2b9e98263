#include "playback/CAudioLengthWorker.h"

#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "base/Guarded.h"
#include "playback/AudioLength.h"
#include "ui/PlayerMessages.h"

// Shared by the worker and its thread: whichever goes last frees it.
struct CAudioLengthWorker::Queue {
  HWND window = nullptr;
  std::mutex lock;
  std::deque<std::pair<std::string, unsigned>> files;
  bool running = false;  // a thread is taking files
  bool closed = false;   // the worker is gone: nothing more is measured or posted
};

namespace {

void Post(HWND window, std::unique_ptr<AudioLengthResult> result) {
  if (PostMessageA(window, WM_PLAYER_AUDIO_LENGTH, 0, reinterpret_cast<LPARAM>(result.get())))
    result.release();
}

// Takes files until the queue is empty, then ends: no thread waits while
// nothing is asked.
template <typename Queue>
void Run(const std::shared_ptr<Queue>& queue) {
  for (;;) {
    auto result = std::make_unique<AudioLengthResult>();
    {
      std::lock_guard<std::mutex> hold(queue->lock);
      if (queue->closed || queue->files.empty()) {
        queue->running = false;
        return;
      }
      result->path = std::move(queue->files.front().first);
      result->token = queue->files.front().second;
      queue->files.pop_front();
    }
    const int ms = MeasureAudioLengthMs(result->path.c_str());
    result->seconds = ms > 0 ? (ms + 999) / 1000 : 0;
    std::lock_guard<std::mutex> hold(queue->lock);
    if (!queue->closed) Post(queue->window, std::move(result));
  }
}

}  // namespace

std::unique_ptr<AudioLengthResult> TakeAudioLength(LPARAM lParam) {
  return std::unique_ptr<AudioLengthResult>(reinterpret_cast<AudioLengthResult*>(lParam));
}

CAudioLengthWorker::CAudioLengthWorker(HWND window) : m_queue(std::make_shared<Queue>()) {
  m_queue->window = window;
}

CAudioLengthWorker::~CAudioLengthWorker() {
  std::lock_guard<std::mutex> hold(m_queue->lock);
  m_queue->closed = true;
  m_queue->files.clear();
}

bool CAudioLengthWorker::Measure(const std::string& path, unsigned token) {
  std::lock_guard<std::mutex> hold(m_queue->lock);
  m_queue->files.emplace_back(path, token);
  if (m_queue->running) return true;
  try {
    // Detached: the exit waits for no file; the thread keeps the queue alive.
    std::thread([queue = m_queue] {
      if (base::Guarded([&] { return Run(queue), true; }, false)) return;
      // A thread that failed midway lets the next file start another.
      std::lock_guard<std::mutex> hold(queue->lock);
      queue->running = false;
    }).detach();
  } catch (const std::system_error&) {
    m_queue->files.pop_back();
    return false;
  }
  m_queue->running = true;
  return true;
}
