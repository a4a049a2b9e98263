#pragma once
// The player for audio files and HTTP streams: one stream, owned, and the
// flags that tell Play whether to start, resume or start at a position.
// Seek only records the position; nothing reaches the stream until Play.
#include <atomic>

#include "playback/IMediaPlayer.h"

class CAudioFilePlayer : public IMediaPlayer, public IMediaListener {
 public:
  // Makes the stream the player owns; tests put their own in. Null: failure.
  using StreamFactory = IWMAudioPlayer* (*)();
  static void SetStreamFactory(StreamFactory factory);

  // Null when the stream cannot be made or initialised.
  static CAudioFilePlayer* Create();

  // The owner; read on the sound library's threads.
  void SetListener(IPlaybackNotify* listener) { m_listener = listener; }
  IWMAudioPlayer* GetStream() { return m_stream; }
  int GetLength() { return m_stream ? m_stream->GetDuration() : 0; }

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
  virtual ~CAudioFilePlayer();

  // IMediaListener
  void OnPlayerEvent(int code) override;
  void OnPlayTime(int ms) override;
  void OnPlayTick(int ms) override;

 private:
  CAudioFilePlayer() = default;
  bool Init();

  IWMAudioPlayer* m_stream = nullptr;
  std::atomic<IPlaybackNotify*> m_listener{nullptr};
  int m_pendingPosition = 0;
  bool m_pendingSeek = false;
  bool m_paused = false;
};
