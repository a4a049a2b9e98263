#include "ui/CProfileHelper.h"

#include <cstring>
#include <vector>

namespace {

std::string SettingsFileOr(const char* file) {
  if (file) return file;
  std::string path;
  CProfileHelper::GetIniFilePath(path);
  return path;
}

// The main module's full path, however long.
std::string ModulePath() {
  std::vector<char> module(MAX_PATH);
  for (;;) {
    DWORD n = ::GetModuleFileNameA(nullptr, module.data(), static_cast<DWORD>(module.size()));
    if (n == 0) return std::string();
    if (n < module.size()) return std::string(module.data(), n);
    module.resize(module.size() * 2);
  }
}

// Structures stored in the settings are a few words; anything larger is a
// caller's mistake, not a value to read.
const UINT kMaxStructSize = 4096;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

void GetAppFolder(char* buffer, DWORD size) {
  if (!buffer || size == 0) return;
  std::string path = ModulePath();
  size_t slash = path.find_last_of('\\');
  if (slash != std::string::npos) {
    // A drive root keeps its backslash, as PathRemoveFileSpec leaves it.
    path.erase(slash == 2 && path[1] == ':' ? slash + 1 : slash);
  }
  lstrcpynA(buffer, path.c_str(), static_cast<int>(size));
}

void CProfileHelper::GetIniFilePath(std::string& out) {
  out = ModulePath();
  size_t slash = out.find_last_of('\\');
  size_t dot = out.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) out.erase(dot);
  out += ".ini";
}

int CProfileHelper::ReadProfileString(const char* section, const char* key, std::string& out,
                                      const char* defaultText, const char* file) {
  char buffer[260];
  DWORD n = ::GetPrivateProfileStringA(section, key, defaultText ? defaultText : "", buffer, sizeof(buffer),
                                       SettingsFileOr(file).c_str());
  out.assign(buffer, n);
  return static_cast<int>(n);
}

bool CProfileHelper::ReadProfileStruct(const char* section, const char* key, void* buffer, UINT size,
                                       const char* file) {
  if (!buffer || size == 0 || size > kMaxStructSize) return false;
  // Decoded here rather than by the platform: Wine writes the bytes into the
  // caller's buffer before it checks the sum, and accepts overlong values.
  const size_t digits = 2 * (static_cast<size_t>(size) + 1);
  std::vector<char> text(digits + 2);
  DWORD n = ::GetPrivateProfileStringA(section, key, "", text.data(), static_cast<DWORD>(text.size()),
                                       SettingsFileOr(file).c_str());
  if (n != digits) return false;
  std::vector<BYTE> bytes(size + 1);
  for (size_t i = 0; i <= size; ++i) {
    int high = HexDigit(text[2 * i]);
    int low = HexDigit(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i] = static_cast<BYTE>(high << 4 | low);
  }
  BYTE sum = 0;
  for (size_t i = 0; i < size; ++i) sum = static_cast<BYTE>(sum + bytes[i]);
  if (sum != bytes[size]) return false;
  memcpy(buffer, bytes.data(), size);
  return true;
}

int CProfileHelper::ReadProfileInt(const char* section, const char* key, int defaultValue, const char* file) {
  return static_cast<int>(::GetPrivateProfileIntA(section, key, defaultValue, SettingsFileOr(file).c_str()));
}

bool CProfileHelper::WriteProfileInt(const char* section, const char* key, UINT value, const char* file) {
  char text[16];
  wsprintfA(text, "%d", static_cast<int>(value));
  return ::WritePrivateProfileStringA(section, key, text, SettingsFileOr(file).c_str()) != FALSE;
}

bool CProfileHelper::WriteProfileString(const char* section, const char* key, const char* value,
                                        const char* file) {
  return ::WritePrivateProfileStringA(section, key, value, SettingsFileOr(file).c_str()) != FALSE;
}

bool CProfileHelper::WriteProfileStruct(const char* section, const char* key, const void* buffer, UINT size,
                                        const char* file) {
  return ::WritePrivateProfileStructA(section, key, const_cast<void*>(buffer), size,
                                      SettingsFileOr(file).c_str()) != FALSE;
}
