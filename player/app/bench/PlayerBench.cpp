// Times the two waits a user of the player sees most:
//  - a start: Melodara.exe, copied with its libraries and skins into a folder
//    of its own and holding no stored settings, from CreateProcess to the end
//    of its main window's first paint (the player's start-up probe reports
//    that moment and where the time went);
//  - a large song: CMainPlayerWnd::OpenAndPlay of the song-engine benchmark's
//    song, in this process over the real libraries as the player loads them,
//    until the engine plays.
//
//   player_bench.exe [starts] [opens]
//   (player_bench.exe --exit ends at once: the host's own start cost)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <scrivel/Scrivel.h>

#include "app/CMainPlayerWnd.h"
#include "app/FileHandOver.h"
#include "app/StartupProbe.h"
#include "base/Handles.h"
#include "testsupport/BigSong.h"
#include "testsupport/PlayerCopy.h"
#include "testsupport/TempDir.h"
#include "ui/CProfileHelper.h"
#include "ui/CSkinManager.h"
#include "ui/GdiplusSession.h"

namespace {

constexpr double kStartTargetMs = 500;
constexpr double kOpenTargetMs = 200;
constexpr DWORD kWaitMs = 30000;

double g_ticksPerMs = 0;

LONGLONG Now() {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double Ms(LONGLONG from, LONGLONG to) { return static_cast<double>(to - from) / g_ticksPerMs; }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Max(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

const char* Verdict(double ms, double target) { return ms < target ? "met" : "MISSED"; }

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > timeoutMs) return false;
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

// @name Starts

struct Start {
  double total;  // CreateProcess to the end of the first paint
  double phase[kStartupMarkCount];
};

const char* const kPhaseNames[kStartupMarkCount] = {"process start", "skin images", "windows", "first paint"};

// The player's main window of that process, once it has one.
HWND MainWindowOf(DWORD process) {
  HWND found = nullptr;
  while ((found = ::FindWindowExA(nullptr, found, kMainWndClass, kMainWndTitle))) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(found, &owner);
    if (owner == process) return found;
  }
  return nullptr;
}

// Closes the player as its user would, so it ends the way it always does.
void ClosePlayer(const PROCESS_INFORMATION& process) {
  if (HWND wnd = MainWindowOf(process.dwProcessId)) ::PostMessageA(wnd, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(process.hProcess, kWaitMs) != WAIT_OBJECT_0) {
    std::printf("the player did not end after WM_CLOSE; ended by force\n");
    ::TerminateProcess(process.hProcess, 1);
    ::WaitForSingleObject(process.hProcess, kWaitMs);
  }
}

// The settings file the player ships with.
std::string DefaultSettings() {
  HRSRC found = ::FindResourceA(nullptr, "DefaultSettings", MAKEINTRESOURCEA(10));  // RT_RCDATA
  HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
  const char* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
  return bytes ? std::string(bytes, ::SizeofResource(nullptr, found)) : std::string();
}

// Default settings, but the update notices ask a closed loopback port
// instead of the vendor (they start after the first paint).
bool WriteDefaultSettings(const std::string& path) {
  const std::string text = DefaultSettings();
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  return !text.empty() &&
         ::WritePrivateProfileStringA("GENERAL_SETTING", "HOME_URL", "http://127.0.0.1:9", path.c_str());
}

bool TimeStart(const std::string& folder, int run, Start* out) {
  // Nothing stored by an earlier start.
  ::DeleteFileA((folder + "\\LastPlayList.mpl").c_str());
  if (!WriteDefaultSettings(folder + "\\Melodara.ini")) return false;

  char name[64];
  std::snprintf(name, sizeof name, "MelodaraPlayerBench%lu_%d", ::GetCurrentProcessId(), run);
  base::ScopedHandle painted(::CreateEventA(nullptr, TRUE, FALSE, name));
  base::ScopedHandle block(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                sizeof(StartupMarks),
                                                (std::string(name) + kStartupProbeBlockSuffix).c_str()));
  if (!painted || !block) return false;
  auto* marks = static_cast<StartupMarks*>(::MapViewOfFile(block.Get(), FILE_MAP_READ, 0, 0, 0));
  if (!marks) return false;
  std::unique_ptr<void, BOOL (*)(LPCVOID)> view(marks, ::UnmapViewOfFile);
  ::SetEnvironmentVariableA(kStartupProbeVariable, name);

