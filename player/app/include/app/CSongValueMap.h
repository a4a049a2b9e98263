#pragma once
// Per-song choices keyed by the song file's path (byte-wise, so two paths
// differing only in case are two songs), for the current run only: nothing
// is written to disk. Used on the user-interface thread only.
#include <map>
#include <string>

#include "app/TrackRecords.h"

struct SongValues {
  TrackSettingMap settings;
  TrackColourMap colours;
};

class CSongValueMap {
 public:
  // Created on first call; null only when the allocation fails.
  static CSongValueMap* GetInstance();
  // Forgets the single instance first, then deletes the one given (may be null).
  static void Release(CSongValueMap* instance);

  virtual ~CSongValueMap();

  // Lookup with creation: an unknown path gets an empty entry.
  SongValues& operator[](const std::string& path) { return m_songs[path]; }
  std::map<std::string, SongValues>& Songs() { return m_songs; }

 private:
  CSongValueMap() = default;
  CSongValueMap(const CSongValueMap&) = delete;
  CSongValueMap& operator=(const CSongValueMap&) = delete;

  std::map<std::string, SongValues> m_songs;
};
