#pragma once
// The song-information facet (any song file, read with a parser of its own)
// and the track mixer (mutes tracks of the playing song).
#include <tunewell/ISongEngine.h>

#include "base/ReleasePtr.h"

class IBrevantPlayer;
class ISmfParser2;

// 137 names of 25 bytes: General MIDI programs 0-127, then the drum kits.
constexpr int kInstrumentNameCount = 137;
constexpr int kInstrumentNameSize = 25;
extern const char kGmInstrumentNames[kInstrumentNameCount][kInstrumentNameSize];

class CSongInfoImpl : public CSongInfo {
 public:
  // parser may be null; the facet then answers as for an empty song.
  explicit CSongInfoImpl(ISmfParser2* parser);
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

 private:
  base::ReleasePtr<ISmfParser2> parser_;
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
