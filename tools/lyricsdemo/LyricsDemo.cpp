// Plays a generated karaoke song through the song engine (Tunewell.dll and
// the song side it loads) into the lyrics window, until the player's main
// window exists to do it. A hidden window stands in for the main window:
// closing the lyrics window ends the demo.
//
//   lyrics_demo.exe [--shot PREFIX] [--mute] [--song-maker]
//
// --song-maker also opens the song maker in its frame beside the lyrics.
// --shot saves three screenshots of the window and exits: PREFIX-countin.png
// (the count-in dots before the first lyric), PREFIX-wipe.png (a syllable
// wiped halfway) and PREFIX-linechange.png (a new line starting to scroll
// up). --shot implies --mute: the song goes to the MIDI recorder, muted,
// instead of a sound device.
#include <windows.h>

#include <cantomere/Cantomere.h>
#include <tunewell/ISongEngine.h>
#include <voxgate/Voxgate.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "DemoSong.h"
#include "lyrics/CLyricWnd.h"
#include "lyrics/CSongMakerFrame.h"
#include "testsupport/MessagePump.h"
#include "testsupport/SmfBuilder.h"
#include "ui/CProfileHelper.h"
#include "ui/CSkinManager.h"
#include "ui/GdiplusSession.h"
#include "ui/PngSnapshot.h"

namespace {

// Stands in for the main window: hides the lyrics window when asked, which
// here ends the demo.
class StandInMainWnd : public CBmpWnd, public ISongEngineListener {
 public:
  bool ended = false;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    // Either frame's close ends the demo.
    if (message == WM_SKIN_HIDE_CHILD && (wParam == kLyricFrameId || wParam == kSongMakerFrameId)) {
      ::PostQuitMessage(0);
      return 0;
    }
    return CBmpWnd::WindowProc(message, wParam, lParam);
  }
  void OnPosition(int) override {}
  void OnBeat(int, int, int) override {}
  void OnSongEnd(int) override { ended = true; }
};

