#include "app/CMainPlayerWnd.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "app/PlayerResources.h"
#include "app/PreferencesSheet.h"
#include "app/StartupProbe.h"
#include "app/CAboutDlg.h"
#include "app/CScoreWnd.h"
#include "ui/CProfileHelper.h"
#include "ui/CSettings.h"
#include "ui/CSkinButton.h"
#include "ui/CVolumeSlider.h"
#include "ui/CSkinCaptionButtons.h"
#include "ui/CToolFrame.h"
#include "ui/CaptionElements.h"
#include "ui/WebPages.h"
#include "lyrics/CSongMakerFrame.h"

namespace {

void ShellOpen(const std::string& path) {
  ::ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOW);
}

CMainPlayerWnd::ShellLauncher& Launcher() {
  static CMainPlayerWnd::ShellLauncher launcher = ShellOpen;
  return launcher;
}

void TrackMenu(HMENU menu, POINT at, HWND owner) { ::TrackPopupMenu(menu, 0, at.x, at.y, 0, owner, nullptr); }

CMainPlayerWnd::MenuTracker& Tracker() {
  static CMainPlayerWnd::MenuTracker tracker = TrackMenu;
  return tracker;
}

}  // namespace

// Null puts the shell back.
void CMainPlayerWnd::SetShellLauncher(ShellLauncher launcher) {
  Launcher() = launcher ? std::move(launcher) : ShellLauncher(ShellOpen);
}

void CMainPlayerWnd::SetMenuTracker(MenuTracker tracker) {
  Tracker() = tracker ? std::move(tracker) : MenuTracker(TrackMenu);
}

void CMainPlayerWnd::TrackSystemMenu() {
  HMENU system = ::GetSystemMenu(m_hWnd, FALSE);
  if (!system) return;
  RECT icon = {};
  if (CSkinCaptionButtons* caption = GetCaptionButtons()) {
    if (CCaptionIconButton* element = caption->GetIcon()) element->GetRect(&icon);
  }
  POINT at = {icon.left, icon.bottom};
  ::ClientToScreen(m_hWnd, &at);
  Tracker()(system, at, m_hWnd);
}

void CMainPlayerWnd::LaunchAppFile(const char* name) {
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  char path[MAX_PATH];
  if (!::PathCombineA(path, folder, name)) return;
  Launcher()(path);
}

LRESULT CMainPlayerWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SKIN_CREATED:
      // The frames the settings show are made with the window; the song
      // engine they draw from follows in the deferred loading.
      CreateChildFrames();
      break;
    case WM_SKIN_HIDE_CHILD:
      HideChildWindow(wParam);
      break;
    case WM_PLAYER_POSITION:
      OnPlayPosition(static_cast<int>(lParam));
      return 0;
    case WM_PLAYER_END:
      OnEndOfSong();
      return 0;
    case WM_PLAYER_BEAT:
      if (m_scoreWnd) m_scoreWnd->SetMeasurePos(static_cast<int>(wParam));
      m_beats.OnBeat(static_cast<unsigned>(lParam));
      return 0;
    case WM_PLAYER_BEATS_PER_BAR:
      m_beats.SetBeatsPerBar(static_cast<int>(lParam));
      return 0;
    case WM_SKIN_CLOSE:
      ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_SKIN_VOLUME: {
      const int volume = lParam < 0 ? 0 : lParam > 255 ? 255 : static_cast<int>(lParam);
      m_session->SetVolume(volume);
      break;
    }
    case WM_PLAYER_NOTICE_TEXT:
      m_notices.OnNoticeText(lParam);
      SetNoticeText(m_notices.GetNoticeText());
      return 0;
    case WM_PLAYER_AUDIO_LENGTH:
      OnAudioLength(lParam);
      return 0;
    case WM_PLAYER_SHOW_NOTICE:
      m_notices.OnShowNotice(wParam);
      return 0;
    case WM_PAINT: {
      const LRESULT result = CSkinWnd::WindowProc(message, wParam, lParam);
      MarkStartup(kStartupPainted);
      return result;
    }
    case WM_CLOSE:
      m_notices.Stop();
      Stop();
      if (IMediaPlayer* player = m_session->GetPlayer()) player->Close();
      SaveState();
      break;
    case WM_KEYDOWN:
      OnKeyDown(wParam);
      break;
    case WM_COMMAND:
      if (lParam == 0) {
        OnCommand(LOWORD(wParam));
      } else if (LOWORD(wParam) == kCaptionIconCommand) {
        TrackSystemMenu();
      }
      // A button's notification carries its control id, some of which equal
      // command ids of other meanings; the buttons act on their own.
      break;
    case WM_SYSCOMMAND:
      OnSysCommand(wParam, lParam);
      return 0;
    case WM_TIMER:
      DoLaterLoading(wParam);
      break;
    case WM_CTLCOLORSTATIC: {
      // The play time sits on the panel's own colour.
      HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, RGB(0xE0, 0xE6, 0xF0));
      ::SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetBkBrush());
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        RaiseChildren();
        if (m_linkLabel) m_linkLabel->CheckHover();
        if (m_volumeSlider) m_volumeSlider->CheckHover();
        if (LOWORD(wParam) == WA_CLICKACTIVE) ::BringWindowToTop(m_hWnd);
      }
      break;
    case WM_MOVING:
      m_snap.OnMoving(m_hWnd, wParam, reinterpret_cast<RECT*>(lParam));
      break;
    case WM_SIZING:
      m_snap.OnSizing(m_hWnd, wParam, reinterpret_cast<RECT*>(lParam));
      break;
    case WM_WINDOWPOSCHANGING:
      // Until the frames exist and settle there is nothing to snap to.
      if (m_busy) return 0;
      return m_snap.OnWindowPosChanging(m_hWnd, wParam, reinterpret_cast<WINDOWPOS*>(lParam));
    case WM_INITMENU:
      ::EnableMenuItem(reinterpret_cast<HMENU>(wParam), SC_MOVE, MF_BYCOMMAND | MF_GRAYED);
      return 0;
    case WM_MOUSEMOVE:
      if (m_busy) return 0;
      // The system repeats a move when nothing moved (a window shown or
      // hidden under the cursor); the slider's hover would flicker with it.
      if (m_hasLastMove && m_lastMovePoint == lParam && m_lastMoveKeys == wParam) return 0;
      m_hasLastMove = true;
      m_lastMovePoint = lParam;
      m_lastMoveKeys = wParam;
      if (m_volumeSlider) m_volumeSlider->OnMouseMove(wParam, lParam);
      break;
    case WM_LBUTTONDOWN:
      ::BringWindowToTop(m_hWnd);
      if (m_volumeSlider) m_volumeSlider->OnLButtonDown(wParam, lParam);
      break;
    case WM_LBUTTONUP:
      if (m_volumeSlider) m_volumeSlider->OnLButtonUp(wParam, lParam);
      break;
    case WM_DROPFILES: {
      HDROP drop = reinterpret_cast<HDROP>(wParam);
      const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
      for (UINT i = 0; i < count; ++i) {
        char path[MAX_PATH];
        if (::DragQueryFileA(drop, i, path, sizeof(path))) AddToPlayList(path);
      }
      ::DragFinish(drop);
      return 0;
    }
    case WM_COPYDATA: {
      std::string path;
      bool last = false;
      if (!ReadHandOverRecord(reinterpret_cast<const COPYDATASTRUCT*>(lParam), path, last)) return FALSE;
      AddRemoteFile(path, last);
      return TRUE;
    }
    default:
      break;
  }
  return CSkinWnd::WindowProc(message, wParam, lParam);
}

