// The player's playback session, without a window: which file is current,
// which player plays it, the play state (stopped, paused, playing), the
// volume, and moving through the play list. The main window asks it and
// draws what it reports through IPlaybackView; tests drive it with a fake
// player and a fake play list.
//
// UI thread only. The players' reports travel from the song engine through
// the song player and the media helper, which posts them (WM_PLAYER_*) to
// the window given by SetNotifyWindow; the session never listens to the
// engine itself.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/IPlayListModel.h"
#include "playback/IMediaPlayer.h"
#include "tunewell/ISongEngine.h"

class CAudioLengthWorker;
class CMediaHelper;
struct AudioLengthResult;

// What the session tells its window; each call comes after the state changed.
class IPlaybackView {
 public:
  // The previous file is closed and nothing is current yet (the state reads stopped).
  virtual void OnFileClosed() = 0;
  // The current path is open: its length in ms, 0 when unknown.
  virtual void OnFileOpened(int lengthMs) = 0;
  virtual void OnStarted() = 0;
  virtual void OnPaused() = 0;
  virtual void OnStopped() = 0;

 protected:
  ~IPlaybackView() = default;
};

// The song's own texts, without their labels; empty when absent.
struct SongTexts {
  std::string title, singer, composer, lyricist;
};

class CPlaybackSession {
 public:
  // Makes the player for a file; unset, every file goes through the media helper.
  using PlayerFactory = std::function<IMediaPlayer*(const std::string& path, ISongEngine* engine)>;
  static void SetPlayerFactory(PlayerFactory factory);

  // engine: the song engine, made on first need (null while it cannot be had);
  // playList: the play list, null while there is none.
  CPlaybackSession(IPlaybackView* view, std::function<ISongEngine*()> engine,
                   std::function<IPlayListModel*()> playList);
  ~CPlaybackSession();
  CPlaybackSession(const CPlaybackSession&) = delete;
  CPlaybackSession& operator=(const CPlaybackSession&) = delete;

  // Where the players' reports are posted.
  void SetNotifyWindow(HWND window) { m_notify = window; }

  // @name Playing
  // Makes path the current file (the same path: nothing to do). A failure
  // leaves no current file and the state stopped.
  bool Open(const std::string& path);
  // Opens path unless it is the current one, then starts it; a paused
  // current file resumes.
  bool Play(const std::string& path);
  // Only a playing song pauses; only a playing or paused one stops. Stopping
  // takes the engine's views and lyrics back to the start.
  void Pause();
  void Stop();
  // Seeks the current file and starts it there.
  void SeekTo(int ms);
  // Moves the current file to ms: a playing one is sought and goes on, a
  // paused or stopped one only moves.
  void MoveTo(int ms);
  // Seeks without touching the state (a resumed song maker run).
  void SeekQuietly(int ms);
  // Closes the current file and forgets it (the song maker may rewrite it).
  void Close();
  // The play list lost the entry with this path.
  void Forget(const std::string& path);
  // Closes the player and lets the media helper go, before the engine goes.
  void ReleasePlayers();

  // @name The play list
  // The next or previous playable entry, one pass over the list at most:
  // stopped, it only opens; playing or paused, it plays.
  bool PlayNext();
  bool PlayPrevious();
  // The song played to its end: the entry to play next starts, or the
  // session stops.
  void OnSongEnd();
  // The row of path in the play list, -1 for none.
  int FindSong(const std::string& path);
  // A file's length in whole seconds for the play list (stored seconds win);
  // 0 when it cannot be measured.
  int MeasureSeconds(const std::string& path, int seconds);
  // Measures an audio file's length off the window thread: the result comes
  // to the notify window as WM_PLAYER_AUDIO_LENGTH. False for a song file, or
  // when nothing can take the file: MeasureSeconds then.
  bool MeasureLater(const std::string& path);
  // True when result answers the latest MeasureLater of its path; an earlier
  // request's late answer, or a second one, is false.
  bool TakeMeasuredLength(const AudioLengthResult& result);

  // @name State
  bool IsPlaying() const { return !m_stopped && !m_paused; }
  bool IsPaused() const { return m_paused; }
  bool IsStopped() const { return m_stopped; }
  const std::string& GetCurrentPath() const { return m_currentPath; }
  IMediaPlayer* GetPlayer() const { return m_player; }
  void SetVolume(int volume);
  int GetVolume() const { return m_volume; }
  // False unless the current player is the synchronised one.
  bool SetDelayTime(int ms);
  SongTexts ReadSongTexts();

 private:
  bool PlayFound(int first, bool previous);
  void ReleasePlayer();
  // The player of the media helper, made on first use; null when it cannot be.
  IMediaPlayer* PrepareMediaPlayer(const std::string& path);
  bool EnsureMediaHelper();
  ISongEngine* Engine() { return m_engine ? m_engine() : nullptr; }
  IPlayListModel* PlayList() { return m_playList ? m_playList() : nullptr; }

  IPlaybackView* m_view;
  std::function<ISongEngine*()> m_engine;
  std::function<IPlayListModel*()> m_playList;
  HWND m_notify = nullptr;
  // The media helper's players are its own; a factory's player is ours.
  std::unique_ptr<CMediaHelper> m_media;
  // Made on the first file measured later; each path's latest request.
  std::unique_ptr<CAudioLengthWorker> m_lengths;
  std::map<std::string, unsigned> m_lengthRequests;
  unsigned m_lastLengthRequest = 0;
  IMediaPlayer* m_player = nullptr;
  bool m_ownsPlayer = false;
  std::string m_currentPath;
  bool m_paused = false;
  bool m_stopped = true;
  int m_volume = 255;
};
