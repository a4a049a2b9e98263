#pragma once
// The player interfaces: what the main window and the media-file helper apply
// to whatever plays the current file, the stream interface under an audio-file
// player, and the listeners that report upwards.
//
// The slot order of every interface is a contract: append, never reorder.
// Results are 0 for success and 1 for failure unless a line says otherwise.
//
// Song information (the six Get* text operations): the caller passes the
// address of a char* it set to null. A nonzero result means a NUL-terminated
// 8-bit text allocated with new[] was stored there; the caller copies it and
// frees it with delete[]. Zero means no text and nothing stored.
//
// Listener pointers are never owned by the object that stores them.

// Events of an IWMAudioPlayer stream (IMediaListener::OnPlayerEvent).
enum MediaPlayerEvent {
  kMediaEventLoaded = 0,
  kMediaEventPlaying = 1,
  kMediaEventClosed = 2,
  kMediaEventStopped = 3,  // stopped, or paused
  kMediaEventEnd = 5,
  kMediaEventMissingCodec = 6,  // the Windows Media player only
};

// Events of a stream. Called on the thread that reports them: the caller's for
// events a call causes, the audio library's mixer thread for OnPlayTick and
// OnPlayTime, its streaming thread for the end of a stream. Keep the work
// short; anything for a window is posted.
class IMediaListener {
 public:
  virtual void OnPlayerEvent(int code) = 0;
  // The stream's position in ms, sent right after OnPlayTick.
  virtual void OnPlayTime(int ms) = 0;
  // The same position, sent first.
  virtual void OnPlayTick(int ms) = 0;

 protected:
  ~IMediaListener() = default;
};

// The owner's side: the media-file helper turns these into window messages.
class IPlaybackNotify {
 public:
  virtual void OnPosition(int ms) = 0;
  // The song engine's beat event, passed on unchanged.
  virtual void OnBeat(int beat, int beatsPerBar, int extra) = 0;
  virtual void OnSongEnd() = 0;

 protected:
  ~IPlaybackNotify() = default;
};

// Whatever plays the current file. Seek only records a position; the next
// Play starts there (compare IWMAudioPlayer::Seek, which starts playback).
class IMediaPlayer {
 public:
  virtual void Release() = 0;
  virtual int Open(const char* path) = 0;
  virtual int Close() = 0;
  // Starts, resumes a pause, or starts at the position Seek recorded.
  virtual int Play() = 0;
  virtual int Stop() = 0;
  virtual int Pause() = 0;
  virtual int Seek(int ms) = 0;
  virtual int IsSeekable() = 0;
  virtual int GetTitle(char** text) = 0;
  virtual int GetAuthor(char** text) = 0;
  virtual int GetComposer(char** text) = 0;
  virtual int GetLyrics(char** text) = 0;
  virtual int GetAlbumTitle(char** text) = 0;
  virtual int GetAlbumArtist(char** text) = 0;
  // 0..255, the audio library's scale.
  virtual void SetVolume(double volume) = 0;
  // Milliseconds.
  virtual int GetPosition() = 0;

 protected:
  ~IMediaPlayer() = default;
};

// The stream under an audio-file player. Seek starts playback (at ms when ms
// is nonzero, resuming a pause), unlike IMediaPlayer::Seek.
class IWMAudioPlayer {
 public:
  virtual void Release() = 0;
  // Appends; no duplicate check.
  virtual void AddListener(IMediaListener* listener) = 0;
  // Null is ignored; removes the first equal entry. Once it returns, no call
  // to that listener is in progress or can start.
  virtual void RemoveListener(IMediaListener* listener) = 0;
  // Negative means failure.
  virtual int Init() = 0;
  virtual int Shutdown() = 0;
  virtual int Open(const char* path) = 0;
  virtual int Close() = 0;
  virtual int Seek(int ms) = 0;
  virtual int Stop() = 0;
  virtual int Pause() = 0;
  virtual int Resume() = 0;
  // Milliseconds; 0 when unknown.
  virtual int GetDuration() = 0;
  virtual int IsSeekable() = 0;
  virtual int GetTitle(char** text) = 0;
  virtual int GetAuthor(char** text) = 0;
  virtual int GetComposer(char** text) = 0;
  virtual int GetLyrics(char** text) = 0;
  virtual int GetAlbumTitle(char** text) = 0;
  virtual int GetAlbumArtist(char** text) = 0;
  virtual void SetVolume(double volume) = 0;
  virtual int GetPosition() = 0;

 protected:
  ~IWMAudioPlayer() = default;
};
