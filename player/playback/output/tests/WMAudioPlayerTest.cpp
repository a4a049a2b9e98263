// The Windows Media audio player against a scripted reader and a scripted
// DirectSound device whose play cursor never moves (so the device fills up):
// its state machine, attributes, errors and allocator.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "FakeDirectSound.h"
#include "FakeWMReader.h"
#include "MediaEventRecorder.h"
#include "output/CDSoundThread.h"
#include "output/CWMAudioPlayer.h"
#include "output/DSoundApi.h"
#include "output/OutputGlobals.h"
#include "output/WMReaderApi.h"
#include "testsupport/WaitUntil.h"

namespace {

FakeDirectSound* g_sound = nullptr;
FakeWMReader* g_nextReader = nullptr;
HRESULT g_createReaderResult = S_OK;
bool g_windowsXP = false;

HRESULT WINAPI FakeCreateSound(LPCGUID, LPDIRECTSOUND* out, LPUNKNOWN) {
  g_sound->AddRef();
  *out = g_sound;
  return DS_OK;
}

HRESULT WINAPI FakeCreateReader(IUnknown*, DWORD rights, IWMReader** out) {
  EXPECT_EQ(static_cast<DWORD>(WMT_RIGHT_PLAYBACK), rights);
  *out = nullptr;
  if (FAILED(g_createReaderResult)) return g_createReaderResult;
  *out = g_nextReader;
  g_nextReader = nullptr;
  return S_OK;
}

bool FakeWindowsXP() { return g_windowsXP; }

// A player whose deletion the test can see.
class ProbedPlayer : public CWMAudioPlayer {
 public:
  explicit ProbedPlayer(bool* deleted, const WaveOutApi& waveOut = SystemWaveOut())
      : CWMAudioPlayer(waveOut), m_deleted(deleted) {}

 protected:
  ~ProbedPlayer() override { *m_deleted = true; }

 private:
  bool* m_deleted;
};

// 100-ns units.
constexpr QWORD kUnitsPerMs = 10000;

class WMAudioPlayerTest : public testing::Test {
 protected:
  void SetUp() override {
    g_sound = &sound;
    savedSound = DirectSoundCreateHook();
    DirectSoundCreateHook() = &FakeCreateSound;
    savedWindow = MainWindowProvider();
    MainWindowProvider() = [] { return GetDesktopWindow(); };
    savedReader = WMCreateReaderHook();
    WMCreateReaderHook() = &FakeCreateReader;
    savedXP = WindowsXPHook();
    WindowsXPHook() = &FakeWindowsXP;
    g_windowsXP = false;
    g_createReaderResult = S_OK;
    reader = new FakeWMReader;
    reader->destroyed = &readerGone;
    reader->attributes[L"Duration"] = {WMT_TYPE_QWORD, Bytes<QWORD>(3000 * kUnitsPerMs)};
    reader->attributes[L"Seekable"] = {WMT_TYPE_BOOL, Bytes<BOOL>(TRUE)};
    g_nextReader = reader;
    player = new ProbedPlayer(&playerGone);
    face = player;
    face->AddListener(&recorder);
  }
  void TearDown() override {
    if (!playerGone) face->Release();
    EXPECT_TRUE(playerGone);
    if (g_nextReader != nullptr) g_nextReader->Release();  // never handed out
    // Streams closed with a fade finish once the device plays on.
    sound.advanceEach = 4410;
    EXPECT_TRUE(testsupport::WaitUntil([] { return g_dsoundThread == nullptr || !g_dsoundThread->Running(); },
                                       10000));
    DirectSoundCreateHook() = savedSound;
    MainWindowProvider() = savedWindow;
    WMCreateReaderHook() = savedReader;
    WindowsXPHook() = savedXP;
  }

  template <typename T>
  static std::vector<BYTE> Bytes(T value) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&value);
    return std::vector<BYTE>(bytes, bytes + sizeof value);
  }

  // One sample of the audio output through the player's own allocator, as the
  // reader delivers it once it allocates for that output.
  HRESULT Deliver(QWORD timeMs, QWORD durationMs, DWORD bytes, DWORD output = 0) {
    INSSBuffer* sample = nullptr;
    HRESULT hr = player->Allocator().AllocateForOutput(0, bytes, &sample, nullptr);
    if (hr != S_OK) return hr;
    hr = player->OnSample(output, timeMs * kUnitsPerMs, durationMs * kUnitsPerMs, 0, sample, nullptr);
    sample->Release();
    return hr;
  }

  // The reader's script as a fresh fake's after the change.
  void Rescript(const std::function<void(FakeWMReader&)>& change) {
    FakeWMReader script;
    change(script);
    reader->openCall = script.openCall;
    reader->openStatus = script.openStatus;
    reader->outputs = script.outputs;
    reader->failingAttributes = script.failingAttributes;
    reader->hasAdvanced = script.hasAdvanced;
    reader->maxSampleSizeResult = script.maxSampleSizeResult;
  }

  FakeDirectSound sound;
  DirectSoundCreateFn savedSound = nullptr;
  MainWindowFn savedWindow = nullptr;
  WMCreateReaderFn savedReader = nullptr;
  WindowsXPFn savedXP = nullptr;
  FakeWMReader* reader = nullptr;  // owned by the player once Init took it
  bool readerGone = false;
  bool playerGone = false;
  CWMAudioPlayer* player = nullptr;
  IWMAudioPlayer* face = nullptr;
  MediaEventRecorder recorder;
};

