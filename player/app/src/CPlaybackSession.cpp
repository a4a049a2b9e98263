#include "app/CPlaybackSession.h"

#include "app/PlayListSearch.h"
#include "playback/CAudioLengthWorker.h"
#include "playback/CMediaHelper.h"
#include "playback/MediaKinds.h"
#include "ui/PlayerMessages.h"

namespace {

CPlaybackSession::PlayerFactory& Factory() {
  static CPlaybackSession::PlayerFactory factory;
  return factory;
}

// Song files the engine plays; other kinds need the audio players.
bool IsSongFile(const std::string& path) { return MediaKindOf(path) == MediaKind::kSong; }

}  // namespace

void CPlaybackSession::SetPlayerFactory(PlayerFactory factory) { Factory() = std::move(factory); }

CPlaybackSession::CPlaybackSession(IPlaybackView* view, std::function<ISongEngine*()> engine,
                                   std::function<IPlayListModel*()> playList)
    : m_view(view), m_engine(std::move(engine)), m_playList(std::move(playList)) {}

CPlaybackSession::~CPlaybackSession() { ReleasePlayers(); }

bool CPlaybackSession::Open(const std::string& path) {
  if (path.empty()) return false;
  if (path == m_currentPath && m_player) return true;
  ReleasePlayer();
  // From here the old file is gone: a failure must not leave its path
  // behind, or the next Play would take the new file as already open.
  m_currentPath.clear();
  m_paused = false;
  m_stopped = true;
  m_view->OnFileClosed();
  if (Factory()) {
    IMediaPlayer* player = Factory()(path, Engine());
    if (!player) return false;
    if (player->Open(path.c_str()) != 0) {
      player->Release();
      return false;
    }
    m_player = player;
    m_ownsPlayer = true;
  } else {
    m_player = PrepareMediaPlayer(path);
    if (!m_player) return false;
  }
  m_currentPath = path;
  ISongEngine* engine = Engine();
  int length = 0;
  if (engine && IsSongFile(path)) {
    // The engine keeps its song-information object; it is not ours to release.
    if (CSongInfo* info = engine->GetSongInfo()) {
      if (info->Open(path.c_str()) == 0) length = info->GetSongLength();
    }
  } else if (auto* audio = dynamic_cast<CAudioFilePlayer*>(m_player)) {
    length = audio->GetLength();
  } else if (m_media) {
    length = m_media->GetDurationSeconds(path.c_str()) * 1000;
  }
  // The helper reports the beats per bar of what it opened itself.
  if (m_ownsPlayer && m_notify) {
    ::PostMessageA(m_notify, WM_PLAYER_BEATS_PER_BAR, 0,
                   engine && IsSongFile(path) ? engine->GetBeatsPerBar() : 0);
  }
  m_view->OnFileOpened(length);
  return true;
}

bool CPlaybackSession::Play(const std::string& path) {
  const bool resuming = m_paused && path == m_currentPath && m_player;
  if (!resuming && !Open(path)) return false;
  if (!m_player) return false;
  m_player->SetVolume(m_volume);
  if (m_player->Play() != 0) return false;
  m_paused = false;
  m_stopped = false;
  m_view->OnStarted();
  return true;
}

void CPlaybackSession::Pause() {
  if (!IsPlaying() || !m_player) return;
  m_player->Pause();
  m_paused = true;
  m_view->OnPaused();
}

void CPlaybackSession::Stop() {
  if (m_stopped) return;
  m_stopped = true;
  m_paused = false;
  if (m_player) m_player->Stop();
  // The notation and the lyric wipe go back to the song's start with the
  // player, so a stopped song shows where Play will begin.
  if (ISongEngine* engine = Engine()) engine->Rewind();
  m_view->OnStopped();
}

void CPlaybackSession::SeekTo(int ms) {
  if (!m_player) return;
  m_player->Seek(ms < 0 ? 0 : ms);
  if (m_player->Play() == 0) {
    m_paused = false;
    m_stopped = false;
    m_view->OnStarted();
  }
}

void CPlaybackSession::MoveTo(int ms) {
  if (!m_player) return;
  // A paused or stopped song only moves: a drag is no request to play.
  if (!IsPlaying()) {
    m_player->Seek(ms < 0 ? 0 : ms);
    return;
  }
  SeekTo(ms);
}

void CPlaybackSession::SeekQuietly(int ms) {
  if (m_player) m_player->Seek(ms < 0 ? 0 : ms);
}

void CPlaybackSession::Close() {
  ReleasePlayer();
  m_currentPath.clear();
}

void CPlaybackSession::Forget(const std::string& path) {
  if (path.empty() || m_currentPath != path) return;
  // The playing entry went: the player stops with it.
  Stop();
  Close();
}

void CPlaybackSession::ReleasePlayers() {
  // The helper's players hold the engine: they go before it.
  ReleasePlayer();
  m_media.reset();
}

void CPlaybackSession::ReleasePlayer() {
  if (!m_player) return;
  m_player->Close();
  if (m_ownsPlayer) m_player->Release();
  m_player = nullptr;
  m_ownsPlayer = false;
}

