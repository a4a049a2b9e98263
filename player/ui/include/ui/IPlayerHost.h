// What the player's tool windows (lyrics, song maker, play list, score frame,
// buttons) ask of the main window. The main window implements it and
// registers itself once it exists; before that, and after it unregisters,
// GetPlayerHost answers null and every caller does nothing.
//
// Operations are appended, never reordered: each later window adds its group
// at the end, under a heading, with a default body so that a fake host in a
// test only overrides what it checks. UI thread only.
#pragma once

#include <windows.h>

class IPlayerHost {
 public:
  // The main window's handle: commands, keys and dropped files that a tool
  // window does not handle itself are sent or posted to it.
  virtual HWND GetHostWindow() = 0;

  // Lyrics window:
  // The event index (a tick) of the lyric clicked last; -1 for none.
  virtual void SetClickPosition(int eventIndex) {}
  // Seeks to the stored click position and plays from there.
  virtual void PlayFromClickPosition() {}
  // The lyric popup menu, prepared for the current state; null for none. The
  // host keeps it.
  virtual HMENU UpdatePopupMenu() { return nullptr; }
  // Opens the Preferences on that page.
  virtual void ShowPreferences(int page) {}

 protected:
  ~IPlayerHost() = default;
};

// The registered host, or null. The host is not owned: it calls
// SetPlayerHost(nullptr) before it goes away.
IPlayerHost* GetPlayerHost();
void SetPlayerHost(IPlayerHost* host);