TEST_F(WMAudioPlayerTest, PlaysThroughLoadedPlayingEndStoppedClosed) {
  ASSERT_EQ(S_OK, face->Init());
  ASSERT_EQ(S_OK, face->Open("song.wma"));
  EXPECT_EQ(L"song.wma", reader->openedName);
  EXPECT_EQ(3000, face->GetDuration());
  EXPECT_EQ(1, face->IsSeekable());
  EXPECT_FALSE(player->IsBroadcast());
  EXPECT_EQ(0u, reader->allocateOutput);
  ASSERT_EQ(S_OK, face->Seek(0));
  ASSERT_EQ(1u, reader->starts.size());
  EXPECT_EQ(0u, reader->starts[0]);
  EXPECT_FALSE(player->Ended());
  // 20 ms samples: room for all of them in the device's 250 ms ring.
  for (QWORD ms = 0; ms < 100; ms += 20) ASSERT_EQ(S_OK, Deliver(ms, 20, 3528));
  reader->Send(WMT_EOF);
  EXPECT_TRUE(player->Ended());
  EXPECT_EQ(S_OK, face->Stop());
  EXPECT_EQ(S_OK, face->Close());
  EXPECT_EQ((std::vector<int>{0, 1, 5, 3, 2}), recorder.Events());
  std::lock_guard<std::mutex> hold(recorder.lock);
  EXPECT_EQ((std::vector<int>{0, 20, 40, 60, 80}), recorder.times);
  ASSERT_EQ(5u, recorder.ticks.size());
  // The device never played (its cursor stands still) and had room for all.
  for (int tick : recorder.ticks) EXPECT_EQ(0, tick);
}

TEST_F(WMAudioPlayerTest, EachReaderStatusSetsTheEndedFlagAndTellsTheListeners) {
  struct Case {
    WMT_STATUS status;
    bool ended;
    std::vector<int> events;
  };
  const Case cases[] = {
      {WMT_STARTED, false, {kMediaEventPlaying}},
      {WMT_ERROR, true, {}},
      {WMT_STARTED, false, {kMediaEventPlaying}},
      {WMT_MISSING_CODEC, true, {kMediaEventMissingCodec}},
      {WMT_BUFFERING_START, true, {}},  // ignored: the flag stays
      {WMT_STARTED, false, {kMediaEventPlaying}},
      {WMT_EOF, true, {kMediaEventEnd}},
      {WMT_END_OF_STREAMING, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.status));
    {
      std::lock_guard<std::mutex> hold(recorder.lock);
      recorder.events.clear();
    }
    EXPECT_EQ(S_OK, player->OnStatus(c.status, S_OK, WMT_TYPE_DWORD, nullptr, nullptr));
    EXPECT_EQ(c.ended, player->Ended());
    EXPECT_EQ(c.events, recorder.Events());
  }
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) ++*reinterpret_cast<int*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  return DefWindowProcA(window, message, wParam, lParam);
}

// The thread that waits for the reader keeps its windows alive meanwhile.
TEST_F(WMAudioPlayerTest, WaitingForTheReaderDispatchesTheThreadsMessages) {
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, window);
  int dispatched = 0;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&dispatched));
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc));
  ASSERT_EQ(S_OK, face->Init());
  PostMessageA(window, WM_APP, 0, 0);
  ASSERT_EQ(S_OK, face->Open("song.wma"));  // the reader answers 20 ms later
  EXPECT_EQ(1, dispatched);
  DestroyWindow(window);
}

TEST_F(WMAudioPlayerTest, ASeekStartsTheReaderThereAndPositionsCountFromIt) {
  ASSERT_EQ(S_OK, face->Init());
  ASSERT_EQ(S_OK, face->Open("song.wma"));
  ASSERT_EQ(S_OK, face->Seek(90000));
  ASSERT_EQ(1u, reader->starts.size());
  EXPECT_EQ(900000000u, reader->starts[0]);
  EXPECT_EQ(90000, face->GetPosition());
  ASSERT_EQ(S_OK, Deliver(90000, 100, 17640));
  std::lock_guard<std::mutex> hold(recorder.lock);
  ASSERT_EQ(1u, recorder.ticks.size());
  EXPECT_GE(recorder.ticks[0], 90000);
  EXPECT_EQ(90000, recorder.times[0]);
}

