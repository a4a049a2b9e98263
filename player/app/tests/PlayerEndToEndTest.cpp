// Melodara.exe started as a user starts it and watched from outside. Each test
// copies the program, the libraries it loads, the music font and the skins
// into a folder of its own (the settings file and LastPlayList.mpl live beside
// the program) and writes its settings there. What the player does is read
// back without looking inside it: the MIDI capture hook's recording, the
// play-time display's window text, the lyrics frame's pixels on the screen and
// the last play list it saves when closed.
#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cctype>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/CM3UPlayList.h"
#include "app/CMainPlayerWnd.h"
#include "app/MidiCapture.h"
#include "app/CTransportButtons.h"
#include "testsupport/FakePlayer.h"
#include "testsupport/PlayerCopy.h"
#include "testsupport/PostedMarker.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"
#include "testsupport/RecordedNotes.h"
#include "PlayerProcess.h"

namespace {

using namespace playertest;

constexpr DWORD kPlayTimeoutMs = 60000;

// The colour the lyrics wipe in, chosen to appear nowhere else on the screen.
constexpr COLORREF kLyricHighlight = RGB(255, 0, 255);
// Where the test's settings put the frames: apart, so none docks to another.
constexpr RECT kMainRect = {40, 40, 300, 190};
constexpr RECT kStaffRect = {360, 40, 960, 260};
constexpr RECT kLyricRect = {40, 320, 700, 480};

void WriteStruct(const std::string& ini, const char* section, const char* key, const void* data, UINT size) {
  WritePrivateProfileStructA(section, key, const_cast<void*>(data), size, ini.c_str());
}

void WriteSettings(const std::string& ini) {
  auto text = [&](const char* section, const char* key, const char* value) {
    WritePrivateProfileStringA(section, key, value, ini.c_str());
  };
  text("SKIN_SETTING", "DEFAULT_SKIN_SCHEME", "Skins\\Default");
  const COLORREF green = RGB(0, 160, 0), black = RGB(0, 0, 0), background = RGB(0x2A, 0x20, 0x1B);
  WriteStruct(ini, "COLOR_SETTING", "DEFAULT_BK_COLOR", &background, sizeof background);
  WriteStruct(ini, "COLOR_SETTING", "LYRIC_NORM", &green, sizeof green);
  WriteStruct(ini, "COLOR_SETTING", "LYRIC_HILIGHT", &kLyricHighlight, sizeof kLyricHighlight);
  WriteStruct(ini, "COLOR_SETTING", "LYRIC_BKCOLOR", &black, sizeof black);
  text("LYRIC_SETTING", "LYRIC_NORM_FONT", "-24,0,0,0,700,0,0,0,0,0,0,2,34,Arial,0");
  text("LYRIC_SETTING", "LYRIC_EFFECT", "Karaoke");
  text("WINDOW_SETTING", "SHOW_STAFF_WND", "1");
  text("WINDOW_SETTING", "SHOW_LYRIC_WND", "1");
  text("WINDOW_SETTING", "SHOW_PLAYLIST_WND", "0");
  text("WINDOW_SETTING", "SHOW_QUILLIXEDITOR_WND", "0");
  WriteStruct(ini, "WINDOW_SETTING", "MAIN_WND_RECT", &kMainRect, sizeof kMainRect);
  WriteStruct(ini, "WINDOW_SETTING", "STAFF_WND_RECT", &kStaffRect, sizeof kStaffRect);
  WriteStruct(ini, "WINDOW_SETTING", "LYRIC_WND_RECT", &kLyricRect, sizeof kLyricRect);
  text("GENERAL_SETTING", "RELOAD_LAST_SONGLIST", "0");
  text("GENERAL_SETTING", "PLAY_MODE", "0");
  text("GENERAL_SETTING", "SINGLE_LOOP_PLAY", "0");
}

// @name What the player shows

// The play-time display's seconds from its "MM:SS" window text; -1 when the
// text is no time.
int ShownSeconds(HWND display) {
  char text[32] = {};
  GetWindowTextA(display, text, sizeof text);
  int minutes = 0, seconds = 0;
  char end = 0;
  if (std::strlen(text) != 5 || std::sscanf(text, "%2d:%2d%c", &minutes, &seconds, &end) != 2) return -1;
  return minutes * 60 + seconds;
}

BOOL CALLBACK FindTimeChild(HWND hwnd, LPARAM found) {
  if (ShownSeconds(hwnd) < 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

// The play-time display: the main window's child whose text is a time. The
// deferred loading makes it, so it may come a little after the window.
HWND WaitForPlayTimeDisplay(HWND main) {
  HWND display = nullptr;
  testsupport::WaitUntil(
      [&] {
        EnumChildWindows(main, FindTimeChild, reinterpret_cast<LPARAM>(&display));
        return display != nullptr || !IsWindow(main);
      },
      kStartTimeoutMs, kLookStepMs);
  return display;
}

// @name What the player reports

// The Pause button, which the Play button replaces while the player is paused
// or stopped. Hidden then, it serves as the marker of
// testsupport::PostedMessagesHandled: once that is true, the player has
// handled the commands posted to it and what its engine reported before them.
HWND PauseButton(HWND main) { return GetDlgItem(main, kIdPause); }

// The play time steps once a second of song: a song still going on moves it
// within a step, plus a margin for a report on its way from the sequencer.
constexpr DWORD kShownStepMs = 1500;

// Returns once the play time shows anything but seconds, or after a step of
// the display when it holds still.
void WatchForAStep(HWND display, int seconds) {
  testsupport::WaitUntil([&] { return ShownSeconds(display) != seconds; }, kShownStepMs, kLookStepMs);
}

// Pixels of the screen area within a small distance of colour (the text's
// edges are blended, its body is not).
int CountOnScreen(const RECT& area, COLORREF colour) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return 0;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  int count = 0;
  const uint32_t* pixels = static_cast<const uint32_t*>(bits);
  for (int i = 0; bits && i < width * height; ++i) {
    const int r = (pixels[i] >> 16) & 0xFF, g = (pixels[i] >> 8) & 0xFF, b = pixels[i] & 0xFF;
    if (std::abs(r - GetRValue(colour)) < 24 && std::abs(g - GetGValue(colour)) < 24 &&
        std::abs(b - GetBValue(colour)) < 24)
      ++count;
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return count;
}

// The player's top-level window covering the middle of the area the settings
// gave it, with its place on the screen; false when another window is there.
bool FindFrameAt(const RECT& placed, DWORD processId, RECT* frame) {
  POINT middle = {(placed.left + placed.right) / 2, (placed.top + placed.bottom) / 2};
  HWND hwnd = GetAncestor(WindowFromPoint(middle), GA_ROOT);
  DWORD owner = 0;
  if (!hwnd || (GetWindowThreadProcessId(hwnd, &owner), owner != processId)) return false;
  return GetWindowRect(hwnd, frame) != FALSE;
}

// The names of the modules loaded in a process, lower-cased.
std::set<std::string> ModulesOf(DWORD processId) {
  std::set<std::string> names;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (snapshot == INVALID_HANDLE_VALUE) return names;
  MODULEENTRY32 module = {};
  module.dwSize = sizeof module;
  for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module)) {
    std::string name = module.szModule;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    names.insert(name);
  }
  CloseHandle(snapshot);
  return names;
}

// @name Songs

constexpr int kQuarter = 480;

// A one-track song at 120 beats a minute: a syllable and a note every eighth
// (0.25 s), cycling through the given keys, for about as long as seconds.
testsupport::Bytes MelodySong(const std::vector<int>& keys, int seconds) {
  testsupport::TrackBuilder tempo;
  tempo.Tempo(0, 500000).TimeSig(0, 4, 2).EndOfTrack();
  testsupport::TrackBuilder melody;
  melody.Text(0, 0x03, "Melody").Event(0, {0xC0, 0});
  const int notes = seconds * 4;
  uint32_t delta = 0;
  for (int i = 0; i < notes; ++i) {
    const uint8_t key = static_cast<uint8_t>(keys[i % keys.size()]);
    melody.Text(delta, 0x05, "la").Event(0, {0x90, key, 100}).Event(kQuarter / 2 - 20, {0x80, key, 0});
    delta = 20;
  }
  melody.EndOfTrack();
  return testsupport::Cat({testsupport::Header(1, 2, kQuarter), tempo.Chunk(), melody.Chunk()});
}

// Three songs told apart by their keys alone.
const std::vector<int> kFirstKeys = {40, 41, 42, 43};
const std::vector<int> kSecondKeys = {70, 71, 72, 73};
const std::vector<int> kThirdKeys = {100, 101, 102, 103};

// The demo song's melody as it starts, after one bar of count-in.
const std::vector<int> kDemoMelodyStart = {60, 60, 67, 67, 69, 69};

// @name The capture

using Note = testsupport::RecordedNote;

std::vector<int> KeysOnChannel(const std::vector<Note>& notes, int channel) {
  std::vector<int> keys;
  for (const Note& note : notes)
    if (note.channel == channel) keys.push_back(note.key);
  return keys;
}

// The notes whose keys belong to one song's set.
std::vector<Note> NotesOf(const std::vector<Note>& notes, const std::vector<int>& keys) {
  std::vector<Note> found;
  for (const Note& note : notes)
    if (std::find(keys.begin(), keys.end(), note.key) != keys.end()) found.push_back(note);
  return found;
}

std::vector<int> Keys(const std::vector<Note>& notes) {
  std::vector<int> keys;
  for (const Note& note : notes) keys.push_back(note.key);
  return keys;
}

bool StartsWith(const std::vector<int>& keys, const std::vector<int>& start) {
  return keys.size() >= start.size() && std::equal(start.begin(), start.end(), keys.begin());
}

// @name The fixture

class PlayerEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    // Another player would take this test's hand-overs: the lock keeps other
    // tests' players away, and one left by a killed run is waited for.
    ASSERT_TRUE(testsupport::WaitUntil(
        [] { return !FindWindowA(testsupport::kPlayerWindowClass, testsupport::kPlayerWindowTitle); }, 10000,
        kLookStepMs))
        << "another player is running";
    ASSERT_TRUE(folder_.Install(WriteSettings));
  }

  std::string WriteSong(const std::string& name, const std::vector<int>& keys, int seconds) {
    const std::string path = folder_.File(name);
    EXPECT_TRUE(testsupport::WriteBytes(path, MelodySong(keys, seconds)));
    return path;
  }

  // Closes the player as its close button does and waits for its end.
  void Close(PlayerRun& run, HWND main) {
    PostMessageA(main, WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(run.WaitForExit(kStartTimeoutMs, &code)) << "the player did not end after WM_CLOSE";
    EXPECT_EQ(0u, code);
  }

  std::vector<std::string> LastPlayList() {
    CM3UPlayList list;
    EXPECT_TRUE(list.LoadM3U(folder_.File("LastPlayList.mpl").c_str()));
    std::vector<std::string> paths;
    for (const PlayListEntry& entry : list.GetEntries()) paths.push_back(entry.path);
    return paths;
  }

  PlayerFolder folder_;
};

