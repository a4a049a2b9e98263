#pragma once
// The song-information facet (any song file, read with a parser of its own)
// and the track mixer (mutes tracks of the playing song).
#include <memory>

#include <tunewell/ISongEngine.h>

#include "base/ReleasePtr.h"

class CSongData;
class IBrevantPlayer;
class ISmfParser2;

// 137 names of 25 bytes: General MIDI programs 0-127, then the drum kits.
constexpr int kInstrumentNameCount = 137;
constexpr int kInstrumentNameSize = 25;
extern const char kGmInstrumentNames[kInstrumentNameCount][kInstrumentNameSize];

// The player asks about the song it has just opened in the engine: that song
// is answered from the engine's loaded copy (see CSongData::ShareLoadedSong)
// instead of reading the file a second time.
class CSongInfoImpl : public CSongInfo {
 public:
  // parser may be null; the facet then answers as for an empty song.
  // loaded, when given, is the engine's song data, asked first on Open; it
  // must outlive the facet or be let go with ForgetLoadedSongs.
  explicit CSongInfoImpl(ISmfParser2* parser, CSongData* loaded = nullptr);
  virtual ~CSongInfoImpl();

  void Release() override;
  int Open(const char* path) override;
  int GetTrackCount() override;
  int GetTrackNumber(int index) override { return index + 1; }
  const char* GetTrackName(int track) override;
  const char* GetInstrumentName(int track) override;
  int GetHighestNote(int track) override;
  int GetLowestNote(int track) override;
  int GetSongLength() override;
  void Destroy(unsigned flags) override;

  void ForgetLoadedSongs() { loaded_ = nullptr; }

 private:
  // The song being answered about: the engine's when shared, else our own.
  ISmfParser2* Song() const { return shared_ ? shared_.get() : parser_.get(); }

  base::ReleasePtr<ISmfParser2> parser_;
  CSongData* loaded_;
  std::shared_ptr<ISmfParser2> shared_;  // the engine's song, while answering about it
  int lengthMs_ = -1;                    // the shared song's length, once known
  char trackName_[256] = {};
  int loadedTracks_ = 0;  // tracks the last Open read, tempo track included
};

class CTrackMixerImpl : public CTrackMixer {
 public:
  explicit CTrackMixerImpl(IBrevantPlayer* player) : player_(player) {}
  virtual ~CTrackMixerImpl() = default;

  void Release() override;
  int SetTrackEnabled(int track, bool enabled) override;
  void Destroy(unsigned flags) override;

 private:
  IBrevantPlayer* player_;
};
