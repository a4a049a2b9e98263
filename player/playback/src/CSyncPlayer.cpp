#include "playback/CSyncPlayer.h"

#include <new>

CSyncPlayer* CSyncPlayer::Create() { return new (std::nothrow) CSyncPlayer; }

void CSyncPlayer::Release() {
  // Once RemoveListener returns no stream callback is in this object.
  if (IWMAudioPlayer* stream = Stream()) stream->RemoveListener(this);
  delete this;
}

bool CSyncPlayer::OpenSong(const char* path) {
  m_songOpen = m_song && m_song->Open(path) == 0;
  return m_songOpen;
}

void CSyncPlayer::SetDelayTime(int ms) {
  if (m_song) m_song->SetDelayTime(ms);
}

void CSyncPlayer::MuteSong() {
  if (m_song) m_song->MuteSong();
}

int CSyncPlayer::Open(const char* path) {
  if (!m_audio) return 1;
  if (m_song) m_song->SetEngineListener(this);
  // The audio starts at 0 and the song must stand there too: at player time
  // 0, which a positive delay (set after the song opened) holds back. Left
  // where it opened, at its own start, it would sound its first notes the
  // delay too early and only the first tick would hold it back.
  if (m_songOpen && m_song) m_song->Seek(0);
  // Registered before the audio player's own registration (made in its
  // Open), so this player hears every stream event first.
  IWMAudioPlayer* stream = Stream();
  stream->RemoveListener(this);
  stream->AddListener(this);
  int result = m_audio->Open(path);
  m_paused = false;
  return result;
}

int CSyncPlayer::Close() {
  // The stream's ticks stop first, so no SyncTime reaches a song being closed.
  if (IWMAudioPlayer* stream = Stream()) stream->RemoveListener(this);
  if (m_audio) m_audio->Close();
  if (m_song) {
    m_song->Close();
    m_song->SetEngineListener(nullptr);
  }
  m_songOpen = false;
  m_paused = false;
  m_stopped = true;
  return 0;
}

int CSyncPlayer::Play() {
  if (!m_audio) return 1;
  int result = m_audio->Play();
  m_stopped = false;
  if (m_paused) {
    m_paused = false;
    if (m_song) m_song->Play();
  }
  return result;
}

int CSyncPlayer::Stop() {
  if (!m_stopped && m_audio) m_audio->Stop();
  m_stopped = true;
  if (m_song) m_song->Stop();
  m_paused = false;
  return 0;
}

int CSyncPlayer::Pause() {
  if (m_audio) m_audio->Pause();
  if (m_song) m_song->Pause();
  m_paused = true;
  m_stopped = false;
  return 0;
}

int CSyncPlayer::Seek(int ms) {
  m_paused = false;
  if (m_audio) m_audio->Seek(ms);
  if (m_song) m_song->Seek(ms);
  return 0;
}

int CSyncPlayer::IsSeekable() { return m_audio ? m_audio->IsSeekable() : 0; }
int CSyncPlayer::GetTitle(char** text) { return m_audio ? m_audio->GetTitle(text) : 0; }
int CSyncPlayer::GetAuthor(char** text) { return m_audio ? m_audio->GetAuthor(text) : 0; }
int CSyncPlayer::GetComposer(char** text) { return m_audio ? m_audio->GetComposer(text) : 0; }
int CSyncPlayer::GetLyrics(char** text) { return m_audio ? m_audio->GetLyrics(text) : 0; }
int CSyncPlayer::GetAlbumTitle(char** text) { return m_audio ? m_audio->GetAlbumTitle(text) : 0; }
int CSyncPlayer::GetAlbumArtist(char** text) { return m_audio ? m_audio->GetAlbumArtist(text) : 0; }

void CSyncPlayer::SetVolume(double volume) {
  if (m_audio) m_audio->SetVolume(volume);
}

int CSyncPlayer::GetPosition() { return m_audio ? m_audio->GetPosition() : 0; }

void CSyncPlayer::OnPlayerEvent(int code) {
  if (code == kMediaEventPlaying) {
    if (m_songOpen && m_song) m_song->Play();
  } else if (code == kMediaEventStopped) {
    m_stopped = true;
  } else if (code == kMediaEventEnd) {
    m_stopped = true;
    if (IPlaybackNotify* listener = m_listener) listener->OnSongEnd();
  }
}

void CSyncPlayer::OnPlayTime(int ms) {
  if (IPlaybackNotify* listener = m_listener) listener->OnPosition(ms);
}

void CSyncPlayer::OnPlayTick(int ms) {
  if (m_engine) m_engine->SyncTime(ms);
}

void CSyncPlayer::OnBeat(int beat, int beatsPerBar, int extra) {
  if (IPlaybackNotify* listener = m_listener) listener->OnBeat(beat, beatsPerBar, extra);
}
