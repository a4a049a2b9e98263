// The player's main window: the skinned transport panel that owns the song
// engine, the playback session and the tool frames, and answers the protocol
// the frames, the tray and a second start of the program speak to it. What
// plays, and the play state, are the session's (CPlaybackSession); the window
// turns requests into its calls and shows what it reports.
//
// Defined in CMainPlayerWnd.cpp (creation, deferred loading, saving state,
// teardown, the engine binding), CMainPlayerWndProtocol.cpp (messages, keys,
// commands, hand-over), CMainPlayerWndPlayback.cpp (the session's requests
// and reports, the play list, the open dialog) and CMainPlayerWndLinks.cpp
// (the link label, the pop-up menu's singer pages).
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/CBeatIndicator.h"
#include "app/CUpdateNotices.h"
#include "app/CTrayIcon.h"
#include "app/CMainAlwaysVisibleToggle.h"
#include "app/CPlaybackSession.h"
#include "app/CPlayPausePair.h"
#include "app/CTransportButtons.h"
#include "app/FileHandOver.h"
#include "app/IPlayListModel.h"
#include "app/MidiCapture.h"
#include "base/Library.h"
#include "playback/IMediaPlayer.h"
#include "tunewell/ISongEngine.h"
#include "ui/CSkinSlider.h"
#include "ui/CLinkLabel.h"
#include "ui/CSkinWnd.h"
#include "ui/IPlayerHost.h"
#include "ui/PlayerMessages.h"
#include "ui/SnapWindows.h"

class CLyricWnd;
class CSongMakerFrame;
class CPlayTime;
class CPlayTimeWnd;
class CSpectrumWnd;
class CPlayListWnd;
class CScoreWnd;
class CSkinButton;
class CToolFrame;
class CSkinCmdButton;
class CVolumeSlider;

// Command ids (WM_COMMAND with lParam 0) the menus, keys and other programs send.
enum MainWndCommand : int {
  kCmdHelpSystem = 9,
  kCmdAbout = 16,
  kCmdSingerSearch = 102,
  kCmdSingerPage = 103,
  kCmdExit = 32771,
  kCmdPlayFromHere = 32774,
  kCmdPlayPause = 32776,
  kCmdStop = 32777,
  kCmdNext = 32778,
  kCmdPrevious = 32779,
  kCmdSettings = 32780,
  kCmdPlayFromClimax = 32781,
  kCmdUpdate = 32799,
  kCmdDonate = 32800,
  kCmdHelp = 57670,
};

