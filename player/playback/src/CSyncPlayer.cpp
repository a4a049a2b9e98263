#include "playback/CSyncPlayer.h"

#include <new>

CSyncPlayer* CSyncPlayer::Create() { return new (std::nothrow) CSyncPlayer; }

void CSyncPlayer::Release() {
  // Once RemoveListener returns no stream callback is in this object.
  if (IWMAudioPlayer* stream = Stream()) stream->RemoveListener(this);
  delete this;
}

bool CSyncPlayer::OpenSong(const char* path) {
  songOpen_ = song_ && song_->Open(path) == 0;
  return songOpen_;
}

void CSyncPlayer::SetDelayTime(int ms) {
  if (song_) song_->SetDelayTime(ms);
}

void CSyncPlayer::MuteSong() {
  if (song_) song_->MuteSong();
}

int CSyncPlayer::Open(const char* path) {
  if (!audio_) return 1;
  if (song_) song_->SetEngineListener(this);
  // The audio starts at 0 and the song must stand there too: at player time
  // 0, which a positive delay (set after the song opened) holds back. Left
  // where it opened, at its own start, it would sound its first notes the
  // delay too early and only the first tick would hold it back.
  if (songOpen_ && song_) song_->Seek(0);
  // Registered before the audio player's own registration (made in its
  // Open), so this player hears every stream event first.
  IWMAudioPlayer* stream = Stream();
  stream->RemoveListener(this);
  stream->AddListener(this);
  int result = audio_->Open(path);
  paused_ = false;
  return result;
}

int CSyncPlayer::Close() {
  // The stream's ticks stop first, so no SyncTime reaches a song being closed.
  if (IWMAudioPlayer* stream = Stream()) stream->RemoveListener(this);
  if (audio_) audio_->Close();
  if (song_) {
    song_->Close();
    song_->SetEngineListener(nullptr);
  }
  songOpen_ = false;
  paused_ = false;
  stopped_ = true;
  return 0;
}

int CSyncPlayer::Play() {
  if (!audio_) return 1;
  int result = audio_->Play();
  stopped_ = false;
  if (paused_) {
    paused_ = false;
    if (song_) song_->Play();
  }
  return result;
}

int CSyncPlayer::Stop() {
  if (!stopped_ && audio_) audio_->Stop();
  stopped_ = true;
  if (song_) song_->Stop();
  paused_ = false;
  return 0;
}

int CSyncPlayer::Pause() {
  if (audio_) audio_->Pause();
  if (song_) song_->Pause();
  paused_ = true;
  stopped_ = false;
  return 0;
}

int CSyncPlayer::Seek(int ms) {
  paused_ = false;
  if (audio_) audio_->Seek(ms);
  if (song_) song_->Seek(ms);
  return 0;
}

int CSyncPlayer::IsSeekable() { return audio_ ? audio_->IsSeekable() : 0; }
int CSyncPlayer::GetTitle(char** text) { return audio_ ? audio_->GetTitle(text) : 0; }
int CSyncPlayer::GetAuthor(char** text) { return audio_ ? audio_->GetAuthor(text) : 0; }
int CSyncPlayer::GetComposer(char** text) { return audio_ ? audio_->GetComposer(text) : 0; }
int CSyncPlayer::GetLyrics(char** text) { return audio_ ? audio_->GetLyrics(text) : 0; }
int CSyncPlayer::GetAlbumTitle(char** text) { return audio_ ? audio_->GetAlbumTitle(text) : 0; }
int CSyncPlayer::GetAlbumArtist(char** text) { return audio_ ? audio_->GetAlbumArtist(text) : 0; }

void CSyncPlayer::SetVolume(double volume) {
  if (audio_) audio_->SetVolume(volume);
}

int CSyncPlayer::GetPosition() { return audio_ ? audio_->GetPosition() : 0; }

void CSyncPlayer::OnPlayerEvent(int code) {
  if (code == kMediaEventPlaying) {
    if (songOpen_ && song_) song_->Play();
  } else if (code == kMediaEventStopped) {
    stopped_ = true;
  } else if (code == kMediaEventEnd) {
    stopped_ = true;
    if (IPlaybackNotify* listener = listener_) listener->OnSongEnd();
  }
}

void CSyncPlayer::OnPlayTime(int ms) {
  if (IPlaybackNotify* listener = listener_) listener->OnPosition(ms);
}

void CSyncPlayer::OnPlayTick(int ms) {
  if (engine_) engine_->SyncTime(ms);
}

void CSyncPlayer::OnBeat(int beat, int beatsPerBar, int extra) {
  if (IPlaybackNotify* listener = listener_) listener->OnBeat(beat, beatsPerBar, extra);
}
