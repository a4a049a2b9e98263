#include "playback/CAudioFilePlayer.h"

#include <new>

#include "playback/CFmodStream.h"

namespace {

IWMAudioPlayer* MakeFmodStream() { return CFmodStream::Create(); }
CAudioFilePlayer::StreamFactory g_streamFactory = MakeFmodStream;

}  // namespace

void CAudioFilePlayer::SetStreamFactory(StreamFactory factory) {
  g_streamFactory = factory ? factory : MakeFmodStream;
}

CAudioFilePlayer* CAudioFilePlayer::Create() {
  CAudioFilePlayer* player = new (std::nothrow) CAudioFilePlayer;
  if (player && !player->Init()) {
    player->Release();
    return nullptr;
  }
  return player;
}

bool CAudioFilePlayer::Init() {
  stream_ = g_streamFactory();
  if (!stream_) return false;
  if (stream_->Init() < 0) {
    stream_->Release();
    stream_ = nullptr;
    return false;
  }
  return true;
}

CAudioFilePlayer::~CAudioFilePlayer() {
  if (!stream_) return;
  stream_->RemoveListener(this);
  stream_->Release();
}

void CAudioFilePlayer::Release() { delete this; }

int CAudioFilePlayer::Open(const char* path) {
  stream_->RemoveListener(this);
  stream_->AddListener(this);
  return stream_->Open(path);
}

int CAudioFilePlayer::Close() {
  pendingSeek_ = paused_ = false;
  int result = stream_->Close();
  stream_->RemoveListener(this);
  return result;
}

int CAudioFilePlayer::Play() {
  if (pendingSeek_) {
    pendingSeek_ = paused_ = false;
    return stream_->Seek(pendingPosition_);
  }
  if (paused_) {
    paused_ = false;
    return stream_->Resume();
  }
  return stream_->Seek(0);
}

int CAudioFilePlayer::Stop() {
  pendingSeek_ = paused_ = false;
  pendingPosition_ = 0;
  return stream_->Stop();
}

int CAudioFilePlayer::Pause() {
  pendingSeek_ = false;
  paused_ = true;
  return stream_->Pause();
}

int CAudioFilePlayer::Seek(int ms) {
  pendingSeek_ = true;
  pendingPosition_ = ms;
  return 0;
}

int CAudioFilePlayer::IsSeekable() { return stream_->IsSeekable(); }
int CAudioFilePlayer::GetTitle(char** text) { return stream_->GetTitle(text); }
int CAudioFilePlayer::GetAuthor(char** text) { return stream_->GetAuthor(text); }
int CAudioFilePlayer::GetComposer(char** text) { return stream_->GetComposer(text); }
int CAudioFilePlayer::GetLyrics(char** text) { return stream_->GetLyrics(text); }
int CAudioFilePlayer::GetAlbumTitle(char** text) { return stream_->GetAlbumTitle(text); }
int CAudioFilePlayer::GetAlbumArtist(char** text) { return stream_->GetAlbumArtist(text); }
void CAudioFilePlayer::SetVolume(double volume) { stream_->SetVolume(volume); }
int CAudioFilePlayer::GetPosition() { return stream_->GetPosition(); }

void CAudioFilePlayer::OnPlayerEvent(int code) {
  IPlaybackNotify* listener = listener_;
  if (code == kMediaEventEnd && listener) listener->OnSongEnd();
}

void CAudioFilePlayer::OnPlayTime(int ms) {
  if (IPlaybackNotify* listener = listener_) listener->OnPosition(ms);
}

void CAudioFilePlayer::OnPlayTick(int) {}
