#include "output/CDSoundStream.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "output/CDSoundThread.h"

CDSoundStream::CDSoundStream(CDSoundThread* thread, const DSoundStreamParams& params, int ringBytes)
    : m_thread(thread), m_lock(thread->Lock()), m_params(params) {
  if (m_params.rate <= 0 || m_params.channels <= 0 || m_params.bits < 8 || m_params.bufferMs <= 0) return;
  // The byte figures depend on the format only; fixing them here rather than
  // with the device buffer lets a writer see free space before the first pass.
  int deviceMs = m_params.bufferMs <= 2000 ? m_params.bufferMs * 2 : m_params.bufferMs + 2000;
  m_bufferBytes = Bytes(deviceMs);
  m_startThreshold = Bytes(std::min(m_params.bufferMs / 2, 10000));
  m_underrunPad = Bytes(50);
  m_maxQueued = Bytes(m_params.bufferMs);
  m_silenceChunk = std::min(m_bufferBytes / 4, (m_bufferBytes - m_maxQueued) / 2);
  m_ring.Init(static_cast<size_t>(ringBytes > 0 ? ringBytes : Bytes(250)));
}

CDSoundStream::~CDSoundStream() {
  if (m_buffer != nullptr) {
    m_buffer->Stop();
    m_buffer->Release();
  }
}

int CDSoundStream::Bytes(int ms) const {
  return MulDiv(ms, m_params.rate, 1000) * (m_params.bits / 8) * m_params.channels;
}

double CDSoundStream::Seconds(int bytes) const {
  return bytes / (static_cast<double>(m_params.rate) * (m_params.bits / 8) * m_params.channels);
}

LONG CDSoundStream::VolumeToLevel(double volume) {
  double db = volume > 0.0 ? 20.0 * std::log10(volume) : -100.0;
  // DirectSound refuses a level above 0 dB; below -100 dB is silence anyway.
  db = std::clamp(db, -100.0, 0.0);
  return static_cast<LONG>(db * 100.0);
}

bool CDSoundStream::Write(const void* data, int length) {
  CScopedLock lock(m_lock);
  if (length < 0) return false;
  return m_ring.Write(data, static_cast<size_t>(length));
}

bool CDSoundStream::IsActive() {
  CScopedLock lock(m_lock);
  return m_buffer != nullptr && !m_notStarted;
}

double CDSoundStream::GetBufferedSeconds() {
  CScopedLock lock(m_lock);
  return Seconds(GetBufferedBytes());
}

int CDSoundStream::GetBufferedBytes() {
  CScopedLock lock(m_lock);
  int bytes = (m_buffer != nullptr ? m_queued : 0) + static_cast<int>(m_ring.Fill());
  return std::max(bytes, 0);
}

int CDSoundStream::GetFreeSpace() {
  CScopedLock lock(m_lock);
  if (m_failed) return 0;
  int space = std::max(m_maxQueued - GetBufferedBytes(), 0);
  return std::min(space, static_cast<int>(m_ring.FreeSpace()));
}

double CDSoundStream::GetPlayedSeconds() { return m_position; }

bool CDSoundStream::Drain() {
  CScopedLock lock(m_lock);
  m_startRequested = true;
  return !m_failed;
}

bool CDSoundStream::SetPaused(bool pause) {
  CScopedLock lock(m_lock);
  if (m_failed) return false;
  m_pauseRequested = pause;
  return true;
}

bool CDSoundStream::SetVolume(double volume) {
  CScopedLock lock(m_lock);
  if (m_failed) return false;
  m_volume = volume;
  return true;
}

void CDSoundStream::StartFade(double from, double to, double seconds) {
  m_fadeFrom = from;
  m_fadeTo = to;
  m_fadeStart = m_position;
  m_fadeEnd = m_position + seconds;
  m_fading = true;
  m_releaseAfter = false;
  m_pauseAfter = false;
}

bool CDSoundStream::Fade(double from, double to, double seconds) {
  CScopedLock lock(m_lock);
  if (m_failed) return false;
  StartFade(from, to, seconds);
  return true;
}

double CDSoundStream::FadeProgress() const {
  if (m_position <= m_fadeStart) return 0.0;
  if (m_position >= m_fadeEnd) return 1.0;
  return (m_position - m_fadeStart) / (m_fadeEnd - m_fadeStart);
}

bool CDSoundStream::FadePause(double seconds, bool pause) {
  CScopedLock lock(m_lock);
  if (m_failed) return false;
  bool fadingToPause = m_fading && m_pauseAfter;
  if (pause) {
    // Pausing what is already paused would take the silent level as the one to
    // come back to.
    if (fadingToPause || m_pauseRequested || m_paused) return true;
    seconds = std::min(seconds, GetBufferedSeconds());
    StartFade(m_volume, 0.0, seconds);
    m_pauseAfter = true;
    return true;
  }
  if (!m_paused && !m_pauseRequested && !fadingToPause) return true;
  m_pauseRequested = false;
  double level = m_fadeFrom;
  if (fadingToPause) seconds *= FadeProgress();
  StartFade(fadingToPause ? m_volume : 0.0, level, seconds);
  return true;
}

