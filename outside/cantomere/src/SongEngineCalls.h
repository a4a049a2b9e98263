#pragma once
// The song engine's call table as far as the lyric controller reaches into it:
// the first twenty operations, in the engine's published slot order, of which
// only GetEventTime is called. The engine library owns the full interface;
// this declaration must follow it slot for slot, and gives way to the
// engine's own header once that header is available to this library.
#include <windows.h>

#include <cstdint>

class ISongEngineListener;

class ISongEngine {
 public:
  virtual int Init(HWND owner) = 0;
  virtual void Release() = 0;
  virtual int SetListener(ISongEngineListener* listener) = 0;
  virtual int CreateScore(HWND views) = 0;
  virtual int DestroyScore() = 0;
  virtual int Close() = 0;
  virtual HWND SetScoreWindow(HWND window) = 0;
  virtual int DrawScore(HDC dc) = 0;
  virtual int SetScoreRect(const RECT* rect) = 0;
  virtual int SetTracks(const int* tracks, int count) = 0;
  virtual int GetTracks(int* out, unsigned* count) = 0;
  virtual int Open(const char* path) = 0;
  virtual int Play(int unused) = 0;
  virtual int Stop(int unused) = 0;
  virtual int Seek(int position) = 0;
  virtual int SetDelayTime(int delay) = 0;
  virtual int SyncTime(int time) = 0;
  virtual int GetTagTime(uint32_t tag) = 0;
  virtual int GetPlayerState(int unused) = 0;
  // Player time in ms of the song event with that index (a tick), -1 for none.
  virtual int GetEventTime(int index) = 0;

 protected:
  ~ISongEngine() = default;
};
