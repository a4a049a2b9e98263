#include "playback/CPlayTime.h"

void CPlayTime::Reset() {
  m_seconds = m_minutes = m_hours = 0;
  m_total = 0;
}

void CPlayTime::Split(unsigned total, int* hours, int* minutes, int* seconds) {
  *seconds = int(total % 60);
  *minutes = int(total / 60 % 60);
  *hours = int(total / 60 / 60);
}

void CPlayTime::SetSeconds(unsigned total) {
  if (total == m_total) return;
  m_total = total;
  Split(total, &m_hours, &m_minutes, &m_seconds);
  NotifyListeners();
}

void CPlayTime::Tick() {
  ++m_total;
  if (++m_seconds == 60) {
    m_seconds = 0;
    if (++m_minutes == 60) {
      m_minutes = 0;
      ++m_hours;
    }
  }
  NotifyListeners();
}

void CPlayTime::NotifyListeners() {
  for (IPlayTimeListener* listener : m_listeners) listener->OnTimeChanged(m_hours, m_minutes, m_seconds);
}
