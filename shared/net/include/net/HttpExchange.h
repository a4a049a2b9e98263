#pragma once
// One HTTP GET over WinInet, through InternetConnect and HttpOpenRequest: only
// handles of that exchange honour the connection and receive time-outs under
// Wine, so every transfer of the player and the updater goes through it.
#include <windows.h>
#include <wininet.h>

#include <cstdint>
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

class CHttpExchange {
 public:
  enum Result { kOk = 0, kBadUrl = 1, kFailed = 2 };

  CHttpExchange() = default;
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
  HINTERNET m_session = nullptr;
  HINTERNET m_connection = nullptr;
  HINTERNET m_request = nullptr;
  DWORD m_status = 0;
  int64_t m_contentLength = -1;
};
