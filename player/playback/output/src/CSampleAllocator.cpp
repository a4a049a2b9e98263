#include "output/CSampleAllocator.h"

#include <utility>

namespace {

// Deletes the buffers taken out of a pool, outside its lock.
void DiscardAll(std::vector<CSampleBuffer*>& buffers) {
  for (CSampleBuffer* buffer : buffers) buffer->Discard();
  buffers.clear();
}

}  // namespace

CSampleAllocator::CSampleAllocator() : m_pool(std::make_shared<SamplePool>()) {}

CSampleAllocator::~CSampleAllocator() {
  std::vector<CSampleBuffer*> free;
  {
    std::lock_guard<std::mutex> hold(m_pool->lock);
    m_pool->open = false;
    free.swap(m_pool->free);
  }
  DiscardAll(free);
}

void CSampleAllocator::Setup(DWORD output, DWORD maxSampleSize) {
  std::vector<CSampleBuffer*> free;
  {
    std::lock_guard<std::mutex> hold(m_pool->lock);
    m_output = output;
    m_maxSampleSize = maxSampleSize;
    ++m_pool->round;
    free.swap(m_pool->free);
  }
  DiscardAll(free);
}

int CSampleAllocator::PooledCount() {
  std::lock_guard<std::mutex> hold(m_pool->lock);
  return static_cast<int>(m_pool->free.size());
}

HRESULT CSampleAllocator::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (iid == __uuidof(IWMReaderCallbackAdvanced) || iid == __uuidof(IUnknown)) {
    *out = static_cast<IWMReaderCallbackAdvanced*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG CSampleAllocator::AddRef() { return ++m_refs; }

ULONG CSampleAllocator::Release() { return --m_refs; }

HRESULT CSampleAllocator::OnStreamSample(WORD, QWORD, QWORD, DWORD, INSSBuffer*, void*) { return S_OK; }

HRESULT CSampleAllocator::OnTime(QWORD, void*) { return S_OK; }

HRESULT CSampleAllocator::OnStreamSelection(WORD, WORD*, WMT_STREAM_SELECTION*, void*) { return S_OK; }

HRESULT CSampleAllocator::OnOutputPropsChanged(DWORD, WM_MEDIA_TYPE*, void*) { return S_OK; }

HRESULT CSampleAllocator::AllocateForStream(WORD, DWORD, INSSBuffer**, void*) { return S_OK; }

HRESULT CSampleAllocator::AllocateForOutput(DWORD output, DWORD size, INSSBuffer** sample, void*) {
  if (sample == nullptr) return E_POINTER;
  *sample = nullptr;
  CSampleBuffer* buffer = nullptr;
  {
    std::lock_guard<std::mutex> hold(m_pool->lock);
    if (output != m_output) return S_FALSE;
    if (size > m_maxSampleSize) {
      buffer = CSampleBuffer::Create(size, nullptr, 0);
    } else if (!m_pool->free.empty()) {
      buffer = m_pool->free.front();
      m_pool->free.erase(m_pool->free.begin());
    } else {
      buffer = CSampleBuffer::Create(m_maxSampleSize, m_pool, m_pool->round);
    }
  }
  if (buffer == nullptr) return E_OUTOFMEMORY;
  buffer->SetLength(size);
  ++m_allocations;
  *sample = buffer;
  return S_OK;
}