// @name Tests

TEST_F(PlayerEndToEnd, TheDemoSongPlaysItsNotesCountsItsTimeAndWipesItsLyrics) {
  const std::string capture = folder_.File("capture.mid");
  PlayerRun run;
  ASSERT_TRUE(run.Start(folder_, {OutFolder() + "\\Demo.mid"}, capture));
  HWND main = run.WaitForMainWindow();
  ASSERT_NE(nullptr, main) << "no main window";
  HWND display = WaitForPlayTimeDisplay(main);
  ASSERT_NE(nullptr, display) << "no play-time display";

  // The melody starts after a bar (2 s) and a syllable follows every half
  // second; the wiped part of a line grows until the line is sung.
  std::vector<int> times;
  std::vector<int> highlighted;
  RECT lyricFrame = {};
  const bool played = testsupport::WaitUntil(
      [&] {
        const int seconds = ShownSeconds(display);
        if (times.empty() || seconds != times.back()) times.push_back(seconds);
        if (FindFrameAt(kLyricRect, run.Id(), &lyricFrame))
          highlighted.push_back(CountOnScreen(lyricFrame, kLyricHighlight));
        return seconds >= 6 || !run.Running();
      },
      kPlayTimeoutMs, kLookStepMs);
  ASSERT_TRUE(played) << "the play time stopped at " << (times.empty() ? -1 : times.back());
  ASSERT_TRUE(run.Running());

  // The display counted up second by second.
  EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
  EXPECT_GE(times.size(), 4u);
  // The lyrics frame was on the screen and its highlight grew from one look
  // to a later one.
  ASSERT_FALSE(highlighted.empty()) << "no lyrics frame where the settings put it";
  bool grew = false;
  for (size_t i = 1; i < highlighted.size() && !grew; ++i) grew = highlighted[i] > highlighted[i - 1] + 20;
  EXPECT_TRUE(grew) << "the highlight never grew; most seen: "
                    << *std::max_element(highlighted.begin(), highlighted.end());

  Close(run, main);

  // The recording holds the melody as it starts and the drums.
  const std::vector<Note> notes = testsupport::ReadRecordedNotes(capture);
  ASSERT_FALSE(notes.empty()) << "nothing captured";
  std::set<int> channels;
  for (const Note& note : notes) channels.insert(note.channel);
  bool melody = false;
  for (int channel : channels) melody = melody || StartsWith(KeysOnChannel(notes, channel), kDemoMelodyStart);
  EXPECT_TRUE(melody) << "no channel starts with the demo's melody";
  EXPECT_FALSE(KeysOnChannel(notes, 9).empty()) << "no drums";
}

