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

  bool Valid() const { return m_ring.Size() > 0; }
  // Called by the thread under its lock. False: delete the stream.
  bool Service(IDirectSound* sound);
  // Marks the stream failed: it plays nothing and takes nothing.
  void Fail();

  // Figures fixed by the format (bytes).
  int BufferBytes() const { return m_bufferBytes; }
  int MaxQueued() const { return m_maxQueued; }
  int StartThreshold() const { return m_startThreshold; }
  int UnderrunPad() const { return m_underrunPad; }
  int SilenceChunk() const { return m_silenceChunk; }
  int Underruns() const { return m_underruns; }
  bool Failed() const { return m_failed; }
  bool Paused() const { return m_paused; }
  bool FadingOut() const { return FadingOutToRelease(); }
  bool Fading() const { return m_fading; }
  double CurrentVolume() const { return m_volume; }

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
  bool FadingOutToRelease() const { return m_fading && m_releaseAfter; }

  CDSoundThread* m_thread;
  CCriticalSection* m_lock;
  DSoundStreamParams m_params;
  CRingBuffer m_ring;
  IDirectSoundBuffer* m_buffer = nullptr;
  int m_bufferBytes = 0;
  int m_startThreshold = 0;
  int m_underrunPad = 0;
  int m_maxQueued = 0;
  int m_silenceChunk = 0;
  int m_writeCursor = 0;
  int m_clearedAhead = 0;
  int m_queued = 0;
  int m_skippedSilence = 0;
  int m_underruns = 0;
  bool m_failed = false;
  bool m_notStarted = true;
  bool m_startRequested = false;
  bool m_pauseRequested = false;
  bool m_paused = false;
  bool m_releaseRequested = false;
  double m_position = 0.0;
  double m_volume = 1.0;
  double m_appliedVolume = -1.0;
  double m_fadeStart = 0.0;
  double m_fadeEnd = 0.0;
  double m_fadeFrom = 0.0;
  double m_fadeTo = 0.0;
  bool m_fading = false;
  bool m_releaseAfter = false;
  bool m_pauseAfter = false;
};