TEST_F(WMAudioPlayerTest, AFullDeviceDropsSamplesAndThePositionStillAdvances) {
  ASSERT_EQ(S_OK, face->Init());
  ASSERT_EQ(S_OK, face->Open("song.wma"));
  ASSERT_EQ(S_OK, face->Seek(0));
  // 20 s of audio in 100 ms samples into a device that never plays: its
  // buffer and ring hold about 4.25 s, the rest is dropped.
  for (QWORD ms = 0; ms < 20000; ms += 100) ASSERT_EQ(S_OK, Deliver(ms, 100, 17640));
  std::lock_guard<std::mutex> hold(recorder.lock);
  ASSERT_EQ(200u, recorder.ticks.size());
  for (size_t i = 1; i < recorder.ticks.size(); ++i) EXPECT_GE(recorder.ticks[i], recorder.ticks[i - 1]);
  EXPECT_GE(recorder.ticks.back(), 15000);
  EXPECT_LE(recorder.ticks.back(), 20000);
  EXPECT_EQ(recorder.ticks.back(), face->GetPosition());
}

TEST_F(WMAudioPlayerTest, SamplesOfOtherOutputsAreIgnored) {
  reader->outputs = {{WMMEDIATYPE_Video, {}}, {WMMEDIATYPE_Audio, CdFormat()}};
  ASSERT_EQ(S_OK, face->Init());
  ASSERT_EQ(S_OK, face->Open("clip.wmv"));
  EXPECT_EQ(1u, reader->allocateOutput);
  ASSERT_EQ(S_OK, face->Seek(0));
  INSSBuffer* other = nullptr;
  EXPECT_EQ(S_FALSE, player->Allocator().AllocateForOutput(0, 100, &other, nullptr));
  EXPECT_EQ(nullptr, other);
  INSSBuffer* sample = nullptr;
  ASSERT_EQ(S_OK, player->Allocator().AllocateForOutput(1, 400, &sample, nullptr));
  EXPECT_EQ(S_OK, player->OnSample(0, 0, 100 * kUnitsPerMs, 0, sample, nullptr));
  EXPECT_TRUE(recorder.ticks.empty());
  EXPECT_EQ(S_OK, player->OnSample(1, 0, 100 * kUnitsPerMs, 0, sample, nullptr));
  EXPECT_EQ(1u, recorder.ticks.size());
  sample->Release();
}

// Every way Open can fail leaves the player closed: a later Seek finds no file.
// Only a file the reader opened was "loaded", and then it is closed again.
TEST_F(WMAudioPlayerTest, OpenFailuresLeaveThePlayerClosed) {
  struct Case {
    const char* what;
    std::function<void(FakeWMReader&)> script;
    const char* path;
    HRESULT expected;
    std::vector<int> events;
  };
  const std::vector<int> none, closed{kMediaEventClosed},
      loadedThenClosed{kMediaEventLoaded, kMediaEventClosed};
  const Case cases[] = {
      {"no path", [](FakeWMReader&) {}, nullptr, E_INVALIDARG, none},
      {"empty path", [](FakeWMReader&) {}, "", E_INVALIDARG, none},
      {"reader refuses the file", [](FakeWMReader& r) { r.openCall = NS_E_FILE_NOT_FOUND; }, "gone.wma",
       NS_E_FILE_NOT_FOUND, none},
      {"damaged file", [](FakeWMReader& r) { r.openStatus = NS_E_INVALID_DATA; }, "bad.wma",
       NS_E_INVALID_DATA, closed},
      {"video without audio",
       [](FakeWMReader& r) {
         r.outputs = {{WMMEDIATYPE_Video, {}}};
       },
       "v.wmv", E_FAIL, loadedThenClosed},
      {"no outputs at all", [](FakeWMReader& r) { r.outputs.clear(); }, "e.wma", E_FAIL, loadedThenClosed},
      {"audio without a wave format",
       [](FakeWMReader& r) {
         r.outputs = {{WMMEDIATYPE_Audio, {1, 2, 3}}};
       },
       "f.wma", E_FAIL, loadedThenClosed},
      {"header unreadable", [](FakeWMReader& r) { r.failingAttributes[L"Author"] = E_OUTOFMEMORY; }, "h.wma",
       E_OUTOFMEMORY, loadedThenClosed},
      {"sample size unreadable", [](FakeWMReader& r) { r.maxSampleSizeResult = E_OUTOFMEMORY; }, "s.wma",
       E_OUTOFMEMORY, loadedThenClosed},
      {"no advanced reader", [](FakeWMReader& r) { r.hasAdvanced = false; }, "a.wma", E_NOINTERFACE,
       loadedThenClosed},
  };
  ASSERT_EQ(S_OK, face->Init());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rescript(c.script);
    {
      std::lock_guard<std::mutex> hold(recorder.lock);
      recorder.events.clear();
    }
    EXPECT_EQ(c.expected, face->Open(c.path));
    EXPECT_EQ(c.events, recorder.Events());
    EXPECT_EQ(E_UNEXPECTED, face->Seek(0));
    EXPECT_EQ(nullptr, reader->callback);  // the reader let the file go
  }
  // The player still works.
  Rescript([](FakeWMReader&) {});
  EXPECT_EQ(S_OK, face->Open("good.wma"));
}

