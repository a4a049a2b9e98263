#pragma once
// The player for an audio file carrying a song: the audio plays through the
// audio-file player, the song through the song-engine player, and the song
// follows the audio: it stands at player time 0 once the audio opens, it
// starts when the audio reports that it plays, its clock is set from every
// audio tick, and positions and the end come from the audio. Uses both
// players, owns neither.
//
// Threads: OnPlayTick arrives on the sound library's mixer thread and calls
// ISongEngine::SyncTime there (the engine allows that from any thread); the
// end arrives on a stream's thread. The stopped flag is therefore atomic.
// Resuming after a pause calls the song's Play twice (once here, once on the
// audio's "playing" event); the engine takes the second as a no-op.
#include <atomic>

#include "playback/CAudioFilePlayer.h"
#include "playback/CPlayerProxy.h"

class CSyncPlayer final : public IMediaPlayer, public IMediaListener, public ISongEngineListener {
 public:
  static CSyncPlayer* Create();

  void SetAudioPlayer(CAudioFilePlayer* player) { m_audio = player; }
  void SetMidiPlayer(CPlayerProxy* player) { m_song = player; }
  void SetSongEngine(ISongEngine* engine) { m_engine = engine; }
  void SetListener(IPlaybackNotify* listener) { m_listener = listener; }
  // True when the song opened.
  bool OpenSong(const char* path);
  void SetDelayTime(int ms);
  void MuteSong();

  // IMediaPlayer
  void Release() override;
  int Open(const char* path) override;
  int Close() override;
  int Play() override;
  int Stop() override;
  int Pause() override;
  int Seek(int ms) override;
  int IsSeekable() override;
  int GetTitle(char** text) override;
  int GetAuthor(char** text) override;
  int GetComposer(char** text) override;
  int GetLyrics(char** text) override;
  int GetAlbumTitle(char** text) override;
  int GetAlbumArtist(char** text) override;
  void SetVolume(double volume) override;
  int GetPosition() override;

  // IMediaListener: the audio stream's events.
  void OnPlayerEvent(int code) override;
  void OnPlayTime(int ms) override;
  void OnPlayTick(int ms) override;

  // ISongEngineListener: the song's events; only beats are passed on.
  void OnPosition(int) override {}
  void OnBeat(int beat, int beatsPerBar, int extra) override;
  void OnSongEnd(int) override {}

 private:
  CSyncPlayer() = default;
  ~CSyncPlayer() = default;
  IWMAudioPlayer* Stream() { return m_audio ? m_audio->GetStream() : nullptr; }

  CAudioFilePlayer* m_audio = nullptr;
  CPlayerProxy* m_song = nullptr;
  std::atomic<IPlaybackNotify*> m_listener{nullptr};
  ISongEngine* m_engine = nullptr;
  std::atomic<bool> m_songOpen{false};
  bool m_paused = false;
  std::atomic<bool> m_stopped{true};
};
