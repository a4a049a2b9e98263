#include "app/CMainPlayerWnd.h"

#include "app/CAboutDlg.h"
#include "ui/WebPages.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <iterator>

#include "app/PlayerResources.h"
#include "app/PlayerStrings.h"
#include "app/CPlayListWnd.h"
#include "app/CProgressSlider.h"
#include "app/CWindowToggleButtons.h"
#include "app/CScoreWnd.h"
#include "lyrics/CLyricWnd.h"
#include "lyrics/CSongMakerFrame.h"
#include "playback/CPlayTime.h"
#include "playback/CPlayTimeWnd.h"
#include "playback/CSpectrumWnd.h"
#include "ui/CProfileHelper.h"
#include "ui/CSettings.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinCaptionButtons.h"
#include "ui/CLogFont.h"
#include "ui/CSkinManager.h"
#include "ui/CSkinToolTip.h"
#include "ui/CVolumeSlider.h"
#include "ui/SkinImageIds.h"

namespace {

CMainPlayerWnd* g_mainWnd = nullptr;

// The deferred loading's timer: the window shows first, the rest follows.
constexpr UINT_PTR kLaterLoadingTimer = 1;
constexpr UINT kLaterLoadingDelayMs = 5;

// The tool frames the main window keeps, in the order they are made. Before
// the first paint only those the settings show are made; the others follow
// in the deferred loading (or on an earlier showing), so every one is there,
// and the play list's model with it, once the window is no longer busy.
constexpr int kFrameOrder[] = {ShowWndFlag::kPlayList, ShowWndFlag::kStaff, ShowWndFlag::kLyrics};

CSkinImage* Img(unsigned short id) { return GetSkinManager()->GetSkinImage(id); }

int ImageWidth(unsigned short id, int frames = 1) {
  CSkinImage* image = Img(id);
  return image ? image->GetWidth() / frames : 0;
}

int ImageHeight(unsigned short id) {
  CSkinImage* image = Img(id);
  return image ? image->GetHeight() : 0;
}

std::string LoadText(UINT id) { return LoadPlayerString(id); }

}  // namespace

CMainPlayerWnd& GetMainPlayerWnd() {
  if (!g_mainWnd) g_mainWnd = new CMainPlayerWnd();
  return *g_mainWnd;
}

CMainPlayerWnd* GetMainPlayerWndPtr() { return g_mainWnd; }

void DeleteMainPlayerWnd() {
  delete g_mainWnd;
  g_mainWnd = nullptr;
}

CMainPlayerWnd::CMainPlayerWnd()
    : m_session(std::make_unique<CPlaybackSession>(
          static_cast<IPlaybackView*>(this), [this] { return GetSongEngine(); },
          [this] { return GetPlayListModel(); })) {}

CMainPlayerWnd::~CMainPlayerWnd() {
  m_tray.SetListener(nullptr);
  m_tray.Remove();
  if (m_popupMenu) ::DestroyMenu(m_popupMenu);
  // Controls first (they draw from the skin and talk to this window), then
  // the player and the engine, and the library last of all.
  if (m_alwaysVisible) GetElementList()->Remove(m_alwaysVisible.get());
  m_alwaysVisible.reset();
  m_songMakerFrame.reset();
  m_lyricWnd.reset();
  m_scoreWnd.reset();
  m_playListWnd.reset();
  m_buttons.clear();
  m_progress.reset();
  m_volumeSlider.reset();
  ReleaseSongEngine();
}

void CMainPlayerWnd::SetCommandLineFiles(const std::vector<std::string>& files) {
  m_commandLineFiles = files;
}

