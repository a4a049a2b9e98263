#pragma once
// Reads one text value from the registry, as whatever wrote it left it: the
// value may be missing, of another type, or stored without its terminating
// NUL, and none of that may take Explorer's process down.
#include <windows.h>

#include <string>

namespace shellmark {

class CShellRegReader {
 public:
  // path: the key's path and the value's name in one, split at the last
  // backslash ("Software\\Melodara\\InstallPath").
  CShellRegReader(HKEY root, const std::wstring& path, const std::wstring& defaultText = std::wstring());

  // True when the value exists as REG_SZ or REG_EXPAND_SZ (the latter with its
  // environment variables expanded); anything else keeps the default.
  bool Read();
  bool IsRead() const { return m_read; }
  // The text read, up to its first NUL; the default when nothing was read.
  const std::wstring& GetText() const { return m_read ? m_text : m_default; }

 private:
  HKEY m_root;
  std::wstring m_keyPath;
  std::wstring m_valueName;
  std::wstring m_default;
  std::wstring m_text;
  bool m_read = false;
};

}  // namespace shellmark