void CMainPlayerWnd::DestroyWindow() {
  CSkinWnd::DestroyWindow();
  // The window leaves our procedure before WM_DESTROY, so the program's
  // end is asked for here.
  ::PostQuitMessage(0);
}

void CMainPlayerWnd::OnDrawItem(WPARAM wParam, LPARAM lParam) {
  auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (!item || wParam < 99 || wParam > 210) return;
  if (m_playPause.DrawItem(item)) return;
  for (auto& button : m_buttons) {
    if (button->GetHwnd() == item->hwndItem) button->DrawItem(item);
  }
}

void CMainPlayerWnd::DrawClient(Gdiplus::Graphics* graphics) {
  CSkinWnd::DrawClient(graphics);
  if (m_volumeSlider) m_volumeSlider->Draw(graphics);
  m_beats.Draw(graphics);
}

int CMainPlayerWnd::OnWndMessage(UINT, WPARAM, LPARAM lParam) {
  switch (lParam) {
    case WM_LBUTTONUP:
      ::ShowWindow(m_hWnd, SW_RESTORE);
      ::ShowWindow(m_hWnd, SW_SHOW);
      ::SetForegroundWindow(m_hWnd);
      break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU: {
      ::SetForegroundWindow(m_hWnd);
      ::ShowWindow(m_hWnd, SW_SHOW);
      HMENU menu = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kMenuTrayPopup));
      if (!menu) break;
      POINT at;
      ::GetCursorPos(&at);
      ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
      // Lets the menu close when the user clicks elsewhere.
      ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
      ::DestroyMenu(menu);
      break;
    }
    default:
      break;
  }
  return 0;
}

void CMainPlayerWnd::OnKeyDown(WPARAM key) {
  if (key == VK_F1) {
    LaunchAppFile("help.chm");
    return;
  }
  if (::GetKeyState(VK_CONTROL) >= 0) return;
  switch (key) {
    case 'P':
      ::SendMessageA(m_hWnd, WM_COMMAND, kCmdPlayPause, 0);
      break;
    case 'S':
      ::SendMessageA(m_hWnd, WM_COMMAND, kCmdStop, 0);
      break;
    case 'F':
      ::SendMessageA(m_hWnd, WM_COMMAND, kCmdNext, 0);
      break;
    case 'B':
      ::SendMessageA(m_hWnd, WM_COMMAND, kCmdPrevious, 0);
      break;
    default:
      break;
  }
}