  std::string command = "\"" + folder + "\\Melodara.exe\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const LONGLONG created = Now();
  const BOOL started = ::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                        folder.c_str(), &startup, &process);
  ::SetEnvironmentVariableA(kStartupProbeVariable, nullptr);
  if (!started) return false;
  base::ScopedHandle processHandle(process.hProcess), threadHandle(process.hThread);
  HANDLE waits[] = {painted.Get(), process.hProcess};
  const DWORD woke = ::WaitForMultipleObjects(2, waits, FALSE, kWaitMs);
  if (woke != WAIT_OBJECT_0) {
    std::printf("start %d: %s\n", run + 1,
                woke == WAIT_OBJECT_0 + 1 ? "the player ended before it painted" : "no paint in 30 s");
    ClosePlayer(process);
    return false;
  }
  const StartupMarks seen = *marks;
  ClosePlayer(process);
  LONGLONG from = created;
  for (int mark = 0; mark < kStartupMarkCount; ++mark) {
    if (seen.counter[mark] == 0) return false;
    out->phase[mark] = Ms(from, seen.counter[mark]);
    from = seen.counter[mark];
  }
  out->total = Ms(created, seen.counter[kStartupPainted]);
  return true;
}

// The host's own part of a start: this program started to do nothing, from
// CreateProcess to its end.
double EmptyStartMs() {
  char self[MAX_PATH];
  if (!::GetModuleFileNameA(nullptr, self, sizeof(self))) return 0;
  std::vector<double> times;
  for (int run = 0; run < 5; ++run) {
    std::string command = std::string("\"") + self + "\" --exit";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const LONGLONG created = Now();
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
      return 0;
    base::ScopedHandle processHandle(process.hProcess), threadHandle(process.hThread);
    if (::WaitForSingleObject(process.hProcess, kWaitMs) != WAIT_OBJECT_0) return 0;
    times.push_back(Ms(created, Now()));
  }
  return Median(times);
}

bool BenchStarts(const std::string& programFolder, int count) {
  // A player already running would take the start's files and end it.
  if (!PumpUntil([] { return !::FindWindowA(kMainWndClass, kMainWndTitle); }, kWaitMs)) {
    std::printf("another player keeps running; no starts timed\n");
    return false;
  }
  testsupport::TempDir folder;
  if (!testsupport::CopyPlayerProgram(programFolder, folder.Path())) {
    std::printf("cannot copy the player into %s\n", folder.Path().c_str());
    return false;
  }
  std::vector<Start> starts;
  for (int run = 0; run < count; ++run) {
    Start start{};
    if (!TimeStart(folder.Path(), run, &start)) {
      std::printf("start %d could not be timed\n", run + 1);
      return false;
    }
    starts.push_back(start);
  }
  std::printf("start to the first painted main window, %d starts from a folder of its own:\n", count);
  std::printf("  start   total   process start  skin images  windows  first paint   (ms)\n");
  std::vector<double> totals, phases[kStartupMarkCount];
  for (size_t i = 0; i < starts.size(); ++i) {
    const Start& s = starts[i];
    std::printf("  %5u %7.1f %15.1f %12.1f %8.1f %12.1f\n", static_cast<unsigned>(i + 1), s.total, s.phase[0],
                s.phase[1], s.phase[2], s.phase[3]);
    totals.push_back(s.total);
    for (int mark = 0; mark < kStartupMarkCount; ++mark) phases[mark].push_back(s.phase[mark]);
  }
  std::printf("  median per phase:");
  for (int mark = 0; mark < kStartupMarkCount; ++mark)
    std::printf(" %s %.1f%s", kPhaseNames[mark], Median(phases[mark]),
                mark + 1 < kStartupMarkCount ? "," : "\n");
  std::printf("  (the host alone: a program that does nothing starts and ends in %.1f ms)\n", EmptyStartMs());
  const double median = Median(totals);
  const double max = Max(totals);
  std::printf("  start: median %.1f ms, max %.1f ms (target < %.0f ms): median %s, max %s\n", median, max,
              kStartTargetMs, Verdict(median, kStartTargetMs), Verdict(max, kStartTargetMs));
  return true;
}

// @name Opening a large song

