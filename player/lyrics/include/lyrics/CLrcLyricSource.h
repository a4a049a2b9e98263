// A player that wraps an audio-file player and binds the outside LRC library
// Linewick, as the place where timed lyrics from LRC files would be attached
// to audio playback. Nothing in the player creates it yet: an owner would make
// it with CreateLrcLyricSource, give it a player with SetInnerPlayer and use
// it in place of that player.
//
// The wrapped player is not owned. Without one, Open fails and the other
// operations do nothing. The song-information operations store nothing and
// answer 0, as the interface asks of a player without texts.
#pragma once

#include <windows.h>

#include <base/Library.h>
#include <playback/IMediaPlayer.h>

class CAudioFilePlayer;
class ILinewick;

class CLrcLyricSource final : public IMediaPlayer, public IMediaListener {
 public:
  CLrcLyricSource();
  ~CLrcLyricSource();
  CLrcLyricSource(const CLrcLyricSource&) = delete;
  CLrcLyricSource& operator=(const CLrcLyricSource&) = delete;

  void SetInnerPlayer(CAudioFilePlayer* player) { m_pInner = player; }
  // The library bound by name, "Linewick.dll"; tests name a fake.
  static void SetLibraryName(const char* name);

  // IMediaPlayer
  void Release() override;
  int Open(const char* path) override;
  int Close() override;
  int Play() override;
  int Stop() override;
  int Pause() override;
  int Seek(int ms) override { return 0; }
  int IsSeekable() override { return 1; }
  int GetTitle(char**) override { return 0; }
  int GetAuthor(char**) override { return 0; }
  int GetComposer(char**) override { return 0; }
  int GetLyrics(char**) override { return 0; }
  int GetAlbumTitle(char**) override { return 0; }
  int GetAlbumArtist(char**) override { return 0; }
  void SetVolume(double) override {}
  int GetPosition() override { return 0; }

  // IMediaListener: nothing to do yet.
  void OnPlayerEvent(int) override {}
  void OnPlayTime(int) override {}
  void OnPlayTick(int) override {}

  // For tests: the running timer's id (0 when none) and the bound parser.
  UINT_PTR TimerId() const { return m_nTimerId; }
  ILinewick* Parser() const { return m_pParser; }

 private:
  void BindLinewick();
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {}

  CAudioFilePlayer* m_pInner = nullptr;
  base::Library m_linewick;
  ILinewick* m_pParser = nullptr;
  UINT_PTR m_nTimerId = 0;
  int m_nTimerCount = 0;
  const UINT m_nPeriod = 200;
};

IMediaPlayer* CreateLrcLyricSource();
void SetInnerPlayer(IMediaPlayer* source, CAudioFilePlayer* player);