TEST_F(PlayerEndToEnd, ASecondStartHandsItsFilesOverAndTheFirstNewOnePlays) {
  const std::string first = WriteSong("first.mid", kFirstKeys, 40);
  const std::string second = WriteSong("second.mid", kSecondKeys, 40);
  const std::string third = WriteSong("third.mid", kThirdKeys, 40);
  const std::string capture = folder_.File("capture.mid");
  PlayerRun run;
  ASSERT_TRUE(run.Start(folder_, {first}, capture));
  HWND main = run.WaitForMainWindow();
  ASSERT_NE(nullptr, main);
  HWND display = WaitForPlayTimeDisplay(main);
  ASSERT_NE(nullptr, display);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return ShownSeconds(display) >= 2; }, kPlayTimeoutMs, kLookStepMs))
      << "the first song never played";

  // The time shown falls back when another song starts; watched from before
  // the hand-over, as the new song may start before the second start ends.
  int latest = ShownSeconds(display);
  bool restarted = false;
  auto watch = [&] {
    const int seconds = ShownSeconds(display);
    restarted = restarted || seconds < latest;
    latest = seconds;
    return seconds;
  };

  // The second start names a file the list has and two it has not; it hands
  // them over and ends without showing a window of its own.
  PlayerRun handOver;
  ASSERT_TRUE(handOver.Start(folder_, {second, first, third}, ""));
  bool showedWindow = false;
  const bool ended = testsupport::WaitUntil(
      [&] {
        watch();
        for (HWND hwnd = GetTopWindow(nullptr); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
          DWORD owner = 0;
          GetWindowThreadProcessId(hwnd, &owner);
          if (owner == handOver.Id() && IsWindowVisible(hwnd)) showedWindow = true;
        }
        return !handOver.Running();
      },
      kStartTimeoutMs, kLookStepMs);
  ASSERT_TRUE(ended) << "the second start did not end";
  EXPECT_FALSE(showedWindow);
  EXPECT_TRUE(run.Running());

  // The first new file plays from its start.
  ASSERT_TRUE(testsupport::WaitUntil([&] { return watch() >= 2 && restarted; }, kPlayTimeoutMs, kLookStepMs))
      << "no song started after the hand-over";

  Close(run, main);

  // Every entry once, in the order it came.
  const std::vector<std::string> expected = {first, second, third};
  const std::vector<std::string> saved = LastPlayList();
  ASSERT_EQ(expected.size(), saved.size());
  for (size_t i = 0; i < saved.size(); ++i)
    EXPECT_EQ(0, lstrcmpiA(expected[i].c_str(), saved[i].c_str())) << i;

  // The first song played, then the second, and the third never.
  const std::vector<Note> notes = testsupport::ReadRecordedNotes(capture);
  const std::vector<Note> firstNotes = NotesOf(notes, kFirstKeys), secondNotes = NotesOf(notes, kSecondKeys);
  EXPECT_TRUE(StartsWith(Keys(firstNotes), kFirstKeys));
  EXPECT_TRUE(StartsWith(Keys(secondNotes), kSecondKeys));
  EXPECT_TRUE(NotesOf(notes, kThirdKeys).empty());
  if (!firstNotes.empty() && !secondNotes.empty()) {
    EXPECT_LT(firstNotes.back().tick, secondNotes.front().tick);
  }
}

