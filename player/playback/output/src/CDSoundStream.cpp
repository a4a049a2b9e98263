#include "output/CDSoundStream.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "output/CDSoundThread.h"

CDSoundStream::CDSoundStream(CDSoundThread* thread, const DSoundStreamParams& params, int ringBytes)
    : thread_(thread), lock_(thread->Lock()), params_(params) {
  if (params_.rate <= 0 || params_.channels <= 0 || params_.bits < 8 || params_.bufferMs <= 0) return;
  // The byte figures depend on the format only; fixing them here rather than
  // with the device buffer lets a writer see free space before the first pass.
  int deviceMs = params_.bufferMs <= 2000 ? params_.bufferMs * 2 : params_.bufferMs + 2000;
  bufferBytes_ = Bytes(deviceMs);
  startThreshold_ = Bytes(std::min(params_.bufferMs / 2, 10000));
  underrunPad_ = Bytes(50);
  maxQueued_ = Bytes(params_.bufferMs);
  silenceChunk_ = std::min(bufferBytes_ / 4, (bufferBytes_ - maxQueued_) / 2);
  ring_.Init(static_cast<size_t>(ringBytes > 0 ? ringBytes : Bytes(250)));
}

CDSoundStream::~CDSoundStream() {
  if (buffer_ != nullptr) {
    buffer_->Stop();
    buffer_->Release();
  }
}

int CDSoundStream::Bytes(int ms) const {
  return MulDiv(ms, params_.rate, 1000) * (params_.bits / 8) * params_.channels;
}

double CDSoundStream::Seconds(int bytes) const {
  return bytes / (static_cast<double>(params_.rate) * (params_.bits / 8) * params_.channels);
}

LONG CDSoundStream::VolumeToLevel(double volume) {
  double db = volume > 0.0 ? 20.0 * std::log10(volume) : -100.0;
  // DirectSound refuses a level above 0 dB; below -100 dB is silence anyway.
  db = std::clamp(db, -100.0, 0.0);
  return static_cast<LONG>(db * 100.0);
}

bool CDSoundStream::Write(const void* data, int length) {
  CScopedLock lock(lock_);
  if (length < 0) return false;
  return ring_.Write(data, static_cast<size_t>(length));
}

bool CDSoundStream::IsActive() {
  CScopedLock lock(lock_);
  return buffer_ != nullptr && !notStarted_;
}

double CDSoundStream::GetBufferedSeconds() {
  CScopedLock lock(lock_);
  return Seconds(GetBufferedBytes());
}

int CDSoundStream::GetBufferedBytes() {
  CScopedLock lock(lock_);
  int bytes = (buffer_ != nullptr ? queued_ : 0) + static_cast<int>(ring_.Fill());
  return std::max(bytes, 0);
}

int CDSoundStream::GetFreeSpace() {
  CScopedLock lock(lock_);
  if (failed_) return 0;
  int space = std::max(maxQueued_ - GetBufferedBytes(), 0);
  return std::min(space, static_cast<int>(ring_.FreeSpace()));
}

double CDSoundStream::GetPlayedSeconds() { return position_; }

bool CDSoundStream::Drain() {
  CScopedLock lock(lock_);
  startRequested_ = true;
  return !failed_;
}

bool CDSoundStream::SetPaused(bool pause) {
  CScopedLock lock(lock_);
  if (failed_) return false;
  pauseRequested_ = pause;
  return true;
}

bool CDSoundStream::SetVolume(double volume) {
  CScopedLock lock(lock_);
  if (failed_) return false;
  volume_ = volume;
  return true;
}

void CDSoundStream::StartFade(double from, double to, double seconds) {
  fadeFrom_ = from;
  fadeTo_ = to;
  fadeStart_ = position_;
  fadeEnd_ = position_ + seconds;
  fading_ = true;
  releaseAfter_ = false;
  pauseAfter_ = false;
}

bool CDSoundStream::Fade(double from, double to, double seconds) {
  CScopedLock lock(lock_);
  if (failed_) return false;
  StartFade(from, to, seconds);
  return true;
}

double CDSoundStream::FadeProgress() const {
  if (position_ <= fadeStart_) return 0.0;
  if (position_ >= fadeEnd_) return 1.0;
  return (position_ - fadeStart_) / (fadeEnd_ - fadeStart_);
}

bool CDSoundStream::FadePause(double seconds, bool pause) {
  CScopedLock lock(lock_);
  if (failed_) return false;
  bool fadingToPause = fading_ && pauseAfter_;
  if (pause) {
    // Pausing what is already paused would take the silent level as the one to
    // come back to.
    if (fadingToPause || pauseRequested_ || paused_) return true;
    seconds = std::min(seconds, GetBufferedSeconds());
    StartFade(volume_, 0.0, seconds);
    pauseAfter_ = true;
    return true;
  }
  if (!paused_ && !pauseRequested_ && !fadingToPause) return true;
  pauseRequested_ = false;
  double level = fadeFrom_;
  if (fadingToPause) seconds *= FadeProgress();
  StartFade(fadingToPause ? volume_ : 0.0, level, seconds);
  return true;
}

