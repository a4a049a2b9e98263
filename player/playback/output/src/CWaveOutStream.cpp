#include "output/CWaveOutStream.h"

#include <algorithm>
#include <cstring>
#include <new>

CWaveOutStream::CWaveOutStream(const WaveOutApi& api) : m_api(api) {}

CWaveOutStream::~CWaveOutStream() {
  Close();
  if (m_ring != nullptr) LocalFree(m_ring);
  for (Node* list : {m_inFlightList, m_freeList}) {
    while (list != nullptr) {
      Node* next = list->next;
      delete list;
      list = next;
    }
  }
}

bool CWaveOutStream::Open(WaveOutParams& params) {
  Close();
  if (params.rate <= 0 || params.channels <= 0 || params.bits < 8 || params.bufferMs <= 0) {
    params.result = MMSYSERR_INVALPARAM;
    return false;
  }
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(params.channels);
  format.nSamplesPerSec = static_cast<DWORD>(params.rate);
  format.wBitsPerSample = static_cast<WORD>(params.bits);
  format.nBlockAlign = static_cast<WORD>((params.bits / 8) * params.channels);
  format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
  UINT device = params.devicePlusOne == 0 ? WAVE_MAPPER : static_cast<UINT>(params.devicePlusOne - 1);
  HWAVEOUT handle = nullptr;
  MMRESULT result = m_api.open(&handle, device, &format, 0, 0, CALLBACK_NULL);
  if (result != MMSYSERR_NOERROR) {
    params.result = result;
    return false;
  }
  m_blockAlign = format.nBlockAlign;
  m_bytesPerSecond = static_cast<int>(format.nAvgBytesPerSec);
  m_ringSize = MulDiv(params.bufferMs, m_bytesPerSecond, 1000);
  m_ringSize -= m_ringSize % m_blockAlign;
  m_maxChunk = std::max(std::min(0x10000, m_ringSize / 4), kMinChunk);
  m_lowChunk = std::max(std::min(m_ringSize / 16, m_maxChunk), kMinChunk);
  m_prebuffer = std::min(MulDiv(params.prebufferMs, m_bytesPerSecond, 1000), m_ringSize);
  // The spill area past the ring keeps every chunk contiguous.
  if (m_ring != nullptr) LocalFree(m_ring);
  m_ring = static_cast<char*>(LocalAlloc(LMEM_ZEROINIT, static_cast<SIZE_T>(m_ringSize) + m_maxChunk));
  if (m_ring == nullptr || m_ringSize <= 0) {
    m_api.close(handle);
    params.result = MMSYSERR_NOMEM;
    return false;
  }
  m_handle = handle;
  m_api.restart(m_handle);
  ResetCounters();
  Pump();
  return true;
}

void CWaveOutStream::ResetCounters() {
  m_readOffset = m_buffered = m_inFlight = 0;
  m_totalSent = m_lastPosition = 0;
  m_headersInFlight = 0;
  m_paused = m_draining = false;
}

void CWaveOutStream::Reap() {
  Node** link = &m_inFlightList;
  while (*link != nullptr) {
    Node* node = *link;
    if ((node->header.dwFlags & WHDR_DONE) == 0) {
      link = &node->next;
      continue;
    }
    m_api.unprepareHeader(m_handle, &node->header, sizeof node->header);
    m_inFlight -= static_cast<int>(node->header.dwBufferLength);
    --m_headersInFlight;
    *link = node->next;
    node->next = m_freeList;
    m_freeList = node;
  }
}

void CWaveOutStream::Pump() {
  if (m_handle == nullptr) return;
  Reap();
  if (m_headersInFlight == 0 && m_totalSent > 0 && m_buffered > 0 && !m_paused) ++m_underruns;
  int threshold = kMinChunk;
  if (m_draining) {
    threshold = 0;
  } else if (m_headersInFlight == 0) {
    threshold = std::max(m_prebuffer, m_lowChunk);
  } else if (m_headersInFlight >= 3 && m_inFlight >= m_ringSize / 2) {
    threshold = m_lowChunk;
  }
  while (m_buffered > threshold) {
    int n = std::min(m_buffered, m_maxChunk);
    n -= n % m_blockAlign;
    if (n == 0) break;
    Node* node = m_freeList;
    if (node != nullptr) {
      m_freeList = node->next;
    } else {
      node = new (std::nothrow) Node;
      if (node == nullptr) break;
    }
    m_buffered -= n;
    m_inFlight += n;
    node->next = m_inFlightList;
    m_inFlightList = node;
    std::memset(&node->header, 0, sizeof node->header);
    node->header.lpData = m_ring + m_readOffset;
    node->header.dwBufferLength = static_cast<DWORD>(n);
    node->header.dwBytesRecorded = static_cast<DWORD>(n);
    m_readOffset += n;
    if (m_readOffset >= m_ringSize) {
      m_readOffset -= m_ringSize;
      std::memcpy(m_ring + m_ringSize, m_ring, static_cast<size_t>(m_readOffset));
    }
    ++m_headersInFlight;
    m_api.prepareHeader(m_handle, &node->header, sizeof node->header);
    m_api.write(m_handle, &node->header, sizeof node->header);
    m_totalSent += static_cast<uint64_t>(n);
  }
  m_draining = false;
}

