// One getter per setting key, each bound to its section and key.
#pragma once

#include <windows.h>

#include <string>

class CSettings {
 public:
  virtual ~CSettings() = default;

  // SKIN_SETTING: the scheme folder names, relative to the program folder.
  static std::string GetLatestSkinScheme();
  static std::string GetDefaultSkinScheme();

  // COLOR_SETTING: a COLORREF stored in structure form; 0 (black) when the
  // key is absent or unreadable.
  static COLORREF GetColorSetting(const char* key);
};

// The folder of the current skin scheme: the program folder joined with
// LATEST_SKIN_SCHEME, or with DEFAULT_SKIN_SCHEME when that is empty (the
// program folder itself when both are).
std::string GetSkinSchemeFolder();