void CDSoundStream::Release() {
  CScopedLock lock(m_lock);
  m_releaseRequested = true;
}

void CDSoundStream::FadeOutAndRelease(double seconds) {
  CScopedLock lock(m_lock);
  if (!m_failed && seconds != 0.0 && !m_pauseRequested) {
    m_startRequested = true;
    StartFade(m_volume, 0.0, std::min(seconds, 0.5));
    m_releaseAfter = true;
  } else {
    m_releaseRequested = true;
  }
}

void CDSoundStream::Fail() {
  CScopedLock lock(m_lock);
  m_failed = true;
}

void CDSoundStream::FillSilence(DWORD offset, DWORD length) {
  void* part1 = nullptr;
  void* part2 = nullptr;
  DWORD length1 = 0, length2 = 0;
  if (FAILED(m_buffer->Lock(offset, length, &part1, &length1, &part2, &length2, 0))) return;
  int silence = m_params.bits == 8 ? 0x80 : 0;
  if (part1 != nullptr) std::memset(part1, silence, length1);
  if (part2 != nullptr) std::memset(part2, silence, length2);
  m_buffer->Unlock(part1, length1, part2, length2);
}

bool CDSoundStream::CreateBuffer(IDirectSound* sound) {
  WAVEFORMATEX format = {};
  format.wFormatTag = m_params.isFloat ? 3 : WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(m_params.channels);
  format.nSamplesPerSec = static_cast<DWORD>(m_params.rate);
  format.nAvgBytesPerSec = static_cast<DWORD>(Bytes(1000));
  format.nBlockAlign = static_cast<WORD>((m_params.bits / 8) * m_params.channels);
  format.wBitsPerSample = static_cast<WORD>(m_params.bits);
  DSBUFFERDESC desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS | DSBCAPS_STICKYFOCUS | DSBCAPS_CTRLVOLUME;
  if (!m_params.allowHardwareMixing) desc.dwFlags |= DSBCAPS_LOCSOFTWARE;
  desc.dwBufferBytes = static_cast<DWORD>(m_bufferBytes);
  desc.lpwfxFormat = &format;
  if (sound == nullptr || m_bufferBytes <= 0 || FAILED(sound->CreateSoundBuffer(&desc, &m_buffer, nullptr)) ||
      m_buffer == nullptr) {
    m_buffer = nullptr;
    m_failed = true;
    return false;
  }
  FillSilence(0, static_cast<DWORD>(m_bufferBytes));
  m_clearedAhead = m_bufferBytes;
  m_writeCursor = 0;
  m_notStarted = true;
  return true;
}

void CDSoundStream::Start() {
  if (m_buffer != nullptr && m_notStarted && m_writeCursor > 0 && !m_paused) {
    m_notStarted = false;
    m_buffer->Play(0, 0, DSBPLAY_LOOPING);
  }
}

void CDSoundStream::ApplyVolume() {
  if (m_buffer == nullptr) return;
  m_buffer->SetVolume(VolumeToLevel(m_volume));
  m_appliedVolume = m_volume;
}

void CDSoundStream::Flush() {
  if (m_buffer != nullptr) {
    m_buffer->Stop();
    m_buffer->SetCurrentPosition(0);
    FillSilence(0, static_cast<DWORD>(m_bufferBytes));
    m_clearedAhead = m_bufferBytes;
    m_notStarted = true;
  }
  m_writeCursor = 0;
  m_queued = 0;
  m_fading = false;
  m_startRequested = false;
  m_ring.Reset();
}

void CDSoundStream::Account() {
  if (m_buffer == nullptr) {
    m_queued = 0;
    return;
  }
  if (m_notStarted) {
    m_queued = m_writeCursor;
    return;
  }
  if (m_queued <= 0) return;
  int previous = m_queued;
  DWORD play = 0, write = 0;
  if (FAILED(m_buffer->GetCurrentPosition(&play, &write))) play = 0;
  int cursor = static_cast<int>(play);
  int start = m_writeCursor - previous;
  bool outside = start < 0 ? cursor > m_writeCursor && cursor < start + m_bufferBytes
                           : cursor > m_writeCursor || cursor < start;
  if (outside) {
    // The device played past our data (or jumped): treat it as all played
    // and carry on from where we write.
    m_buffer->SetCurrentPosition(static_cast<DWORD>(m_writeCursor));
    cursor = m_writeCursor;
  }
  int queued = m_writeCursor - cursor;
  if (queued < 0) queued += m_bufferBytes;
  m_queued = std::min(queued, previous);
  m_position += Seconds(previous - m_queued) - Seconds(m_skippedSilence);
  m_skippedSilence = 0;
}