int CMainPlayerWnd::CreateMainWindow() {
  // No tip shows before the windows do: the tooltip window, costly to make,
  // follows in the deferred loading with every tool added meanwhile.
  CSkinToolTip::HoldBackWindow();
  // The tray icon comes first. Where the desktop has no notification area
  // (a bare X display under Wine) the shell shows the icon in a small window
  // of its own, in the corner where a panel without stored settings opens.
  // Added just before the panel showed, that window raced the panel for the
  // place on top; added first, it is up long before the panel shows over it.
  HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconProgram));
  m_tray.SetListener(this);
  m_tray.Add(icon, LoadText(kStrTitle).c_str());
  for (int i = ShowWndFlag::kStaff; i <= ShowWndFlag::kSongMaker; ++i)
    m_showFlags[i] = CSettings::GetShowWndFlag(i);
  SetBkColor(CSettings::GetColorSetting("DEFAULT_BK_COLOR"));

  CSkinFrameImages* images = GetFrameImages();
  images->SetLeftBorder(Img(kSkinMainWndLeftBorder));
  images->SetRightBorder(Img(kSkinMainWndRightBorder));
  images->SetTopBorder(Img(kSkinMainWndTopBorder));
  images->SetBottomBorder(Img(kSkinMainWndBottomBorder));
  images->SetTopLeft(Img(kSkinMainWndTopLeft));
  images->SetTopRight(Img(kSkinMainWndTopRight));
  images->SetBottomLeft(Img(kSkinMainWndBottomLeft));
  images->SetBottomRight(Img(kSkinMainWndBottomRight));
  images->SetTitle(Img(kSkinMainWndTitleActive));
  images->SetTitleInactive(Img(kSkinMainWndTitleInActive));

  // The stored place keeps only its corner: the panel has one size.
  const RECT stored = CSettings::GetMainWndRect();
  CSkinFrameLayout* layout = GetLayout();
  layout->SetPos(stored.left, stored.top);
  layout->SetWidth(260);
  layout->SetHeight(150);
  layout->SetMinWidth(GetMinFrameWidth());
  layout->SetMinHeight(GetMinFrameHeight());
  layout->SetCaptionHeight(GetCaptionHeight());
  layout->SetDrawFlag(true);

  SetCaptionStyle(kCaptionCloseMin);
  SetCaptionButton(Img(kSkinMainWndCloseBtn), kCaptionBtnClose, true, LoadText(kStrClose).c_str(), nullptr);
  SetCaptionButton(Img(kSkinMainWndMinBtn), kCaptionBtnMin, true, LoadText(kStrMinimize).c_str(), nullptr);
  SetIconImage(Img(kSkinMainWndIcon));

  m_volumeSlider = std::make_unique<CVolumeSlider>();
  m_volumeSlider->SetTrackImage(Img(kSkinVolume));
  m_volumeSlider->SetThumbImage(Img(kSkinVolumeBtn));
  m_volumeSlider->SetPosition(164, 131);
  m_volumeSlider->GetThumb()->MoveTo(180, 133);
  const int stored_volume = CSettings::GetDefaultSoundVolume();
  m_session->SetVolume(stored_volume == 0 ? 255 : stored_volume);

  // WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX; CS_VREDRAW |
  // CS_HREDRAW | CS_DBLCLKS. Being the first skinned window of the process
  // it gets the class "MelodaraBmpWnd0" a second start looks for.
  if (Create(nullptr, 0, 0x820A0000, 0x0B, icon) != 0) {
    CSkinToolTip::MakeHeldBackWindow();
    return 1;
  }
  ::SetWindowTextA(m_hWnd, LoadText(kStrTitle).c_str());
  m_session->SetNotifyWindow(m_hWnd);
  m_snap.SetWnd(m_hWnd);
  if (HMENU system = ::GetSystemMenu(m_hWnd, FALSE)) {
    ::AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(system, MF_STRING, kCmdHelpSystem, LoadText(kStrHelp).c_str());
    ::AppendMenuA(system, MF_STRING, kCmdAbout, LoadText(kStrAbout).c_str());
  }
  if (CSettings::GetWndShowState(WndShowState::kMain)) {
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  CreateControls();
  m_volumeSlider->SetOwner(m_hWnd);
  m_volumeSlider->SetToolTip(m_hWnd, true, LoadText(kStrVolume).c_str());
  m_volumeSlider->SetValue(m_session->GetVolume());
  ::SetTimer(m_hWnd, kLaterLoadingTimer, kLaterLoadingDelayMs, nullptr);
  return 0;
}