void CMainPlayerWnd::OnCommand(int id) {
  switch (id) {
    case kCmdHelpSystem:
    case kCmdHelp:
      LaunchAppFile("help.chm");
      break;
    case kCmdUpdate:
      LaunchAppFile("MelodaraUpdate.exe");
      break;
    case kCmdDonate:
      OpenUrlInBrowser((GetHomeUrl() + "/English_DonateUs.htm").c_str(), SW_SHOW);
      break;
    case kCmdSingerSearch:
    case kCmdSingerPage:
      OpenSingerPage(id);
      break;
    case kCmdExit:
      ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
      break;
    case kCmdPlayFromHere:
      PlayFromClickPosition();
      break;
    case kCmdPlayPause:
      if (IsPlaying())
        Pause();
      else
        OpenAndPlay(m_session->GetCurrentPath());
      break;
    case kCmdStop:
      Stop();
      break;
    case kCmdNext:
      PlayNext();
      break;
    case kCmdPrevious:
      PlayPrevious();
      break;
    case kCmdSettings:
      ShowPreferences(1);
      break;
    case kCmdAbout:
      CAboutDlg(CWnd::FromHandle(m_hWnd)).DoModal();
      break;
    case kCmdPlayFromClimax:
      if (m_engine) {
        const int time = m_engine->GetTagTime(kTagClimaxStart);
        if (time != -1) SeekTo(time);
      }
      break;
    default:
      break;
  }
}

void CMainPlayerWnd::OnSysCommand(WPARAM command, LPARAM) {
  // The program's own items first, compared whole: 9 & 0xFFF0 is 0.
  if (command == kCmdHelpSystem) {
    LaunchAppFile("help.chm");
    return;
  }
  if (command == kCmdAbout) {
    CAboutDlg(CWnd::FromHandle(m_hWnd)).DoModal();
    return;
  }
  switch (command & 0xFFF0) {
    case SC_MINIMIZE:
      MinimizeToTray();
      break;
    case SC_RESTORE:
      ::ShowWindow(m_hWnd, SW_SHOW);
      for (int flag = ShowWndFlag::kStaff; flag <= ShowWndFlag::kSongMaker; ++flag) {
        HWND frame = GetChildFrame(flag);
        if (m_showFlags[flag] && frame && ::IsWindow(frame)) ::ShowWindow(frame, SW_SHOWNOACTIVATE);
      }
      ::SetForegroundWindow(m_hWnd);
      break;
    case SC_CLOSE:
      ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
}

void CMainPlayerWnd::MinimizeToTray() {
  // The shown tool frames go with the panel (their flags stay, so a restore
  // brings them back); one the user made always visible stays on screen.
  for (int flag = ShowWndFlag::kStaff; flag <= ShowWndFlag::kSongMaker; ++flag) {
    HWND frame = GetChildFrame(flag);
    if (!m_showFlags[flag] || !frame || !::IsWindow(frame)) continue;
    if (::GetWindowLongA(frame, GWL_EXSTYLE) & WS_EX_TOPMOST) continue;
    CToolFrame* part = FrameOf(flag);
    if (part) m_snap.RemoveTarget(part->GetSnapWnd());
    if (flag == ShowWndFlag::kSongMaker)
      m_songMakerFrame->ShowFrame(false);
    else
      ::ShowWindow(frame, SW_HIDE);
  }
  ::ShowWindow(m_hWnd, SW_HIDE);
}

void CMainPlayerWnd::AddRemoteFile(const std::string& path, bool last) {
  if (m_busy) {
    // Sent before the deferred loading: the players do not exist yet, so
    // the file joins the start's own list, which is opened after it.
    m_commandLineFiles.push_back(path);
    return;
  }
  const int present = FindSong(path);
  const bool added = present < 0 && AddNamedFile(path);
  IPlayListModel* list = GetPlayListModel();
  const int count = list ? list->GetCount() : 0;
  const int play = m_handOver.OnFile(last, added, present, count);
  if (list && play >= 0 && play < count) list->SelectEntry(play, 1);
}

void CMainPlayerWnd::ProcessCommandLineFiles() {
  std::vector<std::string> files;
  files.swap(m_commandLineFiles);
  std::vector<const std::string*> real;
  for (const std::string& file : files) {
    if (!file.empty()) real.push_back(&file);
  }
  for (size_t k = 0; k < real.size(); ++k) AddRemoteFile(*real[k], k + 1 == real.size());
  // Started without files, the player plays the list it reloaded.
  IPlayListModel* list = GetPlayListModel();
  if (real.empty() && list && list->GetCount() > 0) list->SelectEntry(0, 1);
}

void CMainPlayerWnd::PlayFromClickPosition() {
  if (m_clickPosition == -1 || !m_engine) return;
  const int time = m_engine->GetEventTime(m_clickPosition);
  if (time >= 0) SeekTo(time);
}

// The Preferences come with the player's extras.
void CMainPlayerWnd::ShowPreferences(int page) { RunPreferences(m_hWnd, GetSongEngine(), page, this); }