// Wine's reader does not implement GetMaxOutputSampleSize.
TEST_F(WMAudioPlayerTest, AReaderThatCannotTellTheSampleSizeGetsBuffersOfASecond) {
  reader->maxSampleSizeResult = E_NOTIMPL;
  ASSERT_EQ(S_OK, face->Init());
  ASSERT_EQ(S_OK, face->Open("song.wma"));
  EXPECT_EQ(0u, reader->allocateOutput);
  INSSBuffer* buffer = nullptr;
  ASSERT_EQ(S_OK, player->Allocator().AllocateForOutput(0, 100, &buffer, nullptr));
  DWORD max = 0;
  buffer->GetMaxLength(&max);
  EXPECT_EQ(176400u, max);
  buffer->Release();
}

TEST_F(WMAudioPlayerTest, AReaderThatNeverAnswersFailsOpenInsteadOfHanging) {
  reader->answers = false;
  ASSERT_EQ(S_OK, face->Init());
  player->SetStatusTimeout(200);
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_TIMEOUT), face->Open("slow.wma"));
}

TEST_F(WMAudioPlayerTest, MissingOrMalformedAttributesCountAsAbsent) {
  reader->attributes.clear();
  reader->attributes[L"Duration"] = {WMT_TYPE_QWORD, {1, 2, 3}};  // too short for a QWORD
  reader->attributes[L"Broadcast"] = {WMT_TYPE_DWORD, Bytes<DWORD>(1)};
  ASSERT_EQ(S_OK, face->Init());
  ASSERT_EQ(S_OK, face->Open("bare.wma"));
  EXPECT_EQ(0, face->GetDuration());
  EXPECT_EQ(0, face->IsSeekable());
  EXPECT_FALSE(player->IsBroadcast());
  char* text = nullptr;
  EXPECT_EQ(0, face->GetTitle(&text));
  EXPECT_EQ(nullptr, text);
}

TEST_F(WMAudioPlayerTest, TextGettersConvertEachAttributeIntoANewText) {
  std::wstring unterminated = L"Tail";
  FakeAttribute noNul{WMT_TYPE_STRING,
                      std::vector<BYTE>(reinterpret_cast<const BYTE*>(unterminated.data()),
                                        reinterpret_cast<const BYTE*>(unterminated.data()) + 8)};
  FakeAttribute odd = TextAttribute(L"Odd");
  odd.value.resize(5);  // "O", "d" and half a character
  reader->attributes[L"Title"] = TextAttribute(L"A Title");
  reader->attributes[L"Author"] = TextAttribute(L"");
  reader->attributes[L"WM/Composer"] = noNul;
  reader->attributes[L"WM/Lyrics"] = odd;
  reader->attributes[L"WM/AlbumTitle"] = {WMT_TYPE_DWORD, Bytes<DWORD>(7)};
  ASSERT_EQ(S_OK, face->Init());
  ASSERT_EQ(S_OK, face->Open("tags.wma"));
  struct Case {
    int (IWMAudioPlayer::*getter)(char**);
    int expected;
    const char* text;
  };
  const Case cases[] = {
      {&IWMAudioPlayer::GetTitle, 1, "A Title"},     {&IWMAudioPlayer::GetAuthor, 1, ""},
      {&IWMAudioPlayer::GetComposer, 1, "Tail"},     {&IWMAudioPlayer::GetLyrics, 1, "Od"},
      {&IWMAudioPlayer::GetAlbumTitle, 0, nullptr},   // not a text
      {&IWMAudioPlayer::GetAlbumArtist, 0, nullptr},  // absent
  };
  for (const Case& c : cases) {
    char* text = nullptr;
    EXPECT_EQ(c.expected, (face->*c.getter)(&text));
    if (c.text == nullptr) {
      EXPECT_EQ(nullptr, text);
    } else {
      ASSERT_NE(nullptr, text);
      EXPECT_STREQ(c.text, text);
    }
    delete[] text;
  }
}