std::vector<unsigned short> CMainPlayerWnd::FirstPaintImages() {
  std::vector<unsigned short> ids = {kSkinMainWndTopLeft,
                                     kSkinMainWndTitleActive,
                                     kSkinMainWndTopRight,
                                     kSkinMainWndBottomLeft,
                                     kSkinMainWndBottomRight,
                                     kSkinMainWndLeftBorder,
                                     kSkinMainWndRightBorder,
                                     kSkinMainWndTopBorder,
                                     kSkinMainWndBottomBorder,
                                     kSkinMainWndTitleInActive,
                                     kSkinMainWndCloseBtn,
                                     kSkinMainWndMinBtn,
                                     kSkinMainWndIcon,
                                     kSkinVolume,
                                     kSkinVolumeBtn};
  struct FrameImages {
    int flag;
    std::vector<unsigned short> ids;
  };
  const FrameImages frames[] = {
      {ShowWndFlag::kPlayList,
       {kSkinPlayListTopLeft,
        kSkinPlaylistTitleActive,
        kSkinPlayListTopRight,
        kSkinPlayListBottomLeft,
        kSkinPlayListBottomRight,
        kSkinPlayListLeftBorder,
        kSkinPlayListRightBorder,
        kSkinPlayListTopBorder,
        kSkinPlayListBottomBorder,
        kSkinPlaylistTitleInActive,
        kSkinPlayListCloseBtn,
        kSkinPlayListIcon,
        kSkinPlayListAddSongsBtn,
        kSkinPlayListRemoveSongsBtn,
        kSkinPlayListImportSongListBtn,
        kSkinPlayListExportSongListBtn,
        kSkinVScrollTBtn,
        kSkinVScrollBBtn,
        kSkinVScrollHumb,
        kSkinVScrollBk,
        kSkinPlayListAlwaysShowBtn}},
      {ShowWndFlag::kStaff,
       {kSkinScoreCloseBtn,     kSkinScoreMaxBtn,        kSkinScoreMinBtn,        kSkinScoreIcon,
        kSkinScoreTopLeft,      kSkinScoreTitleActive,   kSkinScoreTopRight,      kSkinScoreBottomLeft,
        kSkinScoreBottomRight,  kSkinScoreLeftBorder,    kSkinScoreRightBorder,   kSkinScoreTopBorder,
        kSkinScoreBottomBorder, kSkinScoreTitleInActive, kSkinHScrollLBtn,        kSkinHScrollRBtn,
        kSkinHScrollHumb,       kSkinHScrollBk,          kSkinVScrollTBtn,        kSkinVScrollBBtn,
        kSkinVScrollHumb,       kSkinVScrollBk,          kSkinScoreAlwaysShowBtn, kSkinDisplayStaff,
        kSkinDisplayJianPu}},
      {ShowWndFlag::kLyrics,
       {kSkinLyricsCloseBtn, kSkinLyricsMaxBtn, kSkinLyricsMinBtn, kSkinLyricsIcon, kSkinLyricsTopLeft,
        kSkinLyricTitleActive, kSkinLyricsTopRight, kSkinLyricsBottomLeft, kSkinLyricsBottomRight,
        kSkinLyricsLeftBorder, kSkinLyricsRightBorder, kSkinLyricsTopBorder, kSkinLyricsBottomBorder,
        kSkinLyricTitleInActive, kSkinVScrollTBtn, kSkinVScrollBBtn, kSkinVScrollHumb, kSkinVScrollBk,
        kSkinLyricsAlwaysShowBtn}},
  };
  // The frames come in the order they are made.
  for (int flag : kFrameOrder) {
    if (!CSettings::GetShowWndFlag(flag)) continue;
    for (const FrameImages& frame : frames)
      if (frame.flag == flag) ids.insert(ids.end(), frame.ids.begin(), frame.ids.end());
  }
  const unsigned short controls[] = {kSkinToBegin,      kSkinPlay,           kSkinPause,
                                     kSkinStop,         kSkinToEnd,          kSkinPlayMode,
                                     kSkinOpen,         kSkinShowStaff,      kSkinShowLyric,
                                     kSkinShowSonglist, kSkinShowSongMaker,  kSkinMainWndAlwaysShowBtn,
                                     kSkinMainWndHumb,  kSkinMainWndScrollBk};
  ids.insert(ids.end(), std::begin(controls), std::end(controls));
  return ids;
}

