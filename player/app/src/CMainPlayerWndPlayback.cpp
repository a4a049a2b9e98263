#include "app/CMainPlayerWnd.h"

#include <cderr.h>
#include <shlwapi.h>

#include <algorithm>

#include "app/PlayerResources.h"
#include "app/CM3UPlayList.h"
#include "app/MediaFileCheck.h"
#include "app/CPlayListWnd.h"
#include "app/CScoreWnd.h"
#include "app/CSongValueMap.h"
#include "app/PlayListSearch.h"
#include "playback/CMediaHelper.h"
#include "playback/CPlayTime.h"
#include "playback/CPlayTimeWnd.h"
#include "playback/CSpectrumWnd.h"
#include "playback/MediaKinds.h"
#include "lyrics/CLyricView.h"
#include "lyrics/CLyricWnd.h"
#include "ui/CProfileHelper.h"
#include "ui/CSettings.h"
#include "ui/CSkinButton.h"
#include "ui/CToolFrame.h"

namespace {

// Song files the engine plays; other kinds need the audio players.
bool IsSongFile(const std::string& path) { return MediaKindOf(path) == MediaKind::kSong; }

// The song's own texts: the media helper's for the files it prepared, else
// the player's (the singer being its album artist, as the helper reads it).
SongInfoText ReadSongInfo(CMediaHelper* media, IMediaPlayer* player, std::string* singer) {
  SongInfoText info;
  std::string composer, lyricist;
  if (media) {
    auto text = [](const char* value) { return std::string(value ? value : ""); };
    info.title = text(media->GetSongTitle());
    info.singer = text(media->GetSinger());
    composer = text(media->GetComposer());
    lyricist = text(media->GetLyricist());
  } else if (player) {
    auto text = [player](int (IMediaPlayer::*get)(char**)) {
      char* value = nullptr;
      std::string copy;
      if ((player->*get)(&value) && value) copy = value;
      delete[] value;
      return copy;
    };
    info.title = text(&IMediaPlayer::GetTitle);
    info.singer = text(&IMediaPlayer::GetAlbumArtist);
    composer = text(&IMediaPlayer::GetComposer);
    lyricist = text(&IMediaPlayer::GetLyrics);
  }
  if (!composer.empty()) info.composer = LoadPlayerString(kStrComposer) + composer;
  if (!lyricist.empty()) info.lyricist = LoadPlayerString(kStrLyricist) + lyricist;
  *singer = info.singer;
  if (!info.singer.empty()) info.singer = LoadPlayerString(kStrSinger) + info.singer;
  return info;
}

CMainPlayerWnd::PlayerFactory& Factory() {
  static CMainPlayerWnd::PlayerFactory factory;
  return factory;
}

bool SystemOpenDialog(OPENFILENAMEA* dialog, DWORD* error) {
  if (::GetOpenFileNameA(dialog)) return true;
  *error = ::CommDlgExtendedError();
  return false;
}

CMainPlayerWnd::OpenDialog& Dialog() {
  static CMainPlayerWnd::OpenDialog dialog = SystemOpenDialog;
  return dialog;
}

CMainPlayerWnd::MessageShower& Shower() {
  static CMainPlayerWnd::MessageShower shower = ::MessageBoxA;
  return shower;
}

// OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ALLOWMULTISELECT
// | OFN_OVERWRITEPROMPT | OFN_READONLY.
constexpr DWORD kOpenSongsFlags = 0x81A03;
constexpr DWORD kOpenSongsBufferSize = 2600;

// The dialog's answer: one file is its full path; several are the folder
// followed by the names, each text ended by a NUL and the list by another.
std::vector<std::string> ChosenFiles(const std::vector<char>& buffer) {
  std::vector<std::string> parts;
  auto at = buffer.begin();
  while (at != buffer.end() && *at) {
    const auto end = std::find(at, buffer.end(), '\0');
    parts.emplace_back(at, end);
    at = end == buffer.end() ? end : end + 1;
  }
  if (parts.size() < 2) return parts;
  std::vector<std::string> files;
  for (size_t i = 1; i < parts.size(); ++i) {
    // A drive root ("C:\") already ends in its backslash; joining by
    // PathCombine's rules gives the one spelling the play list knows.
    char joined[MAX_PATH];
    if (::PathCombineA(joined, parts[0].c_str(), parts[i].c_str())) files.push_back(joined);
  }
  return files;
}

}  // namespace

