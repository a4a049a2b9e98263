#pragma once
// The fake player: a small program that stands in for Melodara.exe in tests of
// the programs that start or close the player (the Explorer extension, the
// updater). It appends what it was started with to a log file, and on request
// shows a main window the way the player does, so that a search for the running
// player finds it and WM_CLOSE ends it.
//
// Set up through the environment (inherited by every start, also a restart by
// the program under test) or through its own arguments, which win:
//   MELODARA_FAKE_PLAYER_LOG=<file>     --fake-log=<file>   the log to append to
//   MELODARA_FAKE_PLAYER_WINDOW=1       --fake-window       show the main window
//   MELODARA_FAKE_PLAYER_IGNORE_CLOSE=1 --fake-ignore-close the window ignores WM_CLOSE
//                                       --fake-linger=<ms>  the process lives on this
//                                                           long after its window
//                                       --fake-class=<name> the window's class, in
//                                                           place of the player's
//
// The log holds one record per event, each a line naming the event followed by
// "key=value" lines and a line "end":
//   start:  module (its own path), folder (current folder), cmdW (the wide
//           command line in UTF-8), cmdA (the ANSI command line, bytes as the
//           process got them)
//   close:  the main window received WM_CLOSE and the program ends
//
// FindWindow sees the windows of every program in the Wine prefix: a test that
// shows the player's window, or needs that none is shown, takes the CTest
// resource lock "player_window". The class alone is no mark of the player: the
// first skin window of any test program has it too.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace testsupport {

constexpr char kFakePlayerLogVariable[] = "MELODARA_FAKE_PLAYER_LOG";
constexpr char kFakePlayerWindowVariable[] = "MELODARA_FAKE_PLAYER_WINDOW";
constexpr char kFakePlayerIgnoreCloseVariable[] = "MELODARA_FAKE_PLAYER_IGNORE_CLOSE";
// The main window the player makes first, found by class and title.
constexpr char kPlayerWindowClass[] = "MelodaraBmpWnd0";
constexpr char kPlayerWindowTitle[] = "Melodara";

struct FakePlayerRecord {
  std::string event;  // "start" or "close"
  std::map<std::string, std::string> fields;
  std::string Field(const std::string& key) const {
    auto it = fields.find(key);
    return it == fields.end() ? std::string() : it->second;
  }
};

// fake_player.exe beside the running program.
std::string FakePlayerPath();

// The complete records of a log; a missing file has none. A record still being
// written (no "end" line yet) is left out.
std::vector<FakePlayerRecord> ReadFakePlayerLog(const std::string& path);

// Waits until the log holds at least count complete records, or the time is up.
// The records read last are returned either way.
std::vector<FakePlayerRecord> WaitForFakePlayerLog(const std::string& path, size_t count, DWORD timeoutMs);

// Waits until a window of the player's title and the given class exists; null
// when none appears in time.
HWND WaitForPlayerWindow(DWORD timeoutMs, const char* windowClass = kPlayerWindowClass);

// UTF-16 to UTF-8 and back, for comparing wide command lines with the log.
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace testsupport
