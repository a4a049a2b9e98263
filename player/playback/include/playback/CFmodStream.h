#pragma once
// The audio stream under an audio-file player, over our sound library: a
// tracker module, a local stream (MP3, WAV, WMA, ...) or an HTTP stream.
//
// Threads: every operation runs on the UI thread. The spectrum unit's
// callback runs on the library's mixer thread and the end callback on a
// stream's thread; both reach the listeners. The listener list is guarded
// by one lock, held while any listener is called, so once RemoveListener
// returns no call to that listener is in progress or can start. Listeners
// must not call back into this stream's Add/RemoveListener from another
// thread while being called; they only post or set the song engine's time.
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "fmod.h"
#include "playback/IMediaPlayer.h"

class CFmodStream : public IWMAudioPlayer {
 public:
  static CFmodStream* Create();

  void Release() override;
  void AddListener(IMediaListener* listener) override;
  void RemoveListener(IMediaListener* listener) override;
  int Init() override;
  int Shutdown() override;
  int Open(const char* path) override;
  int Close() override;
  int Seek(int ms) override;
  int Stop() override;
  int Pause() override;
  int Resume() override;
  int GetDuration() override;
  int IsSeekable() override;
  int GetTitle(char** text) override;
  int GetAuthor(char** text) override;
  int GetComposer(char** text) override;
  int GetLyrics(char** text) override;
  int GetAlbumTitle(char** text) override;
  int GetAlbumArtist(char** text) override;
  void SetVolume(double volume) override;
  int GetPosition() override;
  virtual ~CFmodStream();

  // Moves a module to factor x its orders, or a local stream to factor x its
  // length (a whole-number factor). Nothing in the player calls it.
  void MoveToFraction(int factor);

 private:
  CFmodStream() = default;
  bool IsHttp() const { return !m_url.empty(); }
  // Opens the HTTP URL (non-blocking) and starts it; 1 on failure.
  int OpenHttp();
  int StartLocal();
  // Frees whatever source is open, without events.
  void DropSource();
  void SendEvent(int code);
  void SendTick(int ms);

  static void* DspCallback(void* original, void* buffer, int length, void* user);
  static signed char EndCallback(FSOUND_STREAM* stream, void* buffer, int length, void* user);

  std::recursive_mutex m_listenersLock;
  std::vector<IMediaListener*> m_listeners;
  FSOUND_DSPUNIT* m_unit = nullptr;
  bool m_spectrumActive = false;
  // Read by the callbacks on the library's threads.
  std::atomic<FMUSIC_MODULE*> m_module{nullptr};
  std::atomic<FSOUND_STREAM*> m_stream{nullptr};
  int m_channel = -1;
  std::string m_url;
  std::string m_fileName;
  int m_volume = 100;
};
