#pragma once
// Prepares a media file for playing: picks the player by extension, opens or
// closes the MIDI output, takes the song an audio file carries out through
// QuillixLib.dll, keeps the file's song information, measures files for the
// play list, and turns the players' reports into window messages:
//   WM_PLAYER_POSITION, WM_PLAYER_END, WM_PLAYER_BEAT and
//   WM_PLAYER_BEATS_PER_BAR (ui/PlayerMessages.h).
// Everything runs on the UI thread except the IPlaybackNotify calls, which
// may come from the sound library's threads and only post.
#include <windows.h>

#include <string>

#include "base/Library.h"
#include "playback/CAudioFilePlayer.h"
#include "playback/CPlayerProxy.h"
#include "playback/CSyncPlayer.h"
#include "playback/MediaKinds.h"
#include "quillix/IQuillixParser.h"
#include "ui/PlayerMessages.h"

class CMediaHelper : public IPlaybackNotify {
 public:
  CMediaHelper() = default;
  virtual ~CMediaHelper();
  CMediaHelper(const CMediaHelper&) = delete;
  CMediaHelper& operator=(const CMediaHelper&) = delete;

  // The song-block library's file name; tests name another.
  static void SetQuillixLibraryName(const char* name);

  // True when the audio and the song player exist.
  bool Init();
  void SetSongEngine(ISongEngine* engine);
  void SetNotifyHwnd(HWND window) { m_window = window; }
  IMediaPlayer* GetCurrentPlayer() { return m_current; }
  // Only while the synchronised player is current.
  bool SetDelayTime(int ms);

  // 0 when the file is ready to play through GetCurrentPlayer, 1 otherwise.
  // A failure after the previous player was closed leaves no current player.
  int PrepareMediaFile(const char* path);
  // The kind by extension (playback/MediaKinds.h).
  static MediaKind GetMediaType(const char* path) { return MediaKindOf(path); }
  static bool HasExtension(const char* path, const char* extension);
  // Whole seconds, rounded up; 0 when unknown.
  int GetDurationSeconds(const char* path);

  // Null when empty.
  const char* GetSongTitle() const { return Text(m_title); }
  const char* GetSinger() const { return Text(m_singer); }
  const char* GetLyricist() const { return Text(m_lyricist); }
  const char* GetComposer() const { return Text(m_composer); }
  const char* GetAlbum() const { return Text(m_album); }
  static bool IsNull(int value) { return value == 0; }

  // IPlaybackNotify
  void OnPosition(int ms) override;
  void OnBeat(int beat, int beatsPerBar, int extra) override;
  void OnSongEnd() override;

 private:
  static const char* Text(const std::string& s) { return s.empty() ? nullptr : s.c_str(); }
  void Post(UINT message, WPARAM wParam, LPARAM lParam);
  IQuillixParser* GetQuillixParser();
  bool HasEmbeddedSong(const char* path);
  // Opens the song the file carries in the synchronised player; false (and
  // the audio plays alone) when anything on the way fails.
  void PrepareEmbeddedSong(const char* path);
  void ReadSongInfo(IQuillixParser* parser);
  void ClearSongInfo();
  void FillSongInfoFromPlayer();

  CPlayerProxy* m_song = nullptr;
  CAudioFilePlayer* m_audio = nullptr;
  CSyncPlayer* m_sync = nullptr;
  IMediaPlayer* m_current = nullptr;
  HWND m_window = nullptr;
  ISongEngine* m_engine = nullptr;
  base::Library m_quillix;
  std::string m_title, m_singer, m_composer, m_lyricist, m_album;
};
