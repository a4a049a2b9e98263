// What the player's tool windows (lyrics, song maker, play list, score frame,
// buttons) ask of the main window. The main window implements it and hands
// itself to each window and button it makes; one made without a host (null)
// does nothing where it would call it. The host outlives what it was given to.
//
// Operations are appended, never reordered: each later window adds its group
// at the end, under a heading, with a default body so that a fake host in a
// test only overrides what it checks. UI thread only.
#pragma once

#include <windows.h>

#include <string>

class IPlayListModel;

// Where playback stood when the song maker suspended it.
struct PlaybackState {
  std::string path;
  int seconds = 0;
  bool wasPlaying = false;
};

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

  // Buttons, the play-list window and the score frame:
  virtual bool PlayPrevious() { return false; }
  virtual bool PlayNext() { return false; }
  virtual void Stop() {}
  virtual void Pause() {}
  virtual bool IsPaused() const { return false; }
  virtual bool IsStopped() const { return true; }
  // Shows the open dialog and adds the chosen files to the play list: how
  // many were added, or -1 when the dialog was cancelled.
  virtual int ShowOpenDialog() { return -1; }
  // The play list; null until the play-list window exists. The host keeps it.
  virtual IPlayListModel* GetPlayListModel() { return nullptr; }
  // The play order: 0 in order, 1 repeat the list.
  virtual int GetPlayOrder() { return 0; }
  virtual void SetPlayOrder(int order) {}
  // Tool windows by ChildWndId (ui/CSettings.h). The window, or null while it
  // does not exist; its visibility flag; setting the flag shows or hides the
  // window and docks it again by its new state.
  virtual HWND GetChildWindow(int child) { return nullptr; }
  virtual bool IsChildVisible(int child) { return false; }
  virtual void SetChildVisible(int child, bool visible) {}
  // The main window's always-visible (topmost) mode.
  virtual bool IsTopMost() { return false; }
  virtual void SetTopMost(bool topMost) {}
  // Play-list files (extended M3U): false when the file cannot be saved or read.
  virtual bool SavePlayListFile(const char* path) { return false; }
  virtual bool LoadPlayListFile(const char* path) { return false; }

  // Song maker:
  // Stops what plays while the pack program runs and gives back where it
  // stood; false when nothing was suspended.
  virtual bool SuspendPlayback(PlaybackState* state) { return false; }
  virtual bool ResumePlayback(const PlaybackState& state) { return false; }
  // The song's offset against its audio, in milliseconds.
  virtual bool SetDelayTime(int ms) { return false; }
  // Adds a file to the play list (seconds 0: the player measures it); false
  // when it was not added.
  virtual bool AddToPlayList(const char* path, int seconds) { return false; }
  // Makes the play list's last entry current and plays it.
  virtual void PlayLastEntry() {}

 protected:
  ~IPlayerHost() = default;
};