// Run by a second test entry under a Chinese locale, where the system code
// page is 936 and each of these characters takes two bytes.
TEST_F(WMAudioPlayerTest, ADoubleByteTitleFitsInTheSystemCodePage) {
  const char* expect = std::getenv("MELODARA_EXPECT_ACP");
  if (expect == nullptr) GTEST_SKIP() << "run by the code page 936 entry";
  ASSERT_EQ(static_cast<UINT>(std::atoi(expect)), GetACP());
  reader->attributes[L"Title"] = TextAttribute(L"\x5361\x62c9\x004f\x004b");  // "卡拉OK"
  ASSERT_EQ(S_OK, face->Init());
  ASSERT_EQ(S_OK, face->Open("cjk.wma"));
  char* text = nullptr;
  ASSERT_EQ(1, face->GetTitle(&text));
  ASSERT_NE(nullptr, text);
  EXPECT_STREQ(
      "\xbf\xa8\xc0\xad"
      "OK",
      text);
  delete[] text;
}

TEST_F(WMAudioPlayerTest, OperationsWithoutAReaderOrAFileAreRefused) {
  EXPECT_EQ(E_UNEXPECTED, face->Seek(0));
  EXPECT_EQ(E_UNEXPECTED, face->Stop());
  EXPECT_EQ(E_UNEXPECTED, face->Pause());
  EXPECT_EQ(E_UNEXPECTED, face->Resume());
  EXPECT_EQ(E_UNEXPECTED, face->Open("song.wma"));
  EXPECT_EQ(0, face->Close());
  EXPECT_EQ(0, face->Shutdown());
  ASSERT_EQ(S_OK, face->Init());
  EXPECT_EQ(E_UNEXPECTED, face->Seek(0));  // nothing open
  EXPECT_TRUE(reader->starts.empty());
}

TEST_F(WMAudioPlayerTest, InitReportsAReaderThatCannotBeMade) {
  g_createReaderResult = REGDB_E_CLASSNOTREG;
  EXPECT_EQ(REGDB_E_CLASSNOTREG, face->Init());
  EXPECT_EQ(E_UNEXPECTED, face->Open("song.wma"));
}

TEST_F(WMAudioPlayerTest, SeekFailsWhenTheOutputCannotOpen) {
  ASSERT_EQ(S_OK, face->Init());
  // A format the device cannot take: no channels.
  std::vector<BYTE> format = CdFormat();
  reinterpret_cast<WAVEFORMATEX*>(format.data())->nChannels = 0;
  reader->outputs = {{WMMEDIATYPE_Audio, format}};
  ASSERT_EQ(S_OK, face->Open("song.wma"));
  EXPECT_EQ(E_FAIL, face->Seek(0));
  EXPECT_TRUE(reader->starts.empty());
  reader->outputs = {{WMMEDIATYPE_Audio, CdFormat()}};
  ASSERT_EQ(S_OK, face->Open("song.wma"));
  EXPECT_EQ(S_OK, face->Seek(0));
}

TEST_F(WMAudioPlayerTest, OnWindowsXPTheRingHoldsOneReaderSample) {
  for (bool xp : {false, true}) {
    SCOPED_TRACE(xp ? "Windows XP" : "later");
    bool gone = false;
    g_windowsXP = xp;
    g_nextReader = new FakeWMReader;
    g_nextReader->maxSampleSize = 8192;
    CWMAudioPlayer* other = new ProbedPlayer(&gone);
    IWMAudioPlayer* otherFace = other;
    ASSERT_EQ(S_OK, otherFace->Init());
    ASSERT_EQ(S_OK, otherFace->Open("song.wma"));
    ASSERT_EQ(S_OK, otherFace->Seek(0));
    int free = other->Output().GetFreeSpace();
    if (xp) {
      EXPECT_LE(free, 8192);
    } else {
      EXPECT_EQ(44100, free);  // the device's default: 250 ms
    }
    otherFace->Release();
    EXPECT_TRUE(gone);
  }
}

TEST_F(WMAudioPlayerTest, PauseAndResumeReachTheReader) {
  ASSERT_EQ(S_OK, face->Init());
  ASSERT_EQ(S_OK, face->Open("song.wma"));
  ASSERT_EQ(S_OK, face->Seek(0));
  EXPECT_EQ(S_OK, face->Pause());
  EXPECT_EQ(S_OK, face->Resume());
  EXPECT_EQ(1, reader->pauses);
  EXPECT_EQ(1, reader->resumes);
}