void CDSoundStream::StepFade(bool* release) {
  // The end counts as reached on arrival: a fade whose stream runs dry exactly
  // there would otherwise never finish its pause.
  if (m_position >= m_fadeEnd || !(m_fadeEnd > m_fadeStart)) {
    m_fading = false;
    m_volume = m_fadeTo;
    if (m_pauseAfter) m_pauseRequested = true;
    if (m_releaseAfter) *release = true;
    return;
  }
  m_volume = m_fadeFrom + FadeProgress() * (m_fadeTo - m_fadeFrom);
}

void CDSoundStream::FillFromRing() {
  int position = m_writeCursor;
  int room = m_queued < 0 ? m_maxQueued : m_maxQueued - m_queued;
  int n = static_cast<int>(m_ring.Fill());
  int extra = 0;
  // Only with data to place: skipping ahead on an empty ring would keep the
  // cursor from ever reaching the end of the data, and the stream would never
  // be flushed.
  if (!m_notStarted && m_queued < m_underrunPad && n > 0) {
    // The play cursor is about to catch up: skip ahead over cleared silence so
    // new data lands safely after it.
    int gap = m_underrunPad - m_queued;
    position += gap;
    extra += gap;
    m_queued += gap;
    m_skippedSilence += gap;
    room -= gap;
    ++m_underruns;
  }
  n = std::max(std::min(n, room), 0);
  extra += n;
  if (n > 0) {
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD length1 = 0, length2 = 0;
    if (SUCCEEDED(m_buffer->Lock(static_cast<DWORD>(position % m_bufferBytes), static_cast<DWORD>(n), &part1,
                                 &length1, &part2, &length2, 0))) {
      if (part1 != nullptr) m_ring.Read(part1, length1);
      if (part2 != nullptr) m_ring.Read(part2, length2);
      m_buffer->Unlock(part1, length1, part2, length2);
    }
  }
  if (extra > 0) {
    // The gap went into queued already; only the data joins it here.
    m_writeCursor = (position + n) % m_bufferBytes;
    m_clearedAhead -= extra;
    m_queued += n;
  }
  // Silence is kept at least one chunk ahead of the data, so an underrun plays
  // silence rather than old audio. Below zero, the data overran what was
  // cleared: clear again from the write cursor.
  if (m_clearedAhead < 0) m_clearedAhead = 0;
  if (m_clearedAhead < m_silenceChunk) {
    FillSilence(static_cast<DWORD>((m_writeCursor + m_clearedAhead) % m_bufferBytes),
                static_cast<DWORD>(m_silenceChunk));
    m_clearedAhead += m_silenceChunk;
  }
  if (m_notStarted && (m_writeCursor >= m_startThreshold || m_startRequested)) {
    Start();
    if (!m_notStarted) m_startRequested = false;
  }
}

bool CDSoundStream::Service(IDirectSound* sound) {
  if (m_releaseRequested) return false;
  if (m_failed) return true;
  if (m_buffer == nullptr && !CreateBuffer(sound)) return true;

  DWORD status = 0;
  m_buffer->GetStatus(&status);
  if ((status & DSBSTATUS_BUFFERLOST) != 0 && FAILED(m_buffer->Restore())) {
    m_failed = true;
    return true;
  }
  m_buffer->GetStatus(&status);
  if (!m_paused && !m_notStarted && (status & (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING)) == 0) {
    m_buffer->Play(0, 0, DSBPLAY_LOOPING);
  }
  if (!m_paused) Account();

  if (!m_paused && m_fading) {
    bool release = false;
    StepFade(&release);
    if (release) return false;
  }
  // A drain asked for before any data reached the buffer stays pending until
  // some does, so the data then starts at once rather than at the threshold.
  if (m_startRequested) {
    Start();
    if (!m_notStarted) m_startRequested = false;
  }
  if (m_volume != m_appliedVolume) ApplyVolume();
  if (m_pauseRequested != m_paused) {
    if (!m_notStarted) {
      if (m_pauseRequested) {
        m_buffer->Stop();
      } else {
        m_buffer->Play(0, 0, DSBPLAY_LOOPING);
      }
    }
    m_paused = m_pauseRequested;
  }
  if (m_paused && !m_notStarted && FadingOutToRelease()) return false;
  // Fading out a stream that never played anything: nothing to hear, and its
  // position would never move to end the fade.
  if (m_notStarted && m_ring.Fill() == 0 && FadingOutToRelease()) return false;
  if (m_ring.Fill() == 0 && !m_paused && !m_notStarted && m_queued <= 0) {
    if (FadingOutToRelease()) return false;
    Flush();
    return true;
  }
  if (!m_paused) FillFromRing();
  return true;
}
