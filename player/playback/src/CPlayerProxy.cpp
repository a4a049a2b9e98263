#include "playback/CPlayerProxy.h"

#include <new>

CPlayerProxy* CPlayerProxy::Create() { return new (std::nothrow) CPlayerProxy; }

CPlayerProxy::~CPlayerProxy() {
  if (m_engine) m_engine->SetListener(nullptr);
}

void CPlayerProxy::Release() { delete this; }

void CPlayerProxy::SetEngineListener(ISongEngineListener* listener) {
  if (m_engine) m_engine->SetListener(listener);
}

void CPlayerProxy::SetDelayTime(int ms) {
  if (m_engine) m_engine->SetDelayTime(ms);
}

void CPlayerProxy::MuteSong() {
  if (!m_engine) return;
  if (CTrackMixer* mixer = m_engine->GetTrackMixer()) mixer->SetTrackEnabled(1, true);
}

int CPlayerProxy::GetDurationMs(const char* path) {
  if (!m_engine) return 0;
  CSongInfo* info = m_engine->GetSongInfo();
  if (!info) return 0;
  info->Open(path);
  return info->GetSongLength();
}

int CPlayerProxy::Open(const char* path) {
  if (!m_engine || m_engine->Open(path) == 1) return 1;
  m_engine->SetListener(this);
  const int tracks[] = {1};
  m_engine->SetTracks(tracks, 1);
  return 0;
}

int CPlayerProxy::Close() {
  if (!m_engine) return 0;
  m_engine->SetListener(nullptr);
  m_engine->Close();
  return 0;
}

int CPlayerProxy::Play() {
  if (m_engine) m_engine->Play(0);
  return 0;
}

int CPlayerProxy::Stop() {
  if (!m_engine) return 0;
  m_engine->Stop(0);
  m_engine->Seek(0);
  return 0;
}

int CPlayerProxy::Pause() {
  if (m_engine) m_engine->Stop(0);
  return 0;
}

int CPlayerProxy::Seek(int ms) {
  if (m_engine) m_engine->Seek(ms);
  return 0;
}

void CPlayerProxy::OnPosition(int seconds) {
  m_position = seconds * 1000;
  if (m_listener) m_listener->OnPosition(m_position);
}

void CPlayerProxy::OnBeat(int beat, int beatsPerBar, int extra) {
  if (m_listener) m_listener->OnBeat(beat, beatsPerBar, extra);
}

void CPlayerProxy::OnSongEnd(int value) {
  if (value == 0 && m_listener) m_listener->OnSongEnd();
}
