#pragma once
// A reader sample buffer. A pooled buffer goes back to its allocator's pool when
// its count reaches 0 (zero-filled, count 1 again); an unpooled one deletes
// itself.
#include <windows.h>
#include <wmsbuffer.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class CSampleBuffer;

// The free buffers of one allocator, shared with every buffer it made, so a
// buffer the reader still holds when the allocator goes finds the pool closed
// and deletes itself instead of reaching a dead allocator.
struct SamplePool {
  std::mutex lock;
  bool open = true;
  // Raised whenever the pool is emptied: a buffer of an older round (another
  // file, another size) is deleted instead of recycled.
  unsigned round = 0;
  std::vector<CSampleBuffer*> free;
};

class CSampleBuffer final : public INSSBuffer {
 public:
  // Null when memory runs out. pool null: unpooled.
  static CSampleBuffer* Create(DWORD maxLength, std::shared_ptr<SamplePool> pool, unsigned round);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetLength(DWORD* length) override;
  // Above the maximum length: E_INVALIDARG, the length unchanged.
  HRESULT STDMETHODCALLTYPE SetLength(DWORD length) override;
  HRESULT STDMETHODCALLTYPE GetMaxLength(DWORD* length) override;
  HRESULT STDMETHODCALLTYPE GetBuffer(BYTE** data) override;
  HRESULT STDMETHODCALLTYPE GetBufferAndLength(BYTE** data, DWORD* length) override;

  // Deletes a buffer that sits in a pool (count 1, nobody else holds it).
  void Discard() { delete this; }

 private:
  CSampleBuffer(std::unique_ptr<BYTE[]> data, DWORD maxLength, std::shared_ptr<SamplePool> pool,
                unsigned round)
      : m_data(std::move(data)), m_maxLength(maxLength), m_pool(std::move(pool)), m_round(round) {}
  ~CSampleBuffer() = default;

  std::atomic<ULONG> m_refs{1};
  std::unique_ptr<BYTE[]> m_data;
  DWORD m_maxLength;
  DWORD m_length = 0;
  std::shared_ptr<SamplePool> m_pool;
  unsigned m_round;
};
