// The song-information header above the lyrics: the main window builds it
// when a file is opened and hands it to the karaoke view.
#pragma once

#include <string>

struct SongInfoText {
  std::string title;
  std::string singer;
  std::string lyricist;
  std::string composer;
};
