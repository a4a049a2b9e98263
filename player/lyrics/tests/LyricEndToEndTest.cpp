// The lyrics window on the whole song side: the demo song played through
// Tunewell.dll (muted, into the MIDI recorder) with its lyric controller
// driving the window's view in real time.
#include <windows.h>

#include <gtest/gtest.h>

#include <cantomere/Cantomere.h>
#include <tunewell/ISongEngine.h>
#include <voxgate/Voxgate.h>

#include <string>

#include "Canvas.h"
#include "DemoSong.h"
#include "lyrics/CLyricWnd.h"
#include "testsupport/MessagePump.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"
#include "ui/GdiplusSession.h"

namespace {

TEST(LyricEndToEndTest, TheEnginesControllerSingsIntoTheLyricsWindow) {
  GdiplusSession gdiplus;
  HMODULE tunewell = ::LoadLibraryA("Tunewell.dll");
  HMODULE voxgate = ::LoadLibraryA("Voxgate.dll");
  ASSERT_TRUE(tunewell && voxgate);
  auto create =
      reinterpret_cast<CreateTunewellInstanceFn>(::GetProcAddress(tunewell, "CreateTunewellInstance"));
  auto createManager = reinterpret_cast<CreateVoxgateFn>(::GetProcAddress(voxgate, kCreateVoxgateName));
  auto createRecorder =
      reinterpret_cast<CreateRecordCtrlFn>(::GetProcAddress(voxgate, kCreateRecordCtrlName));
  ASSERT_TRUE(create && createManager && createRecorder);
  HWND owner = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ISongEngine* engine = create(1);
  ASSERT_NE(engine, nullptr);
  ASSERT_EQ(engine->Init(owner), 0);
  IChannelManager* manager = createManager(1);
  IMidiRecorder* recorder = createRecorder(1);
  ASSERT_TRUE(manager && recorder);
  const HMIDIOUT quietPort = reinterpret_cast<HMIDIOUT>(static_cast<INT_PTR>(0x7E57));
  manager->AddPort(quietPort);
  recorder->SetMute(1);
  engine->CloseMidiOut(false);

  testsupport::TempDir dir;
  const std::string song = dir.File("demo.mid");
  ASSERT_TRUE(testsupport::WriteBytes(song, DemoKaraokeSong()));
  {
    CLyricWnd frame(owner, engine->GetLyrics(), nullptr);
    ASSERT_TRUE(frame.IsCreated());
    CLyricView* view = frame.GetLyricView();
    RECT rect = {0, 0, 500, 300};
    view->SetRect(&rect);
    // This program has no settings file: the shipped style, by hand.
    view->SetKaraoke(true);
    view->SetColor(0, RGB(0, 255, 0));
    view->SetColor(1, RGB(255, 0, 0));
    const int melody[] = {1};
    ASSERT_EQ(engine->Open(song.c_str()), 0);
    ASSERT_EQ(engine->SetTracks(melody, 1), 0);
    EXPECT_EQ(view->GetTokenCount(), 28 + 4) << "every syllable and break of the song";
    ASSERT_EQ(engine->Play(0), 0);

    // Count-in, then the syllables one by one, until the second line is sung.
    int mostDots = 0, lastWiped = -1;
    bool inOrder = true;
    const bool reached = testsupport::PumpUntil(
        [&] {
          mostDots = std::max(mostDots, view->GetCountIn());
          if (view->GetWipeToken() < lastWiped) inOrder = false;
          lastWiped = view->GetWipeToken();
          return view->LineOfToken(view->GetWipeToken()) == 1 && view->GetPendingScroll() == 0;
        },
        15000);
    engine->Stop(0);
    ASSERT_TRUE(reached) << "the second line was never sung through";
    EXPECT_GT(mostDots, 0) << "count-in dots before the first syllable";
    EXPECT_EQ(view->GetCountIn(), 0) << "and none once it is sung";
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(view->GetScrollY(), view->GetLines()[1].y - view->GetHeaderHeight())
        << "the sung line scrolled to the top";

    // The first line, sung, is wholly lit.
    Canvas canvas(500, 300);
    view->Draw(canvas.dc());
    const LyricLine& first = view->GetLines()[0];
    const int top = first.y - view->GetScrollY(), left = first.x - view->GetScrollX();
    EXPECT_GT(canvas.Count(left, top, left + first.width, top + first.height, IsRed), 50);
    EXPECT_EQ(canvas.Count(left, top, left + first.width, top + first.height, IsGreen), 0);
    engine->GetLyrics()->DetachView(1, view);
  }
  manager->RemovePort(quietPort);
  engine->Release();
  ::DestroyWindow(owner);
  ::FreeLibrary(voxgate);
  ::FreeLibrary(tunewell);
}

}  // namespace
