// The score frame under Xvfb: with the real song engine and a generated song,
// and with a recording engine where the test must see single calls. A
// recording owner and player host stand for the main window.
#include "app/CScoreWnd.h"
#include "app/PreferencesSheet.h"

#include <gtest/gtest.h>
#include <tunewell/ISongEngine.h>
#include <voxgate/Voxgate.h>

#include <memory>
#include <string>
#include <vector>

#include "RecordingEngine.h"
#include "WindowFixture.h"
#include "base/Library.h"
#include "testsupport/MessagePump.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"
#include "ui/CSettings.h"
#include "ui/SnapObjects.h"

namespace {

// Eight bars of 4/4 at 120 beats a minute: a scale of quarter notes.
testsupport::Bytes ScaleSong() {
  using testsupport::TrackBuilder;
  TrackBuilder tempo;
  tempo.Tempo(0, 500000).TimeSig(0, 4, 2).KeySig(0, 0, 0).EndOfTrack();
  TrackBuilder melody;
  melody.Text(0, 0x03, "Melody").Event(0, {0xC0, 0});
  const uint8_t notes[] = {60, 62, 64, 65, 67, 69, 71, 72};
  for (int i = 0; i < 32; ++i) {
    const uint8_t note = notes[i % 8];
    melody.Event(0, {0x90, note, 100}).Event(480, {0x80, note, 0});
  }
  melody.EndOfTrack();
  return testsupport::Cat({testsupport::Header(1, 2, 480), tempo.Chunk(), melody.Chunk()});
}

// The real engine bound as the player binds it, output muted into the recorder.
class RealEngine {
 public:
  explicit RealEngine(HWND owner) {
    tunewell_.Load("Tunewell.dll");
    voxgate_.Load("Voxgate.dll");
    if (!tunewell_ || !voxgate_) return;
    auto create = tunewell_.Find<CreateTunewellInstanceFn>("CreateTunewellInstance");
    auto createManager = voxgate_.Find<CreateVoxgateFn>(kCreateVoxgateName);
    auto createRecorder = voxgate_.Find<CreateRecordCtrlFn>(kCreateRecordCtrlName);
    if (!create || !createManager || !createRecorder) return;
    manager_ = createManager(1);
    IMidiRecorder* recorder = createRecorder(1);
    if (!manager_ || !recorder) return;
    manager_->AddPort(kQuietPort);
    recorder->SetMute(1);
    engine_ = create(1);
    if (!engine_ || engine_->Init(owner) != 0 || engine_->CreateScore(nullptr) != 0) return;
    engine_->CloseMidiOut(false);
  }
  ~RealEngine() {
    if (engine_) {
      engine_->Stop(0);
      engine_->DestroyScore();
      engine_->Release();
    }
    if (manager_) manager_->RemovePort(kQuietPort);
    voxgate_.Free();
    tunewell_.Free();
  }
  ISongEngine* Get() { return engine_ && engine_->GetScoreFacet() ? engine_ : nullptr; }
  bool OpenScale() {
    if (!WriteBytes(dir_.File("scale.mid"), ScaleSong())) return false;
    const int melody[] = {1};
    return engine_->Open(dir_.File("scale.mid").c_str()) == 0 && engine_->SetTracks(melody, 1) == 0;
  }

 private:
  static bool WriteBytes(const std::string& path, const testsupport::Bytes& bytes) {
    return testsupport::WriteBytes(path, bytes);
  }
  const HMIDIOUT kQuietPort = reinterpret_cast<HMIDIOUT>(static_cast<INT_PTR>(0x7E57));
  base::Library tunewell_;
  base::Library voxgate_;
  IChannelManager* manager_ = nullptr;
  ISongEngine* engine_ = nullptr;
  testsupport::TempDir dir_;
};

class ScoreWndTest : public WindowFixture {
 protected:
  void TearDown() override {
    frame.reset();
    WindowFixture::TearDown();
  }
  void Make() {
    frame = std::make_unique<CScoreWnd>(owner.m_hWnd, &host);
    ASSERT_TRUE(frame->IsCreated());
    testsupport::PumpFor(50);
  }
  bool StaffChecked() { return frame->GetStaffToggle()->IsChecked(); }
  bool NumberedChecked() { return frame->GetNumberedToggle()->IsChecked(); }
  HWND Canvas() { return frame->GetCanvas()->m_hWnd; }