bool Shot(HWND hwnd, const std::string& path) {
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT r;
  ::GetWindowRect(hwnd, &r);
  const bool ok = SaveScreenAreaPng(r, path);
  std::printf("%s %s\n", ok ? "saved" : "could not save", path.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::string shot;
  bool mute = false;
  bool songMaker = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--shot" && i + 1 < argc) {
      shot = argv[++i];
      mute = true;
    } else if (arg == "--mute") {
      mute = true;
    } else if (arg == "--song-maker") {
      songMaker = true;
    }
  }
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  // The demo reads its own settings file; it starts as the player's shipped one.
  std::string ini;
  CProfileHelper::GetIniFilePath(ini);
  ::CopyFileA((std::string(folder) + "\\Melodara.ini").c_str(), ini.c_str(), TRUE);
  GdiplusSession gdiplus;
  GetSkinManager()->SetSchemeFolder(std::string(folder) + "\\Skins\\Default");
  if (GetSkinManager()->LoadSkinScheme() != 0)
    std::fprintf(stderr, "lyrics_demo: no skin scheme; drawing plain\n");

  StandInMainWnd main;
  if (main.Create(::GetModuleHandleA(nullptr), nullptr, WS_EX_TOOLWINDOW, WS_POPUP, nullptr, 0, nullptr) != 0)
    return 1;

  HMODULE tunewell = ::LoadLibraryA("Tunewell.dll");
  auto create =
      tunewell
          ? reinterpret_cast<CreateTunewellInstanceFn>(::GetProcAddress(tunewell, "CreateTunewellInstance"))
          : nullptr;
  ISongEngine* engine = create ? create(1) : nullptr;
  if (!engine || engine->Init(main.m_hWnd) != 0) {
    std::fprintf(stderr, "lyrics_demo: the song engine did not start\n");
    return 1;
  }
  // Muted: into the recorder through a port that goes nowhere.
  HMODULE voxgate = mute ? ::LoadLibraryA("Voxgate.dll") : nullptr;
  IChannelManager* manager = nullptr;
  IMidiRecorder* recorder = nullptr;
  const HMIDIOUT quietPort = reinterpret_cast<HMIDIOUT>(static_cast<INT_PTR>(0x7E57));
  if (voxgate) {
    auto createManager = reinterpret_cast<CreateVoxgateFn>(::GetProcAddress(voxgate, kCreateVoxgateName));
    auto createRecorder =
        reinterpret_cast<CreateRecordCtrlFn>(::GetProcAddress(voxgate, kCreateRecordCtrlName));
    manager = createManager ? createManager(1) : nullptr;
    recorder = createRecorder ? createRecorder(1) : nullptr;
    if (manager && recorder) {
      manager->AddPort(quietPort);
      recorder->SetMute(1);
      engine->CloseMidiOut(false);
    }
  }

  int rc = 0;
  {
    CLyricWnd lyrics(main.m_hWnd, engine->GetLyrics(), nullptr);
    if (!lyrics.IsCreated()) return 1;
    ::SetWindowPos(lyrics.m_hWnd, nullptr, 40, 40, 520, 380, SWP_NOZORDER);
    SongInfoText info;
    info.title = "Twinkle, Twinkle, Little Star";
    info.singer = "Singer: Melodara demo";
    info.composer = "Composer: traditional";
    info.lyricist = "Lyricist: traditional";
    lyrics.GetLyricView()->SetSongInfo(info);
    lyrics.ShowWindow(true);
    std::unique_ptr<CSongMakerFrame> maker;
    if (songMaker) {
      maker = std::make_unique<CSongMakerFrame>(main.m_hWnd, nullptr);
      ::SetWindowPos(maker->m_hWnd, nullptr, 580, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      maker->ShowFrame(true);
    }

    char temp[MAX_PATH];
    ::GetTempPathA(sizeof(temp), temp);
    const std::string song = std::string(temp) + "melodara_lyrics_demo.mid";
    const int melody[] = {1};
    if (!testsupport::WriteBytes(song, DemoKaraokeSong()) || engine->Open(song.c_str()) != 0 ||
        engine->SetTracks(melody, 1) != 0) {
      std::fprintf(stderr, "lyrics_demo: the song did not open\n");
      rc = 1;
    } else {
      engine->SetListener(&main);
      if (engine->Play(0) != 0) {
        std::fprintf(stderr, "lyrics_demo: the song did not play (try --mute)\n");
        rc = 1;
      } else if (!shot.empty()) {
        CLyricView* view = lyrics.GetLyricView();
        // A frame closed before a shot's moment ends the demo there.
        bool quit = false;
        const testsupport::MessageFilter noteQuit = [&](MSG* msg) {
          quit = quit || msg->message == WM_QUIT;
          return false;
        };
        auto until = [&](const std::function<bool()>& moment, DWORD timeoutMs) {
          return testsupport::PumpUntil([&] { return quit || moment(); }, timeoutMs, noteQuit) && !quit;
        };
        bool ok =
            until([&] { return view->GetCountIn() > 0; }, 8000) && Shot(lyrics.m_hWnd, shot + "-countin.png");
        // The fourth syllable, halfway.
        ok = ok &&
             until(
                 [&] {
                   return view->GetWipeToken() == 3 &&
                          view->GetWipePos() * 2 >= view->GetWipeEnd() + view->GetToken(3).x;
                 },
                 10000) &&
             Shot(lyrics.m_hWnd, shot + "-wipe.png");
        // The second line being sung, its scroll under way.
        ok = ok &&
             until([&] { return view->LineOfToken(view->GetWipeToken()) == 1 && view->GetScrollY() >= 12; },
                   10000) &&
             Shot(lyrics.m_hWnd, shot + "-linechange.png");
        if (!ok) std::fprintf(stderr, "lyrics_demo: a screenshot's moment never came\n");
        rc = ok ? 0 : 1;
      } else {
        MSG msg;
        while (!main.ended && ::GetMessageA(&msg, nullptr, 0, 0) > 0) {
          ::TranslateMessage(&msg);
          ::DispatchMessageA(&msg);
        }
      }
      engine->Stop(0);
    }
    if (ICantomereLyrics* controller = engine->GetLyrics())
      if (CLyricView* view = lyrics.GetLyricView()) controller->DetachView(1, view);
    ::DeleteFileA(song.c_str());
  }
  if (manager) manager->RemovePort(quietPort);
  engine->Release();
  if (voxgate) ::FreeLibrary(voxgate);
  ::FreeLibrary(tunewell);
  return rc;
}