class CMainPlayerWnd : public CSkinWnd,
                       public ISliderSink,
                       public IPlayerHost,
                       public IPlayListSink,
                       public IMsgWndSink,
                       private IPlaybackView {
 public:
  CMainPlayerWnd();
  ~CMainPlayerWnd() override;

  // @name Creation, state, teardown (CMainPlayerWnd.cpp)
  // Builds the skinned window from the settings and the skin scheme: 0, or
  // 1 when the window cannot be made.
  int CreateMainWindow();
  // The skin images the first paint draws, in the order the start asks for
  // them: the panel's frame, the frames the settings show, then the panel's
  // controls. The start has them decoded ahead while it makes the windows.
  static std::vector<unsigned short> FirstPaintImages();
  // The files of the start to open once the deferred loading is done.
  void SetCommandLineFiles(const std::vector<std::string>& files);
  // Writes the windows' flags and places, the play options and the volume.
  void SaveState();
  bool IsBusy() const { return m_busy; }

  // @name Song engine (CMainPlayerWnd.cpp)
  // Loads Tunewell.dll on first use (again on every call while that fails)
  // and binds the engine to this window and its lyrics to the lyrics frame.
  // The deferred loading asks first, after the first paint. Null when it
  // cannot be had.
  ISongEngine* GetSongEngine();
  // Stops, ends the score, releases the engine and frees the library.
  void ReleaseSongEngine();

  // @name Messages (CMainPlayerWndProtocol.cpp)
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDrawItem(WPARAM wParam, LPARAM lParam) override;
  // Destroys the window and ends the program's message loop.
  void DestroyWindow() override;
  void DrawClient(Gdiplus::Graphics* graphics) override;
  // One received hand-over file; while the deferred loading is pending the
  // file waits in the start's list.
  void AddRemoteFile(const std::string& path, bool last);
  // The start's files: each goes in as a hand-over; none plays the first entry.
  void ProcessCommandLineFiles();
  void OnCommand(int id);
  void OnKeyDown(WPARAM key);
  void OnSysCommand(WPARAM command, LPARAM lParam);

  // @name Playback control (CMainPlayerWndPlayback.cpp)
  // Makes path the current file (the same path: nothing to do). A failure
  // leaves no current file and the window stopped.
  bool OpenFile(const std::string& path);
  bool OpenAndPlay(const std::string& path);
  void Stop() override;
  void Pause() override;
  // The next or previous playable entry, one pass over the list at most.
  bool PlayNext() override;
  bool PlayPrevious() override;
  void SeekTo(int ms);
  void OnEndOfSong();
  void OnPlayPosition(int ms);
  // Adds a song of a known kind; false for anything it cannot play.
  bool AddToPlayList(const std::string& path);
  bool IsPlaying() const { return m_session->IsPlaying(); }
  bool IsPaused() const override { return m_session->IsPaused(); }
  bool IsStopped() const override { return m_session->IsStopped(); }
  const std::string& GetCurrentPath() const { return m_session->GetCurrentPath(); }
  // The play list's paths in order (empty while there is no play list).
  std::vector<std::string> GetSongs();
  int GetVolume() const { return m_session->GetVolume(); }
  CPlaybackSession& GetSession() { return *m_session; }
  CLyricWnd* GetLyricWnd() const { return m_lyricWnd.get(); }
  CScoreWnd* GetScoreWnd() const { return m_scoreWnd.get(); }
  CPlayListWnd* GetPlayListWnd() const { return m_playListWnd.get(); }
  bool GetShowFlag(int flag) const { return flag > 0 && flag < 5 && m_showFlags[flag]; }
  // The current song's choices of the track and staff setting dialog, from
  // the per-song value map: staff kinds of the tracks shown, and the mutes.
  void ApplyTrackStaffKinds();
  void ApplyTrackMutes();

  // @name Seams for tests and the parts not bound here
  // Starts a program or document of the program folder (help, updater).
  using ShellLauncher = std::function<void(const std::string& path)>;
  static void SetShellLauncher(ShellLauncher launcher);
  // Makes the player for a file; unset, every file goes through the media helper.
  using PlayerFactory = CPlaybackSession::PlayerFactory;
  static void SetPlayerFactory(PlayerFactory factory);
  // Runs the open dialog: true with the choice in the record's buffer; false
  // with why (CommDlgExtendedError's code, 0 for a cancel). Unset, the
  // system's dialog.
  using OpenDialog = std::function<bool(OPENFILENAMEA* dialog, DWORD* error)>;
  static void SetOpenDialog(OpenDialog dialog);
  // Shows a message to the user; unset, MessageBoxA.
  using MessageShower = std::function<int(HWND owner, const char* text, const char* caption, UINT type)>;
  static void SetMessageShower(MessageShower shower);
  // Makes the song engine; unset, Tunewell.dll's.
  using EngineFactory = std::function<ISongEngine*()>;
  static void SetEngineFactory(EngineFactory factory);
  // Tracks a menu at a screen point for its owner; unset, TrackPopupMenu.
  using MenuTracker = std::function<void(HMENU menu, POINT at, HWND owner)>;
  static void SetMenuTracker(MenuTracker tracker);

  // @name IPlayerHost
  HWND GetHostWindow() override { return m_hWnd; }
  void SetClickPosition(int eventIndex) override { m_clickPosition = eventIndex; }
  void PlayFromClickPosition() override;
  HMENU UpdatePopupMenu() override;
  void ShowPreferences(int page) override;
  int GetPlayOrder() override { return IsLoopMode() ? 1 : 0; }
  void SetPlayOrder(int order) override;
  IPlayListModel* GetPlayListModel() override;
  bool SavePlayListFile(const char* path) override;
  bool LoadPlayListFile(const char* path) override;
  HWND GetChildWindow(int child) override;
  bool IsChildVisible(int child) override;
  void SetChildVisible(int child, bool visible) override;
  bool IsTopMost() override;
  void SetTopMost(bool topMost) override;
  // Adds the files the user picks: how many were added, -1 when the dialog
  // ended without a choice (cancelled, or too many names for its buffer).
  int ShowOpenDialog() override;
  // The song maker's pack run: the song stops and its file is closed, then
  // it comes back where it stood, playing only when it played before.
  bool SuspendPlayback(PlaybackState* state) override;
  bool ResumePlayback(const PlaybackState& state) override;
  // False unless the current player is the synchronised one.
  bool SetDelayTime(int ms) override;
  bool AddToPlayList(const char* path, int seconds) override;
  void PlayLastEntry() override;

  // @name IPlayListSink (the play-list window)
  void Play(const char* path) override;
  void Open(const char* path) override;
  void ForgetPath(const char* path) override;

  // @name IMsgWndSink (the tray icon's mouse)
  int OnWndMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  CTrayIcon* GetTrayIcon() { return &m_tray; }
  const CBeatIndicator& GetBeatIndicator() const { return m_beats; }
  // Null until the deferred loading made it.
  const CPlayTimeWnd* GetPlayTimeWnd() const { return m_playTimeWnd.get(); }
  CSpectrumWnd* GetSpectrumWnd() const { return m_spectrum.get(); }

  // @name Link label and singer pages (CMainPlayerWndLinks.cpp)
  // The news lines of a notice go to the link label, one line each.
  void SetNoticeText(const std::string& text);
  // Null until the deferred loading made it.
  CLinkLabel* GetLinkLabel() const { return m_linkLabel.get(); }
  const CSnapMainWnd& GetSnapPart() const { return m_snap; }
  const std::string& GetSinger() const { return m_singer; }
  // The search address: the first "%s" of pattern becomes the encoded
  // singer; every other character stays as it is. Empty for an empty pattern.
  static std::string SingerSearchUrl(const std::string& pattern, const std::string& singer);

  // @name ISliderSink (the progress slider)
  void OnSliderTrack(int value, int code) override;
  void OnSliderSet(int pos) override;
  int GetSliderValue() override;
  int GetSliderBackValue() override;

 private:
  // @name IPlaybackView: the session's reports (CMainPlayerWndPlayback.cpp)
  void OnFileClosed() override;
  void OnFileOpened(int lengthMs) override;
  void OnStarted() override;
  void OnPaused() override;
  void OnStopped() override;

  void DoLaterLoading(UINT_PTR timer);
  void CreateLinkLabel();
  // The title (or the file stem) shown by the label, and the singer the
  // pop-up menu offers pages for.
  void ShowSongTitle(const std::string& title, const std::string& singer);
  void OpenSingerPage(int command);
  void CreateControls();
  // Play or Pause, by the window's state.
  void ShowPlayFace();
  void UpdatePlayTime(int ms);
  void ApplyScoreSettings();
  void LaunchAppFile(const char* name);
  // The caption icon's click: the system menu at the icon's bottom-left corner.
  void TrackSystemMenu();
  void MinimizeToTray();
  // Adds a file a user named (command line, hand-over, open dialog); one the
  // player cannot take is named to the user with the reason.
  bool AddNamedFile(const std::string& path);
  int FindSong(const std::string& path);
  bool IsLoopMode();
  // Adds an entry of the given length (seconds; 0 or less: measured). An
  // audio file's length is measured off the window thread unless the caller
  // waits for it (now): the entry goes in at once with its length unknown.
  bool AddToPlayList(const std::string& path, int seconds, bool now = false);
  // A length measured off the window thread lands on its entry, if that is
  // still in the list and still of unknown length.
  void OnAudioLength(LPARAM lParam);
  static std::string LastPlayListPath();
  // @name Tool frames (CMainPlayerWnd.cpp)
  void CreateChildFrames();
  // Makes the frame of that ShowWndFlag index, hidden, unless it is made.
  void MakeChildFrame(int flag);
  void MakeFrameWindow(int flag);
  // The frame's window by ShowWndFlag index, null when it is not made.
  HWND GetChildFrame(int flag) const;
  CToolFrame* FrameOf(int flag) const;
  // Shows or hides a tool frame and keeps its flag and toggle in step.
  void ShowChildFrame(int flag, bool show);
  // Brings the shown frames up with the main window when it is activated.
  void RaiseChildren();
  void HideChildWindow(WPARAM childId);
  // ChildWndId to ShowWndFlag; 0 for an unknown id.
  static int FlagOfChild(int child);
  CSkinButton* FindButton(int id) const;

  // Engine (first), so every member below is gone before the library goes.
  base::Library m_engineLibrary;
  ISongEngine* m_engine = nullptr;
  CMidiCapture m_midiCapture;
  // Its players hold the engine: it lets them go before the engine goes.
  std::unique_ptr<CPlaybackSession> m_session;

  // The tray icon goes before the library, the frames' snapping before ours.
  CTrayIcon m_tray;
  // Before the frames: their snapping parts leave it when they go.
  CSnapMainWnd m_snap;
  CBeatIndicator m_beats;
  CUpdateNotices m_notices;
  // Tool frames: made once (those not shown at start after the first
  // paint), hidden and shown; gone before the engine.
  std::unique_ptr<CScoreWnd> m_scoreWnd;
  std::unique_ptr<CLyricWnd> m_lyricWnd;
  std::unique_ptr<CPlayListWnd> m_playListWnd;
  // Made on its first showing: most sessions never open the song maker.
  std::unique_ptr<CSongMakerFrame> m_songMakerFrame;

  std::vector<std::unique_ptr<CSkinButton>> m_buttons;
  CPlayPausePair m_playPause;
  std::unique_ptr<CMainAlwaysVisibleToggle> m_alwaysVisible;
  std::unique_ptr<CSkinSlider> m_progress;
  std::unique_ptr<CVolumeSlider> m_volumeSlider;
  std::unique_ptr<CPlayTime> m_playTime;
  std::unique_ptr<CPlayTimeWnd> m_playTimeWnd;
  std::unique_ptr<CSpectrumWnd> m_spectrum;
  std::unique_ptr<CLinkLabel> m_linkLabel;
  std::string m_singer;
  HMENU m_popupMenu = nullptr;

  std::vector<std::string> m_commandLineFiles;
  // Files the user named whose length is still being measured: one found to
  // have none is reported.
  std::set<std::string> m_namedAwaitingLength;
  CHandOverBatch m_handOver;
  int m_clickPosition = -1;
  // The last mouse move handled: the same point and keys again are dropped.
  bool m_hasLastMove = false;
  WPARAM m_lastMoveKeys = 0;
  LPARAM m_lastMovePoint = 0;
  bool m_busy = true;
  bool m_showFlags[5] = {};
};

// The one main window of the process.
CMainPlayerWnd& GetMainPlayerWnd();
CMainPlayerWnd* GetMainPlayerWndPtr();
// Deletes it (the window must be destroyed already).
void DeleteMainPlayerWnd();
