#pragma once
// The update-notice worker: asks the home server once for a software-update
// notice and then every hour for news. It never touches a window's data: a
// notice text travels as a heap copy in WM_PLAYER_NOTICE_TEXT (the receiver owns
// it, see TakeNoticeText), followed by WM_PLAYER_SHOW_NOTICE when the pop-up
// should show it. Posted messages arrive in order, so the text is there
// before the pop-up asks for it.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "ui/PlayerMessages.h"

class CHttpCancel;

struct UpdateNoticeConfig {
  HWND window = nullptr;       // receives the two messages
  HANDLE stopEvent = nullptr;  // set by the owner to end the thread
  std::string homeUrl;         // GetHomeUrl()
  std::string version;         // the player's file version; empty skips the software check
  std::string tagPath = "Software\\Melodara\\UpdateInfoTag";  // HKCU, REG_DWORD
  // The fetch (GetUpdateInfoFile: 0 success) and the waits; tests shorten them.
  std::function<int(const std::string& url, std::string& out)> fetch;
  // Ends the default fetch's transfer from the owner's thread (may be null).
  CHttpCancel* cancel = nullptr;
  DWORD softwareNoticeWaitMs = 30000;
  DWORD newsIntervalMs = 3600000;
};

// Thread entry; param is an UpdateNoticeConfig* that outlives the thread.
// Returns 0 once the stop event is set, 1 if the thread gave up (no memory).
DWORD WINAPI UpdateNoticeThreadProc(LPVOID param);

// Reply shapes, kept apart for testing.
namespace notice {
// The text before "<!DOCTYPE html PUBLIC" when the marker stands after the
// start; false when it is missing or at position 0. The text ends at its
// first NUL.
bool CutAtMarker(const std::string& reply, std::string& before);
// "tag:notice". False without a ':' after position 0. The tag saturates at
// the bounds of a long and reads 0 when it is not a number.
bool SplitNews(const std::string& text, long& tag, std::string& notice);
}  // namespace notice

// The receiver's side of WM_PLAYER_NOTICE_TEXT.
std::unique_ptr<std::string> TakeNoticeText(LPARAM lParam);
// Frees the texts still queued for window (at teardown, after the thread ended).
void DrainNoticeTexts(HWND window);
