// Play-list files: extended M3U text ("#EXTM3U", then an "#EXTINF:<seconds>,<title>"
// line and a path line per entry). The player writes its own lists with the
// extension ".mpl" and reads ".mpl" and ".m3u" alike.
//
// A CM3UPlayList lives only as long as one load or one save: the caller fills
// the entries and saves, or loads and walks the entries.
#pragma once

#include <string>
#include <vector>

struct PlayListEntry {
  int length = 0;  // seconds; 0 when the file gives none
  std::string title;
  std::string path;
};

class CM3UPlayList {
 public:
  // The longest line read whole; a longer line is skipped whole, so a broken
  // file can never turn the tail of one line into a bogus entry.
  enum { kMaxLineLength = 64 * 1024 };

  CM3UPlayList() = default;
  virtual ~CM3UPlayList() = default;

  // False for a null path, a file that cannot be opened, a first line other
  // than "#EXTM3U", a UTF-16 file or a read error; entries read before a
  // failure stay. Relative entries are joined to the list's folder and kept
  // whether or not the file exists; absolute ones are kept only when the file
  // exists. Paths too long for the ANSI path functions are skipped.
  bool LoadM3U(const char* path);
  // Writes through a temporary file beside path and replaces the old file
  // only after a complete write; false on any failure, with the old file
  // untouched. Paths are written relative to the list where they can be.
  bool SaveM3U(const char* path);

  std::vector<PlayListEntry>& GetEntries() { return m_entries; }
  const std::vector<PlayListEntry>& GetEntries() const { return m_entries; }

 private:
  std::vector<PlayListEntry> m_entries;
};
