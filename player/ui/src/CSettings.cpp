#include "ui/CSettings.h"

#include "ui/CProfileHelper.h"

std::string CSettings::GetLatestSkinScheme() {
  std::string value;
  CProfileHelper::ReadProfileString("SKIN_SETTING", "LATEST_SKIN_SCHEME", value);
  return value;
}

std::string CSettings::GetDefaultSkinScheme() {
  std::string value;
  CProfileHelper::ReadProfileString("SKIN_SETTING", "DEFAULT_SKIN_SCHEME", value);
  return value;
}

COLORREF CSettings::GetColorSetting(const char* key) {
  COLORREF colour = 0;
  if (!CProfileHelper::ReadProfileStruct("COLOR_SETTING", key, &colour, sizeof(colour))) colour = 0;
  return colour;
}

std::string CSettings::GetLyricSetting(const char* key) {
  std::string value;
  CProfileHelper::ReadProfileString("LYRIC_SETTING", key, value);
  return value;
}

std::string CSettings::GetLyricEffect(const char* key) {
  std::string value;
  CProfileHelper::ReadProfileString("LYRIC_SETTING", key, value, "Normal");
  return value;
}

int CSettings::GetLyricAlign() { return CProfileHelper::ReadProfileInt("LYRIC_SETTING", "LYRIC_ALIGN", 0); }

RECT CSettings::GetLyricWndRect() {
  RECT rect = {0, 0, 250, 150};
  if (!CProfileHelper::ReadProfileStruct("WINDOW_SETTING", "LYRIC_WND_RECT", &rect, sizeof(rect))) {
    rect = RECT{0, 0, 250, 150};
  }
  return rect;
}

bool CSettings::GetWndShowState(int index) {
  static const char* const kKeys[] = {"MAINWND_SHOW_STATE", "SCOREWND_SHOW_STATE", "LYRICSWND_SHOW_STATE",
                                      "PLAYLISTWND_SHOW_STATE"};
  if (index < 0 || index >= static_cast<int>(sizeof(kKeys) / sizeof(kKeys[0]))) return false;
  return CProfileHelper::ReadProfileInt("GENERAL_SETTING", kKeys[index], 0) != 0;
}

std::string GetSkinSchemeFolder() {
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  std::string scheme = CSettings::GetLatestSkinScheme();
  if (scheme.empty()) scheme = CSettings::GetDefaultSkinScheme();
  std::string path = folder;
  if (!scheme.empty()) {
    if (scheme.front() == '\\') scheme.erase(0, 1);
    if (!path.empty() && path.back() != '\\') path += '\\';
    path += scheme;
  }
  return path;
}
