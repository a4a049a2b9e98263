#pragma once
// One transfer at a time on a worker thread of its own: a text fetch or a file
// download, reported to a listener.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

// Called on the worker thread. Implementations must not wait on the thread
// that detaches them (no SendMessage to it): the call runs under the lock that
// detaching takes.
class IDownloadListener {
 public:
  virtual ~IDownloadListener() = default;
  // finished: the local file was created; the outcome says whether it is whole.
  virtual void OnDownloadDone(BOOL finished) = 0;
  // The body of a text fetch; empty when it failed.
  virtual void OnTextReceived(const std::string& text) = 0;
  // A block of at most 2048 bytes, before it is written to the file.
  virtual void OnDataReceived(const char* data, DWORD count) = 0;
};

// What a file download came to, readable from the listener's OnDownloadDone.
struct DownloadOutcome {
  bool finished = false;    // the local file was created
  bool cancelled = false;   // Cancel stopped it
  bool readFailed = false;  // the network failed or timed out while reading
  DWORD status = 0;         // HTTP status; 0 when no answer came
  uint64_t bytes = 0;       // bytes written to the file
  int64_t contentLength = -1;
  // Nothing the transfer can tell went wrong: status 200, not cancelled, no
  // failure, as many bytes as announced, and not empty. Without an announced
  // length a connection closed early looks the same as the body's end, so
  // the file is whole only once its checksum says so.
  bool Complete() const {
    return finished && !cancelled && !readFailed && status == 200 && bytes > 0 &&
           (contentLength < 0 || static_cast<int64_t>(bytes) == contentLength);
  }
};

class CDownloader {
 public:
  static constexpr DWORD kBlock = 2048;

  CDownloader();
  // Detaches the listener; a running worker ends on its own without it.
  ~CDownloader();
  CDownloader(const CDownloader&) = delete;
  CDownloader& operator=(const CDownloader&) = delete;

  void SetListener(IDownloadListener* listener);
  // Detaches the listener: once this returns, no worker calls it again.
  void DetachListener() { SetListener(nullptr); }
  std::string GetLocalPath() const;

  // Clears the cancel flag and fetches the address as text.
  BOOL StartTextFetch(const std::string& url);
  // Saves the address to the local path; ends at once, calling nobody, while
  // the cancel flag is set.
  BOOL StartFileDownload(const std::string& url, const std::string& localPath);
  // Sets the cancel flag, checked before every block. Never waits.
  BOOL Cancel();
  // The outcome of the last file download that ended.
  DownloadOutcome GetOutcome() const;
  // Waits until no worker of this downloader runs; false when the time is up.
  bool WaitUntilIdle(DWORD timeoutMs) const;

  struct Shared;

 private:
  std::shared_ptr<Shared> m_shared;
  std::string m_url;
  std::string m_localPath;
};
