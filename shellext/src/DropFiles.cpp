#include "DropFiles.h"

#include <shlobj.h>

#include <cstring>

namespace shellmark {

namespace {

class ScopedGlobalLock {
 public:
  explicit ScopedGlobalLock(HGLOBAL block) : m_block(block), m_data(GlobalLock(block)) {}
  ~ScopedGlobalLock() {
    if (m_data) GlobalUnlock(m_block);
  }
  ScopedGlobalLock(const ScopedGlobalLock&) = delete;
  ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;

  const BYTE* Data() const { return static_cast<const BYTE*>(m_data); }

 private:
  HGLOBAL m_block;
  void* m_data;
};

// Splits a double-NUL list of names held in text; a name that runs to the end
// of the text without its NUL is dropped.
template <class Char>
std::vector<std::basic_string<Char>> SplitList(const std::basic_string<Char>& text) {
  std::vector<std::basic_string<Char>> names;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(Char(0), start);
    if (end == std::basic_string<Char>::npos || end == start) break;
    names.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

std::wstring FromAnsi(const std::string& text) {
  int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) return {};
  std::wstring wide(size, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
  return wide;
}

}  // namespace

std::vector<std::wstring> ReadDropFiles(HGLOBAL block) {
  std::vector<std::wstring> names;
  if (!block) return names;
  SIZE_T size = GlobalSize(block);
  if (size < sizeof(DROPFILES)) return names;
  ScopedGlobalLock lock(block);
  if (!lock.Data()) return names;
  DROPFILES header;
  std::memcpy(&header, lock.Data(), sizeof header);
  if (header.pFiles >= size) return names;
  const BYTE* list = lock.Data() + header.pFiles;
  SIZE_T listBytes = size - header.pFiles;
  if (header.fWide) {
    // Copied out, so an odd offset never makes an unaligned wide read.
    std::wstring text(listBytes / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(&text[0], list, text.size() * sizeof(wchar_t));
    names = SplitList(text);
  } else {
    std::string text(reinterpret_cast<const char*>(list), listBytes);
    for (const std::string& name : SplitList(text)) names.push_back(FromAnsi(name));
  }
  return names;
}

}  // namespace shellmark
