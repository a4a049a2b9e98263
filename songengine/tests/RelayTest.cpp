#include <brevant/PlayEvent.h>

#include "CSongEngine.h"
#include "EngineFixture.h"

namespace {

class RelayTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    engine_ = static_cast<CSongEngine*>(CreateTunewellInstance(1));
    ASSERT_NE(nullptr, engine_);
    engine_->Init(nullptr);
    engine_->CreateScore(nullptr);
    engine_->SetListener(&listener_);
    testsupport::PumpPending();
    FakeLogClear();
  }
  void TearDown() override {
    if (engine_) engine_->Release();
    EngineTest::TearDown();
  }
  static PlayEvent Event(uint32_t type, int v1 = 0, int v2 = 0, int v3 = 0, int v4 = 0) {
    return PlayEvent{type, v1, v2, v3, v4, 0, 0};
  }

  CSongEngine* engine_ = nullptr;
  RecordingListener listener_;
};

TEST_F(RelayTest, EachEventTypeReachesItsReceivers) {
  const uint32_t wdof = 'W' | 'D' << 8 | 'O' << 16 | 'F' << 24;
  const uint32_t clst = kTagClimaxStart;
  struct Row {
    const char* what;
    PlayEvent event;
    std::vector<std::string> calls;
    std::vector<std::string> heard;
  } rows[] = {
      {"note",
       Event(1, 0x643C90, 0, 480, 1),
       {"Staff.NoteEvent(643C90,480,1)", "JianPu.NoteEvent(643C90,480,1)"},
       {}},
      {"beat", Event(3, 2, 4, 7), {}, {"Beat(2,4,7)"}},
      {"cursor", Event(4, 3), {"Staff.StepCursor(3)", "JianPu.StepCursor(3)"}, {}},
      {"seek", Event(5, 960), {"Staff.SeekTick(960)", "JianPu.SeekTick(960)", "Cantomere.SeekTick(960)"}, {}},
      {"lyric",
       Event(6, 240, 1),
       {"Staff.MarkLyric(240,1)", "JianPu.MarkLyric(240,1)", "Cantomere.MarkLyric(240,1)"},
       {}},
      {"phrase end tag",
       Event(8, static_cast<int>(wdof), 720, 1),
       {"Staff.UnmarkLyrics(720,1)", "JianPu.UnmarkLyrics(720,1)", "Cantomere.OnTagEvent(WDOF,720,1)"},
       {}},
      {"other tag", Event(8, static_cast<int>(clst), 960, 3), {"Cantomere.OnTagEvent(CLST,960,3)"}, {}},
      {"position", Event(9, 12), {}, {"Position(12)"}},
      {"end", Event(10, 0), {}, {"End(0)"}},
  };
  for (const Row& row : rows) {
    FakeLogClear();
    listener_.heard.clear();
    EXPECT_EQ(0, FireEvent(row.event)) << row.what;
    // Posted, not called: nothing happens before the UI thread pumps.
    EXPECT_TRUE(Calls().empty()) << row.what;
    testsupport::PumpPending();
    EXPECT_EQ(row.calls, Calls()) << row.what;
    EXPECT_EQ(row.heard, listener_.heard) << row.what;
  }
}

TEST_F(RelayTest, RefusedTypesPostNothing) {
  for (uint32_t type : {0u, 2u, 7u, 11u, 0xFFFFFFFFu}) {
    EXPECT_EQ(1, FireEvent(Event(type, 5))) << type;
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, engine_->MessageWindow(), 0, 0, PM_NOREMOVE)) << type;
  }
}

TEST_F(RelayTest, SynchronousEventsAreHandledBeforeTheCallbackReturns) {
  EXPECT_EQ(0, FireEvent(Event(9, 3), 1));
  EXPECT_EQ((std::vector<std::string>{"Position(3)"}), listener_.heard);
}

