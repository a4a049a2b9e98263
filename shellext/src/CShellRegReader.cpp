#include "CShellRegReader.h"

#include "base/Handles.h"

namespace shellmark {

namespace {
// A path or a file name; a value that claims more than the longest command
// line is not what the installer wrote.
constexpr DWORD kMaxValueBytes = 32768 * sizeof(wchar_t);

std::wstring Expand(const std::wstring& text) {
  DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (size == 0) return text;
  std::wstring expanded(size, L'\0');
  DWORD got = ExpandEnvironmentStringsW(text.c_str(), &expanded[0], size);
  if (got == 0 || got > size) return text;
  expanded.resize(got - 1);
  return expanded;
}
}  // namespace

CShellRegReader::CShellRegReader(HKEY root, const std::wstring& path, const std::wstring& defaultText)
    : m_root(root), m_default(defaultText) {
  size_t slash = path.find_last_of(L'\\');
  if (slash == std::wstring::npos) {
    m_valueName = path;
  } else {
    m_keyPath = path.substr(0, slash);
    m_valueName = path.substr(slash + 1);
  }
}

bool CShellRegReader::Read() {
  m_read = false;
  m_text.clear();
  base::RegKey key;
  if (RegOpenKeyExW(m_root, m_keyPath.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return false;
  // The value may change between asking its size and reading it: ask again
  // while it grows.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.Get(), m_valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
      return false;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size > kMaxValueBytes) return false;
    // One character more than the data holds, zeroed: the data need not end
    // in a NUL, and an odd byte count leaves half a character.
    std::wstring buffer((size + sizeof(wchar_t) - 1) / sizeof(wchar_t) + 1, L'\0');
    DWORD got = size;
    LONG rc = RegQueryValueExW(key.Get(), m_valueName.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(&buffer[0]), &got);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    buffer.resize(got / sizeof(wchar_t));
    size_t nul = buffer.find(L'\0');
    if (nul != std::wstring::npos) buffer.resize(nul);
    m_text = type == REG_EXPAND_SZ ? Expand(buffer) : buffer;
    m_read = true;
    return true;
  }
  return false;
}

}  // namespace shellmark
