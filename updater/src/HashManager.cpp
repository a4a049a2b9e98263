#include "updater/HashManager.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "Digests.h"

namespace {

// The block each algorithm reads a file in; the updater's MD5 keeps to 2048.
size_t FileBlock(int algorithm) {
  switch (algorithm) {
    case CHashManager::kCrc32:
      return 4096;
    case CHashManager::kMd5:
      return 2048;
    default:
      return 16000;
  }
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

}  // namespace

std::string CHashManager::GetHash() {
  m_result.clear();
  std::unique_ptr<updater_hash::Digest> digest = updater_hash::MakeDigest(m_algorithm, m_sha2Bits);
  if (!digest) return m_result;
  if (m_source == kSourceText) {
    // Text ends at its first NUL, as a C string would.
    digest->Update(reinterpret_cast<const uint8_t*>(m_text.c_str()), strlen(m_text.c_str()));
    m_result = Hex(digest->Finish());
  } else {
    if (m_filePath.empty()) return m_result;
    FILE* file = fopen(m_filePath.c_str(), "rb");
    if (!file) {
      // The CRC of a missing file is the CRC of nothing.
      if (m_algorithm == kCrc32) m_result = Hex(digest->Finish());
      return ApplyFormat();
    }
    std::vector<uint8_t> block(FileBlock(m_algorithm));
    uint64_t total = 0;
    for (;;) {
      size_t got = fread(block.data(), 1, block.size(), file);
      digest->Update(block.data(), got);
      total += got;
      if (got < block.size()) break;
    }
    fclose(file);
    // An empty download can never pass for a component.
    if (m_algorithm == kMd5 && total == 0) return m_result;
    m_result = Hex(digest->Finish());
  }
  return ApplyFormat();
}

std::string CHashManager::ApplyFormat() {
  if (m_format == kLowerSpaced || m_format == kUpperSpaced) {
    std::string spaced;
    for (size_t i = 0; i < m_result.size(); ++i) {
      spaced += m_result[i];
      if (i % 2 == 1) spaced += ' ';
    }
    m_result = spaced;
  }
  if (m_format == kUpper || m_format == kUpperSpaced)
    for (char& c : m_result) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return m_result;
}