TEST_F(PlayerEndToEnd, CommandsPostedFromAnotherProgramAct) {
  const std::string song = WriteSong("song.mid", kFirstKeys, 60);
  PlayerRun run;
  ASSERT_TRUE(run.Start(folder_, {song}, ""));
  HWND main = run.WaitForMainWindow();
  ASSERT_NE(nullptr, main);
  HWND display = WaitForPlayTimeDisplay(main);
  ASSERT_NE(nullptr, display);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return ShownSeconds(display) >= 2; }, kPlayTimeoutMs, kLookStepMs))
      << "the song never played";

  auto command = [&](int id, LPARAM lParam) { PostMessageA(main, WM_COMMAND, id, lParam); };
  // A control's notification (lParam: its window) is not a command.
  const int before = ShownSeconds(display);
  command(kCmdStop, 1);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return ShownSeconds(display) >= before + 2; }, kPlayTimeoutMs,
                                     kLookStepMs))
      << "stopped by a notification";

  // Stop: the time goes back to zero and stays.
  command(kCmdStop, 0);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return ShownSeconds(display) == 0; }, kPlayTimeoutMs, kLookStepMs))
      << "did not stop";
  ASSERT_TRUE(testsupport::PostedMessagesHandled(PauseButton(main)));
  WatchForAStep(display, 0);
  EXPECT_EQ(0, ShownSeconds(display));

  // Play starts the song again.
  command(kCmdPlayPause, 0);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return ShownSeconds(display) >= 2; }, kPlayTimeoutMs, kLookStepMs))
      << "did not play again";

  // The same command pauses; the time holds still until it comes once more.
  // The player hides its Pause button when it has paused; the time is read
  // once the positions reported before that have been shown.
  command(kCmdPlayPause, 0);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !IsWindowVisible(PauseButton(main)); }, kPlayTimeoutMs,
                                     kLookStepMs))
      << "did not pause";
  ASSERT_TRUE(testsupport::PostedMessagesHandled(PauseButton(main)));
  const int paused = ShownSeconds(display);
  WatchForAStep(display, paused);
  EXPECT_EQ(paused, ShownSeconds(display)) << "the time moved while paused";
  command(kCmdPlayPause, 0);
  EXPECT_TRUE(
      testsupport::WaitUntil([&] { return ShownSeconds(display) > paused; }, kPlayTimeoutMs, kLookStepMs))
      << "did not resume";

  // The tray menu's Exit closes the player.
  command(kCmdExit, 0);
  DWORD code = 1;
  ASSERT_TRUE(run.WaitForExit(kStartTimeoutMs, &code)) << "Exit did not end the player";
  EXPECT_EQ(0u, code);
  EXPECT_TRUE(std::ifstream(folder_.File("LastPlayList.mpl")).good());
}

