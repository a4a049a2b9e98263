#include "playback/CPlayerProxy.h"

#include <new>

CPlayerProxy* CPlayerProxy::Create() { return new (std::nothrow) CPlayerProxy; }

CPlayerProxy::~CPlayerProxy() {
  if (engine_) engine_->SetListener(nullptr);
}

void CPlayerProxy::Release() { delete this; }

void CPlayerProxy::SetEngineListener(ISongEngineListener* listener) {
  if (engine_) engine_->SetListener(listener);
}

void CPlayerProxy::SetDelayTime(int ms) {
  if (engine_) engine_->SetDelayTime(ms);
}

void CPlayerProxy::MuteSong() {
  if (!engine_) return;
  if (CTrackMixer* mixer = engine_->GetTrackMixer()) mixer->SetTrackEnabled(1, true);
}

int CPlayerProxy::GetDurationMs(const char* path) {
  if (!engine_) return 0;
  CSongInfo* info = engine_->GetSongInfo();
  if (!info) return 0;
  info->Open(path);
  return info->GetSongLength();
}

int CPlayerProxy::Open(const char* path) {
  if (!engine_ || engine_->Open(path) == 1) return 1;
  engine_->SetListener(this);
  const int tracks[] = {1};
  engine_->SetTracks(tracks, 1);
  return 0;
}

int CPlayerProxy::Close() {
  if (!engine_) return 0;
  engine_->SetListener(nullptr);
  engine_->Close();
  return 0;
}

int CPlayerProxy::Play() {
  if (engine_) engine_->Play(0);
  return 0;
}

int CPlayerProxy::Stop() {
  if (!engine_) return 0;
  engine_->Stop(0);
  engine_->Seek(0);
  return 0;
}

int CPlayerProxy::Pause() {
  if (engine_) engine_->Stop(0);
  return 0;
}

int CPlayerProxy::Seek(int ms) {
  if (engine_) engine_->Seek(ms);
  return 0;
}

void CPlayerProxy::OnPosition(int seconds) {
  position_ = seconds * 1000;
  if (listener_) listener_->OnPosition(position_);
}

void CPlayerProxy::OnBeat(int beat, int beatsPerBar, int extra) {
  if (listener_) listener_->OnBeat(beat, beatsPerBar, extra);
}

void CPlayerProxy::OnSongEnd(int value) {
  if (value == 0 && listener_) listener_->OnSongEnd();
}
