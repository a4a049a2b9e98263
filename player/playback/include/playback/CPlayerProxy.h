#pragma once
// The player for MIDI songs: forwards to the song engine, reports its
// positions (seconds made milliseconds), beats and end to the owner.
// Without an engine (the song engine library missing, or unbound at
// teardown) every operation does nothing: Open fails, lengths are 0.
#include "playback/IMediaPlayer.h"
#include "tunewell/ISongEngine.h"

class CPlayerProxy : public IMediaPlayer, public ISongEngineListener {
 public:
  static CPlayerProxy* Create();

  void SetSongEngine(ISongEngine* engine) { m_engine = engine; }
  void SetListener(IPlaybackNotify* listener) { m_listener = listener; }
  // Puts another engine listener in this player's place (null detaches).
  void SetEngineListener(ISongEngineListener* listener);
  void SetDelayTime(int ms);
  // Clears the mute bit of track 1 (the song stays silent while the MIDI
  // output is closed).
  void MuteSong();
  // The song's length in ms through the engine's own parser; 0 when unknown.
  int GetDurationMs(const char* path);

  // IMediaPlayer
  void Release() override;
  int Open(const char* path) override;
  int Close() override;
  int Play() override;
  int Stop() override;
  int Pause() override;
  int Seek(int ms) override;
  int IsSeekable() override { return 1; }
  int GetTitle(char**) override { return 0; }
  int GetAuthor(char**) override { return 0; }
  int GetComposer(char**) override { return 0; }
  int GetLyrics(char**) override { return 0; }
  int GetAlbumTitle(char**) override { return 0; }
  int GetAlbumArtist(char**) override { return 0; }
  void SetVolume(double) override {}
  int GetPosition() override { return m_position; }
  virtual ~CPlayerProxy();

  // ISongEngineListener
  void OnPosition(int seconds) override;
  void OnBeat(int beat, int beatsPerBar, int extra) override;
  void OnSongEnd(int value) override;

 private:
  CPlayerProxy() = default;

  ISongEngine* m_engine = nullptr;
  IPlaybackNotify* m_listener = nullptr;
  int m_position = 0;
};
