#pragma once
// A player's DirectSound output: one stream at a time through the process-wide
// CDSoundThread, with fades on open, pause and close from "fade_len".
//
// Locking: every virtual operation takes the global output lock (and the
// stream ops then take the thread lock, always in that order). ReleaseStream
// and SetVolume take only the stream's lock.
#include <windows.h>

#undef GetFreeSpace

class CDSoundStream;

using MainWindowFn = HWND (*)();
// The window DirectSound's cooperative level is set on. Default: the
// application's main window (AfxGetMainWnd). Replace it before the first Open.
MainWindowFn& MainWindowProvider();

class CDSoundOutput {
 public:
  CDSoundOutput();
  virtual ~CDSoundOutput();
  CDSoundOutput(const CDSoundOutput&) = delete;
  CDSoundOutput& operator=(const CDSoundOutput&) = delete;

  // reserved is ignored; ringBytes 0 gives 250 ms.
  virtual bool Open(int rate, int bits, int channels, int reserved, int ringBytes);
  virtual int GetFreeSpace();
  virtual bool Write(const void* data, int length);
  virtual bool IsActive();
  virtual bool CloseWithFade();
  virtual void Pause(bool pause);
  virtual int GetBufferedBytes();
  virtual double GetBufferedSeconds();
  virtual double GetPlayedSeconds();
  virtual bool Drain();

  // Cuts the stream at once.
  void ReleaseStream();
  // Linear gain, 1.0 = full; kept for later opens.
  void SetVolume(double volume);

  CDSoundStream* Stream() const { return m_stream; }

 private:
  CDSoundStream* m_stream = nullptr;
  bool m_fadeIn = true;
  double m_volume = 1.0;
};
