#pragma once
// Integer PCM through waveOut without a callback: writes go into a ring, each
// pump sends whole-block chunks as prepared headers and recycles the headers
// the device has marked done. No thread and no lock: one owner thread calls
// everything.
#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

#include "output/WaveOutApi.h"

// windows.h maps the 16-bit GetFreeSpace to a constant; the streams have their own.
#undef GetFreeSpace

struct WaveOutParams {
  int rate = 44100;
  int channels = 2;
  int bits = 16;
  int bufferMs = 1000;
  int devicePlusOne = 0;  // 0: the wave mapper
  int prebufferMs = 0;
  MMRESULT result = 0;  // out: why an open failed
};

class CWaveOutStream {
 public:
  explicit CWaveOutStream(const WaveOutApi& api = SystemWaveOut());
  ~CWaveOutStream();
  CWaveOutStream(const CWaveOutStream&) = delete;
  CWaveOutStream& operator=(const CWaveOutStream&) = delete;

  bool Open(WaveOutParams& params);
  // Bytes taken: 0 while paused, at most the free space.
  int Write(const void* data, int length);
  // Reaps finished headers first, so polling it sees the room played out.
  int GetFreeSpace();
  // Bytes sent or buffered that the device has not played yet.
  int GetPendingBytes();
  void Flush();
  void Pause(bool pause);
  // Sends everything buffered at once.
  void Drain();
  void Close();

  int RingSize() const { return ringSize_; }
  int MaxChunk() const { return maxChunk_; }
  int LowChunk() const { return lowChunk_; }
  int Buffered() const { return buffered_; }
  int InFlight() const { return inFlight_; }
  int HeadersInFlight() const { return headersInFlight_; }
  // Pumps that found the device with nothing to play after it had started.
  int Underruns() const { return underruns_; }

 private:
  struct Node {
    Node* next;
    WAVEHDR header;
  };
  void Pump();
  void Reset();
  void ResetCounters();
  void Reap();

  const WaveOutApi& api_;
  HWAVEOUT handle_ = nullptr;
  Node* inFlightList_ = nullptr;
  Node* freeList_ = nullptr;
  int blockAlign_ = 0;
  int bytesPerSecond_ = 0;
  char* ring_ = nullptr;
  int ringSize_ = 0;
  int inFlight_ = 0;
  int buffered_ = 0;
  int readOffset_ = 0;
  static constexpr int kMinChunk = 256;
  int maxChunk_ = 0;
  int lowChunk_ = 0;
  int prebuffer_ = 0;
  uint64_t totalSent_ = 0;
  uint64_t lastPosition_ = 0;
  int headersInFlight_ = 0;
  bool paused_ = false;
  bool draining_ = false;
  int underruns_ = 0;
};

// A player's waveOut output: one stream at a time, defaults of 1000 ms and the
// wave mapper. Every operation does nothing (0, false) while none is open.
class CWaveOutOutput {
 public:
  explicit CWaveOutOutput(const WaveOutApi& api = SystemWaveOut()) : m_api(api) {}
  virtual ~CWaveOutOutput() { Close(); }
  CWaveOutOutput(const CWaveOutOutput&) = delete;
  CWaveOutOutput& operator=(const CWaveOutOutput&) = delete;

  virtual bool Open(int rate, int bits, int channels);
  virtual int Close();
  virtual int GetFreeSpace();
  // All or nothing: a write that does not fit takes nothing, so a caller that
  // retries never queues the same audio twice.
  virtual bool Write(const void* data, int length);
  virtual bool IsPlaying();
  virtual int Flush();
  virtual void Pause(bool pause);
  virtual int GetPendingBytes();
  virtual void Drain();

  CWaveOutStream* Stream() const { return m_stream; }

 private:
  const WaveOutApi& m_api;
  CWaveOutStream* m_stream = nullptr;
};