void CMainPlayerWnd::CreateControls() {
  // Each button acts on this window as its player host; the window only
  // places and draws them. Each is made in its place: a move afterwards
  // would cost a round trip per button.
  auto add = [this](CSkinButton* button, unsigned short image, int id, UINT tip, UINT checkedTip, int x,
                    int y) {
    m_buttons.emplace_back(button);
    const std::string text = LoadText(tip);
    const std::string checkedText = checkedTip ? LoadText(checkedTip) : std::string();
    CreateSkinButton(button, m_hWnd, image, id, true, text.c_str(),
                     checkedTip ? checkedText.c_str() : nullptr, x, y);
    return button;
  };
  const int w = ImageWidth(kSkinPlay, 4);
  add(new CPreviousButton(this), kSkinToBegin, kIdPrevious, kStrPrevious, 0, 23, 109);
  m_playPause.Create(m_hWnd, this, 23 + w, 109);
  add(new CStopButton(this), kSkinStop, kIdStop, kStrStop, 0, 23 + 2 * w, 109);
  add(new CNextButton(this), kSkinToEnd, kIdNext, kStrNext, 0, 23 + 3 * w, 109);
  add(new CPlayModeButton(this), kSkinPlayMode, kIdPlayMode, kStrOrdinalMode, kStrLoopMode, 23 + 5 * w + 8,
      109)
      ->SetCheck(CSettings::GetPlayMode() != 0);
  add(new COpenSongsButton(this), kSkinOpen, kIdOpenSongs, kStrAddSongs, 0, 23 + 6 * w + 6, 109);
  const int tw = ImageWidth(kSkinShowStaff, 4);
  const int ty = 150 - ImageHeight(kSkinShowStaff) - 5;
  add(new CScoreToggleButton(this), kSkinShowStaff, kIdScoreToggle, kStrScoreToggle, 0, 20, ty)
      ->SetCheck(m_showFlags[ShowWndFlag::kStaff]);
  add(new CLyricsToggleButton(this), kSkinShowLyric, kIdLyricsToggle, kStrLyricsToggle, 0, 20 + tw, ty)
      ->SetCheck(m_showFlags[ShowWndFlag::kLyrics]);
  add(new CPlayListToggleButton(this), kSkinShowSonglist, kIdPlayListToggle, kStrPlayListToggle, 0,
      20 + 2 * tw, ty)
      ->SetCheck(m_showFlags[ShowWndFlag::kPlayList]);
  add(new CSongMakerToggleButton(this), kSkinShowSongMaker, kIdSongMakerToggle, kStrSongMakerToggle, 0,
      20 + 3 * tw, ty)
      ->SetCheck(m_showFlags[ShowWndFlag::kSongMaker]);
  ShowPlayFace();

  // The always-visible toggle sits in the bottom-right corner of the frame.
  m_alwaysVisible = std::make_unique<CMainAlwaysVisibleToggle>(this);
  m_alwaysVisible->SetImage(Img(kSkinMainWndAlwaysShowBtn));
  m_alwaysVisible->SetTipText(LoadText(kStrAlwaysVisible).c_str(), nullptr);
  m_alwaysVisible->SetToolId(GetElementList()->NewToolId());
  int aw = 0, ah = 0;
  if (m_alwaysVisible->GetImageSize(&aw, &ah)) aw /= 4;
  m_alwaysVisible->SetRect(260 - aw - 4, 150 - ah - 4, aw, ah);
  GetElementList()->Add(m_alwaysVisible.get());
  GetElementList()->AddTool(m_alwaysVisible.get());
  m_alwaysVisible->SetCheck(IsTopMost(), m_hWnd);

  m_progress = std::make_unique<CProgressSlider>();
  m_progress->SetImages(nullptr, nullptr, Img(kSkinMainWndHumb), Img(kSkinMainWndScrollBk));
  m_progress->SetOwner(this);
  m_progress->SetSink(this);
  m_progress->Create();
  m_progress->SetRange(0, 0);
  m_progress->MoveWindow(10, 99, 238);
  m_progress->Show(true);
}

