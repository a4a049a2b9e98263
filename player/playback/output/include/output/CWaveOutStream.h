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

  int RingSize() const { return m_ringSize; }
  int MaxChunk() const { return m_maxChunk; }
  int LowChunk() const { return m_lowChunk; }
  int Buffered() const { return m_buffered; }
  int InFlight() const { return m_inFlight; }
  int HeadersInFlight() const { return m_headersInFlight; }
  // Pumps that found the device with nothing to play after it had started.
  int Underruns() const { return m_underruns; }

 private:
  struct Node {
    Node* next;
    WAVEHDR header;
  };
  void Pump();
  void Reset();
  void ResetCounters();
  void Reap();

  const WaveOutApi& m_api;
  HWAVEOUT m_handle = nullptr;
  Node* m_inFlightList = nullptr;
  Node* m_freeList = nullptr;
  int m_blockAlign = 0;
  int m_bytesPerSecond = 0;
  char* m_ring = nullptr;
  int m_ringSize = 0;
  int m_inFlight = 0;
  int m_buffered = 0;
  int m_readOffset = 0;
  static constexpr int kMinChunk = 256;
  int m_maxChunk = 0;
  int m_lowChunk = 0;
  int m_prebuffer = 0;
  uint64_t m_totalSent = 0;
  uint64_t m_lastPosition = 0;
  int m_headersInFlight = 0;
  bool m_paused = false;
  bool m_draining = false;
  int m_underruns = 0;
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
