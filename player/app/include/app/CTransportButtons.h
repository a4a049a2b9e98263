// The main window's transport buttons and the two buttons that add songs.
// Each turns a release into one operation of the main window, reached as the
// registered player host (nothing happens while none is registered).
#pragma once

#include "ui/CSkinButton.h"

// Control ids of the main window's buttons.
enum PlayerButtonId {
  kIdPrevious = 99,
  kIdPlay = 100,
  kIdStop = 101,
  kIdPause = 102,
  kIdNext = 103,
  kIdOpenSongs = 104,
  kIdScoreToggle = 105,
  kIdPlayListToggle = 106,
  kIdLyricsToggle = 107,
  kIdSongMakerToggle = 114,
  kIdPlayMode = 210,
};

class CPreviousButton : public CSkinButton {
 public:
  void OnLButtonUp() override;
};

class CStopButton : public CSkinButton {
 public:
  void OnLButtonUp() override;
};

class CNextButton : public CSkinButton {
 public:
  void OnLButtonUp() override;
};

// Plays the current entry, or the next one by the play order when none is
// current.
class CPlayButton : public CSkinButton {
 public:
  void OnLButtonUp() override;
};

class CPauseButton : public CSkinButton {
 public:
  void OnLButtonUp() override;
};

// The open dialog, then the first of the songs it added plays.
class COpenSongsButton : public CSkinButton {
 public:
  void OnLButtonUp() override;
};

// The play-list window's Add button: the open dialog only; adding never plays.
class CAddSongsButton : public CSkinButton {
 public:
  void OnLButtonUp() override;
};
