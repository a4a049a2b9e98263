#include "output/CWaveOutStream.h"

#include <algorithm>
#include <cstring>
#include <new>

CWaveOutStream::CWaveOutStream(const WaveOutApi& api) : api_(api) {}

CWaveOutStream::~CWaveOutStream() {
  Close();
  if (ring_ != nullptr) LocalFree(ring_);
  for (Node* list : {inFlightList_, freeList_}) {
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
  MMRESULT result = api_.open(&handle, device, &format, 0, 0, CALLBACK_NULL);
  if (result != MMSYSERR_NOERROR) {
    params.result = result;
    return false;
  }
  blockAlign_ = format.nBlockAlign;
  bytesPerSecond_ = static_cast<int>(format.nAvgBytesPerSec);
  ringSize_ = MulDiv(params.bufferMs, bytesPerSecond_, 1000);
  ringSize_ -= ringSize_ % blockAlign_;
  maxChunk_ = std::max(std::min(0x10000, ringSize_ / 4), kMinChunk);
  lowChunk_ = std::max(std::min(ringSize_ / 16, maxChunk_), kMinChunk);
  prebuffer_ = std::min(MulDiv(params.prebufferMs, bytesPerSecond_, 1000), ringSize_);
  // The spill area past the ring keeps every chunk contiguous.
  if (ring_ != nullptr) LocalFree(ring_);
  ring_ = static_cast<char*>(LocalAlloc(LMEM_ZEROINIT, static_cast<SIZE_T>(ringSize_) + maxChunk_));
  if (ring_ == nullptr || ringSize_ <= 0) {
    api_.close(handle);
    params.result = MMSYSERR_NOMEM;
    return false;
  }
  handle_ = handle;
  api_.restart(handle_);
  ResetCounters();
  Pump();
  return true;
}

void CWaveOutStream::ResetCounters() {
  readOffset_ = buffered_ = inFlight_ = 0;
  totalSent_ = lastPosition_ = 0;
  headersInFlight_ = 0;
  paused_ = draining_ = false;
}

void CWaveOutStream::Reap() {
  Node** link = &inFlightList_;
  while (*link != nullptr) {
    Node* node = *link;
    if ((node->header.dwFlags & WHDR_DONE) == 0) {
      link = &node->next;
      continue;
    }
    api_.unprepareHeader(handle_, &node->header, sizeof node->header);
    inFlight_ -= static_cast<int>(node->header.dwBufferLength);
    --headersInFlight_;
    *link = node->next;
    node->next = freeList_;
    freeList_ = node;
  }
}

void CWaveOutStream::Pump() {
  if (handle_ == nullptr) return;
  Reap();
  if (headersInFlight_ == 0 && totalSent_ > 0 && buffered_ > 0 && !paused_) ++underruns_;
  int threshold = kMinChunk;
  if (draining_) {
    threshold = 0;
  } else if (headersInFlight_ == 0) {
    threshold = std::max(prebuffer_, lowChunk_);
  } else if (headersInFlight_ >= 3 && inFlight_ >= ringSize_ / 2) {
    threshold = lowChunk_;
  }
  while (buffered_ > threshold) {
    int n = std::min(buffered_, maxChunk_);
    n -= n % blockAlign_;
    if (n == 0) break;
    Node* node = freeList_;
    if (node != nullptr) {
      freeList_ = node->next;
    } else {
      node = new (std::nothrow) Node;
      if (node == nullptr) break;
    }
    buffered_ -= n;
    inFlight_ += n;
    node->next = inFlightList_;
    inFlightList_ = node;
    std::memset(&node->header, 0, sizeof node->header);
    node->header.lpData = ring_ + readOffset_;
    node->header.dwBufferLength = static_cast<DWORD>(n);
    node->header.dwBytesRecorded = static_cast<DWORD>(n);
    readOffset_ += n;
    if (readOffset_ >= ringSize_) {
      readOffset_ -= ringSize_;
      std::memcpy(ring_ + ringSize_, ring_, static_cast<size_t>(readOffset_));
    }
    ++headersInFlight_;
    api_.prepareHeader(handle_, &node->header, sizeof node->header);
    api_.write(handle_, &node->header, sizeof node->header);
    totalSent_ += static_cast<uint64_t>(n);
  }
  draining_ = false;
}

int CWaveOutStream::GetFreeSpace() {
  if (handle_ == nullptr || paused_) return 0;
  // Without a callback, finished headers are found by polling: a writer that
  // waits for room must see the room the device has freed meanwhile.
  Reap();
  return ringSize_ - inFlight_ - buffered_;
}

int CWaveOutStream::Write(const void* data, int length) {
  if (handle_ == nullptr || paused_ || length <= 0) return 0;
  length = std::min(length, GetFreeSpace());
  auto* from = static_cast<const char*>(data);
  int at = (readOffset_ + buffered_) % ringSize_;
  int first = std::min(length, ringSize_ - at);
  std::memcpy(ring_ + at, from, static_cast<size_t>(first));
  std::memcpy(ring_, from + first, static_cast<size_t>(length - first));
  buffered_ += length;
  Pump();
  return length;
}

int CWaveOutStream::GetPendingBytes() {
  if (handle_ == nullptr) return buffered_;
  MMTIME time = {};
  time.wType = TIME_BYTES;
  if (api_.getPosition(handle_, &time, sizeof time) != MMSYSERR_NOERROR || time.wType != TIME_BYTES) {
    return buffered_;
  }
  // Some drivers count played bytes in 20 bits. A report far below the low
  // bits of the last one is such a wrap and carries into the upper bits; a
  // report above 20 bits comes from a wider counter and is taken as it is.
  const uint64_t kWrap = 0x100000;
  uint64_t reported = time.u.cb;
  uint64_t low = lastPosition_ & (kWrap - 1);
  if (reported >= kWrap) {
    lastPosition_ = reported;
  } else if (reported >= low) {
    lastPosition_ = (lastPosition_ & ~(kWrap - 1)) | reported;
  } else if (low - reported > kWrap / 2) {
    lastPosition_ = (lastPosition_ & ~(kWrap - 1)) + kWrap + reported;
  }
  int64_t pending = static_cast<int64_t>(totalSent_) - static_cast<int64_t>(lastPosition_) + buffered_;
  return static_cast<int>(std::max<int64_t>(pending, buffered_));
}

void CWaveOutStream::Reset() {
  if (handle_ == nullptr) return;
  api_.reset(handle_);
  while (inFlightList_ != nullptr) {
    Node* node = inFlightList_;
    inFlightList_ = node->next;
    if ((node->header.dwFlags & WHDR_PREPARED) != 0) {
      api_.unprepareHeader(handle_, &node->header, sizeof node->header);
    }
    node->next = freeList_;
    freeList_ = node;
  }
  ResetCounters();
}

void CWaveOutStream::Flush() {
  if (handle_ == nullptr) return;
  Reset();
  api_.restart(handle_);
}

void CWaveOutStream::Pause(bool pause) {
  if (handle_ == nullptr || pause == paused_) return;
  paused_ = pause;
  if (pause) {
    api_.pause(handle_);
  } else {
    api_.restart(handle_);
  }
}

void CWaveOutStream::Drain() {
  if (handle_ == nullptr || paused_) return;
  draining_ = true;
  Pump();
}

void CWaveOutStream::Close() {
  if (handle_ == nullptr) return;
  Reset();
  api_.close(handle_);
  handle_ = nullptr;
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