TEST_F(WMAudioPlayerTest, ReleaseWithoutShutdownClosesAndFreesEverything) {
  ASSERT_EQ(S_OK, face->Init());
  ASSERT_EQ(S_OK, face->Open("song.wma"));
  ASSERT_EQ(S_OK, face->Seek(0));
  face->Release();
  EXPECT_TRUE(readerGone);
  EXPECT_TRUE(playerGone);
  EXPECT_EQ((std::vector<int>{0, 1, 3, 2}), recorder.events);
}

TEST_F(WMAudioPlayerTest, ShutdownTwiceIsHarmless) {
  ASSERT_EQ(S_OK, face->Init());
  ASSERT_EQ(S_OK, face->Open("song.wma"));
  EXPECT_EQ(0, face->Shutdown());
  EXPECT_TRUE(readerGone);
  EXPECT_EQ(0, face->Shutdown());
}

TEST_F(WMAudioPlayerTest, ListenersAreCalledOncePerEntryAndRemovedOneAtATime) {
  MediaEventRecorder second;
  face->AddListener(&second);
  face->AddListener(&second);
  face->RemoveListener(nullptr);
  ASSERT_EQ(S_OK, face->Init());
  ASSERT_EQ(S_OK, face->Open("song.wma"));
  EXPECT_EQ(2u, second.events.size());
  face->RemoveListener(&second);
  ASSERT_EQ(S_OK, face->Seek(0));
  EXPECT_EQ(3u, second.events.size());
  face->RemoveListener(&second);
  face->RemoveListener(&second);  // not there: nothing changes
  EXPECT_EQ(S_OK, face->Stop());
  EXPECT_EQ(3u, second.events.size());
  EXPECT_EQ((std::vector<int>{0, 1, 3}), recorder.events);
}

// A listener that fails on the reader's thread: the failure stays inside its
// own call, the open still completes, and samples keep being taken.
TEST_F(WMAudioPlayerTest, AListenerThatThrowsLeavesTheReaderAndTheOpenWhole) {
  struct Throwing : IMediaListener {
    void OnPlayerEvent(int) override { throw std::bad_alloc(); }
    void OnPlayTime(int) override { throw std::bad_alloc(); }
    void OnPlayTick(int) override { throw std::bad_alloc(); }
  } throwing;
  face->RemoveListener(&recorder);
  face->AddListener(&throwing);
  ASSERT_EQ(S_OK, face->Init());
  EXPECT_EQ(S_OK, face->Open("song.wma"));
  ASSERT_EQ(S_OK, face->Seek(0));
  EXPECT_EQ(S_OK, Deliver(0, 20, 3528));
  reader->Send(WMT_EOF);
  EXPECT_TRUE(player->Ended());
  face->RemoveListener(&throwing);
  EXPECT_EQ(S_OK, face->Stop());
}

// The reader's thread reports while the UI thread adds and removes listeners.
TEST_F(WMAudioPlayerTest, ListenersComeAndGoWhileTheReaderReports) {
  ASSERT_EQ(S_OK, face->Init());
  ASSERT_EQ(S_OK, face->Open("song.wma"));
  ASSERT_EQ(S_OK, face->Seek(0));
  std::atomic<bool> stop{false};
  std::atomic<int> delivered{0};
  std::thread reporter([&] {
    for (QWORD ms = 0; !stop && ms < 100000; ++ms) {
      if (Deliver(ms, 1, 4) != S_OK) return;
      ++delivered;
    }
  });
  MediaEventRecorder visitors[4];
  DWORD begin = GetTickCount();
  for (int round = 0; delivered < 3000 && GetTickCount() - begin < 10000; ++round) {
    MediaEventRecorder& visitor = visitors[round % 4];
    face->AddListener(&visitor);
    face->RemoveListener(&visitor);
  }
  stop = true;
  reporter.join();
  EXPECT_GE(delivered, 3000);
  std::lock_guard<std::mutex> hold(recorder.lock);
  EXPECT_EQ(static_cast<size_t>(delivered.load()), recorder.ticks.size());
}

TEST_F(WMAudioPlayerTest, TheReaderReachesTheAllocatorThroughTheCallback) {
  IWMReaderCallback* callback = player;
  IWMReaderCallbackAdvanced* advanced = nullptr;
  ASSERT_EQ(S_OK, callback->QueryInterface(__uuidof(IWMReaderCallbackAdvanced),
                                           reinterpret_cast<void**>(&advanced)));
  EXPECT_EQ(static_cast<IWMReaderCallbackAdvanced*>(&player->Allocator()), advanced);
  advanced->Release();
  IUnknown* unknown = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(E_NOINTERFACE, callback->QueryInterface(__uuidof(IWMReader), reinterpret_cast<void**>(&unknown)));
  EXPECT_EQ(nullptr, unknown);
  // A reference the reader takes keeps the player alive past its Release.
  callback->AddRef();
  face->Release();
  EXPECT_FALSE(playerGone);
  callback->Release();
  EXPECT_TRUE(playerGone);
}

