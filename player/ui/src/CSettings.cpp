#include "ui/CSettings.h"

#include "ui/CProfileHelper.h"

namespace {

const char kSkin[] = "SKIN_SETTING";
const char kWindow[] = "WINDOW_SETTING";
const char kColor[] = "COLOR_SETTING";
const char kLyric[] = "LYRIC_SETTING";
const char kGeneral[] = "GENERAL_SETTING";

const RECT kDefaultRect = {0, 0, 250, 150};

std::string ReadString(const char* section, const char* key, const char* defaultText = nullptr) {
  std::string value;
  CProfileHelper::ReadProfileString(section, key, value, defaultText);
  return value;
}

RECT ReadRect(const char* key) {
  RECT rect = kDefaultRect;
  if (!CProfileHelper::ReadProfileStruct(kWindow, key, &rect, sizeof(rect))) rect = kDefaultRect;
  return rect;
}

void WriteRect(const char* key, const RECT* rect) {
  if (rect) CProfileHelper::WriteProfileStruct(kWindow, key, rect, sizeof(*rect));
}

bool ReadFlag(const char* section, const char* key) {
  return CProfileHelper::ReadProfileInt(section, key, 0) != 0;
}

void WriteFlag(const char* section, const char* key, bool flag) {
  CProfileHelper::WriteProfileInt(section, key, flag ? 1 : 0);
}

// SHOW_*_WND by ShowWndFlag index 1..4; null outside.
const char* ShowWndKey(int index) {
  switch (index) {
    case ShowWndFlag::kStaff:
      return "SHOW_STAFF_WND";
    case ShowWndFlag::kLyrics:
      return "SHOW_LYRIC_WND";
    case ShowWndFlag::kPlayList:
      return "SHOW_PLAYLIST_WND";
    case ShowWndFlag::kSongMaker:
      return "SHOW_QUILLIXEDITOR_WND";
    default:
      return nullptr;
  }
}

// *_SHOW_STATE by WndShowState index 0..3; null outside.
const char* ShowStateKey(int index) {
  switch (index) {
    case WndShowState::kMain:
      return "MAINWND_SHOW_STATE";
    case WndShowState::kScore:
      return "SCOREWND_SHOW_STATE";
    case WndShowState::kLyrics:
      return "LYRICSWND_SHOW_STATE";
    case WndShowState::kPlayList:
      return "PLAYLISTWND_SHOW_STATE";
    default:
      return nullptr;
  }
}

}  // namespace

std::string CSettings::GetLatestSkinScheme() { return ReadString(kSkin, "LATEST_SKIN_SCHEME"); }

void CSettings::SetLatestSkinScheme(const char* scheme) {
  if (scheme) CProfileHelper::WriteProfileString(kSkin, "LATEST_SKIN_SCHEME", scheme);
}

std::string CSettings::GetDefaultSkinScheme() { return ReadString(kSkin, "DEFAULT_SKIN_SCHEME"); }

bool CSettings::GetShowWndFlag(int index) {
  const char* key = ShowWndKey(index);
  return key && ReadFlag(kWindow, key);
}

void CSettings::SetShowWndFlag(int index, bool flag) {
  if (const char* key = ShowWndKey(index)) WriteFlag(kWindow, key, flag);
}

RECT CSettings::GetMainWndRect() { return ReadRect("MAIN_WND_RECT"); }
void CSettings::SetMainWndRect(const RECT* rect) { WriteRect("MAIN_WND_RECT", rect); }
RECT CSettings::GetLyricWndRect() { return ReadRect("LYRIC_WND_RECT"); }
void CSettings::SetLyricWndRect(const RECT* rect) { WriteRect("LYRIC_WND_RECT", rect); }
RECT CSettings::GetStaffWndRect() { return ReadRect("STAFF_WND_RECT"); }
void CSettings::SetStaffWndRect(const RECT* rect) { WriteRect("STAFF_WND_RECT", rect); }
RECT CSettings::GetPlayListWndRect() { return ReadRect("PLAYLIST_WND_RECT"); }
void CSettings::SetPlayListWndRect(const RECT* rect) { WriteRect("PLAYLIST_WND_RECT", rect); }
RECT CSettings::GetQuillixEditorWndRect() { return ReadRect("QUILLIXEDITOR_WND_RECT"); }
void CSettings::SetQuillixEditorWndRect(const RECT* rect) { WriteRect("QUILLIXEDITOR_WND_RECT", rect); }