void CDSoundStream::Release() {
  CScopedLock lock(lock_);
  releaseRequested_ = true;
}

void CDSoundStream::FadeOutAndRelease(double seconds) {
  CScopedLock lock(lock_);
  if (!failed_ && seconds != 0.0 && !pauseRequested_) {
    startRequested_ = true;
    StartFade(volume_, 0.0, std::min(seconds, 0.5));
    releaseAfter_ = true;
  } else {
    releaseRequested_ = true;
  }
}

void CDSoundStream::Fail() {
  CScopedLock lock(lock_);
  failed_ = true;
}

void CDSoundStream::FillSilence(DWORD offset, DWORD length) {
  void* part1 = nullptr;
  void* part2 = nullptr;
  DWORD length1 = 0, length2 = 0;
  if (FAILED(buffer_->Lock(offset, length, &part1, &length1, &part2, &length2, 0))) return;
  int silence = params_.bits == 8 ? 0x80 : 0;
  if (part1 != nullptr) std::memset(part1, silence, length1);
  if (part2 != nullptr) std::memset(part2, silence, length2);
  buffer_->Unlock(part1, length1, part2, length2);
}

bool CDSoundStream::CreateBuffer(IDirectSound* sound) {
  WAVEFORMATEX format = {};
  format.wFormatTag = params_.isFloat ? 3 : WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(params_.channels);
  format.nSamplesPerSec = static_cast<DWORD>(params_.rate);
  format.nAvgBytesPerSec = static_cast<DWORD>(Bytes(1000));
  format.nBlockAlign = static_cast<WORD>((params_.bits / 8) * params_.channels);
  format.wBitsPerSample = static_cast<WORD>(params_.bits);
  DSBUFFERDESC desc = {};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS | DSBCAPS_STICKYFOCUS | DSBCAPS_CTRLVOLUME;
  if (!params_.allowHardwareMixing) desc.dwFlags |= DSBCAPS_LOCSOFTWARE;
  desc.dwBufferBytes = static_cast<DWORD>(bufferBytes_);
  desc.lpwfxFormat = &format;
  if (sound == nullptr || bufferBytes_ <= 0 || FAILED(sound->CreateSoundBuffer(&desc, &buffer_, nullptr)) ||
      buffer_ == nullptr) {
    buffer_ = nullptr;
    failed_ = true;
    return false;
  }
  FillSilence(0, static_cast<DWORD>(bufferBytes_));
  clearedAhead_ = bufferBytes_;
  writeCursor_ = 0;
  notStarted_ = true;
  return true;
}

void CDSoundStream::Start() {
  if (buffer_ != nullptr && notStarted_ && writeCursor_ > 0 && !paused_) {
    notStarted_ = false;
    buffer_->Play(0, 0, DSBPLAY_LOOPING);
  }
}

void CDSoundStream::ApplyVolume() {
  if (buffer_ == nullptr) return;
  buffer_->SetVolume(VolumeToLevel(volume_));
  appliedVolume_ = volume_;
}

void CDSoundStream::Flush() {
  if (buffer_ != nullptr) {
    buffer_->Stop();
    buffer_->SetCurrentPosition(0);
    FillSilence(0, static_cast<DWORD>(bufferBytes_));
    clearedAhead_ = bufferBytes_;
    notStarted_ = true;
  }
  writeCursor_ = 0;
  queued_ = 0;
  fading_ = false;
  startRequested_ = false;
  ring_.Reset();
}

void CDSoundStream::Account() {
  if (buffer_ == nullptr) {
    queued_ = 0;
    return;
  }
  if (notStarted_) {
    queued_ = writeCursor_;
    return;
  }
  if (queued_ <= 0) return;
  int previous = queued_;
  DWORD play = 0, write = 0;
  if (FAILED(buffer_->GetCurrentPosition(&play, &write))) play = 0;
  int cursor = static_cast<int>(play);
  int start = writeCursor_ - previous;
  bool outside = start < 0 ? cursor > writeCursor_ && cursor < start + bufferBytes_
                           : cursor > writeCursor_ || cursor < start;
  if (outside) {
    // The device played past our data (or jumped): treat it as all played
    // and carry on from where we write.
    buffer_->SetCurrentPosition(static_cast<DWORD>(writeCursor_));
    cursor = writeCursor_;
  }
  int queued = writeCursor_ - cursor;
  if (queued < 0) queued += bufferBytes_;
  queued_ = std::min(queued, previous);
  position_ += Seconds(previous - queued_) - Seconds(skippedSilence_);
  skippedSilence_ = 0;
}