MMRESULT g_unprepareResult = MMSYSERR_NOERROR;
std::atomic<int> g_unprepares{0};

MMRESULT WINAPI ScriptedUnprepare(HWAVEOUT, LPWAVEHDR, UINT) {
  ++g_unprepares;
  return g_unprepareResult;
}

// Nothing starts the waveOut side; the test runs its thread and plays the
// device's part through the callback.
TEST_F(WMAudioPlayerTest, TheWaveOutCompletionThreadFreesFinishedHeadersAndEndsOnClose) {
  static WaveOutApi table = SystemWaveOut();
  table.unprepareHeader = &ScriptedUnprepare;
  g_unprepares = 0;
  bool gone = false;
  CWMAudioPlayer* other = new ProbedPlayer(&gone, table);
  MediaEventRecorder heard;
  other->AddListener(&heard);
  HANDLE thread = CreateThread(nullptr, 0, &CWMAudioPlayer::WaveOutThreadProc, other, 0, nullptr);
  ASSERT_NE(nullptr, thread);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return other->WaveOutThreadId() != 0; }, 10000));
  HWAVEOUT device = reinterpret_cast<HWAVEOUT>(0x1234);
  auto instance = reinterpret_cast<DWORD_PTR>(other);

  auto* done = static_cast<WAVEHDR*>(LocalAlloc(LMEM_ZEROINIT, sizeof(WAVEHDR)));
  done->dwUser = 4321;
  other->PendingHeaders() = 1;
  g_unprepareResult = MMSYSERR_NOERROR;
  CWMAudioPlayer::WaveOutCallback(device, WOM_DONE, instance, reinterpret_cast<DWORD_PTR>(done), 0);
  EXPECT_EQ(std::vector<int>{4321}, heard.ticks);
  EXPECT_TRUE(
      testsupport::WaitUntil([&] { return other->PendingHeaders() == 0 && g_unprepares == 1; }, 10000));

  // A header the device still holds is neither freed nor counted off.
  WAVEHDR playing{};
  other->PendingHeaders() = 1;
  g_unprepareResult = WAVERR_STILLPLAYING;
  CWMAudioPlayer::WaveOutCallback(device, WOM_DONE, instance, reinterpret_cast<DWORD_PTR>(&playing), 0);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return g_unprepares == 2; }, 10000));
  EXPECT_EQ(1, other->PendingHeaders());

  CWMAudioPlayer::WaveOutCallback(device, WOM_CLOSE, instance, 0, 0);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
  CloseHandle(thread);
  EXPECT_EQ(0u, other->WaveOutThreadId());
  other->RemoveListener(&heard);
  static_cast<IWMAudioPlayer*>(other)->Release();
  EXPECT_TRUE(gone);
}

MMRESULT WINAPI ThrowingUnprepare(HWAVEOUT, LPWAVEHDR, UINT) { throw std::bad_alloc(); }

// A failure inside the completion thread ends it with a failure code instead
// of taking the process down, and the callback stops posting to it.
TEST_F(WMAudioPlayerTest, TheWaveOutCompletionThreadEndsOnAFailureWithoutLeavingItsId) {
  static WaveOutApi table = SystemWaveOut();
  table.unprepareHeader = &ThrowingUnprepare;
  bool gone = false;
  CWMAudioPlayer* other = new ProbedPlayer(&gone, table);
  HANDLE thread = CreateThread(nullptr, 0, &CWMAudioPlayer::WaveOutThreadProc, other, 0, nullptr);
  ASSERT_NE(nullptr, thread);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return other->WaveOutThreadId() != 0; }, 10000));
  WAVEHDR header{};
  CWMAudioPlayer::WaveOutCallback(reinterpret_cast<HWAVEOUT>(0x1234), WOM_DONE,
                                  reinterpret_cast<DWORD_PTR>(other), reinterpret_cast<DWORD_PTR>(&header),
                                  0);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(1u, code);
  CloseHandle(thread);
  EXPECT_EQ(0u, other->WaveOutThreadId());
  static_cast<IWMAudioPlayer*>(other)->Release();
  EXPECT_TRUE(gone);
}

// ---- The allocator on its own

