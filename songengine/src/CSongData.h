#pragma once
// The engine's loaded song: the parser that read the file, the tracks chosen
// for display, and the two outside buffers the song is copied into, one for
// the sequencer and one for lyric timing.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/ReleasePtr.h"

class IBrevantPlayer;
class IBrevantSongBuffer;
class ICantomereLyrics;
class ICantomereLyricBuffer;
class ISmfParser2;

// One entry of a track's note list; a list ends with {-1, -1}.
struct NotePair {
  int32_t message;  // status | data1 << 8 | data2 << 16
  int32_t tick;
};

struct SelectedTrack {
  int track;
  int instrument;  // index into the instrument names: programs, then drum kits from 128
};

// Copies the song's signatures, tempos, channel events, markers and lyrics
// into the buffer, and when lyrics is given, the markers and lyrics into that
// too (cleared first). 1 filled, 0 failed (a failed query ends the fill).
int FillSongBuffer(ISmfParser2* parser, IBrevantSongBuffer* buffer, ICantomereLyricBuffer* lyrics = nullptr);

// The instrument-name index of a drum kit program: 128 + the kit's place in
// the kit table; a program that is no kit counts as the standard kit.
int DrumKitProgram(int program);

// What tells one state of a song file from another: its full path (compared
// without case, as the file system does), its last write time and its size.
struct SongFileStamp {
  std::string path;
  FILETIME written{};
  uint64_t size = 0;

  // False when the file cannot be asked about.
  bool Read(const char* file);
  bool SameAs(const SongFileStamp& other) const;
};

class CSongData {
 public:
  CSongData();
  ~CSongData();
  CSongData(const CSongData&) = delete;
  CSongData& operator=(const CSongData&) = delete;

  // 0 loaded, 1 failed.
  int Load(const std::string& path);
  void ReleaseParser();
  ISmfParser2* GetParser() const { return parser_.get(); }

  // @name The loaded song, for the song-information facet
  // The parser holding the loaded song when path names the file it was read
  // from, unchanged since; else null. The song stays the holder's when this
  // object loads another one.
  std::shared_ptr<ISmfParser2> ShareLoadedSong(const char* path) const;
  // The length in ms of the song in parser as the sequencer computes it,
  // from the song buffer when that was filled from this very parser; -1 when
  // it was not (another song was loaded since, or feeding failed).
  int LoadedSongLength(const ISmfParser2* parser);
  float Tempo() const { return tempo_; }

  // @name Selected tracks
  // 0, or 1 for a null array (the list is then empty).
  int SetTrackList(const int* tracks, int count);
  int GetTracks(int* out, unsigned* count) const;
  std::vector<int> SelectedTrackNumbers() const;
  const std::vector<SelectedTrack>& Selection() const { return selected_; }
  void MarkSelectedTracks(IBrevantPlayer* player, bool on);

  // @name Feeding the outside libraries
  void FeedPlayer(IBrevantPlayer* player);
  void FeedLyrics(ICantomereLyrics* controller);
  // Both, as a song just loaded needs them: the markers and lyrics are asked
  // of the song once for the two buffers. The same calls reach the sequencer
  // and the controller as from FeedPlayer then FeedLyrics.
  void Feed(IBrevantPlayer* player, ICantomereLyrics* controller);
  int GetFirstLyricIndex();
  IBrevantSongBuffer* GetSongBuffer();
  ICantomereLyricBuffer* GetLyricBuffer();

  // The track's note list into *notes (null when the track has no notes),
  // its measure count and the note count. The list stays this object's
  // until the next call. 0.
  int GetTrackNotes(int* measures, const NotePair** notes, unsigned* count, int track);

 private:
  void AssignInstruments();
  // Fills the song buffer (and lyrics, when given) and hands it to the
  // player; false when there is no player or the fill failed.
  bool FillAndHand(IBrevantPlayer* player, ICantomereLyricBuffer* lyrics);

  // Shared with the song-information facet, which may keep it longer.
  std::shared_ptr<ISmfParser2> parser_;
  SongFileStamp stamp_;                     // of the file parser_ was read from; empty path when unknown
  const ISmfParser2* fedParser_ = nullptr;  // the song the song buffer holds
  std::vector<SelectedTrack> selected_;
  float tempo_ = 0;
  uint32_t noteCount_ = 0;
  std::vector<NotePair> notes_;
  base::ReleasePtr<IBrevantSongBuffer> songBuffer_;
  base::ReleasePtr<ICantomereLyricBuffer> lyricBuffer_;
};
