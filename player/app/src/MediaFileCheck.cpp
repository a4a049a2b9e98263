#include "app/MediaFileCheck.h"

#include <windows.h>
#include <shlwapi.h>

#include <vector>

#include "playback/MediaKinds.h"

FileRejection CheckMediaFile(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (path.empty() || !::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
    return FileRejection::kMissing;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return FileRejection::kFolder;
  if (data.nFileSizeLow == 0 && data.nFileSizeHigh == 0) return FileRejection::kEmpty;
  if (MediaKindOf(path) == MediaKind::kNone) return FileRejection::kUnknownKind;
  return FileRejection::kNone;
}

std::string RejectionText(const std::string& path, FileRejection why) {
  const char* reason = "";
  switch (why) {
    case FileRejection::kNone:
      return std::string();
    case FileRejection::kMissing:
      reason = "cannot be found.";
      break;
    case FileRejection::kFolder:
      reason = "is a folder, not a song file.";
      break;
    case FileRejection::kEmpty:
      reason = "is empty.";
      break;
    case FileRejection::kUnknownKind:
      reason = "is not a kind of file Melodara plays (MP3, WMA, ASF, WMV, WAV or MIDI).";
      break;
    case FileRejection::kUnmeasurable:
      reason = "cannot be read as a song.";
      break;
    case FileRejection::kUnspellable:
      reason = "has a name this system cannot spell and no short name to open it by.";
      break;
  }
  // A path ending in a separator names its folder by the part before it.
  std::string name = path;
  while (name.size() > 1 && (name.back() == '\\' || name.back() == '/')) name.pop_back();
  const size_t cut = name.find_last_of("\\/");
  if (cut != std::string::npos && cut + 1 < name.size()) name.erase(0, cut + 1);
  return "\"" + name + "\" " + reason;
}

namespace {

// The text in the system code page; false when a character had no spelling.
bool ToAnsi(const std::wstring& wide, std::string* out) {
  out->clear();
  if (wide.empty()) return true;
  // A UTF-8 code page spells everything, and takes neither the flag nor the
  // default-character report.
  const bool utf8 = ::GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL lossy = FALSE;
  const int length = static_cast<int>(wide.size());
  const int size = ::WideCharToMultiByte(CP_ACP, flags, wide.c_str(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return false;
  std::vector<char> bytes(static_cast<size_t>(size));
  ::WideCharToMultiByte(CP_ACP, flags, wide.c_str(), length, bytes.data(), size, nullptr,
                        utf8 ? nullptr : &lossy);
  out->assign(bytes.begin(), bytes.end());
  return !lossy;
}

}  // namespace

bool SpellablePath(const std::wstring& path, std::string* spelled) {
  std::string ansi;
  if (ToAnsi(path, &ansi)) {
    *spelled = ansi;
    return true;
  }
  // The short name is ASCII where it exists (on Wine too); a volume without
  // short names gives none, and the file cannot be opened by the ANSI calls.
  const DWORD needed = ::GetShortPathNameW(path.c_str(), nullptr, 0);
  if (needed > 0) {
    std::vector<wchar_t> shortName(needed + 1);
    const DWORD got = ::GetShortPathNameW(path.c_str(), shortName.data(), needed + 1);
    std::string shortAnsi;
    if (got > 0 && got <= needed && ToAnsi(std::wstring(shortName.data(), got), &shortAnsi) &&
        shortAnsi.find('~') != std::string::npos) {
      *spelled = shortAnsi;
      return true;
    }
  }
  *spelled = ansi;
  return false;
}
