#include "output/CSampleBuffer.h"

#include <cstring>
#include <new>

CSampleBuffer* CSampleBuffer::Create(DWORD maxLength, std::shared_ptr<SamplePool> pool, unsigned round) {
  // Value-initialised: a fresh buffer reads as silence, like a recycled one.
  std::unique_ptr<BYTE[]> data(new (std::nothrow) BYTE[maxLength > 0 ? maxLength : 1]());
  if (!data) return nullptr;
  return new (std::nothrow) CSampleBuffer(std::move(data), maxLength, std::move(pool), round);
}

HRESULT CSampleBuffer::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_INVALIDARG;
  if (iid == __uuidof(INSSBuffer) || iid == __uuidof(IUnknown)) {
    *out = static_cast<INSSBuffer*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG CSampleBuffer::AddRef() { return ++m_refs; }

ULONG CSampleBuffer::Release() {
  ULONG left = --m_refs;
  if (left != 0) return left;
  if (m_pool) {
    // Nobody holds the buffer now: clear it outside the lock.
    std::memset(m_data.get(), 0, m_maxLength);
    m_length = 0;
    m_refs = 1;
    std::lock_guard<std::mutex> hold(m_pool->lock);
    if (m_pool->open && m_pool->round == m_round) {
      m_pool->free.push_back(this);
      return 0;
    }
  }
  delete this;
  return 0;
}

HRESULT CSampleBuffer::GetLength(DWORD* length) {
  if (length == nullptr) return E_INVALIDARG;
  *length = m_length;
  return S_OK;
}

HRESULT CSampleBuffer::SetLength(DWORD length) {
  if (length > m_maxLength) return E_INVALIDARG;
  m_length = length;
  return S_OK;
}

HRESULT CSampleBuffer::GetMaxLength(DWORD* length) {
  if (length == nullptr) return E_INVALIDARG;
  *length = m_maxLength;
  return S_OK;
}

HRESULT CSampleBuffer::GetBuffer(BYTE** data) {
  if (data == nullptr) return E_INVALIDARG;
  *data = m_data.get();
  return S_OK;
}

HRESULT CSampleBuffer::GetBufferAndLength(BYTE** data, DWORD* length) {
  if (data == nullptr || length == nullptr) return E_INVALIDARG;
  *data = m_data.get();
  *length = m_length;
  return S_OK;
}
