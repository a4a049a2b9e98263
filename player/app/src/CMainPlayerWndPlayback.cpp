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
#include "app/CPlaybackSession.h"
#include "playback/CAudioLengthWorker.h"
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

// The song's texts as the lyric view shows them, each with its label; the
// singer alone goes to *singer for the pop-up menu's pages.
SongInfoText LabelledSongInfo(const SongTexts& texts, std::string* singer) {
  SongInfoText info;
  info.title = texts.title;
  if (!texts.composer.empty()) info.composer = LoadPlayerString(kStrComposer) + texts.composer;
  if (!texts.lyricist.empty()) info.lyricist = LoadPlayerString(kStrLyricist) + texts.lyricist;
  *singer = texts.singer;
  if (!texts.singer.empty()) info.singer = LoadPlayerString(kStrSinger) + texts.singer;
  return info;
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

void CMainPlayerWnd::SetPlayerFactory(PlayerFactory factory) {
  CPlaybackSession::SetPlayerFactory(std::move(factory));
}

void CMainPlayerWnd::SetOpenDialog(OpenDialog dialog) {
  Dialog() = dialog ? std::move(dialog) : OpenDialog(SystemOpenDialog);
}

void CMainPlayerWnd::SetMessageShower(MessageShower shower) {
  Shower() = shower ? std::move(shower) : MessageShower(::MessageBoxA);
}

// @name Playing: the session decides, the window shows

bool CMainPlayerWnd::OpenFile(const std::string& path) { return m_session->Open(path); }

bool CMainPlayerWnd::OpenAndPlay(const std::string& path) { return m_session->Play(path); }

void CMainPlayerWnd::Stop() { m_session->Stop(); }

void CMainPlayerWnd::Pause() { m_session->Pause(); }

void CMainPlayerWnd::SeekTo(int ms) { m_session->SeekTo(ms); }

bool CMainPlayerWnd::PlayNext() { return m_session->PlayNext(); }

bool CMainPlayerWnd::PlayPrevious() { return m_session->PlayPrevious(); }

void CMainPlayerWnd::OnEndOfSong() { m_session->OnSongEnd(); }

bool CMainPlayerWnd::IsLoopMode() {
  IPlayListModel* list = GetPlayListModel();
  return list ? list->GetPlayMode() == IPlayListModel::kLoop : CSettings::GetPlayMode() != 0;
}

void CMainPlayerWnd::OnFileClosed() {
  m_singer.clear();
  ShowPlayFace();
}

void CMainPlayerWnd::OnFileOpened(int lengthMs) {
  const std::string& path = m_session->GetCurrentPath();
  ApplyScoreSettings();
  if (m_scoreWnd) m_scoreWnd->ResetMeasureSlider();
  if (m_progress) {
    m_progress->SetRange(lengthMs / 1000, 0);
    m_progress->SetPos(0);
  }
  UpdatePlayTime(0);
  // The window keeps its title: a second start finds the player by it.
  std::string singer;
  SongInfoText info = LabelledSongInfo(m_session->ReadSongTexts(), &singer);
  std::string stem = ::PathFindFileNameA(path.c_str());
  stem.erase(std::min(stem.size(), static_cast<size_t>(::PathFindExtensionA(stem.c_str()) - stem.c_str())));
  if (info.title.empty()) info.title = stem;
  ShowSongTitle(info.title, singer);
  // The tray names the file, whatever title the song carries.
  m_tray.SetTip((LoadPlayerString(kStrTitle) + " - " + stem).c_str());
  if (m_lyricWnd && m_lyricWnd->GetLyricView()) m_lyricWnd->GetLyricView()->SetSongInfo(info);
}

void CMainPlayerWnd::OnStarted() {
  if (m_spectrum) m_spectrum->StartTimer(10);
  // While a song plays the score follows it; the user's scrolling waits.
  if (m_scoreWnd) m_scoreWnd->EnableScrollers(false, CScoreWnd::kBothScrollers);
  ShowPlayFace();
}

void CMainPlayerWnd::OnPaused() {
  if (m_spectrum) m_spectrum->StopTimer();
  ShowPlayFace();
}

void CMainPlayerWnd::OnStopped() {
  if (m_progress) m_progress->SetPos(0);
  UpdatePlayTime(0);
  if (m_scoreWnd) {
    m_scoreWnd->EnableScrollers(true, CScoreWnd::kBothScrollers);
    m_scoreWnd->ResetMeasureSlider();
  }
  ShowPlayFace();
  m_beats.Reset();
  if (m_spectrum) m_spectrum->StopTimer();
}

void CMainPlayerWnd::OnPlayPosition(int ms) {
  if (m_progress) m_progress->SetPos(ms / 1000);
  UpdatePlayTime(ms);
}

void CMainPlayerWnd::UpdatePlayTime(int ms) {
  if (m_playTime) m_playTime->SetSeconds(ms < 0 ? 0u : static_cast<unsigned>(ms / 1000));
}

int CMainPlayerWnd::FindSong(const std::string& path) { return m_session->FindSong(path); }

std::vector<std::string> CMainPlayerWnd::GetSongs() {
  std::vector<std::string> songs;
  if (IPlayListModel* list = GetPlayListModel()) {
    for (int row = 0; row < list->GetCount(); ++row) songs.push_back(list->GetEntryPath(row));
  }
  return songs;
}

bool CMainPlayerWnd::AddToPlayList(const std::string& path) { return AddToPlayList(path, 0); }

bool CMainPlayerWnd::AddToPlayList(const char* path, int seconds) {
  // The song maker plays what it added at once: its length is had first.
  return path && AddToPlayList(std::string(path), seconds, true);
}

int CMainPlayerWnd::ShowOpenDialog() {
  std::vector<char> buffer(kOpenSongsBufferSize, '\0');
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = m_hWnd;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = kOpenSongsBufferSize;
  // The dialog keeps the record, and tests read it after the call.
  static const std::string filter = MediaOpenFilter();
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

bool CMainPlayerWnd::AddToPlayList(const std::string& path, int seconds, bool now) {
  IPlayListModel* list = GetPlayListModel();
  if (!list || path.empty() || FindSong(path) >= 0) return false;
  if (MediaKindOf(path) == MediaKind::kNone || !::PathFileExistsA(path.c_str())) return false;
  // An audio file's reader may not answer for seconds: the window does not wait.
  if (seconds <= 0 && !now && m_session->MeasureLater(path)) {
    m_playListWnd->AddSong(path.c_str(), -1);
    return true;
  }
  seconds = m_session->MeasureSeconds(path, seconds);
  if (seconds <= 0) return false;
  m_playListWnd->AddSong(path.c_str(), seconds);
  return true;
}

void CMainPlayerWnd::OnAudioLength(LPARAM lParam) {
  std::unique_ptr<AudioLengthResult> result = TakeAudioLength(lParam);
  if (!result || !m_session->TakeMeasuredLength(*result) || !m_playListWnd) return;
  // Paths are unique in the list; the row is looked up now, whatever moved
  // or went since the request.
  const int row = FindSong(result->path);
  IPlayListModel* list = GetPlayListModel();
  PlayListItemData* entry = list && row >= 0 ? list->GetEntry(row) : nullptr;
  const bool named = m_namedAwaitingLength.erase(result->path) > 0;
  if (!entry || entry->length >= 0) return;
  if (result->seconds > 0) {
    m_playListWnd->SetSongLength(row, result->seconds);
    return;
  }
  // A file without a length is no file the player can play: it leaves the
  // list, as it would have stayed out of it had the window waited, and a
  // file the user named is reported.
  m_playListWnd->RemoveSong(row);
  if (named)
    Shower()(m_hWnd, RejectionText(result->path, FileRejection::kUnmeasurable).c_str(),
             LoadPlayerString(kStrTitle).c_str(), MB_OK | MB_ICONWARNING);
}

bool CMainPlayerWnd::AddNamedFile(const std::string& path) {
  FileRejection why = CheckMediaFile(path);
  if (why == FileRejection::kNone && !AddToPlayList(path, 0)) {
    // Known kind, a file with bytes, and yet no length: not a song.
    why = FindSong(path) >= 0 || !GetPlayListModel() ? FileRejection::kNone : FileRejection::kUnmeasurable;
    if (why == FileRejection::kNone) return false;
  }
  if (why == FileRejection::kNone) {
    // Measured later: a file found to have no length is reported then.
    const int row = FindSong(path);
    IPlayListModel* list = GetPlayListModel();
    PlayListItemData* entry = list && row >= 0 ? list->GetEntry(row) : nullptr;
    if (entry && entry->length < 0) m_namedAwaitingLength.insert(path);
    return true;
  }
  Shower()(m_hWnd, RejectionText(path, why).c_str(), LoadPlayerString(kStrTitle).c_str(),
           MB_OK | MB_ICONWARNING);
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
  state->path = m_session->GetCurrentPath();
  state->seconds = m_playTime ? static_cast<int>(m_playTime->GetSeconds()) : 0;
  state->wasPlaying = IsPlaying();
  Stop();
  // The pack program may write the very file the player holds open.
  m_session->Close();
  return true;
}

bool CMainPlayerWnd::ResumePlayback(const PlaybackState& state) {
  // The window reads stopped until the file is open again, so a file that
  // went away meanwhile leaves nothing that claims to play.
  if (!OpenFile(state.path) || !m_session->GetPlayer()) return false;
  const int seconds = state.seconds < 0 ? 0 : state.seconds;
  m_session->SeekQuietly(seconds * 1000);
  if (m_progress) m_progress->SetPos(seconds);
  UpdatePlayTime(seconds * 1000);
  // A song that was not playing waits at its place; Play starts it there.
  return !state.wasPlaying || OpenAndPlay(state.path);
}

bool CMainPlayerWnd::SetDelayTime(int ms) { return m_session->SetDelayTime(ms); }

// @name The play-list window's requests

void CMainPlayerWnd::Play(const char* path) {
  if (path) OpenAndPlay(path);
}

void CMainPlayerWnd::Open(const char* path) {
  if (path) OpenFile(path);
}

void CMainPlayerWnd::ForgetPath(const char* path) {
  if (path) m_session->Forget(path);
}

void CMainPlayerWnd::ShowPlayFace() {
  // The pair asks this window, as the player host, for its state.
  m_playPause.Show(SW_SHOW);
}

// @name The progress slider

void CMainPlayerWnd::OnSliderTrack(int, int) {
  if (m_progress) UpdatePlayTime(m_progress->GetPos() * 1000);
}

void CMainPlayerWnd::OnSliderSet(int pos) { m_session->MoveTo(pos * 1000); }

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
  const TrackSettingMap* settings = StoredSettings(m_session->GetCurrentPath());
  ISongEngine* engine = GetSongEngine();
  CScoreFacet* score = engine ? engine->GetScoreFacet() : nullptr;
  if (!settings || !score) return;
  for (const auto& entry : *settings)
    if (entry.second.show) score->SetTrackStaffKind(entry.second.kind, entry.second.track);
}

void CMainPlayerWnd::ApplyTrackMutes() {
  const TrackSettingMap* settings = StoredSettings(m_session->GetCurrentPath());
  ISongEngine* engine = GetSongEngine();
  CTrackMixer* mixer = engine ? engine->GetTrackMixer() : nullptr;
  if (!settings || !mixer) return;
  // A muted track is switched off: enabled is the opposite of the flag.
  for (const auto& entry : *settings) mixer->SetTrackEnabled(entry.second.track, entry.second.mute == 0);
}
