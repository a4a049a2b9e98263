// Plays a song file through the song engine: the player the main window uses
// for MIDI songs. The engine reports position, beats and the end to its
// listener (the main window), so this player only starts, pauses and moves.
#pragma once

#include "playback/IMediaPlayer.h"

class ISongEngine;

class CEngineSongPlayer : public IMediaPlayer {
 public:
  // The engine is borrowed and outlives the player.
  explicit CEngineSongPlayer(ISongEngine* engine) : m_engine(engine) {}
  virtual ~CEngineSongPlayer() = default;

  void Release() override { delete this; }
  int Open(const char* path) override;
  int Close() override;
  int Play() override;
  int Stop() override;
  int Pause() override;
  int Seek(int ms) override;
  int IsSeekable() override { return 1; }
  // A song file carries its texts in the lyric view's header, not here.
  int GetTitle(char**) override { return 0; }
  int GetAuthor(char**) override { return 0; }
  int GetComposer(char**) override { return 0; }
  int GetLyrics(char**) override { return 0; }
  int GetAlbumTitle(char**) override { return 0; }
  int GetAlbumArtist(char**) override { return 0; }
  // MIDI plays at the synthesiser's own level.
  void SetVolume(double) override {}
  int GetPosition() override { return m_position; }
  // The engine's position report, whole seconds.
  void SetPosition(int ms) { m_position = ms; }

 private:
  ISongEngine* m_engine;
  bool m_open = false;
  int m_position = 0;
  // Where the next Play starts; -1 to go on from where it paused.
  int m_seek = -1;
};
