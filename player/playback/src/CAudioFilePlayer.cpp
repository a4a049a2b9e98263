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
  m_stream = g_streamFactory();
  if (!m_stream) return false;
  if (m_stream->Init() < 0) {
    m_stream->Release();
    m_stream = nullptr;
    return false;
  }
  return true;
}

CAudioFilePlayer::~CAudioFilePlayer() {
  if (!m_stream) return;
  m_stream->RemoveListener(this);
  m_stream->Release();
}

void CAudioFilePlayer::Release() { delete this; }

int CAudioFilePlayer::Open(const char* path) {
  m_stream->RemoveListener(this);
  m_stream->AddListener(this);
  return m_stream->Open(path);
}

int CAudioFilePlayer::Close() {
  m_pendingSeek = m_paused = false;
  int result = m_stream->Close();
  m_stream->RemoveListener(this);
  return result;
}

int CAudioFilePlayer::Play() {
  if (m_pendingSeek) {
    m_pendingSeek = m_paused = false;
    return m_stream->Seek(m_pendingPosition);
  }
  if (m_paused) {
    m_paused = false;
    return m_stream->Resume();
  }
  return m_stream->Seek(0);
}

int CAudioFilePlayer::Stop() {
  m_pendingSeek = m_paused = false;
  m_pendingPosition = 0;
  return m_stream->Stop();
}

int CAudioFilePlayer::Pause() {
  m_pendingSeek = false;
  m_paused = true;
  return m_stream->Pause();
}

int CAudioFilePlayer::Seek(int ms) {
  m_pendingSeek = true;
  m_pendingPosition = ms;
  return 0;
}

int CAudioFilePlayer::IsSeekable() { return m_stream->IsSeekable(); }
int CAudioFilePlayer::GetTitle(char** text) { return m_stream->GetTitle(text); }
int CAudioFilePlayer::GetAuthor(char** text) { return m_stream->GetAuthor(text); }
int CAudioFilePlayer::GetComposer(char** text) { return m_stream->GetComposer(text); }
int CAudioFilePlayer::GetLyrics(char** text) { return m_stream->GetLyrics(text); }
int CAudioFilePlayer::GetAlbumTitle(char** text) { return m_stream->GetAlbumTitle(text); }
int CAudioFilePlayer::GetAlbumArtist(char** text) { return m_stream->GetAlbumArtist(text); }
void CAudioFilePlayer::SetVolume(double volume) { m_stream->SetVolume(volume); }
int CAudioFilePlayer::GetPosition() { return m_stream->GetPosition(); }

void CAudioFilePlayer::OnPlayerEvent(int code) {
  IPlaybackNotify* listener = m_listener;
  if (code == kMediaEventEnd && listener) listener->OnSongEnd();
}

void CAudioFilePlayer::OnPlayTime(int ms) {
  if (IPlaybackNotify* listener = m_listener) listener->OnPosition(ms);
}

void CAudioFilePlayer::OnPlayTick(int) {}
