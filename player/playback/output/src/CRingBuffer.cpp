#include "output/CRingBuffer.h"

#include <algorithm>
#include <cstring>

bool CRingBuffer::Init(size_t size) {
  Reset();
  m_size = 0;
  if (m_storage.Init(size) == nullptr && size != 0) return false;
  m_size = size;
  return true;
}

bool CRingBuffer::Write(const void* data, size_t n) {
  if (n > FreeSpace()) return false;
  auto* bytes = static_cast<unsigned char*>(m_storage.Data());
  auto* from = static_cast<const unsigned char*>(data);
  while (n > 0) {
    size_t piece = std::min(n, m_size - m_writeOffset);
    std::memcpy(bytes + m_writeOffset, from, piece);
    from += piece;
    n -= piece;
    m_fill += piece;
    m_writeOffset = (m_writeOffset + piece) % m_size;
  }
  return true;
}

size_t CRingBuffer::Read(void* dest, size_t n) {
  auto* bytes = static_cast<const unsigned char*>(m_storage.Data());
  auto* to = static_cast<unsigned char*>(dest);
  size_t copied = 0;
  for (;;) {
    size_t piece = std::min({m_size - m_readOffset, m_fill, n - copied});
    if (piece == 0) break;
    std::memcpy(to + copied, bytes + m_readOffset, piece);
    copied += piece;
    m_fill -= piece;
    m_readOffset = (m_readOffset + piece) % m_size;
  }
  return copied;
}