  std::unique_ptr<CScoreWnd> frame;
};

TEST_F(ScoreWndTest, NotationTogglesFollowTheEngine) {
  RealEngine engine(owner.m_hWnd);
  ASSERT_NE(nullptr, engine.Get());
  ASSERT_TRUE(engine.OpenScale());
  CScoreFacet* facet = engine.Get()->GetScoreFacet();
  // The engine starts in numbered notation (a default type setting of 1).
  facet->SetScoreType(1);
  Make();
  frame->SetSongEngine(engine.Get());
  EXPECT_EQ(CScoreWnd::kNumbered, frame->GetScoreType());
  EXPECT_FALSE(StaffChecked());
  EXPECT_TRUE(NumberedChecked());

  // Each press turns the notation over; the toggles never agree.
  const struct {
    CScoreTypeToggle* toggle;
    int type;
  } presses[] = {{frame->GetStaffToggle(), 0},
                 {frame->GetStaffToggle(), 1},
                 {frame->GetNumberedToggle(), 0},
                 {frame->GetNumberedToggle(), 1},
                 {frame->GetStaffToggle(), 0}};
  for (const auto& press : presses) {
    press.toggle->OnLButtonDown(0, 0);
    EXPECT_EQ(press.type, frame->GetScoreType());
    EXPECT_EQ(press.type, facet->GetScoreType());
    EXPECT_NE(StaffChecked(), NumberedChecked());
    EXPECT_EQ(press.type == 0, StaffChecked());
  }
  // The measure slider spans the song.
  frame->ResetMeasureSlider();
  EXPECT_EQ(facet->GetMeasureCount(1), frame->GetMeasureSlider()->GetUpper());
  EXPECT_GE(frame->GetMeasureSlider()->GetUpper(), 8);
  frame->SetMeasurePos(3);
  EXPECT_EQ(3, frame->GetMeasureSlider()->GetPos());
  frame->SetSongEngine(nullptr);
}

TEST_F(ScoreWndTest, ClicksFollowThePlayerState) {
  Make();
  RecordingEngine engine;
  frame->SetSongEngine(&engine);
  EXPECT_EQ(Canvas(), engine.scoreWindow);
  RECT client;
  GetClientRect(Canvas(), &client);
  EXPECT_EQ(client.right, engine.scoreRect.right);
  EXPECT_EQ(client.bottom, engine.scoreRect.bottom);

  engine.playerState = 0;  // playing: a click changes nothing
  SendMessageA(Canvas(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
  EXPECT_TRUE(engine.facet.calls.empty());
  engine.playerState = 1;
  SendMessageA(Canvas(), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(20, 30));
  EXPECT_TRUE(engine.facet.calls.empty());
  SendMessageA(Canvas(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
  EXPECT_EQ((std::vector<std::string>{"TickFromPoint 20,30"}), engine.facet.calls);

  // A double click plays from the clicked tick.
  SendMessageA(Canvas(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(7, 9));
  EXPECT_EQ((std::vector<std::string>{"SetClickPosition 70", "PlayFromClickPosition"}), host.calls);

  // The measure slider pages the score.
  frame->GetCanvas()->OnSliderTrack(4, 0);
  frame->GetCanvas()->OnSliderTrack(-1, 1);
  EXPECT_EQ("ScrollTo 4", engine.facet.calls[2]);
  EXPECT_EQ("ScrollBy -1", engine.facet.calls[3]);
  EXPECT_EQ(6, frame->GetCanvas()->GetSliderValue());
  EXPECT_EQ(2, frame->GetCanvas()->GetSliderBackValue());
  frame->SetSongEngine(nullptr);
}

TEST_F(ScoreWndTest, WithoutAnEngineOrScoreEveryEngineCallIsSkipped) {
  Make();
  for (bool bound : {false, true}) {
    RecordingEngine engine;
    engine.hasFacet = false;
    if (bound) frame->SetSongEngine(&engine);
    SendMessageA(Canvas(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
    SendMessageA(Canvas(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 30));
    frame->GetCanvas()->OnSliderTrack(4, 0);
    frame->ResetMeasureSlider();
    frame->SetScoreType(1);
    EXPECT_EQ(-1, frame->GetCanvas()->GetSliderValue());
    EXPECT_EQ(-1, frame->GetCanvas()->GetSliderBackValue());
    EXPECT_TRUE(host.calls.empty());
    frame->SetSongEngine(nullptr);
  }
  // The canvas still paints its background.
  MemoryCanvas canvas(50, 50);
  frame->GetCanvas()->PaintTo(canvas.dc());
}

TEST_F(ScoreWndTest, CommandsKeysAndDropsReachTheOwner) {
  Make();
  SendMessageA(Canvas(), WM_COMMAND, CScoreCanvas::kCmdSettings, 0);
  SendMessageA(Canvas(), WM_COMMAND, 32777, 0);
  EXPECT_EQ((std::vector<std::string>{"ShowPreferences 1"}), host.calls);
  ASSERT_EQ(1u, owner.Of(WM_COMMAND).size());
  EXPECT_EQ(32777u, owner.Of(WM_COMMAND)[0].wParam);

  SendMessageA(frame->m_hWnd, WM_KEYDOWN, 'P', 0x190001);
  SendMessageA(frame->m_hWnd, WM_DROPFILES, 0x2468, 0);
  testsupport::PumpFor(50);
  ASSERT_EQ(1u, owner.Of(WM_KEYDOWN).size());
  EXPECT_EQ(static_cast<WPARAM>('P'), owner.Of(WM_KEYDOWN)[0].wParam);
  ASSERT_EQ(1u, owner.Of(WM_DROPFILES).size());
  EXPECT_EQ(0x2468u, owner.Of(WM_DROPFILES)[0].wParam);
}

TEST_F(ScoreWndTest, ClosingHidesThroughTheOwner) {
  Make();
  SendMessageA(frame->m_hWnd, WM_SKIN_CLOSE, 0, 0);
  SendMessageA(frame->m_hWnd, WM_SKIN_HIDE_CHILD, 0, 0);
  SendMessageA(frame->m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  testsupport::PumpFor(50);
  const std::vector<OwnerMessage> hides = owner.Of(WM_SKIN_HIDE_CHILD);
  ASSERT_EQ(3u, hides.size());
  for (const OwnerMessage& m : hides) EXPECT_EQ(static_cast<WPARAM>(ChildWndId::kScore), m.wParam);
  EXPECT_TRUE(IsWindow(frame->m_hWnd));
}

TEST_F(ScoreWndTest, TopMostStartsFromTheSettings) {
  WriteSettings("[GENERAL_SETTING]\nSCOREWND_SHOW_STATE=1\n");
  Make();
  EXPECT_TRUE(frame->IsAlwaysVisible());
  EXPECT_TRUE(GetWindowLongA(frame->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  frame->GetTopMostToggle()->OnLButtonDown(0, 0);
  EXPECT_FALSE(frame->IsAlwaysVisible());
  EXPECT_FALSE(GetWindowLongA(frame->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

// Runs under a window manager too (see the build file): there the system's
// own restore of a frame without a caption changed its bookkeeping only.
TEST_F(ScoreWndTest, CaptionDoubleClickMaximisesAndRestores) {
  // Away from the screen's corner, where a restore that only pretends shows.
  WriteSettings("[WINDOW_SETTING]\nSTAFF_WND_RECT=3200000032000000E6020000A4010000F1\n");
  Make();
  frame->ShowWindow(true);
  testsupport::PumpFor(100);
  RECT before;
  GetWindowRect(frame->m_hWnd, &before);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(frame->m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor));
  SendMessageA(frame->m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 8));
  RECT rect = {};
  // A window manager answers the move in its own time.
  testsupport::PumpUntil(
      [&] { return GetWindowRect(frame->m_hWnd, &rect) && EqualRect(&rect, &monitor.rcWork); }, 5000);
  EXPECT_TRUE(EqualRect(&rect, &monitor.rcWork));
  EXPECT_TRUE(frame->IsMaximized());
  // A window manager answers a maximize with configure events of its own a
  // moment later; a user's restore comes after them.
  testsupport::PumpFor(1000);
  RECT canvas;
  GetWindowRect(Canvas(), &canvas);
  EXPECT_GT(canvas.right - canvas.left, (rect.right - rect.left) * 3 / 4) << "the canvas follows the frame";
  SendMessageA(frame->m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 8));
  testsupport::PumpUntil([&] { return GetWindowRect(frame->m_hWnd, &rect) && EqualRect(&rect, &before); },
                         5000);
  EXPECT_TRUE(EqualRect(&rect, &before))
      << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
  EXPECT_FALSE(frame->IsMaximized());
  // A restore of a frame that is not maximized leaves it where it is.
  SendMessageA(frame->m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  testsupport::PumpFor(100);
  GetWindowRect(frame->m_hWnd, &rect);
  EXPECT_TRUE(EqualRect(&rect, &before));
  frame->ShowWindow(false);
}

// Preferences asked for from an always-visible frame (its pop-up menu's
// "Setting...") are owned by that frame, so they come up above it.
TEST_F(ScoreWndTest, PreferencesOpenAboveTheFrameThatAskedForThem) {
  WriteSettings("[GENERAL_SETTING]\nSCOREWND_SHOW_STATE=1\n");
  Make();
  ASSERT_TRUE(GetWindowLongA(frame->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  frame->ShowWindow(true);
  SetForegroundWindow(frame->m_hWnd);
  SetActiveWindow(frame->m_hWnd);
  testsupport::PumpUntil([&] { return GetActiveWindow() == frame->m_hWnd; }, 5000);
  ASSERT_EQ(frame->m_hWnd, GetActiveWindow());
  static HWND s_frame;
  static HWND s_sheetOwner;
  static bool s_sheetAbove;
  s_frame = frame->m_hWnd;
  s_sheetOwner = nullptr;
  s_sheetAbove = false;
  SetPreferencesProbe([](CWnd* sheet) {
    s_sheetOwner = GetWindow(sheet->m_hWnd, GW_OWNER);
    for (HWND below = GetWindow(sheet->m_hWnd, GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT))
      if (below == s_frame) s_sheetAbove = true;
    PostMessageA(sheet->m_hWnd, WM_COMMAND, IDCANCEL, 0);
  });
  RunPreferences(owner.m_hWnd, nullptr, 1, nullptr);
  SetPreferencesProbe(nullptr);
  EXPECT_EQ(frame->m_hWnd, s_sheetOwner);
  EXPECT_TRUE(s_sheetAbove);
  frame->ShowWindow(false);
}

TEST_F(ScoreWndTest, ADockedRightEdgeDoesNotResize) {
  Make();
  RECT work;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  RECT r;
  GetWindowRect(frame->m_hWnd, &r);
  SetWindowPos(frame->m_hWnd, nullptr, work.right - (r.right - r.left) - 4, 100, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_TRUE(frame->GetSnapPart()->GetDockState() & kSnapScreenRight);
  GetWindowRect(frame->m_hWnd, &r);
  RECT wider = r;
  wider.right += 50;
  frame->SetWindowRectSizing(wider, 2);
  RECT after;
  GetWindowRect(frame->m_hWnd, &after);
  EXPECT_TRUE(EqualRect(&r, &after));
  RECT lower = r;
  lower.bottom += 30;
  frame->SetWindowRectSizing(lower, 8);
  GetWindowRect(frame->m_hWnd, &after);
  EXPECT_EQ(r.bottom + 30, after.bottom);
}

TEST_F(ScoreWndTest, Screenshot) {
  WriteSettings(
      "[COLOR_SETTING]\nSCORE_BKCOLOR=FFFFFF00FD\n[WINDOW_SETTING]\n"
      "STAFF_WND_RECT=3200000032000000E6020000A4010000F1\n");
  RealEngine engine(owner.m_hWnd);
  ASSERT_NE(nullptr, engine.Get());
  ASSERT_TRUE(engine.OpenScale());
  // The colours the main window's engine binding gives from the settings.
  CScoreViewPair* views = engine.Get()->CreateScoreViewPair();
  ASSERT_NE(nullptr, views);
  views->SetNoteColor(RGB(0, 0, 0), -1);
  views->SetLineColor(RGB(40, 40, 40), -1);
  views->SetClefColor(RGB(0, 0, 0), -1);
  views->SetSignatureColor(RGB(0, 0, 0), -1);
  views->SetBarIndexColor(RGB(0, 0, 160), -1);
  views->Release();
  Make();
  engine.Get()->GetScoreFacet()->SetScoreType(0);
  frame->SetSongEngine(engine.Get());
  frame->ResetMeasureSlider();
  frame->ShowWindow(true);
  testsupport::PumpFor(300);
  EXPECT_TRUE(CaptureWindowPng(frame->m_hWnd, "score_window.png"));
  // Black notation is drawn on the white background inside the canvas.
  HDC screen = GetDC(nullptr);
  RECT canvas;
  GetWindowRect(Canvas(), &canvas);
  int dark = 0;
  for (int y = canvas.top; y < canvas.bottom; y += 2) {
    for (int x = canvas.left; x < canvas.right; x += 2) {
      if (GetPixel(screen, x, y) == RGB(0, 0, 0)) ++dark;
    }
  }
  ReleaseDC(nullptr, screen);
  EXPECT_GT(dark, 100);
  frame->SetScoreType(CScoreWnd::kNumbered);
  testsupport::PumpFor(200);
  EXPECT_TRUE(CaptureWindowPng(frame->m_hWnd, "score_window_numbered.png"));
  frame->ShowWindow(false);
  frame->SetSongEngine(nullptr);
}

}  // namespace
