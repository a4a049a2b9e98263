#include "MusicFont.h"

#include <windows.h>

namespace {

// The library runs on its caller's one thread, so a plain counter will do.
int g_references = 0;
std::string g_addedPath;  // the name the font was added under; empty when not added

bool AddPrivate(const std::string& path) {
  if (AddFontResourceExA(path.c_str(), FR_PRIVATE, nullptr) == 0) return false;
  g_addedPath = path;
  return true;
}

}  // namespace

std::string CMusicFont::PathBesideModule() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCSTR>(&CMusicFont::PathBesideModule), &module))
    return std::string();
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return std::string();
  std::string folder(path, n);
  const size_t slash = folder.find_last_of("\\/");
  if (slash == std::string::npos) return std::string();
  return folder.substr(0, slash + 1) + kFileName;
}

bool CMusicFont::AddRef() {
  if (g_references++ > 0) return IsAdded();
  // By full path first: a player started from a shortcut, a file association
  // or Explorer has some other current folder, and a bare name would then
  // leave every clef to a substitute text font.
  const std::string beside = PathBesideModule();
  if (!beside.empty() && AddPrivate(beside)) return true;
  return AddPrivate(kFileName);
}

void CMusicFont::Release() {
  if (g_references <= 0 || --g_references > 0) return;
  if (!g_addedPath.empty()) RemoveFontResourceExA(g_addedPath.c_str(), FR_PRIVATE, nullptr);
  g_addedPath.clear();
}

bool CMusicFont::IsAdded() { return !g_addedPath.empty(); }

void CMusicFont::DrawSymbol(HDC dc, char symbol, int x, int referenceY, int fallbackTop) {
  if (!IsAdded()) {
    TextOutA(dc, x, fallbackTop, &symbol, 1);
    return;
  }
  const UINT align = SetTextAlign(dc, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
  TextOutA(dc, x, referenceY, &symbol, 1);
  SetTextAlign(dc, align);
}
