#pragma once
// The player's Preferences: a tree sheet with the Lyrics, Play List and Score
// pages, run modally. page picks the page shown first: 1 score, 2 lyrics,
// 3 play list, anything else the score. The pages apply their settings to
// the live windows of host (the main window; null: the settings are only
// stored). The sheet is owned by the frame the user asked from
// (DialogOwner), else by parent.
#include <afxwin.h>

class IPlayerHost;
class ISongEngine;

// Test hook: runs on the sheet once it is up (null: none).
using PreferencesProbe = void (*)(CWnd* sheet);
void SetPreferencesProbe(PreferencesProbe probe);

INT_PTR RunPreferences(HWND parent, ISongEngine* engine, int page, IPlayerHost* host);