TEST_F(PlayerEndToEnd, AHandOverDuringStartUpIsKept) {
  const std::string first = WriteSong("first.mid", kFirstKeys, 40);
  const std::string second = WriteSong("second.mid", kSecondKeys, 40);
  PlayerRun run;
  ASSERT_TRUE(run.Start(folder_, {first}, ""));
  // As soon as the window exists, before its deferred loading can have run
  // (a sent message is taken before the loading's timer message).
  HWND main = run.WaitForMainWindow();
  ASSERT_NE(nullptr, main);
  COPYDATASTRUCT record = {};
  record.dwData = 0;
  record.cbData = static_cast<DWORD>(second.size());
  record.lpData = const_cast<char*>(second.data());
  DWORD_PTR result = 0;
  ASSERT_TRUE(SendMessageTimeoutA(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record), SMTO_NORMAL,
                                  kStartTimeoutMs, &result));

  HWND display = WaitForPlayTimeDisplay(main);
  ASSERT_NE(nullptr, display);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return ShownSeconds(display) >= 2; }, kPlayTimeoutMs, kLookStepMs))
      << "nothing played";
  ASSERT_TRUE(run.Running());
  Close(run, main);
  const std::vector<std::string> saved = LastPlayList();
  ASSERT_EQ(2u, saved.size());
  EXPECT_EQ(0, lstrcmpiA(first.c_str(), saved[0].c_str()));
  EXPECT_EQ(0, lstrcmpiA(second.c_str(), saved[1].c_str()));
}

// A Tunewell.dll without the engine's factory (another library under its
// name): the player lets the library go and runs on without an engine, so the
// song neither plays nor harms anything.
TEST_F(PlayerEndToEnd, WithoutASongEngineThePlayerRunsAndPlaysNothing) {
  ASSERT_TRUE(CopyFileA(folder_.File("Scrivel.dll").c_str(), folder_.File("Tunewell.dll").c_str(), FALSE));
  PlayerRun run;
  ASSERT_TRUE(run.Start(folder_, {OutFolder() + "\\Demo.mid"}, ""));
  HWND main = run.WaitForMainWindow();
  ASSERT_NE(nullptr, main);
  HWND display = WaitForPlayTimeDisplay(main);
  ASSERT_NE(nullptr, display);
  // The display comes with the deferred loading, which then starts the song
  // named on the command line; with the loading over, a song that played
  // would move the time within a step.
  ASSERT_TRUE(testsupport::PostedMessagesHandled(PauseButton(main)));
  WatchForAStep(display, 0);
  EXPECT_EQ(0, ShownSeconds(display));
  ASSERT_TRUE(run.Running());
  const std::set<std::string> modules = ModulesOf(run.Id());
  ASSERT_TRUE(modules.count("melodara.exe")) << "the module list cannot be read";
  EXPECT_FALSE(modules.count("tunewell.dll")) << "the library without the factory stayed loaded";
  Close(run, main);
}

}  // namespace