void CMainPlayerWnd::DoLaterLoading(UINT_PTR timer) {
  if (timer != kLaterLoadingTimer) return;
  ::KillTimer(m_hWnd, kLaterLoadingTimer);
  if (!m_busy) return;
  CSkinToolTip::MakeHeldBackWindow();
  // The engine and the frames the first paint did not show come now, before
  // the busy state ends: a song can play the moment it does.
  GetSongEngine();
  for (int flag : kFrameOrder) MakeChildFrame(flag);
  m_popupMenu = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kMenuStaffPopup));
  ::DragAcceptFiles(m_hWnd, TRUE);
  m_playTime = std::make_unique<CPlayTime>();
  m_playTimeWnd = std::make_unique<CPlayTimeWnd>(
      this, [](void* owner) { return static_cast<CMainPlayerWnd*>(owner)->m_session->GetPlayer(); });
  m_playTime->AddListener(m_playTimeWnd.get());
  if (m_playTimeWnd->Create(m_hWnd, 0, WS_CHILD, nullptr) == 0)
    ::SetWindowPos(m_playTimeWnd->GetSafeHwnd(), nullptr, 209, 77, 32, 13, SWP_NOZORDER | SWP_SHOWWINDOW);
  CreateLinkLabel();
  m_spectrum = std::make_unique<CSpectrumWnd>();
  m_spectrum->SetBackgroundBrush(GetBkBrush());
  if (m_spectrum->Create(m_hWnd, 0, WS_CHILD) == 0) {
    m_spectrum->MoveWindow(20, 30, 100, 60);
    ::ShowWindow(m_spectrum->GetSafeHwnd(), SW_SHOW);
  }
  m_beats.SetWindow(m_hWnd);
  m_beats.SetLayout(145, 79, 305, 65);
  for (int slot = 0; slot < CBeatIndicator::kSlotCount; ++slot)
    m_beats.SetImage(slot, Img(kSkinHeavyBeatNormal + slot));
  // The docked frames settle at the panel's place.
  for (int i = 0; i < 3; ++i) {
    RECT rect;
    if (!::GetWindowRect(m_hWnd, &rect)) break;
    WINDOWPOS pos = {m_hWnd,    nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOSIZE};
    m_snap.OnWindowPosChanging(m_hWnd, 0, &pos);
  }
  m_busy = false;
  if (CSettings::GetReloadLastSongList()) LoadPlayListFile(LastPlayListPath().c_str());
  ProcessCommandLineFiles();
  m_notices.Start(m_hWnd, GetHomeUrl(), CAboutDlg::ModuleVersionText());
}

void CMainPlayerWnd::SaveState() {
  for (int i = ShowWndFlag::kStaff; i <= ShowWndFlag::kSongMaker; ++i)
    CSettings::SetShowWndFlag(i, m_showFlags[i]);
  // A minimised window's rectangle is the icon's; keep the last real one.
  if (::IsWindow(m_hWnd) && !::IsIconic(m_hWnd)) {
    RECT rect;
    if (::GetWindowRect(m_hWnd, &rect)) CSettings::SetMainWndRect(&rect);
  }
  CSettings::SetPlayMode(IsLoopMode() ? 1 : 0);
  IPlayListModel* list = GetPlayListModel();
  if (list) CSettings::SetSingleLoopPlay(list->GetSingleLoop() != 0);
  CSettings::SetWndShowState(WndShowState::kMain, IsTopMost());
  // Each frame's place and its always-visible mode; a frame never made
  // keeps what the last run stored.
  struct FrameState {
    CToolFrame* frame;
    void (*setRect)(const RECT*);
    int showState;  // WndShowState index, -1 for none
  };
  const FrameState frames[] = {
      {m_playListWnd.get(), &CSettings::SetPlayListWndRect, WndShowState::kPlayList},
      {m_scoreWnd.get(), &CSettings::SetStaffWndRect, WndShowState::kScore},
      {m_lyricWnd.get(), &CSettings::SetLyricWndRect, WndShowState::kLyrics},
      {m_songMakerFrame.get(), &CSettings::SetQuillixEditorWndRect, -1},
  };
  for (const FrameState& state : frames) {
    if (!state.frame || !::IsWindow(state.frame->m_hWnd)) continue;
    // A minimised frame's rectangle is its icon's: keep the last real one. A
    // maximized frame keeps the one it restores to.
    if (!::IsIconic(state.frame->m_hWnd)) {
      const RECT rect = state.frame->GetNormalRect();
      state.setRect(&rect);
    }
    if (state.showState >= 0) CSettings::SetWndShowState(state.showState, state.frame->IsTopMost());
  }
  if (m_engine) {
    if (CScoreFacet* facet = m_engine->GetScoreFacet()) CSettings::SetDefaultScoreType(facet->GetScoreType());
  }
  CSettings::SetDefaultSoundVolume(static_cast<BYTE>(m_session->GetVolume()));
  // Without a play list there is nothing to save, and an empty file would
  // lose the list of the last run.
  if (list) SavePlayListFile(LastPlayListPath().c_str());
}

