// One getter (and mostly one setter) per setting key, each bound to its
// section and key. Nothing is cached: each getter reads the settings file and
// each setter writes it at once.
#pragma once

#include <windows.h>

#include <string>

// The player's three numberings of its tool windows. They differ; use the
// names, never the bare numbers.
namespace ShowWndFlag {
// GetShowWndFlag / SetShowWndFlag (WINDOW_SETTING SHOW_*_WND: shown at start).
enum : int { kStaff = 1, kLyrics = 2, kPlayList = 3, kSongMaker = 4 };
}  // namespace ShowWndFlag
namespace WndShowState {
// GetWndShowState / SetWndShowState (GENERAL_SETTING *_SHOW_STATE: topmost).
enum : int { kMain = 0, kScore = 1, kLyrics = 2, kPlayList = 3 };
}  // namespace WndShowState
namespace ChildWndId {
// wParam of WM_SKIN_HIDE_CHILD: the tool frame that closed.
enum : int { kScore = 1, kPlayList = 2, kLyrics = 3, kSongMaker = 4 };
}  // namespace ChildWndId

class CSettings {
 public:
  virtual ~CSettings() = default;

  // SKIN_SETTING: the scheme folder names, relative to the program folder.
  static std::string GetLatestSkinScheme();
  // A null text writes nothing.
  static void SetLatestSkinScheme(const char* scheme);
  static std::string GetDefaultSkinScheme();

  // WINDOW_SETTING
  // SHOW_*_WND by ShowWndFlag index 1..4; any other index reads false and
  // writes nothing.
  static bool GetShowWndFlag(int index);
  static void SetShowWndFlag(int index, bool flag);
  // The rectangles: {0, 0, 250, 150} when missing or unreadable.
  static RECT GetMainWndRect();
  static void SetMainWndRect(const RECT* rect);
  static RECT GetLyricWndRect();
  static void SetLyricWndRect(const RECT* rect);
  static RECT GetStaffWndRect();
  static void SetStaffWndRect(const RECT* rect);
  static RECT GetPlayListWndRect();
  static void SetPlayListWndRect(const RECT* rect);
  static RECT GetQuillixEditorWndRect();
  static void SetQuillixEditorWndRect(const RECT* rect);

  // COLOR_SETTING: a COLORREF stored in structure form; 0 (black) when the
  // key is absent or unreadable.
  static COLORREF GetColorSetting(const char* key);
  static void SetColorSetting(const COLORREF* color, const char* key);

  // LYRIC_SETTING
  // The font text form of CLogFont (LYRIC_NORM_FONT, SCORE_LYRIC_FONT);
  // empty by default.
  static std::string GetLyricSetting(const char* key);
  static void SetLyricSetting(const char* value, const char* key);
  // "Karaoke" or "Normal" ("Normal" by default); readers compare the
  // lower-cased text with "karaoke".
  static std::string GetLyricEffect(const char* key);
  static void SetLyricEffect(const char* value, const char* key);
  // LYRIC_ALIGN as stored (0 by default); the reader clamps it.
  static int GetLyricAlign();
  static void SetLyricAlign(int align);

  // GENERAL_SETTING
  static bool GetReloadLastSongList();
  static void SetReloadLastSongList(bool reload);
  // The play-list order as stored (0 by default).
  static int GetPlayMode();
  static void SetPlayMode(int mode);
  static bool GetSingleLoopPlay();
  static void SetSingleLoopPlay(bool loop);
  // The always-visible (topmost) mode by WndShowState index 0..3; any other
  // index reads false and writes nothing.
  static bool GetWndShowState(int index);
  static void SetWndShowState(int index, bool flag);
  // 0 staff, 1 numbered notation: any non-zero stored value reads as 1; the
  // setter writes its value unchanged.
  static int GetDefaultScoreType();
  static void SetDefaultScoreType(int type);
  // The low 8 bits of the stored number.
  static BYTE GetDefaultSoundVolume();
  static void SetDefaultSoundVolume(BYTE volume);
  // The singer's search address; "%s" marks where the singer goes.
  static std::string GetSearchEngineUrl();
};

// The folder of the current skin scheme: the program folder joined with
// LATEST_SKIN_SCHEME, or with DEFAULT_SKIN_SCHEME when that is empty (the
// program folder itself when both are).
std::string GetSkinSchemeFolder();