void CDSoundStream::StepFade(bool* release) {
  // The end counts as reached on arrival: a fade whose stream runs dry exactly
  // there would otherwise never finish its pause.
  if (position_ >= fadeEnd_ || !(fadeEnd_ > fadeStart_)) {
    fading_ = false;
    volume_ = fadeTo_;
    if (pauseAfter_) pauseRequested_ = true;
    if (releaseAfter_) *release = true;
    return;
  }
  volume_ = fadeFrom_ + FadeProgress() * (fadeTo_ - fadeFrom_);
}

void CDSoundStream::FillFromRing() {
  int position = writeCursor_;
  int room = queued_ < 0 ? maxQueued_ : maxQueued_ - queued_;
  int n = static_cast<int>(ring_.Fill());
  int extra = 0;
  // Only with data to place: skipping ahead on an empty ring would keep the
  // cursor from ever reaching the end of the data, and the stream would never
  // be flushed.
  if (!notStarted_ && queued_ < underrunPad_ && n > 0) {
    // The play cursor is about to catch up: skip ahead over cleared silence so
    // new data lands safely after it.
    int gap = underrunPad_ - queued_;
    position += gap;
    extra += gap;
    queued_ += gap;
    skippedSilence_ += gap;
    room -= gap;
    ++underruns_;
  }
  n = std::max(std::min(n, room), 0);
  extra += n;
  if (n > 0) {
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD length1 = 0, length2 = 0;
    if (SUCCEEDED(buffer_->Lock(static_cast<DWORD>(position % bufferBytes_), static_cast<DWORD>(n), &part1,
                                &length1, &part2, &length2, 0))) {
      if (part1 != nullptr) ring_.Read(part1, length1);
      if (part2 != nullptr) ring_.Read(part2, length2);
      buffer_->Unlock(part1, length1, part2, length2);
    }
  }
  if (extra > 0) {
    // The gap went into queued already; only the data joins it here.
    writeCursor_ = (position + n) % bufferBytes_;
    clearedAhead_ -= extra;
    queued_ += n;
  }
  // Silence is kept at least one chunk ahead of the data, so an underrun plays
  // silence rather than old audio. Below zero, the data overran what was
  // cleared: clear again from the write cursor.
  if (clearedAhead_ < 0) clearedAhead_ = 0;
  if (clearedAhead_ < silenceChunk_) {
    FillSilence(static_cast<DWORD>((writeCursor_ + clearedAhead_) % bufferBytes_),
                static_cast<DWORD>(silenceChunk_));
    clearedAhead_ += silenceChunk_;
  }
  if (notStarted_ && (writeCursor_ >= startThreshold_ || startRequested_)) {
    Start();
    if (!notStarted_) startRequested_ = false;
  }
}

bool CDSoundStream::Service(IDirectSound* sound) {
  if (releaseRequested_) return false;
  if (failed_) return true;
  if (buffer_ == nullptr && !CreateBuffer(sound)) return true;

  DWORD status = 0;
  buffer_->GetStatus(&status);
  if ((status & DSBSTATUS_BUFFERLOST) != 0 && FAILED(buffer_->Restore())) {
    failed_ = true;
    return true;
  }
  buffer_->GetStatus(&status);
  if (!paused_ && !notStarted_ && (status & (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING)) == 0) {
    buffer_->Play(0, 0, DSBPLAY_LOOPING);
  }
  if (!paused_) Account();

  if (!paused_ && fading_) {
    bool release = false;
    StepFade(&release);
    if (release) return false;
  }
  // A drain asked for before any data reached the buffer stays pending until
  // some does, so the data then starts at once rather than at the threshold.
  if (startRequested_) {
    Start();
    if (!notStarted_) startRequested_ = false;
  }
  if (volume_ != appliedVolume_) ApplyVolume();
  if (pauseRequested_ != paused_) {
    if (!notStarted_) {
      if (pauseRequested_) {
        buffer_->Stop();
      } else {
        buffer_->Play(0, 0, DSBPLAY_LOOPING);
      }
    }
    paused_ = pauseRequested_;
  }
  if (paused_ && !notStarted_ && FadingOutToRelease()) return false;
  // Fading out a stream that never played anything: nothing to hear, and its
  // position would never move to end the fade.
  if (notStarted_ && ring_.Fill() == 0 && FadingOutToRelease()) return false;
  if (ring_.Fill() == 0 && !paused_ && !notStarted_ && queued_ <= 0) {
    if (FadingOutToRelease()) return false;
    Flush();
    return true;
  }
  if (!paused_) FillFromRing();
  return true;
}
