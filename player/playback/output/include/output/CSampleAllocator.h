#pragma once
// Hands the Windows Media reader our own buffers for the audio output, from a
// pool of buffers of the output's maximum sample size. The other advanced
// callbacks do nothing.
//
// Threads: AllocateForOutput runs on a reader thread and buffers come back on
// whichever thread releases them last; the pool is locked for both. A member
// of the player: its count never deletes it.
#include <windows.h>
#include <wmsdkidl.h>

#include <atomic>
#include <memory>

#include "output/CSampleBuffer.h"

class CSampleAllocator : public IWMReaderCallbackAdvanced {
 public:
  CSampleAllocator();
  virtual ~CSampleAllocator();
  CSampleAllocator(const CSampleAllocator&) = delete;
  CSampleAllocator& operator=(const CSampleAllocator&) = delete;

  // For a newly opened file: the output served and its maximum sample size.
  // Empties the pool.
  void Setup(DWORD output, DWORD maxSampleSize);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE OnStreamSample(WORD stream, QWORD time, QWORD duration, DWORD flags,
                                           INSSBuffer* sample, void* context) override;
  HRESULT STDMETHODCALLTYPE OnTime(QWORD time, void* context) override;
  HRESULT STDMETHODCALLTYPE OnStreamSelection(WORD count, WORD* streams, WMT_STREAM_SELECTION* selections,
                                              void* context) override;
  HRESULT STDMETHODCALLTYPE OnOutputPropsChanged(DWORD output, WM_MEDIA_TYPE* type, void* context) override;
  HRESULT STDMETHODCALLTYPE AllocateForStream(WORD stream, DWORD size, INSSBuffer** sample,
                                              void* context) override;
  // Another output: S_FALSE. Up to the maximum size a pooled buffer; a larger
  // request (the reader promised none) gets a buffer of its own size that is
  // not pooled, so nothing is ever written past a buffer.
  HRESULT STDMETHODCALLTYPE AllocateForOutput(DWORD output, DWORD size, INSSBuffer** sample,
                                              void* context) override;

  // Buffers handed out so far (tests: whether the reader asks at all).
  int Allocations() const { return m_allocations; }
  // Buffers waiting in the pool.
  int PooledCount();

 private:
  std::atomic<ULONG> m_refs{1};
  std::atomic<int> m_allocations{0};
  std::shared_ptr<SamplePool> m_pool;
  // Guarded by the pool's lock.
  DWORD m_output = 0;
  DWORD m_maxSampleSize = 0;
};