bool CPlaybackSession::EnsureMediaHelper() {
  if (m_media) return true;
  auto media = std::make_unique<CMediaHelper>();
  if (!media->Init()) return false;
  m_media = std::move(media);
  return true;
}

IMediaPlayer* CPlaybackSession::PrepareMediaPlayer(const std::string& path) {
  if (!EnsureMediaHelper()) return nullptr;
  m_media->SetSongEngine(Engine());
  m_media->SetNotifyHwnd(m_notify);
  if (m_media->PrepareMediaFile(path.c_str()) != 0) return nullptr;
  return m_media->GetCurrentPlayer();
}

bool CPlaybackSession::PlayFound(int first, bool previous) {
  IPlayListModel* list = PlayList();
  if (!list || first < 0) return false;
  // One pass over the list at most: a list of nothing playable ends the
  // search instead of turning the UI thread round and round.
  const int row =
      FindPlayableEntry(list, first, previous ? SearchDirection::kPrevious : SearchDirection::kToPlay);
  if (row < 0) return false;
  // Stopped, the entry only opens; playing or paused, it plays.
  const bool play = !m_stopped || m_paused;
  if (!list->SelectEntry(row, play ? 1 : 0)) return false;
  return m_currentPath == list->GetEntryPath(row);
}

bool CPlaybackSession::PlayNext() {
  IPlayListModel* list = PlayList();
  return list && PlayFound(list->GetNextIndex(), false);
}

bool CPlaybackSession::PlayPrevious() {
  IPlayListModel* list = PlayList();
  return list && PlayFound(list->GetPrevIndex(), true);
}

void CPlaybackSession::OnSongEnd() {
  // An end reported after the user stopped belongs to the song he left.
  if (m_stopped) return;
  m_paused = true;  // so that the search plays what it finds
  IPlayListModel* list = PlayList();
  if (!list || !PlayFound(list->GetIndexToPlay(), false)) Stop();
}

int CPlaybackSession::FindSong(const std::string& path) {
  IPlayListModel* list = PlayList();
  return list && !path.empty() ? list->FindPath(path.c_str()) : -1;
}

int CPlaybackSession::MeasureSeconds(const std::string& path, int seconds) {
  if (seconds <= 0 && !IsSongFile(path) && EnsureMediaHelper())
    seconds = m_media->GetDurationSeconds(path.c_str());
  if (seconds <= 0) {
    // An unknown length (none stored, or M3U's -1) is measured.
    ISongEngine* engine = Engine();
    if (CSongInfo* info = engine ? engine->GetSongInfo() : nullptr) {
      if (info->Open(path.c_str()) == 0) seconds = (info->GetSongLength() + 999) / 1000;
    }
  }
  return seconds > 0 ? seconds : 0;
}

bool CPlaybackSession::MeasureLater(const std::string& path) {
  if (MediaKindOf(path) != MediaKind::kAudio || !m_notify) return false;
  if (!m_lengths) m_lengths = std::make_unique<CAudioLengthWorker>(m_notify);
  const unsigned request = ++m_lastLengthRequest;
  if (!m_lengths->Measure(path, request)) return false;
  m_lengthRequests[path] = request;
  return true;
}

bool CPlaybackSession::TakeMeasuredLength(const AudioLengthResult& result) {
  auto found = m_lengthRequests.find(result.path);
  if (found == m_lengthRequests.end() || found->second != result.token) return false;
  m_lengthRequests.erase(found);
  return true;
}

void CPlaybackSession::SetVolume(int volume) {
  m_volume = volume < 0 ? 0 : volume > 255 ? 255 : volume;
  if (m_player) m_player->SetVolume(m_volume);
}

bool CPlaybackSession::SetDelayTime(int ms) {
  // Only the media helper's own players can be the synchronised one.
  return !m_ownsPlayer && m_media && m_media->SetDelayTime(ms);
}

SongTexts CPlaybackSession::ReadSongTexts() {
  SongTexts texts;
  if (!m_ownsPlayer && m_media) {
    // The helper's texts: for a file carrying a song, the song's own.
    auto text = [](const char* value) { return std::string(value ? value : ""); };
    texts.title = text(m_media->GetSongTitle());
    texts.singer = text(m_media->GetSinger());
    texts.composer = text(m_media->GetComposer());
    texts.lyricist = text(m_media->GetLyricist());
  } else if (m_player) {
    // The singer is the album artist, as the helper reads it.
    auto text = [this](int (IMediaPlayer::*get)(char**)) {
      char* value = nullptr;
      std::string copy;
      if ((m_player->*get)(&value) && value) copy = value;
      delete[] value;
      return copy;
    };
    texts.title = text(&IMediaPlayer::GetTitle);
    texts.singer = text(&IMediaPlayer::GetAlbumArtist);
    texts.composer = text(&IMediaPlayer::GetComposer);
    texts.lyricist = text(&IMediaPlayer::GetLyrics);
  }
  return texts;
}
