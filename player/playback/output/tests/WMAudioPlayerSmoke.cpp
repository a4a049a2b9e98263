// The Windows Media audio player on real files through Wine's reader and the
// real DirectSound output. Run by run-wma-with-null-sink, which makes the
// files with ffmpeg, starts a null sink and names the folder in
// MELODARA_WMA_MEDIA. A hidden window stands in for the main window.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "MediaEventRecorder.h"
#include "output/CDSoundOutput.h"
#include "output/CDSoundThread.h"
#include "output/CWMAudioPlayer.h"
#include "output/OutputGlobals.h"
#include "testsupport/MessagePump.h"

namespace {

// Whether wanted appears in events in this order (other events may lie between).
bool InOrder(const std::vector<int>& events, const std::vector<int>& wanted) {
  size_t next = 0;
  for (int event : events)
    if (next < wanted.size() && event == wanted[next]) ++next;
  return next == wanted.size();
}

HWND g_window = nullptr;

class WMAudioSmoke : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    g_window = CreateWindowA("STATIC", "Melodara", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    MainWindowProvider() = [] { return g_window; };
  }
  void SetUp() override {
    const char* media = std::getenv("MELODARA_WMA_MEDIA");
    ASSERT_NE(nullptr, media) << "run through run-wma-with-null-sink";
    folder = media;
    ASSERT_NE(nullptr, g_window);
    player = new CWMAudioPlayer;
    face = player;
    face->AddListener(&recorder);
    ASSERT_EQ(S_OK, face->Init());
  }
  void TearDown() override {
    if (face != nullptr) {
      face->RemoveListener(&recorder);
      face->Release();
    }
    // The output worker outlives the player while a stream fades out; the
    // program must not exit under it (its globals go at exit).
    EXPECT_TRUE(testsupport::PumpUntil([] { return g_dsoundThread == nullptr || !g_dsoundThread->Running(); },
                                       20000));
  }
  std::string File(const char* name) const { return folder + "\\" + name; }

  std::string folder;
  CWMAudioPlayer* player = nullptr;
  IWMAudioPlayer* face = nullptr;
  MediaEventRecorder recorder;
};

TEST_F(WMAudioSmoke, PlaysAGeneratedWmaToItsEndWithRisingPositions) {
  ASSERT_EQ(S_OK, face->Open(File("tone.wma").c_str()));
  EXPECT_NEAR(3000, face->GetDuration(), 300);
  char* title = nullptr;
  EXPECT_EQ(0, face->GetTitle(&title));  // the file has none
  EXPECT_EQ(nullptr, title);
  ASSERT_EQ(S_OK, face->Seek(0));
  // Real time plus a loaded machine's delays.
  EXPECT_TRUE(testsupport::PumpUntil([&] { return recorder.Saw(kMediaEventEnd); }, 60000));
  // Let the device play out what it holds before the fade.
  testsupport::PumpFor(1500);
  EXPECT_GE(face->Stop(), 0);
  EXPECT_GE(face->Close(), 0);
  // Wine's reader asks our allocator for every audio sample.
  EXPECT_GT(player->Allocator().Allocations(), 10);
  std::printf("reader buffers from our allocator: %d\n", player->Allocator().Allocations());
  std::lock_guard<std::mutex> hold(recorder.lock);
  std::string seen;
  for (int event : recorder.events) seen += std::to_string(event) + " ";
  EXPECT_TRUE(InOrder(recorder.events, {0, 1, 5, 3, 2})) << "events: " << seen;
  ASSERT_GE(recorder.ticks.size(), 10u);
  for (size_t i = 1; i < recorder.ticks.size(); ++i) ASSERT_GE(recorder.ticks[i], recorder.ticks[i - 1]) << i;
  for (size_t i = 1; i < recorder.times.size(); ++i) ASSERT_GE(recorder.times[i], recorder.times[i - 1]) << i;
  EXPECT_GE(recorder.ticks.back(), 1000);
  EXPECT_GE(recorder.times.back(), 2500);
  std::printf("positions: %d ticks from %d to %d ms, sample times to %d ms\n", int(recorder.ticks.size()),
              recorder.ticks.front(), recorder.ticks.back(), recorder.times.back());
}

TEST_F(WMAudioSmoke, ASeekPlaysFromThere) {
  ASSERT_EQ(S_OK, face->Open(File("tone.wma").c_str()));
  ASSERT_EQ(S_OK, face->Seek(1500));
  EXPECT_TRUE(testsupport::PumpUntil(
      [&] {
        std::lock_guard<std::mutex> hold(recorder.lock);
        return !recorder.times.empty();
      },
      30000));
  EXPECT_GE(face->Stop(), 0);
  std::lock_guard<std::mutex> hold(recorder.lock);
  ASSERT_FALSE(recorder.times.empty());
  std::printf("first sample after Seek(1500) at %d ms\n", recorder.times.front());
  // The reader starts at the packet that holds 1500 ms.
  EXPECT_GE(recorder.times.front(), 1300);
  EXPECT_GE(recorder.ticks.front(), 1500);
}

// Bad files fail to open or play out; none crashes or hangs the player.
TEST_F(WMAudioSmoke, BadFilesFailCleanly) {
  struct Case {
    const char* file;
    bool mayOpen;  // the reader may take a damaged file and play what it can
  };
  const Case cases[] = {
      {"noaudio.wmv", false}, {"missing.wma", false},  {"garbage.wma", false},
      {"cut.wma", true},      {"scrambled.wma", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    HRESULT hr = face->Open(File(c.file).c_str());
    std::printf("%s: Open %#lx\n", c.file, static_cast<unsigned long>(hr));
    if (!c.mayOpen) {
      EXPECT_TRUE(FAILED(hr));
    }
    if (FAILED(hr)) {
      EXPECT_EQ(E_UNEXPECTED, face->Seek(0));
      continue;
    }
    if (SUCCEEDED(face->Seek(0))) {
      testsupport::PumpUntil([&] { return player->Ended(); }, 20000);
      face->Stop();
    }
    face->Close();
  }
  // The player still plays a good file afterwards.
  ASSERT_EQ(S_OK, face->Open(File("tone.wma").c_str()));
  EXPECT_EQ(S_OK, face->Seek(0));
  EXPECT_TRUE(testsupport::PumpUntil([&] { return recorder.Saw(kMediaEventPlaying); }, 30000));
  EXPECT_GE(face->Stop(), 0);
}

// Released while playing, without Stop or Shutdown.
TEST_F(WMAudioSmoke, ReleaseWhilePlayingEndsEverything) {
  ASSERT_EQ(S_OK, face->Open(File("tone.wma").c_str()));
  ASSERT_EQ(S_OK, face->Seek(0));
  EXPECT_TRUE(testsupport::PumpUntil([&] { return recorder.Saw(kMediaEventPlaying); }, 30000));
  face->Release();
  face = nullptr;
  std::lock_guard<std::mutex> hold(recorder.lock);
  EXPECT_TRUE(InOrder(recorder.events, {0, 1, 3, 2}));
}

}  // namespace
