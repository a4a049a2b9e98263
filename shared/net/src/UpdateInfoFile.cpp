#include "net/UpdateInfoFile.h"

#include "net/HttpExchange.h"

namespace {

const char kAgent[] = "Get UpdateInfo File";
const char kHeaders[] = "Accept: text/*\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n";
// Never from a cache; an open connection may be reused.
const DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT;

}  // namespace

int GetUpdateInfoFile(const char* url, std::string& out, CHttpCancel* cancel) {
  CHttpExchange exchange(cancel);
  CHttpExchange::Result sent = exchange.Send(kAgent, url, kHeaders, kRequestFlags);
  if (sent != CHttpExchange::kOk) return sent;
  if (exchange.Status() != 200) return CHttpExchange::kFailed;
  const size_t cap = GetHttpLimits().maxTextBytes;
  size_t total = 0;
  char buffer[1024];
  for (;;) {
    DWORD got = 0;
    if (!exchange.Read(buffer, sizeof buffer - 1, &got)) return CHttpExchange::kFailed;
    if (got == 0) break;
    total += got;
    if (total > cap) return CHttpExchange::kFailed;
    out.append(buffer, got);
  }
  // A connection closed early ends the body like a complete one.
  if (exchange.ContentLength() >= 0 && static_cast<int64_t>(total) != exchange.ContentLength())
    return CHttpExchange::kFailed;
  return CHttpExchange::kOk;
}

void StripHtmlTags(char* text, bool& insideTag) {
  char* write = text;
  for (const char* read = text; *read; ++read) {
    if (insideTag) {
      if (*read == '>') insideTag = false;
    } else if (*read == '<') {
      insideTag = true;
    } else {
      *write++ = *read;
    }
  }
  *write = '\0';
}