COLORREF CSettings::GetColorSetting(const char* key) {
  COLORREF colour = 0;
  if (!CProfileHelper::ReadProfileStruct(kColor, key, &colour, sizeof(colour))) colour = 0;
  return colour;
}

void CSettings::SetColorSetting(const COLORREF* color, const char* key) {
  if (color && key) CProfileHelper::WriteProfileStruct(kColor, key, color, sizeof(*color));
}

std::string CSettings::GetLyricSetting(const char* key) { return ReadString(kLyric, key); }

void CSettings::SetLyricSetting(const char* value, const char* key) {
  if (value && key) CProfileHelper::WriteProfileString(kLyric, key, value);
}

std::string CSettings::GetLyricEffect(const char* key) { return ReadString(kLyric, key, "Normal"); }

void CSettings::SetLyricEffect(const char* value, const char* key) {
  if (value && key) CProfileHelper::WriteProfileString(kLyric, key, value);
}

int CSettings::GetLyricAlign() { return CProfileHelper::ReadProfileInt(kLyric, "LYRIC_ALIGN", 0); }

void CSettings::SetLyricAlign(int align) {
  CProfileHelper::WriteProfileInt(kLyric, "LYRIC_ALIGN", static_cast<UINT>(align));
}

bool CSettings::GetReloadLastSongList() { return ReadFlag(kGeneral, "RELOAD_LAST_SONGLIST"); }
void CSettings::SetReloadLastSongList(bool reload) { WriteFlag(kGeneral, "RELOAD_LAST_SONGLIST", reload); }

int CSettings::GetPlayMode() { return CProfileHelper::ReadProfileInt(kGeneral, "PLAY_MODE", 0); }

void CSettings::SetPlayMode(int mode) {
  CProfileHelper::WriteProfileInt(kGeneral, "PLAY_MODE", static_cast<UINT>(mode));
}

bool CSettings::GetSingleLoopPlay() { return ReadFlag(kGeneral, "SINGLE_LOOP_PLAY"); }
void CSettings::SetSingleLoopPlay(bool loop) { WriteFlag(kGeneral, "SINGLE_LOOP_PLAY", loop); }

bool CSettings::GetWndShowState(int index) {
  const char* key = ShowStateKey(index);
  return key && ReadFlag(kGeneral, key);
}

void CSettings::SetWndShowState(int index, bool flag) {
  if (const char* key = ShowStateKey(index)) WriteFlag(kGeneral, key, flag);
}

int CSettings::GetDefaultScoreType() {
  return CProfileHelper::ReadProfileInt(kGeneral, "DEFAULT_SCORE_TYPE", 0) != 0 ? 1 : 0;
}

void CSettings::SetDefaultScoreType(int type) {
  CProfileHelper::WriteProfileInt(kGeneral, "DEFAULT_SCORE_TYPE", static_cast<UINT>(type));
}

BYTE CSettings::GetDefaultSoundVolume() {
  return static_cast<BYTE>(CProfileHelper::ReadProfileInt(kGeneral, "DEFAULT_SOUND_VOLUME", 0) & 0xFF);
}

void CSettings::SetDefaultSoundVolume(BYTE volume) {
  CProfileHelper::WriteProfileInt(kGeneral, "DEFAULT_SOUND_VOLUME", volume);
}

std::string CSettings::GetSearchEngineUrl() { return ReadString(kGeneral, "SEARCH_ENGINE_URL"); }

namespace {

// The scheme the player ships with, beside the program.
const char kShippedScheme[] = "Skins\\Default";

std::string JoinScheme(const std::string& folder, std::string scheme) {
  std::string path = folder;
  if (!scheme.empty()) {
    if (scheme.front() == '\\') scheme.erase(0, 1);
    if (!path.empty() && path.back() != '\\') path += '\\';
    path += scheme;
  }
  return path;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string GetSkinSchemeFolder() {
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  std::string scheme = CSettings::GetLatestSkinScheme();
  if (scheme.empty()) scheme = CSettings::GetDefaultSkinScheme();
  // Settings that name no scheme (a lost or fresh settings file), or one whose
  // folder is gone, would leave every window without its images: the shipped
  // scheme stands in.
  const std::string named = JoinScheme(folder, scheme);
  if (!scheme.empty() && IsFolder(named)) return named;
  const std::string shipped = JoinScheme(folder, kShippedScheme);
  return IsFolder(shipped) ? shipped : named;
}
