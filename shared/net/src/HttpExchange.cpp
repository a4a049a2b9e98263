#include "net/HttpExchange.h"

#include <atomic>
#include <mutex>
#include <string>

namespace {

std::mutex g_limitsLock;
HttpLimits g_limits;

}  // namespace

void SetHttpLimits(const HttpLimits& limits) {
  std::lock_guard<std::mutex> lock(g_limitsLock);
  g_limits = limits;
}

HttpLimits GetHttpLimits() {
  std::lock_guard<std::mutex> lock(g_limitsLock);
  return g_limits;
}

void CHttpCancel::Cancel() {
  std::lock_guard<std::mutex> lock(m_lock);
  m_cancelled = true;
  if (m_session) InternetCloseHandle(m_session);
  m_session = nullptr;
}

bool CHttpCancel::Cancelled() const {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_cancelled;
}

bool CHttpCancel::Register(HINTERNET session) {
  std::lock_guard<std::mutex> lock(m_lock);
  if (m_cancelled) return false;
  m_session = session;
  return true;
}

bool CHttpCancel::Unregister() {
  std::lock_guard<std::mutex> lock(m_lock);
  const bool mine = m_session != nullptr;
  m_session = nullptr;
  return mine;
}

CHttpExchange::Result CHttpExchange::Send(const char* agent, const char* url, const char* headers,
                                          DWORD flags) {
  Close();
  if (!url || !*url) return kBadUrl;
  char host[256] = {}, path[4096] = {};
  URL_COMPONENTSA parts = {};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host;
  parts.dwHostNameLength = sizeof host;
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = sizeof path;
  char extra[4096] = {};
  parts.lpszExtraInfo = extra;
  parts.dwExtraInfoLength = sizeof extra;
  if (!InternetCrackUrlA(url, 0, 0, &parts) || parts.nScheme != INTERNET_SCHEME_HTTP || !host[0])
    return kBadUrl;
  std::string object = std::string(path[0] ? path : "/") + extra;

  const HttpLimits limits = GetHttpLimits();
  if (m_cancel && m_cancel->Cancelled()) return kFailed;
  m_session = InternetOpenA(agent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (!m_session) return kFailed;
  if (m_cancel) {
    if (!m_cancel->Register(m_session)) return kFailed;
    m_registered = true;
  }
  m_connection =
      InternetConnectA(m_session, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1);
  if (!m_connection) return kFailed;
  m_request = HttpOpenRequestA(m_connection, "GET", object.c_str(), nullptr, nullptr, nullptr, flags, 1);
  if (!m_request) return kFailed;
  // Set on the request itself: set on the session they are not applied.
  DWORD connectMs = limits.connectTimeoutMs, receiveMs = limits.receiveTimeoutMs;
  InternetSetOptionA(m_request, INTERNET_OPTION_CONNECT_TIMEOUT, &connectMs, sizeof connectMs);
  InternetSetOptionA(m_request, INTERNET_OPTION_SEND_TIMEOUT, &receiveMs, sizeof receiveMs);
  InternetSetOptionA(m_request, INTERNET_OPTION_RECEIVE_TIMEOUT, &receiveMs, sizeof receiveMs);
  if (headers &&
      !HttpAddRequestHeadersA(m_request, headers, static_cast<DWORD>(-1), HTTP_ADDREQ_FLAG_ADD_IF_NEW))
    return kFailed;
  if (!HttpSendRequestA(m_request, nullptr, 0, nullptr, 0)) return kFailed;
  DWORD status = 0, size = sizeof status;
  if (!HttpQueryInfoA(m_request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
    return kFailed;
  m_status = status;
  char length[32] = {};
  size = sizeof length - 1;
  if (HttpQueryInfoA(m_request, HTTP_QUERY_CONTENT_LENGTH, length, &size, nullptr)) {
    char* end = nullptr;
    long long value = strtoll(length, &end, 10);
    if (end != length && value >= 0) m_contentLength = value;
  }
  return kOk;
}

bool CHttpExchange::Read(void* buffer, DWORD size, DWORD* got) {
  *got = 0;
  if (!m_request) return false;
  return InternetReadFile(m_request, buffer, size, got) != FALSE;
}

void CHttpExchange::Close() {
  // After a cancel the handles are closed already; closing them again could
  // close a handle another transfer got meanwhile under the same value.
  bool mine = true;
  if (m_registered) mine = m_cancel->Unregister();
  m_registered = false;
  if (mine) {
    if (m_request) InternetCloseHandle(m_request);
    if (m_connection) InternetCloseHandle(m_connection);
    if (m_session) InternetCloseHandle(m_session);
  }
  m_request = m_connection = m_session = nullptr;
  m_status = 0;
  m_contentLength = -1;
}
