#include "updater/Downloader.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "base/Guarded.h"
#include "base/Handles.h"
#include "net/HttpExchange.h"
#include "net/UpdateInfoFile.h"

// What the workers share with the downloader; it outlives both.
struct CDownloader::Shared {
  std::recursive_mutex listenerLock;
  IDownloadListener* listener = nullptr;
  std::atomic<int> cancel{0};
  mutable std::mutex stateLock;
  mutable std::condition_variable idle;
  int running = 0;
  DownloadOutcome outcome;
};

namespace {

using Shared = CDownloader::Shared;

// Reads the network in large chunks: small reads are slow under WinInet.
constexpr DWORD kNetworkChunk = 64 * 1024;

class Running {
 public:
  explicit Running(Shared& shared) : m_shared(shared) {}
  ~Running() {
    std::lock_guard<std::mutex> lock(m_shared.stateLock);
    --m_shared.running;
    m_shared.idle.notify_all();
  }

 private:
  Shared& m_shared;
};

void TextWorker(std::shared_ptr<Shared> shared, std::string url) {
  Running running(*shared);
  std::string text;
  if (!base::Guarded([&] { return GetUpdateInfoFile(url.c_str(), text) == 0; }, false)) text.clear();
  std::lock_guard<std::recursive_mutex> lock(shared->listenerLock);
  if (shared->listener) shared->listener->OnTextReceived(text);
}

void Receive(Shared& shared, const std::string& url, const std::string& path, DownloadOutcome& outcome) {
  CHttpExchange exchange;
  base::ScopedHandle file;
  if (exchange.Send(nullptr, url.c_str(), nullptr,
                    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_BINARY) ==
      CHttpExchange::kOk) {
    outcome.status = exchange.Status();
    outcome.contentLength = exchange.ContentLength();
    file.Attach(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  if (file) {
    outcome.finished = true;
    std::vector<char> chunk(kNetworkChunk);
    bool more = true;
    while (more) {
      DWORD got = 0;
      if (!exchange.Read(chunk.data(), kNetworkChunk, &got)) {
        outcome.readFailed = true;
        break;
      }
      if (got == 0) break;
      for (DWORD offset = 0; offset < got; offset += CDownloader::kBlock) {
        if (shared.cancel) {
          outcome.cancelled = true;
          more = false;
          break;
        }
        DWORD count = std::min(CDownloader::kBlock, got - offset);
        {
          std::lock_guard<std::recursive_mutex> lock(shared.listenerLock);
          if (shared.listener) shared.listener->OnDataReceived(chunk.data() + offset, count);
        }
        DWORD written = 0;
        if (!WriteFile(file.Get(), chunk.data() + offset, count, &written, nullptr) || written != count) {
          outcome.readFailed = true;
          more = false;
          break;
        }
        outcome.bytes += count;
      }
    }
    file.Close();
  }
  exchange.Close();
}

void FileWorker(std::shared_ptr<Shared> shared, std::string url, std::string path) {
  Running running(*shared);
  if (shared->cancel) return;
  DownloadOutcome outcome;
  // A transfer that fails inside (memory running out mid-file) ends as an
  // unfinished download the listener still hears of, never as a silent thread.
  if (!base::Guarded(
          [&] {
            Receive(*shared, url, path, outcome);
            return true;
          },
          false)) {
    outcome.finished = false;
    outcome.readFailed = true;
  }
  {
    std::lock_guard<std::mutex> lock(shared->stateLock);
    shared->outcome = outcome;
  }
  std::lock_guard<std::recursive_mutex> lock(shared->listenerLock);
  if (shared->listener) shared->listener->OnDownloadDone(outcome.finished ? TRUE : FALSE);
}

// Threads end on their own; what they use is held by the shared state.
template <typename Function, typename... Args>
BOOL Launch(Shared& shared, Function function, Args... args) {
  {
    std::lock_guard<std::mutex> lock(shared.stateLock);
    ++shared.running;
  }
  try {
    // No failure may leave a thread of ours: a listener that throws ends only its call.
    std::thread([=] { base::Guarded([&] { function(args...); }); }).detach();
  } catch (...) {
    std::lock_guard<std::mutex> lock(shared.stateLock);
    --shared.running;
    shared.idle.notify_all();
    return FALSE;
  }
  return TRUE;
}

}  // namespace

CDownloader::CDownloader() : m_shared(std::make_shared<Shared>()) {}

CDownloader::~CDownloader() { DetachListener(); }

void CDownloader::SetListener(IDownloadListener* listener) {
  std::lock_guard<std::recursive_mutex> lock(m_shared->listenerLock);
  m_shared->listener = listener;
}

std::string CDownloader::GetLocalPath() const { return m_localPath; }

BOOL CDownloader::StartTextFetch(const std::string& url) {
  m_shared->cancel = 0;
  m_url = url;
  return Launch(*m_shared, TextWorker, m_shared, url);
}

BOOL CDownloader::StartFileDownload(const std::string& url, const std::string& localPath) {
  m_url = url;
  m_localPath = localPath;
  return Launch(*m_shared, FileWorker, m_shared, url, localPath);
}

BOOL CDownloader::Cancel() {
  m_shared->cancel = 1;
  return TRUE;
}

DownloadOutcome CDownloader::GetOutcome() const {
  std::lock_guard<std::mutex> lock(m_shared->stateLock);
  return m_shared->outcome;
}

bool CDownloader::WaitUntilIdle(DWORD timeoutMs) const {
  std::unique_lock<std::mutex> lock(m_shared->stateLock);
  return m_shared->idle.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [this] { return m_shared->running == 0; });
}