TEST_F(RelayTest, EventsFromAnotherThreadAreHandledOnTheWindowsThread) {
  struct Shot {
    int synchronous;
    int result = -1;
    DWORD handledOn = 0;
  };
  static Shot* current = nullptr;
  struct ThreadListener : ISongEngineListener {
    void OnPosition(int) override { handledOn = GetCurrentThreadId(); }
    void OnBeat(int, int, int) override {}
    void OnSongEnd(int) override {}
    DWORD handledOn = 0;
  } listener;
  engine_->SetListener(&listener);
  for (int synchronous : {0, 1}) {
    Shot shot{synchronous};
    current = &shot;
    listener.handledOn = 0;
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID) -> DWORD {
          current->result = FireEvent(PlayEvent{9, 1, 0, 0, 0, 0, 0}, current->synchronous);
          return 0;
        },
        nullptr, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    // A synchronous sender waits for this thread to pump.
    EXPECT_TRUE(testsupport::PumpUntil(
        [&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0 && listener.handledOn; }, 2000));
    CloseHandle(thread);
    EXPECT_EQ(0, shot.result) << synchronous;
    EXPECT_EQ(GetCurrentThreadId(), listener.handledOn) << synchronous;
  }
}

TEST_F(RelayTest, WithoutAListenerBeatsPositionsAndEndsAreDropped) {
  engine_->SetListener(nullptr);
  FireEvent(Event(3, 1, 4, 0));
  FireEvent(Event(9, 1));
  FireEvent(Event(10, 0));
  testsupport::PumpPending();
  EXPECT_TRUE(listener_.heard.empty());
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, engine_->MessageWindow(), 0, 0, PM_NOREMOVE));
}

TEST_F(RelayTest, StopDiscardsQueuedEventsButNotTheEnd) {
  FireEvent(Event(1, 0x643C90, 0, 0, 1));
  FireEvent(Event(9, 4));
  FireEvent(Event(10, 0));
  engine_->Stop(0);
  testsupport::PumpPending();
  EXPECT_EQ((std::vector<std::string>{"End(0)"}), listener_.heard);
  EXPECT_TRUE(CallsStartingWith("Staff.").empty());
}

TEST_F(RelayTest, OpenDiscardsTheOldSongsQueuedEventsAsStopDoes) {
  FireEvent(Event(1, 0x643C90, 0, 0, 1));
  FireEvent(Event(6, 240, 1));
  FireEvent(Event(10, 0));
  FakeLogClear();
  ASSERT_EQ(0, engine_->Open(WriteSong("next.mid", MelodySong()).c_str()));
  FakeLogClear();
  testsupport::PumpPending();
  // No highlight or sung mark of the old song lands on the new one.
  EXPECT_TRUE(CallsStartingWith("Staff.").empty());
  EXPECT_TRUE(CallsStartingWith("Cantomere.MarkLyric").empty());
  EXPECT_EQ((std::vector<std::string>{"End(0)"}), listener_.heard);
}

TEST_F(RelayTest, AnEventThatCannotBePostedIsRefused) {
  // A window gone behind the engine's back: the post fails and the copy,
  // which no handler would ever see, is freed by the callback itself.
  DestroyWindow(engine_->MessageWindow());
  EXPECT_EQ(1, FireEvent(Event(9, 4)));
  EXPECT_EQ(1, FireEvent(Event(9, 4), 1));
  testsupport::PumpPending();
  EXPECT_TRUE(listener_.heard.empty());
}

TEST_F(RelayTest, CountInTicksReachTheLyricController) {
  PostMessageA(engine_->MessageWindow(), WM_COUNT_IN, 1, 3);
  testsupport::PumpPending();
  EXPECT_EQ((std::vector<std::string>{"Cantomere.OnCountIn(1,3)"}), Calls());
}

TEST_F(RelayTest, DestructionFreesQueuedEventsWithoutCallingTheListener) {
  FireEvent(Event(9, 4));
  FireEvent(Event(10, 0));
  engine_->Release();
  engine_ = nullptr;
  testsupport::PumpPending();
  EXPECT_TRUE(listener_.heard.empty());
}

TEST_F(RelayTest, EventsWithoutAScoreStillReachTheLyricsAndTheListener) {
  engine_->DestroyScore();
  FakeLogClear();
  FireEvent(Event(6, 240, 1));
  FireEvent(Event(10, 0));
  testsupport::PumpPending();
  EXPECT_EQ((std::vector<std::string>{"Cantomere.MarkLyric(240,1)"}), Calls());
  EXPECT_EQ((std::vector<std::string>{"End(0)"}), listener_.heard);
}

}  // namespace