void CMainPlayerWnd::SetPlayerFactory(PlayerFactory factory) { Factory() = std::move(factory); }

void CMainPlayerWnd::SetOpenDialog(OpenDialog dialog) {
  Dialog() = dialog ? std::move(dialog) : OpenDialog(SystemOpenDialog);
}

void CMainPlayerWnd::SetMessageShower(MessageShower shower) {
  Shower() = shower ? std::move(shower) : MessageShower(::MessageBoxA);
}

bool CMainPlayerWnd::OpenFile(const std::string& path) {
  if (path.empty()) return false;
  if (path == m_currentPath && m_player) return true;
  ReleasePlayer();
  // From here the old file is gone: a failure must not leave its path
  // behind, or the next Play would take the new file as already open.
  m_currentPath.clear();
  m_singer.clear();
  m_paused = false;
  m_stopped = true;
  m_length = 0;
  ShowPlayFace();
  if (Factory()) {
    IMediaPlayer* player = Factory()(path, GetSongEngine());
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
  ApplyScoreSettings();
  if (m_scoreWnd) m_scoreWnd->ResetMeasureSlider();
  if (m_engine && IsSongFile(path)) {
    // The engine keeps its song-information object; it is not ours to release.
    if (CSongInfo* info = m_engine->GetSongInfo()) {
      if (info->Open(path.c_str()) == 0) m_length = info->GetSongLength();
    }
  } else if (auto* audio = dynamic_cast<CAudioFilePlayer*>(m_player)) {
    m_length = audio->GetLength();
  } else if (m_media) {
    m_length = m_media->GetDurationSeconds(path.c_str()) * 1000;
  }
  // The helper reports the beats per bar of what it opened itself.
  if (m_ownsPlayer) {
    ::PostMessageA(m_hWnd, WM_PLAYER_BEATS_PER_BAR, 0,
                   m_engine && IsSongFile(path) ? m_engine->GetBeatsPerBar() : 0);
  }
  if (m_progress) {
    m_progress->SetRange(m_length / 1000, 0);
    m_progress->SetPos(0);
  }
  UpdatePlayTime(0);
  // The window keeps its title: a second start finds the player by it.
  std::string singer;
  SongInfoText info = ReadSongInfo(m_ownsPlayer ? nullptr : m_media.get(), m_player, &singer);
  std::string stem = ::PathFindFileNameA(path.c_str());
  stem.erase(std::min(stem.size(), static_cast<size_t>(::PathFindExtensionA(stem.c_str()) - stem.c_str())));
  if (info.title.empty()) info.title = stem;
  ShowSongTitle(info.title, singer);
  // The tray names the file, whatever title the song carries.
  m_tray.SetTip((LoadPlayerString(kStrTitle) + " - " + stem).c_str());
  if (m_lyricWnd && m_lyricWnd->GetLyricView()) m_lyricWnd->GetLyricView()->SetSongInfo(info);
  return true;
}

void CMainPlayerWnd::ReleasePlayer() {
  if (!m_player) return;
  m_player->Close();
  if (m_ownsPlayer) m_player->Release();
  m_player = nullptr;
  m_ownsPlayer = false;
}

IMediaPlayer* CMainPlayerWnd::PrepareMediaPlayer(const std::string& path) {
  if (!m_media) {
    auto media = std::make_unique<CMediaHelper>();
    if (!media->Init()) return nullptr;
    m_media = std::move(media);
  }
  m_media->SetSongEngine(GetSongEngine());
  m_media->SetNotifyHwnd(m_hWnd);
  if (m_media->PrepareMediaFile(path.c_str()) != 0) return nullptr;
  return m_media->GetCurrentPlayer();
}

bool CMainPlayerWnd::OpenAndPlay(const std::string& path) {
  const bool resuming = m_paused && path == m_currentPath && m_player;
  if (!resuming && !OpenFile(path)) return false;
  if (!m_player) return false;
  m_player->SetVolume(m_volume);
  if (m_player->Play() != 0) return false;
  if (m_spectrum) m_spectrum->StartTimer(10);
  m_paused = false;
  m_stopped = false;
  // While a song plays the score follows it; the user's scrolling waits.
  if (m_scoreWnd) m_scoreWnd->EnableScrollers(false, CScoreWnd::kBothScrollers);
  ShowPlayFace();
  return true;
}

void CMainPlayerWnd::Stop() {
  if (m_stopped) return;
  m_stopped = true;
  m_paused = false;
  if (m_player) m_player->Stop();
  if (m_progress) m_progress->SetPos(0);
  UpdatePlayTime(0);
  if (m_scoreWnd) {
    m_scoreWnd->EnableScrollers(true, CScoreWnd::kBothScrollers);
    m_scoreWnd->ResetMeasureSlider();
  }
  // The notation and the lyric wipe go back to the song's start with the
  // player, so a stopped song shows where Play will begin.
  if (m_engine) m_engine->Rewind();
  ShowPlayFace();
  m_beats.Reset();
  if (m_spectrum) m_spectrum->StopTimer();
}

void CMainPlayerWnd::Pause() {
  if (!IsPlaying() || !m_player) return;
  m_player->Pause();
  m_paused = true;
  if (m_spectrum) m_spectrum->StopTimer();
  ShowPlayFace();
}

void CMainPlayerWnd::SeekTo(int ms) {
  if (!m_player) return;
  m_player->Seek(ms < 0 ? 0 : ms);
  if (m_player->Play() == 0) {
    m_paused = false;
    m_stopped = false;
    ShowPlayFace();
  }
}

bool CMainPlayerWnd::PlayFound(int first, bool previous) {
  IPlayListModel* list = GetPlayListModel();
  if (!list || first < 0) return false;
  // One pass over the list at most: a list of nothing playable ends the
  // search instead of turning the UI thread round and round.
  const int row =
      FindPlayableEntry(list, first, previous ? SearchDirection::kPrevious : SearchDirection::kToPlay);
  if (row < 0) return false;
  // Stopped, the entry only opens; playing or paused, it plays.
  const bool play = !(m_stopped && !m_paused);
  if (!list->SelectEntry(row, play ? 1 : 0)) return false;
  return m_currentPath == list->GetEntryPath(row);
}

bool CMainPlayerWnd::IsLoopMode() {
  IPlayListModel* list = GetPlayListModel();
  return list ? list->GetPlayMode() == IPlayListModel::kLoop : CSettings::GetPlayMode() != 0;
}

bool CMainPlayerWnd::PlayNext() {
  IPlayListModel* list = GetPlayListModel();
  return list && PlayFound(list->GetNextIndex(), false);
}

bool CMainPlayerWnd::PlayPrevious() {
  IPlayListModel* list = GetPlayListModel();
  return list && PlayFound(list->GetPrevIndex(), true);
}

void CMainPlayerWnd::OnEndOfSong() {
  // An end reported after the user stopped belongs to the song he left.
  if (m_stopped) return;
  m_paused = true;  // so that the search plays what it finds
  IPlayListModel* list = GetPlayListModel();
  if (!list || !PlayFound(list->GetIndexToPlay(), false)) Stop();
}

void CMainPlayerWnd::OnPlayPosition(int ms) {
  if (m_progress) m_progress->SetPos(ms / 1000);
  UpdatePlayTime(ms);
}

void CMainPlayerWnd::UpdatePlayTime(int ms) {
  if (m_playTime) m_playTime->SetSeconds(ms < 0 ? 0u : static_cast<unsigned>(ms / 1000));
}

int CMainPlayerWnd::FindSong(const std::string& path) {
  IPlayListModel* list = GetPlayListModel();
  return list && !path.empty() ? list->FindPath(path.c_str()) : -1;
}

std::vector<std::string> CMainPlayerWnd::GetSongs() {
  std::vector<std::string> songs;
  if (IPlayListModel* list = GetPlayListModel()) {
    for (int row = 0; row < list->GetCount(); ++row) songs.push_back(list->GetEntryPath(row));
  }
  return songs;
}

bool CMainPlayerWnd::AddToPlayList(const std::string& path) { return AddToPlayList(path, 0); }

bool CMainPlayerWnd::AddToPlayList(const char* path, int seconds) {
  return path && AddToPlayList(std::string(path), seconds);
}

int CMainPlayerWnd::ShowOpenDialog() {
  std::vector<char> buffer(kOpenSongsBufferSize, '\0');
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = m_hWnd;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = kOpenSongsBufferSize;
  const std::string filter = MediaOpenFilter();
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.Flags = kOpenSongsFlags;
  DWORD error = 0;
  if (!Dialog()(&dialog, &error)) {
    if (error == FNERR_BUFFERTOOSMALL) {
      Shower()(m_hWnd, LoadPlayerString(kStrPathTooLong).c_str(), LoadPlayerString(kStrTitle).c_str(),
               MB_OK | MB_ICONWARNING);
    }
    return -1;
  }
  // However the dialog filled it, the list of names ends inside the buffer.
  buffer[buffer.size() - 2] = buffer[buffer.size() - 1] = '\0';
  int added = 0;
  for (const std::string& file : ChosenFiles(buffer)) {
    if (AddNamedFile(file)) ++added;
  }
  return added;
}

void CMainPlayerWnd::PlayLastEntry() {
  IPlayListModel* list = GetPlayListModel();
  if (list && list->GetCount() > 0) list->SelectEntry(list->GetCount() - 1, 1);
}

bool CMainPlayerWnd::AddToPlayList(const std::string& path, int seconds) {
  IPlayListModel* list = GetPlayListModel();
  if (!list || path.empty() || FindSong(path) >= 0) return false;
  if (CMediaHelper::GetMediaType(path.c_str()) == MediaKind::kNone || !::PathFileExistsA(path.c_str()))
    return false;
  if (seconds <= 0 && !IsSongFile(path)) {
    if (!m_media) {
      auto media = std::make_unique<CMediaHelper>();
      if (media->Init()) m_media = std::move(media);
    }
    if (m_media) seconds = m_media->GetDurationSeconds(path.c_str());
  }
  if (seconds <= 0 && m_engine) {
    // An unknown length (none stored, or M3U's -1) is measured.
    if (CSongInfo* info = m_engine->GetSongInfo()) {
      if (info->Open(path.c_str()) == 0) seconds = (info->GetSongLength() + 999) / 1000;
    }
  }
  if (seconds <= 0) return false;
  m_playListWnd->AddSong(path.c_str(), seconds);
  return true;
}

bool CMainPlayerWnd::AddNamedFile(const std::string& path) {
  FileRejection why = CheckMediaFile(path);
  if (why == FileRejection::kNone && !AddToPlayList(path, 0)) {
    // Known kind, a file with bytes, and yet no length: not a song.
    why = FindSong(path) >= 0 || !GetPlayListModel() ? FileRejection::kNone : FileRejection::kUnmeasurable;
    if (why == FileRejection::kNone) return false;
  }
  if (why == FileRejection::kNone) return true;
  Shower()(m_hWnd, RejectionText(path, why).c_str(), LoadPlayerString(kStrTitle).c_str(), MB_OK | MB_ICONWARNING);
  return false;
}

std::string CMainPlayerWnd::LastPlayListPath() {
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  char path[MAX_PATH];
  return ::PathCombineA(path, folder, "LastPlayList.mpl") ? path : "";
}

bool CMainPlayerWnd::SavePlayListFile(const char* path) {
  IPlayListModel* list = GetPlayListModel();
  if (!list || !path) return false;
  CM3UPlayList file;
  for (int row = 0; row < list->GetCount(); ++row) {
    PlayListItemData* item = list->GetEntry(row);
    if (!item) continue;
    PlayListEntry entry;
    entry.path = item->path;
    entry.length = item->length;
    entry.title = ::PathFindFileNameA(item->path.c_str());
    file.GetEntries().push_back(entry);
  }
  return file.SaveM3U(path);
}

bool CMainPlayerWnd::LoadPlayListFile(const char* path) {
  if (!GetPlayListModel() || !path) return false;
  CM3UPlayList file;
  const bool ok = file.LoadM3U(path);
  for (const PlayListEntry& entry : file.GetEntries()) AddToPlayList(entry.path, entry.length);
  return ok;
}

// @name The song maker's requests

bool CMainPlayerWnd::SuspendPlayback(PlaybackState* state) {
  if (!state) return true;
  state->path = m_currentPath;
  state->seconds = m_playTime ? static_cast<int>(m_playTime->GetSeconds()) : 0;
  state->wasPlaying = IsPlaying();
  Stop();
  // The pack program may write the very file the player holds open.
  ReleasePlayer();
  m_currentPath.clear();
  return true;
}

bool CMainPlayerWnd::ResumePlayback(const PlaybackState& state) {
  // The window reads stopped until the file is open again, so a file that
  // went away meanwhile leaves nothing that claims to play.
  if (!OpenFile(state.path) || !m_player) return false;
  const int seconds = state.seconds < 0 ? 0 : state.seconds;
  m_player->Seek(seconds * 1000);
  if (m_progress) m_progress->SetPos(seconds);
  UpdatePlayTime(seconds * 1000);
  // A song that was not playing waits at its place; Play starts it there.
  return !state.wasPlaying || OpenAndPlay(state.path);
}

bool CMainPlayerWnd::SetDelayTime(int ms) {
  // Only the media helper's own players can be the synchronised one.
  return !m_ownsPlayer && m_media && m_media->SetDelayTime(ms);
}

// @name The play-list window's requests

void CMainPlayerWnd::Play(const char* path) {
  if (path) OpenAndPlay(path);
}

void CMainPlayerWnd::Open(const char* path) {
  if (path) OpenFile(path);
}

void CMainPlayerWnd::ForgetPath(const char* path) {
  if (!path || m_currentPath != path) return;
  // The playing entry went: the player stops with it.
  Stop();
  ReleasePlayer();
  m_currentPath.clear();
}

void CMainPlayerWnd::ShowPlayFace() {
  // The pair asks this window, as the player host, for its state.
  m_playPause.Show(SW_SHOW);
}

// @name The progress slider

void CMainPlayerWnd::OnSliderTrack(int, int) {
  if (m_progress) UpdatePlayTime(m_progress->GetPos() * 1000);
}

void CMainPlayerWnd::OnSliderSet(int pos) {
  if (!m_player) return;
  // A paused or stopped song only moves: the drag is no request to play.
  if (!IsPlaying()) {
    m_player->Seek(pos * 1000);
    return;
  }
  SeekTo(pos * 1000);
}

// A click on the track after the thumb puts the thumb at this value, so it
// answers the position: the song stays where it is.
int CMainPlayerWnd::GetSliderValue() { return m_progress ? m_progress->GetPos() : 0; }

int CMainPlayerWnd::GetSliderBackValue() { return m_progress ? m_progress->GetPos() : 0; }

// @name The track and staff setting dialog's choices

namespace {

// The current song's track records, or null: a lookup makes no entry.
const TrackSettingMap* StoredSettings(const std::string& path) {
  CSongValueMap* map = CSongValueMap::GetInstance();
  if (!map) return nullptr;
  auto it = map->Songs().find(path);
  return it == map->Songs().end() ? nullptr : &it->second.settings;
}

}  // namespace

void CMainPlayerWnd::ApplyTrackStaffKinds() {
  const TrackSettingMap* settings = StoredSettings(m_currentPath);
  ISongEngine* engine = GetSongEngine();
  CScoreFacet* score = engine ? engine->GetScoreFacet() : nullptr;
  if (!settings || !score) return;
  for (const auto& entry : *settings)
    if (entry.second.show) score->SetTrackStaffKind(entry.second.kind, entry.second.track);
}

void CMainPlayerWnd::ApplyTrackMutes() {
  const TrackSettingMap* settings = StoredSettings(m_currentPath);
  ISongEngine* engine = GetSongEngine();
  CTrackMixer* mixer = engine ? engine->GetTrackMixer() : nullptr;
  if (!settings || !mixer) return;
  // A muted track is switched off: enabled is the opposite of the flag.
  for (const auto& entry : *settings) mixer->SetTrackEnabled(entry.second.track, entry.second.mute == 0);
}
