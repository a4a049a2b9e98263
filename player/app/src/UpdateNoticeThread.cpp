#include "app/UpdateNoticeThread.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "app/PlayerStrings.h"
#include "app/RegValues.h"
#include "base/Guarded.h"
#include "net/HttpExchange.h"
#include "net/UpdateInfoFile.h"

namespace notice {

bool CutAtMarker(const std::string& reply, std::string& before) {
  static const char kMarker[] = "<!DOCTYPE html PUBLIC";
  const std::string text(reply.c_str());  // a C string: ends at the first NUL
  const size_t at = text.find(kMarker);
  if (at == std::string::npos || at == 0) return false;
  before = text.substr(0, at);
  return true;
}

bool SplitNews(const std::string& text, long& tag, std::string& notice) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0) return false;
  const std::string prefix = text.substr(0, colon);
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(prefix.c_str(), &end, 10);
  // strtol saturates at LONG_MIN/LONG_MAX on overflow; no digits read as 0.
  tag = end == prefix.c_str() ? 0 : value;
  notice = text.substr(colon + 1);
  return true;
}

}  // namespace notice

namespace {

void RemoveTrailingLineFeeds(std::string& text) {
  while (!text.empty() && text.back() == '\n') text.pop_back();
}

// Posts the text (and the pop-up request when show >= 0). A text whose post
// fails is freed here; the pop-up is then not asked for.
void HandOver(HWND window, const std::string& text, int show) {
  std::unique_ptr<std::string> copy(new std::string(text));
  if (!PostMessageA(window, WM_PLAYER_NOTICE_TEXT, 0, reinterpret_cast<LPARAM>(copy.get()))) return;
  copy.release();
  if (show >= 0) PostMessageA(window, WM_PLAYER_SHOW_NOTICE, static_cast<WPARAM>(show), 0);
}

// True when the stop event was set (or cannot be waited on) within ms.
bool StopRequested(HANDLE stopEvent, DWORD ms) { return WaitForSingleObject(stopEvent, ms) != WAIT_TIMEOUT; }

DWORD Run(UpdateNoticeConfig& config) {
  CHttpCancel* cancel = config.cancel;
  auto fetch = config.fetch ? config.fetch : [cancel](const std::string& url, std::string& out) {
    return GetUpdateInfoFile(url.c_str(), out, cancel);
  };
  CRegValue storedTag(config.tagPath, 0);

  if (!config.version.empty()) {
    std::string reply;
    std::string text;
    const std::string url = config.homeUrl + LoadPlayerString(146) + config.version;
    if (fetch(url, reply) == 0 && notice::CutAtMarker(reply, text)) {
      RemoveTrailingLineFeeds(text);
      if (!text.empty()) {
        HandOver(config.window, text, 1);
        if (StopRequested(config.stopEvent, config.softwareNoticeWaitMs)) return 0;
      }
    }
  }

  bool firstPass = true;
  for (;;) {
    std::string reply;
    const std::string url = config.homeUrl + LoadPlayerString(145);
    if (fetch(url, reply) == 0) {
      std::string text(reply.c_str());
      std::string before;
      if (notice::CutAtMarker(text, before)) text = before;
      long tag = 0;
      std::string news;
      if (!text.empty() && notice::SplitNews(text, tag, news)) {
        const DWORD newTag = static_cast<DWORD>(tag);
        if (newTag != storedTag.Get()) {
          storedTag.Set(newTag);
          HandOver(config.window, news, 0);
        } else if (firstPass) {
          firstPass = false;
          HandOver(config.window, news, -1);
        }
      } else if (!text.empty()) {
        HandOver(config.window, text, 0);
      }
    }
    if (StopRequested(config.stopEvent, config.newsIntervalMs)) return 0;
  }
}

}  // namespace

DWORD WINAPI UpdateNoticeThreadProc(LPVOID param) {
  auto* config = static_cast<UpdateNoticeConfig*>(param);
  if (config == nullptr) return 1;
  return base::Guarded([&] { return Run(*config); }, static_cast<DWORD>(1));
}

std::unique_ptr<std::string> TakeNoticeText(LPARAM lParam) {
  return std::unique_ptr<std::string>(reinterpret_cast<std::string*>(lParam));
}

void DrainNoticeTexts(HWND window) {
  MSG msg;
  while (PeekMessageA(&msg, window, WM_PLAYER_NOTICE_TEXT, WM_PLAYER_NOTICE_TEXT, PM_REMOVE))
    TakeNoticeText(msg.lParam);
}