// @name Tool frames

void CMainPlayerWnd::CreateChildFrames() {
  for (int flag : kFrameOrder) {
    if (m_showFlags[flag]) MakeChildFrame(flag);
  }
  for (int flag = ShowWndFlag::kStaff; flag <= ShowWndFlag::kSongMaker; ++flag) {
    if (m_showFlags[flag]) ShowChildFrame(flag, true);
  }
}

void CMainPlayerWnd::MakeChildFrame(int flag) {
  if (FrameOf(flag)) return;
  // The play list's view takes the focus as it is made, and with it the
  // activation: a frame made hidden after the panel shows leaves both where
  // the user has them.
  const HWND active = ::GetActiveWindow();
  const HWND focus = ::GetFocus();
  MakeFrameWindow(flag);
  if (active && ::GetActiveWindow() != active) ::SetActiveWindow(active);
  if (focus && ::GetFocus() != focus) ::SetFocus(focus);
}

void CMainPlayerWnd::MakeFrameWindow(int flag) {
  switch (flag) {
    case ShowWndFlag::kPlayList:
      m_playListWnd = std::make_unique<CPlayListWnd>(m_hWnd, this);
      if (!m_playListWnd->IsCreated()) {
        m_playListWnd.reset();
        return;
      }
      m_playListWnd->SetPlayListSink(this);
      if (IPlayListModel* list = m_playListWnd->GetPlayList()) {
        // Until there is a list, the play-mode toggle holds the user's choice.
        const CSkinButton* mode = FindButton(kIdPlayMode);
        const bool loop = mode ? mode->GetCheck() : CSettings::GetPlayMode() != 0;
        list->SetPlayMode(loop ? IPlayListModel::kLoop : IPlayListModel::kOrdinal);
        list->SetSingleLoop(CSettings::GetSingleLoopPlay() ? 1 : 0);
      }
      break;
    case ShowWndFlag::kStaff:
      m_scoreWnd = std::make_unique<CScoreWnd>(m_hWnd, this);
      if (!m_scoreWnd->IsCreated()) {
        m_scoreWnd.reset();
        return;
      }
      if (m_engine) m_scoreWnd->SetSongEngine(m_engine);
      break;
    case ShowWndFlag::kLyrics:
      m_lyricWnd = std::make_unique<CLyricWnd>(m_hWnd, m_engine ? m_engine->GetLyrics() : nullptr, this);
      if (!m_lyricWnd->IsCreated()) m_lyricWnd.reset();
      break;
    case ShowWndFlag::kSongMaker:
      m_songMakerFrame = std::make_unique<CSongMakerFrame>(m_hWnd, this);
      if (!::IsWindow(m_songMakerFrame->m_hWnd)) m_songMakerFrame.reset();
      break;
    default:
      break;
  }
}

HWND CMainPlayerWnd::GetChildFrame(int flag) const {
  switch (flag) {
    case ShowWndFlag::kLyrics:
      return m_lyricWnd ? m_lyricWnd->m_hWnd : nullptr;
    case ShowWndFlag::kStaff:
      return m_scoreWnd ? m_scoreWnd->m_hWnd : nullptr;
    case ShowWndFlag::kPlayList:
      return m_playListWnd ? m_playListWnd->m_hWnd : nullptr;
    case ShowWndFlag::kSongMaker:
      return m_songMakerFrame ? m_songMakerFrame->m_hWnd : nullptr;
    default:
      return nullptr;
  }
}

