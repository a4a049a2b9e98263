#pragma once
// One HTTP GET over WinInet, through InternetConnect and HttpOpenRequest: only
// handles of that exchange honour the connection and receive time-outs under
// Wine, so every transfer of the player and the updater goes through it.
#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <mutex>
#include <string>

// Limits for every transfer of the program. Nothing changes them in the
// programs; tests shorten the time-outs.
struct HttpLimits {
  DWORD connectTimeoutMs = 30000;
  DWORD receiveTimeoutMs = 30000;
  size_t maxTextBytes = 4 * 1024 * 1024;  // a text fetch larger than this fails
};
void SetHttpLimits(const HttpLimits& limits);
HttpLimits GetHttpLimits();

// Lets another thread end the transfers of a worker: Cancel closes the internet
// session of the exchange in progress, and every exchange that starts after it
// fails at once without sending anything. Any thread may call Cancel; the
// worker's exchanges register their session themselves.
//
// On Windows closing the session ends a blocking call at once. Wine's WinInet
// only marks the handles closed: a call already blocked runs on until its
// time-out (a held answer ends with 12030 or 10060 as without the close), so
// there the time-outs bound how long the worker can stay.
class CHttpCancel {
 public:
  CHttpCancel() = default;
  CHttpCancel(const CHttpCancel&) = delete;
  CHttpCancel& operator=(const CHttpCancel&) = delete;

  void Cancel();
  bool Cancelled() const;

 private:
  friend class CHttpExchange;
  // False once cancelled: the caller keeps and closes its session itself.
  bool Register(HINTERNET session);
  // True when the registered session is still the caller's to close, false
  // when Cancel closed it (and with it every handle made from it).
  bool Unregister();

  mutable std::mutex m_lock;
  HINTERNET m_session = nullptr;
  bool m_cancelled = false;
};

class CHttpExchange {
 public:
  enum Result { kOk = 0, kBadUrl = 1, kFailed = 2 };

  // cancel may be null; it must outlive the exchange.
  explicit CHttpExchange(CHttpCancel* cancel = nullptr) : m_cancel(cancel) {}
  ~CHttpExchange() { Close(); }
  CHttpExchange(const CHttpExchange&) = delete;
  CHttpExchange& operator=(const CHttpExchange&) = delete;

  // Parses the http URL, connects and sends the request; kBadUrl for a URL
  // that cannot be parsed or is not http (nothing is sent), kFailed for any
  // failure of the internet layer. headers may be null.
  Result Send(const char* agent, const char* url, const char* headers, DWORD flags);
  // The answer's status code, and its Content-Length (-1 when none was sent).
  DWORD Status() const { return m_status; }
  int64_t ContentLength() const { return m_contentLength; }
  // Reads up to size bytes; false on a failure (time-out included). A count of
  // 0 ends the body, whether it arrived whole or the server closed early.
  bool Read(void* buffer, DWORD size, DWORD* got);
  void Close();

 private:
  CHttpCancel* m_cancel = nullptr;
  bool m_registered = false;
  HINTERNET m_session = nullptr;
  HINTERNET m_connection = nullptr;
  HINTERNET m_request = nullptr;
  DWORD m_status = 0;
  int64_t m_contentLength = -1;
};
