#include "app/CEngineSongPlayer.h"

#include "tunewell/ISongEngine.h"

int CEngineSongPlayer::Open(const char* path) {
  if (!m_engine || !path) return 1;
  m_open = m_engine->Open(path) == 0;
  if (m_open) {
    // The score shows the melody: track 1, where songs carry their lyrics.
    const int melody[] = {1};
    m_engine->SetTracks(melody, 1);
  }
  m_position = 0;
  m_seek = -1;
  return m_open ? 0 : 1;
}

int CEngineSongPlayer::Close() {
  if (!m_engine || !m_open) return 0;
  m_engine->Stop(0);
  m_open = false;
  return 0;
}

int CEngineSongPlayer::Play() {
  if (!m_engine || !m_open) return 1;
  if (m_seek >= 0) {
    m_engine->Seek(m_seek);
    m_seek = -1;
  }
  return m_engine->Play(0);
}

int CEngineSongPlayer::Stop() {
  if (!m_engine || !m_open) return 0;
  m_engine->Stop(0);
  // The sequencer only pauses; a stop starts again from the top.
  m_seek = 0;
  m_position = 0;
  return 0;
}

int CEngineSongPlayer::Pause() {
  if (!m_engine || !m_open) return 0;
  return m_engine->Stop(0);
}

int CEngineSongPlayer::Seek(int ms) {
  if (!m_engine || !m_open) return 1;
  m_seek = ms < 0 ? 0 : ms;
  m_position = m_seek;
  return 0;
}