CToolFrame* CMainPlayerWnd::FrameOf(int flag) const {
  switch (flag) {
    case ShowWndFlag::kLyrics:
      return m_lyricWnd.get();
    case ShowWndFlag::kStaff:
      return m_scoreWnd.get();
    case ShowWndFlag::kPlayList:
      return m_playListWnd.get();
    case ShowWndFlag::kSongMaker:
      return m_songMakerFrame.get();
    default:
      return nullptr;
  }
}

CSkinButton* CMainPlayerWnd::FindButton(int id) const {
  for (auto& button : m_buttons) {
    if (::GetDlgCtrlID(button->GetHwnd()) == id) return button.get();
  }
  return nullptr;
}

void CMainPlayerWnd::ShowChildFrame(int flag, bool show) {
  static const int kToggles[] = {0, kIdScoreToggle, kIdLyricsToggle, kIdPlayListToggle, kIdSongMakerToggle};
  if (flag < ShowWndFlag::kStaff || flag > ShowWndFlag::kSongMaker) return;
  if (show) MakeChildFrame(flag);
  HWND frame = GetChildFrame(flag);
  if (CToolFrame* part = FrameOf(flag)) {
    // A shown frame can be caught by the panel; a hidden one keeps its docking.
    part->GetSnapWnd()->SetHost(&m_snap);
    if (show && ::IsWindow(frame))
      m_snap.AddTarget(part->GetSnapWnd());
    else
      m_snap.RemoveTarget(part->GetSnapWnd());
  }
  // A frame that is missing (or was destroyed) cannot show: its toggle says so.
  if (!frame || !::IsWindow(frame)) show = false;
  m_showFlags[flag] = show;
  if (CSkinButton* toggle = FindButton(kToggles[flag])) toggle->SetCheck(show);
  if (!frame || !::IsWindow(frame)) return;
  // The song maker's dialog is a child of its own that shows with the frame.
  if (flag == ShowWndFlag::kSongMaker) {
    m_songMakerFrame->ShowFrame(show);
    return;
  }
  ::ShowWindow(frame, show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void CMainPlayerWnd::RaiseChildren() {
  if (::IsIconic(m_hWnd)) return;
  // The frames are windows of their own: another program's window can sit
  // between them and the panel until the player comes forward as a whole.
  static const int kOrder[] = {ShowWndFlag::kStaff, ShowWndFlag::kPlayList, ShowWndFlag::kLyrics,
                               ShowWndFlag::kSongMaker};
  for (int flag : kOrder) {
    HWND frame = GetChildFrame(flag);
    if (!m_showFlags[flag] || !frame || !::IsWindow(frame)) continue;
    ::SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    if (CToolFrame* part = FrameOf(flag)) {
      part->GetSnapWnd()->SetHost(&m_snap);
      m_snap.AddTarget(part->GetSnapWnd());
    }
    // Its dialog is a child window of its own that comes up with it.
    if (flag == ShowWndFlag::kSongMaker) {
      m_songMakerFrame->ShowFrame(false);
      m_songMakerFrame->ShowFrame(true);
    }
  }
}

int CMainPlayerWnd::FlagOfChild(int child) {
  switch (child) {
    case ChildWndId::kScore:
      return ShowWndFlag::kStaff;
    case ChildWndId::kPlayList:
      return ShowWndFlag::kPlayList;
    case ChildWndId::kLyrics:
      return ShowWndFlag::kLyrics;
    case ChildWndId::kSongMaker:
      return ShowWndFlag::kSongMaker;
    default:
      return 0;
  }
}

void CMainPlayerWnd::HideChildWindow(WPARAM childId) {
  // The main window's own hide element (0) and unknown ids do nothing.
  if (childId > ChildWndId::kSongMaker) return;
  if (int flag = FlagOfChild(static_cast<int>(childId))) ShowChildFrame(flag, false);
}

HWND CMainPlayerWnd::GetChildWindow(int child) { return GetChildFrame(FlagOfChild(child)); }

bool CMainPlayerWnd::IsChildVisible(int child) { return GetShowFlag(FlagOfChild(child)); }

void CMainPlayerWnd::SetChildVisible(int child, bool visible) {
  if (int flag = FlagOfChild(child)) ShowChildFrame(flag, visible);
}

bool CMainPlayerWnd::IsTopMost() {
  return m_hWnd && (::GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

void CMainPlayerWnd::SetTopMost(bool topMost) {
  if (!m_hWnd) return;
  ::SetWindowPos(m_hWnd, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CMainPlayerWnd::SetPlayOrder(int order) {
  if (IPlayListModel* list = GetPlayListModel()) {
    list->SetPlayMode(order != 0 ? IPlayListModel::kLoop : IPlayListModel::kOrdinal);
  }
  if (CSkinButton* toggle = FindButton(kIdPlayMode)) toggle->SetCheck(order != 0);
}

IPlayListModel* CMainPlayerWnd::GetPlayListModel() {
  return m_playListWnd ? m_playListWnd->GetPlayList() : nullptr;
}

// @name Song engine

namespace {

CMainPlayerWnd::EngineFactory& MadeEngine() {
  static CMainPlayerWnd::EngineFactory factory;
  return factory;
}

}  // namespace

void CMainPlayerWnd::SetEngineFactory(EngineFactory factory) { MadeEngine() = std::move(factory); }

ISongEngine* CMainPlayerWnd::GetSongEngine() {
  if (m_engine) return m_engine;
  ISongEngine* engine = nullptr;
  if (MadeEngine()) {
    engine = MadeEngine()();
  } else {
    if (!m_engineLibrary && !m_engineLibrary.Load(kTunewellLibrary)) return nullptr;
    auto create = m_engineLibrary.Find<CreateTunewellInstanceFn>(kCreateTunewellInstanceName);
    engine = create ? create(1) : nullptr;
    if (!engine) m_engineLibrary.Free();
  }
  if (!engine) return nullptr;
  m_engine = engine;
  m_engine->Init(m_hWnd);
  // The engine's one listener slot is the song player's: it takes it when
  // it opens a song and hands the reports on through the media helper.
  m_engine->CreateScore(nullptr);
  if (CScoreFacet* facet = m_engine->GetScoreFacet()) facet->SetScoreType(CSettings::GetDefaultScoreType());
  // Frames made before the engine are bound as it arrives; those made after
  // bind themselves as they are made.
  if (m_scoreWnd) m_scoreWnd->SetSongEngine(m_engine);
  if (m_lyricWnd) m_lyricWnd->SetLyrics(m_engine->GetLyrics());
  m_midiCapture.Start();
  return m_engine;
}

void CMainPlayerWnd::ReleaseSongEngine() {
  // The session's players hold the engine.
  m_session->ReleasePlayers();
  if (m_engine) {
    if (m_engine->GetPlayerState(0) == 0) m_engine->Stop(0);
    m_midiCapture.Finish();
    m_engine->DestroyScore();
    m_engine->Release();
    m_engine = nullptr;
  }
  m_engineLibrary.Free();
}

void CMainPlayerWnd::ApplyScoreSettings() {
  if (!m_engine) return;
  CScoreViewPair* views = m_engine->CreateScoreViewPair();
  if (!views) return;
  views->SetNoteColor(CSettings::GetColorSetting("SCORE_NOTE_COLOR"), -1);
  views->SetHighlightNoteColor(CSettings::GetColorSetting("SCORE_HILIGHT_NOTE_COLOR"), -1);
  const COLORREF clef = CSettings::GetColorSetting("SCORE_CLEF_COLOR");
  views->SetClefColor(clef, -1);
  views->SetSignatureColor(clef, -1);
  views->SetLineColor(CSettings::GetColorSetting("SCORE_LINE_COLOR"), -1);
  views->SetBarIndexColor(CSettings::GetColorSetting("SCORE_BAR_INDEX_COLOR"), -1);
  // The views take the font for the call only; the font object frees it.
  CLogFont lyricFont;
  lyricFont.FromString(CSettings::GetLyricSetting("SCORE_LYRIC_FONT"));
  if (lyricFont.GetSafeHandle()) views->SetLyricFont(static_cast<HFONT>(lyricFont.GetSafeHandle()), -1);
  views->Release();
}
