// Melodara.exe started from a folder of its own, for the tests that watch the
// program from outside: the folder with the program, what it loads and the
// test's settings file, and one run of the program that cannot outlive its
// test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/MidiCapture.h"
#include "testsupport/FakePlayer.h"
#include "testsupport/PlayerCopy.h"
#include "testsupport/TempDir.h"
#include "testsupport/WaitUntil.h"

namespace playertest {

// A start under load (CI runs every test at once on two cores) may take long.
constexpr DWORD kStartTimeoutMs = 60000;
// How often a test looks at the player from outside (testsupport::WaitUntil's
// step): a look may grab the screen, and some tests compare one look with the
// next.
constexpr DWORD kLookStepMs = 50;

inline std::string OutFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\'));
}

// A folder holding the program and what it loads, with a test's settings.
class PlayerFolder {
 public:
  // writeSettings writes the run's settings file, given its path.
  bool Install(const std::function<void(const std::string&)>& writeSettings) {
    if (!testsupport::CopyPlayerProgram(OutFolder(), Path())) {
      ADD_FAILURE() << "cannot copy the player";
      return false;
    }
    writeSettings(File("Melodara.ini"));
    return true;
  }
  const std::string& Path() const { return dir_.Path(); }
  std::string File(const std::string& name) const { return dir_.File(name); }
  std::string Program() const { return File("Melodara.exe"); }

 private:
  testsupport::TempDir dir_;
};

// @name The player's process

inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// One run of the program. A run still going when the object ends (a failed
// test) is ended, so no player outlives its test.
class PlayerRun {
 public:
  PlayerRun() = default;
  PlayerRun(const PlayerRun&) = delete;
  PlayerRun& operator=(const PlayerRun&) = delete;
  ~PlayerRun() { Kill(); }

  // capture: the file the MIDI capture hook records into, "" for none.
  bool Start(const PlayerFolder& folder, const std::vector<std::string>& files, const std::string& capture) {
    std::string command = Quoted(folder.Program());
    for (const std::string& file : files) command += " " + Quoted(file);
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    SetEnvironmentVariableA(CMidiCapture::kVariable, capture.empty() ? nullptr : capture.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    const BOOL started = CreateProcessA(folder.Program().c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, folder.Path().c_str(), &startup, &process_);
    SetEnvironmentVariableA(CMidiCapture::kVariable, nullptr);
    if (!started) return false;
    CloseHandle(process_.hThread);
    process_.hThread = nullptr;
    return true;
  }

  bool Running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
  }
  DWORD Id() const { return process_.dwProcessId; }

  // True when the program ended in time, with its exit code.
  bool WaitForExit(DWORD timeoutMs, DWORD* code) {
    if (!process_.hProcess || WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
      return false;
    GetExitCodeProcess(process_.hProcess, code);
    return true;
  }

  // The player's main window, once it exists; null when it did not come in
  // time or the program ended first.
  HWND WaitForMainWindow() {
    HWND found = nullptr;
    testsupport::WaitUntil(
        [&] {
          HWND hwnd = FindWindowA(testsupport::kPlayerWindowClass, testsupport::kPlayerWindowTitle);
          DWORD owner = 0;
          if (hwnd) GetWindowThreadProcessId(hwnd, &owner);
          if (hwnd && owner == Id()) found = hwnd;
          return found != nullptr || !Running();
        },
        kStartTimeoutMs, 1);
    return found;
  }

  void Kill() {
    if (!process_.hProcess) return;
    if (Running()) {
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, 10000);
    }
    CloseHandle(process_.hProcess);
    process_.hProcess = nullptr;
  }

 private:
  PROCESS_INFORMATION process_ = {};
};

}  // namespace playertest