TEST(SampleAllocatorTest, HandsOutPooledBuffersAndOversizeOnesOfTheirOwn) {
  CSampleAllocator allocator;
  allocator.Setup(2, 1000);
  struct Case {
    DWORD output, size;
    HRESULT expected;
    DWORD maxLength;
  };
  const Case cases[] = {
      {1, 100, S_FALSE, 0},   // another output
      {2, 100, S_OK, 1000},   // pooled
      {2, 1000, S_OK, 1000},  // exactly the maximum
      {2, 5000, S_OK, 5000},  // larger than the reader promised: a buffer of its own size
  };
  for (const Case& c : cases) {
    INSSBuffer* buffer = nullptr;
    EXPECT_EQ(c.expected, allocator.AllocateForOutput(c.output, c.size, &buffer, nullptr));
    if (c.expected != S_OK) {
      EXPECT_EQ(nullptr, buffer);
      continue;
    }
    ASSERT_NE(nullptr, buffer);
    DWORD length = 0, max = 0;
    BYTE* data = nullptr;
    EXPECT_EQ(S_OK, buffer->GetBufferAndLength(&data, &length));
    EXPECT_EQ(c.size, length);
    EXPECT_EQ(S_OK, buffer->GetMaxLength(&max));
    EXPECT_EQ(c.maxLength, max);
    data[c.size - 1] = 0x7F;  // the whole requested length is writable
    EXPECT_EQ(E_INVALIDARG, buffer->SetLength(max + 1));
    EXPECT_EQ(S_OK, buffer->GetLength(&length));
    EXPECT_EQ(c.size, length);
    buffer->Release();
  }
  // Only the pooled buffers came back to the pool.
  EXPECT_EQ(1, allocator.PooledCount());
}

TEST(SampleAllocatorTest, AReturnedBufferComesBackSilentAndANewFileEmptiesThePool) {
  CSampleAllocator allocator;
  allocator.Setup(0, 64);
  INSSBuffer* first = nullptr;
  ASSERT_EQ(S_OK, allocator.AllocateForOutput(0, 64, &first, nullptr));
  BYTE* data = nullptr;
  first->GetBuffer(&data);
  std::memset(data, 0xAB, 64);
  INSSBuffer* held = nullptr;
  ASSERT_EQ(S_OK, allocator.AllocateForOutput(0, 10, &held, nullptr));
  EXPECT_EQ(0u, first->Release());
  EXPECT_EQ(1, allocator.PooledCount());
  INSSBuffer* again = nullptr;
  ASSERT_EQ(S_OK, allocator.AllocateForOutput(0, 32, &again, nullptr));
  EXPECT_EQ(first, again);
  again->GetBuffer(&data);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(0, data[i]) << i;
  again->Release();
  // Another file with larger samples: the old buffers are not reused.
  allocator.Setup(0, 128);
  EXPECT_EQ(0, allocator.PooledCount());
  held->Release();
  EXPECT_EQ(0, allocator.PooledCount());
  INSSBuffer* larger = nullptr;
  ASSERT_EQ(S_OK, allocator.AllocateForOutput(0, 128, &larger, nullptr));
  DWORD max = 0;
  larger->GetMaxLength(&max);
  EXPECT_EQ(128u, max);
  // A buffer that outlives its allocator deletes itself.
  {
    CSampleAllocator gone;
    gone.Setup(0, 16);
    INSSBuffer* orphan = nullptr;
    ASSERT_EQ(S_OK, gone.AllocateForOutput(0, 16, &orphan, nullptr));
    larger->Release();
    larger = orphan;
  }
  EXPECT_EQ(0u, larger->Release());
}

TEST(SampleAllocatorTest, ThreadsAllocatingAndReleasingShareOnePool) {
  CSampleAllocator allocator;
  allocator.Setup(0, 256);
  auto work = [&] {
    for (int i = 0; i < 5000; ++i) {
      INSSBuffer* buffer = nullptr;
      if (allocator.AllocateForOutput(0, 200, &buffer, nullptr) != S_OK) return;
      BYTE* data = nullptr;
      buffer->GetBuffer(&data);
      data[0] = 1;
      buffer->Release();
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(10000, allocator.Allocations());
  EXPECT_GE(allocator.PooledCount(), 1);
  EXPECT_LE(allocator.PooledCount(), 2);
}

TEST(SampleBufferTest, QueryInterfaceNeedsAPlaceForTheAnswer) {
  CSampleBuffer* buffer = CSampleBuffer::Create(8, nullptr, 0);
  ASSERT_NE(nullptr, buffer);
  EXPECT_EQ(E_INVALIDARG, buffer->QueryInterface(__uuidof(INSSBuffer), nullptr));
  void* out = nullptr;
  EXPECT_EQ(S_OK, buffer->QueryInterface(__uuidof(IUnknown), &out));
  EXPECT_EQ(static_cast<INSSBuffer*>(buffer), out);
  EXPECT_EQ(E_NOINTERFACE, buffer->QueryInterface(__uuidof(IWMReader), &out));
  EXPECT_EQ(nullptr, out);
  EXPECT_EQ(1u, buffer->Release());
  EXPECT_EQ(0u, buffer->Release());
}

}  // namespace
