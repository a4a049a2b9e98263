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
