#include "ui/CProfileHelper.h"

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
  return ::GetPrivateProfileStructA(section, key, buffer, size, SettingsFileOr(file).c_str()) != FALSE;
}

int CProfileHelper::ReadProfileInt(const char* section, const char* key, int defaultValue, const char* file) {
  return static_cast<int>(::GetPrivateProfileIntA(section, key, defaultValue, SettingsFileOr(file).c_str()));
}