bool BenchOpen(int count) {
  testsupport::TempDir dir;
  const testsupport::Bytes song = testsupport::BigSong();
  // Two copies: the window keeps a song it has open, so each run opens the
  // one it did not play last.
  const std::string paths[] = {dir.File("big-a.mid"), dir.File("big-b.mid")};
  for (const std::string& path : paths) {
    if (!testsupport::WriteBytes(path, song)) return false;
  }
  std::string settings;
  CProfileHelper::GetIniFilePath(settings);
  if (!WriteDefaultSettings(settings)) return false;

  GdiplusSession gdiplus;
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  GetSkinManager()->SetSchemeFolder(std::string(folder) + "\\Skins\\Default");
  GetSkinManager()->LoadSkinScheme();
  bool ok = true;
  {
    auto wnd = std::make_unique<CMainPlayerWnd>();
    if (wnd->CreateMainWindow() != 0 || !PumpUntil([&] { return !wnd->IsBusy(); }, kWaitMs) ||
        !wnd->GetSongEngine()) {
      std::printf("the main window did not come up with its engine\n");
      ok = false;
    }
    // Shown as the player shows it, with the frames its settings show.
    ::ShowWindow(wnd->m_hWnd, SW_SHOW);
    ::UpdateWindow(wnd->m_hWnd);
    PumpUntil([] { return false; }, 200);
    // The baseline, in the same run: the song file library's own load of the
    // same file, timed in turn with each open.
    HMODULE scrivel = ::LoadLibraryA("Scrivel.dll");
    auto createSong =
        scrivel ? reinterpret_cast<CreateScrivel2Fn>(::GetProcAddress(scrivel, "CreateScrivel2")) : nullptr;
    if (!createSong) {
      std::printf("the song file library cannot be reached\n");
      ok = false;
    }
    std::vector<double> totals, loads;
    for (int run = 0; ok && run < count; ++run) {
      const LONGLONG loadBegun = Now();
      ISmfParser2* parser = createSong(1);
      const bool loaded = parser && parser->Load(paths[run % 2].c_str(), nullptr, 0) == 0;
      if (parser) parser->Release();
      loads.push_back(Ms(loadBegun, Now()));
      if (!loaded) {
        std::printf("run %d: the song library does not load the song\n", run + 1);
        ok = false;
        break;
      }
      ISongEngine* engine = wnd->GetSongEngine();
      const LONGLONG begun = Now();
      const bool opened = wnd->OpenAndPlay(paths[run % 2]);
      // Play starts the sequencer; a state not yet "playing" is waited for.
      const bool playing = opened && PumpUntil([engine] { return engine->GetPlayerState(0) == 0; }, kWaitMs);
      const LONGLONG played = Now();
      if (!playing) {
        std::printf("run %d: the song did not %s\n", run + 1, opened ? "play" : "open");
        ok = false;
        break;
      }
      totals.push_back(Ms(begun, played));
      wnd->Stop();
      PumpUntil([] { return false; }, 100);
    }
    if (ok) {
      std::printf("OpenAndPlay of a %.2f MB song until the engine plays, %d runs (ms):",
                  song.size() / 1048576.0, count);
      for (double ms : totals) std::printf(" %.1f", ms);
      const double median = Median(totals);
      const double max = Max(totals);
      std::printf("\n");

      // Where the time goes: the engine calls OpenAndPlay makes, each timed
      // alone on the window's engine.
      ISongEngine* engine = wnd->GetSongEngine();
      const int melody[] = {1};
      const LONGLONG t0 = Now();
      engine->Open(paths[0].c_str());
      const LONGLONG t1 = Now();
      engine->SetTracks(melody, 1);
      const LONGLONG t2 = Now();
      if (CSongInfo* info = engine->GetSongInfo()) {
        info->Open(paths[0].c_str());
        info->GetSongLength();
      }
      const LONGLONG t3 = Now();
      engine->Play(0);
      const LONGLONG t4 = Now();
      engine->Stop(0);
      std::printf("  alone: engine Open %.1f, SetTracks(1) %.1f, song length %.1f, Play %.1f\n", Ms(t0, t1),
                  Ms(t1, t2), Ms(t2, t3), Ms(t3, t4));
      const double load = Median(loads);
      std::printf("  baseline, the song library's load of the same file: median %.1f ms\n", load);
      std::printf(
          "  open and play: median %.1f ms, max %.1f ms, %.2fx the load (target < %.0f ms and < 3x the "
          "load): "
          "median %s, max %s, against the load %s\n",
          median, max, median / load, kOpenTargetMs, Verdict(median, kOpenTargetMs),
          Verdict(max, kOpenTargetMs), Verdict(median, 3 * load));
    }
    if (scrivel) ::FreeLibrary(scrivel);
    ::DestroyWindow(wnd->m_hWnd);
  }
  ReleaseSkinManager();
  ::DeleteFileA(settings.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--exit") return 0;
  const int starts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const int opens = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  g_ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  const bool started = BenchStarts(folder, starts);
  const bool opened = BenchOpen(opens);
  return started && opened ? 0 : 1;
}
