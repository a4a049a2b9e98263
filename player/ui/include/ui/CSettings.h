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

  // LYRIC_SETTING: the font text form of CLogFont (LYRIC_NORM_FONT,
  // SCORE_LYRIC_FONT); empty by default.
  static std::string GetLyricSetting(const char* key);
  // "Karaoke" or "Normal" ("Normal" by default); readers compare the
  // lower-cased text with "karaoke".
  static std::string GetLyricEffect(const char* key);
  // LYRIC_ALIGN as stored (0 by default); the reader clamps it.
  static int GetLyricAlign();

  // WINDOW_SETTING: {0, 0, 250, 150} when missing or unreadable.
  static RECT GetLyricWndRect();

  // GENERAL_SETTING: the always-visible mode of window 0 main, 1 score,
  // 2 lyrics, 3 play list; false for any other index.
  static bool GetWndShowState(int index);
};

// The folder of the current skin scheme: the program folder joined with
// LATEST_SKIN_SCHEME, or with DEFAULT_SKIN_SCHEME when that is empty (the
// program folder itself when both are).
std::string GetSkinSchemeFolder();
