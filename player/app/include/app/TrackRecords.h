#pragma once
// The per-track choices of the track and staff setting dialog, kept per song
// for the current run.
#include <map>

struct TrackSetting {
  int show = 0;   // the Show column's check state
  int mute = 0;   // the Mute column's check state
  int track = 0;  // the song's track number
  int kind = -1;  // staff kind: -1 default, 0 treble, 1 bass, 2 treble and bass
};

struct TrackColours {
  int track = 0;
  int note = 0x00FF00;  // 0x00BBGGRR
  int highlight = 0x0000FF;
  int line = 0xC8C8C8;
};

using TrackSettingMap = std::map<int, TrackSetting>;
using TrackColourMap = std::map<int, TrackColours>;
