#pragma once
// The kinds of file the player takes, decided once by extension: what the
// media-file helper prepares, what the play list accepts (added, dropped,
// handed over) and what the open dialog offers all read this table.
#include <string>

enum class MediaKind {
  kNone,   // not a kind the player plays
  kSong,   // a MIDI song: the song engine plays it
  kAudio,  // an audio file: the sound library plays it (with its song, when it carries one)
};

struct MediaKindEntry {
  const char* extension;  // with its dot, compared without regard to case
  MediaKind kind;
  // The open dialog's name for the kind; null for a kind the dialog does not
  // offer (a WAV file is played when dropped or handed over, as always).
  const char* dialogName;
};

// The table, in the open dialog's order; ended by an entry with a null extension.
extern const MediaKindEntry kMediaKinds[];

// The kind by the path's last extension (PathFindExtension); kNone for a null path.
MediaKind MediaKindOf(const char* path);
inline MediaKind MediaKindOf(const std::string& path) { return MediaKindOf(path.c_str()); }

// The open dialog's filter: "All Supported Media Type" with every offered
// pattern, then one pair per offered kind; NUL-ended texts, ended by one more NUL.
std::string MediaOpenFilter();
