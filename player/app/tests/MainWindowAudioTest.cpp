// The main window over the real players, with the sound library set up
// before main on its silent output: an audio file handed over plays through
// the media helper, its positions move the play time and its end moves on to
// the next entry of the play list.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/CMainPlayerWnd.h"
#include "playback/CPlayTimeWnd.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"
#include "LocalNotices.h"
#include "testsupport/WavBuilder.h"
#include "ui/CProfileHelper.h"
#include "ui/CSkinManager.h"
#include "ui/GdiplusSession.h"

namespace {

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

std::string WriteTone(testsupport::TempDir& dir, const char* name, double seconds) {
  testsupport::WavSpec spec;
  spec.channels = 1;
  spec.rate = 22050;
  const auto samples = testsupport::Sine(440, 0.3, spec.rate, size_t(seconds * spec.rate), spec.channels);
  const auto bytes = testsupport::WavFile(spec, testsupport::WavSamples(spec, samples));
  const std::string path = dir.File(name);
  return testsupport::WriteBytes(path, bytes) ? path : "";
}

std::string PlayTimeText(const CMainPlayerWnd& wnd) {
  return wnd.GetPlayTimeWnd() ? wnd.GetPlayTimeWnd()->Text() : "";
}

TEST(MainWindowAudio, AWaveFilePlaysItsPositionsShowAndItsEndMovesOn) {
  GdiplusSession gdiplus;
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  GetSkinManager()->SetSchemeFolder(std::string(folder) + "\\Skins\\Default");
  GetSkinManager()->LoadSkinScheme();
  testsupport::TempDir dir;
  const std::string first = WriteTone(dir, "first.wav", 2.5);
  const std::string second = WriteTone(dir, "second.wav", 1.0);
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  {
    KeepNoticesLocal();
    auto wnd = std::make_unique<CMainPlayerWnd>();
    ASSERT_EQ(0, wnd->CreateMainWindow());
    ASSERT_TRUE(PumpUntil([&] { return !wnd->IsBusy(); }, 5000));
    for (const std::string* path : {&first, &second}) {
      COPYDATASTRUCT record = {path == &first ? 1u : 0u, static_cast<DWORD>(path->size()),
                               const_cast<char*>(path->data())};
      EXPECT_TRUE(::SendMessageA(wnd->m_hWnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record)));
    }
    EXPECT_EQ((std::vector<std::string>{first, second}), wnd->GetSongs());
    EXPECT_EQ(first, wnd->GetCurrentPath());
    EXPECT_TRUE(wnd->IsPlaying());
    EXPECT_FALSE(wnd->SetDelayTime(250)) << "a wave file carries no song to shift";
    EXPECT_TRUE(PumpUntil([&] { return PlayTimeText(*wnd) == "00:01"; }, 10000))
        << "play time " << PlayTimeText(*wnd);
    EXPECT_TRUE(PumpUntil([&] { return wnd->GetCurrentPath() == second; }, 10000))
        << "current " << wnd->GetCurrentPath();
    EXPECT_TRUE(wnd->IsPlaying());
    wnd->Stop();
    ::DestroyWindow(wnd->m_hWnd);
  }
  ReleaseSkinManager();
}

}  // namespace
