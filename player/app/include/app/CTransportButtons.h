// The main window's transport buttons and the two buttons that add songs.
// Each turns a release into one operation of the player host it was made
// with (the main window); with none, nothing happens.
#pragma once

#include "ui/CSkinButton.h"

class IPlayerHost;

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

// A button that acts on the player host it was made with.
class CHostButton : public CSkinButton {
 public:
  explicit CHostButton(IPlayerHost* host, bool isToggle = false) : CSkinButton(isToggle), m_host(host) {}

 protected:
  IPlayerHost* Host() const { return m_host; }

 private:
  IPlayerHost* m_host;
};

class CPreviousButton : public CHostButton {
 public:
  using CHostButton::CHostButton;
  void OnLButtonUp() override;
};

class CStopButton : public CHostButton {
 public:
  using CHostButton::CHostButton;
  void OnLButtonUp() override;
};

class CNextButton : public CHostButton {
 public:
  using CHostButton::CHostButton;
  void OnLButtonUp() override;
};

// Plays the current entry, or the next one by the play order when none is
// current.
class CPlayButton : public CHostButton {
 public:
  using CHostButton::CHostButton;
  void OnLButtonUp() override;
};

class CPauseButton : public CHostButton {
 public:
  using CHostButton::CHostButton;
  void OnLButtonUp() override;
};

// The open dialog, then the first of the songs it added plays.
class COpenSongsButton : public CHostButton {
 public:
  using CHostButton::CHostButton;
  void OnLButtonUp() override;
};

// The play-list window's Add button: the open dialog only; adding never plays.
class CAddSongsButton : public CHostButton {
 public:
  using CHostButton::CHostButton;
  void OnLButtonUp() override;
};