int CWaveOutStream::GetFreeSpace() {
  if (m_handle == nullptr || m_paused) return 0;
  // Without a callback, finished headers are found by polling: a writer that
  // waits for room must see the room the device has freed meanwhile.
  Reap();
  return m_ringSize - m_inFlight - m_buffered;
}

int CWaveOutStream::Write(const void* data, int length) {
  if (m_handle == nullptr || m_paused || length <= 0) return 0;
  length = std::min(length, GetFreeSpace());
  auto* from = static_cast<const char*>(data);
  int at = (m_readOffset + m_buffered) % m_ringSize;
  int first = std::min(length, m_ringSize - at);
  std::memcpy(m_ring + at, from, static_cast<size_t>(first));
  std::memcpy(m_ring, from + first, static_cast<size_t>(length - first));
  m_buffered += length;
  Pump();
  return length;
}

int CWaveOutStream::GetPendingBytes() {
  if (m_handle == nullptr) return m_buffered;
  MMTIME time = {};
  time.wType = TIME_BYTES;
  if (m_api.getPosition(m_handle, &time, sizeof time) != MMSYSERR_NOERROR || time.wType != TIME_BYTES) {
    return m_buffered;
  }
  // Some drivers count played bytes in 20 bits. A report far below the low
  // bits of the last one is such a wrap and carries into the upper bits; a
  // report above 20 bits comes from a wider counter and is taken as it is.
  const uint64_t kWrap = 0x100000;
  uint64_t reported = time.u.cb;
  uint64_t low = m_lastPosition & (kWrap - 1);
  if (reported >= kWrap) {
    m_lastPosition = reported;
  } else if (reported >= low) {
    m_lastPosition = (m_lastPosition & ~(kWrap - 1)) | reported;
  } else if (low - reported > kWrap / 2) {
    m_lastPosition = (m_lastPosition & ~(kWrap - 1)) + kWrap + reported;
  }
  int64_t pending = static_cast<int64_t>(m_totalSent) - static_cast<int64_t>(m_lastPosition) + m_buffered;
  return static_cast<int>(std::max<int64_t>(pending, m_buffered));
}

void CWaveOutStream::Reset() {
  if (m_handle == nullptr) return;
  m_api.reset(m_handle);
  while (m_inFlightList != nullptr) {
    Node* node = m_inFlightList;
    m_inFlightList = node->next;
    if ((node->header.dwFlags & WHDR_PREPARED) != 0) {
      m_api.unprepareHeader(m_handle, &node->header, sizeof node->header);
    }
    node->next = m_freeList;
    m_freeList = node;
  }
  ResetCounters();
}

void CWaveOutStream::Flush() {
  if (m_handle == nullptr) return;
  Reset();
  m_api.restart(m_handle);
}

void CWaveOutStream::Pause(bool pause) {
  if (m_handle == nullptr || pause == m_paused) return;
  m_paused = pause;
  if (pause) {
    m_api.pause(m_handle);
  } else {
    m_api.restart(m_handle);
  }
}

void CWaveOutStream::Drain() {
  if (m_handle == nullptr || m_paused) return;
  m_draining = true;
  Pump();
}

void CWaveOutStream::Close() {
  if (m_handle == nullptr) return;
  Reset();
  m_api.close(m_handle);
  m_handle = nullptr;
}

bool CWaveOutOutput::Open(int rate, int bits, int channels) {
  Close();
  WaveOutParams params;
  params.rate = rate;
  params.bits = bits;
  params.channels = channels;
  m_stream = new (std::nothrow) CWaveOutStream(m_api);
  if (m_stream != nullptr && !m_stream->Open(params)) Close();
  return m_stream != nullptr;
}

int CWaveOutOutput::Close() {
  delete m_stream;
  m_stream = nullptr;
  return 0;
}

int CWaveOutOutput::GetFreeSpace() { return m_stream != nullptr ? m_stream->GetFreeSpace() : 0; }

bool CWaveOutOutput::Write(const void* data, int length) {
  if (m_stream == nullptr || length < 0 || length > m_stream->GetFreeSpace()) return false;
  return m_stream->Write(data, length) == length;
}

bool CWaveOutOutput::IsPlaying() { return m_stream != nullptr && m_stream->GetPendingBytes() > 0; }

int CWaveOutOutput::Flush() {
  if (m_stream != nullptr) m_stream->Flush();
  return 0;
}

void CWaveOutOutput::Pause(bool pause) {
  if (m_stream != nullptr) m_stream->Pause(pause);
}

int CWaveOutOutput::GetPendingBytes() { return m_stream != nullptr ? m_stream->GetPendingBytes() : 0; }

void CWaveOutOutput::Drain() {
  if (m_stream != nullptr) m_stream->Drain();
}
