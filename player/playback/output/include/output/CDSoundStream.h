#pragma once
// One PCM stream played through a looping DirectSound secondary buffer.
//
// Locking: every operation takes the owning thread's lock (a recursive lock
// shared by all its streams), except GetPlayedSeconds, which reads one double.
// The worker thread runs Service under the same lock for a whole pass, creates
// the buffer on its first pass, and deletes the stream once Service returns
// false; after Release or a finished FadeOutAndRelease the caller must not
// touch the stream again.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

// windows.h maps the 16-bit GetFreeSpace to a constant; the streams have their own.
#undef GetFreeSpace

#include "output/CRingBuffer.h"

class CDSoundThread;
class CCriticalSection;

struct DSoundStreamParams {
  int rate = 0;
  int channels = 0;
  int bits = 0;
  bool isFloat = false;
  bool allowHardwareMixing = true;
  int bufferMs = 1000;
};

class CDSoundStream {
 public:
  // ringBytes 0 gives a ring of 250 ms. Check Valid(): the ring may not fit.
  CDSoundStream(CDSoundThread* thread, const DSoundStreamParams& params, int ringBytes);
  virtual ~CDSoundStream();
  CDSoundStream(const CDSoundStream&) = delete;
  CDSoundStream& operator=(const CDSoundStream&) = delete;

  // All or nothing: false when length exceeds the ring's free space.
  virtual bool Write(const void* data, int length);
  virtual bool IsActive();
  virtual double GetBufferedSeconds();
  virtual int GetBufferedBytes();
  virtual int GetFreeSpace();
  virtual double GetPlayedSeconds();
  // Starts playback now, even below the start threshold.
  virtual bool Drain();
  virtual bool SetPaused(bool pause);
  // Linear gain, 1.0 = full; above 1.0 plays at full level.
  virtual bool SetVolume(double volume);
  virtual bool Fade(double from, double to, double seconds);
  virtual bool FadePause(double seconds, bool pause);
  virtual void Release();
  virtual void FadeOutAndRelease(double seconds);

  bool Valid() const { return ring_.Size() > 0; }
  // Called by the thread under its lock. False: delete the stream.
  bool Service(IDirectSound* sound);
  // Marks the stream failed: it plays nothing and takes nothing.
  void Fail();

  // Figures fixed by the format (bytes).
  int BufferBytes() const { return bufferBytes_; }
  int MaxQueued() const { return maxQueued_; }
  int StartThreshold() const { return startThreshold_; }
  int UnderrunPad() const { return underrunPad_; }
  int SilenceChunk() const { return silenceChunk_; }
  int Underruns() const { return underruns_; }
  bool Failed() const { return failed_; }
  bool Paused() const { return paused_; }
  bool FadingOut() const { return FadingOutToRelease(); }
  bool Fading() const { return fading_; }
  double CurrentVolume() const { return volume_; }

  int Bytes(int ms) const;
  double Seconds(int bytes) const;
  // IDirectSoundBuffer level in hundredths of a dB, -10000..0.
  static LONG VolumeToLevel(double volume);

 private:
  bool CreateBuffer(IDirectSound* sound);
  void FillSilence(DWORD offset, DWORD length);
  void Start();
  void ApplyVolume();
  void Flush();
  void Account();
  void StepFade(bool* release);
  void FillFromRing();
  double FadeProgress() const;
  void StartFade(double from, double to, double seconds);
  bool FadingOutToRelease() const { return fading_ && releaseAfter_; }

  CDSoundThread* thread_;
  CCriticalSection* lock_;
  DSoundStreamParams params_;
  CRingBuffer ring_;
  IDirectSoundBuffer* buffer_ = nullptr;
  int bufferBytes_ = 0;
  int startThreshold_ = 0;
  int underrunPad_ = 0;
  int maxQueued_ = 0;
  int silenceChunk_ = 0;
  int writeCursor_ = 0;
  int clearedAhead_ = 0;
  int queued_ = 0;
  int skippedSilence_ = 0;
  int underruns_ = 0;
  bool failed_ = false;
  bool notStarted_ = true;
  bool startRequested_ = false;
  bool pauseRequested_ = false;
  bool paused_ = false;
  bool releaseRequested_ = false;
  double position_ = 0.0;
  double volume_ = 1.0;
  double appliedVolume_ = -1.0;
  double fadeStart_ = 0.0;
  double fadeEnd_ = 0.0;
  double fadeFrom_ = 0.0;
  double fadeTo_ = 0.0;
  bool fading_ = false;
  bool releaseAfter_ = false;
  bool pauseAfter_ = false;
};
