#pragma once
// The karaoke lyric view as the lyric controller sees it. The player's lyrics
// pane implements it and registers it with ICantomereLyrics::AttachView; the
// controller then feeds it tokens, marks and count-in dots. The slot order is
// part of the contract between the two modules: append, never reorder.
#include <windows.h>

class ICantomereLyrics;
class ILyricViewListener;
struct SongInfoText;

class ILyricView {
 public:
  // Driven by the lyric controller only.
  virtual void LoadFromSong() = 0;
  virtual void SetLyricSource(ICantomereLyrics* source) = 0;
  virtual void SeekToToken(int index) = 0;
  virtual void MarkToken(unsigned index) = 0;
  virtual void UnmarkToken(unsigned index) = 0;
  virtual void SetCountIn(int count) = 0;

  // Owned by the lyrics pane.
  virtual void Release() = 0;
  virtual void SetWindow(HWND window) = 0;
  virtual void SetListener(ILyricViewListener* listener) = 0;
  virtual void SetRect(const RECT* rect) = 0;
  virtual const RECT* GetRect() = 0;
  virtual void Draw(HDC dc) = 0;
  virtual int HitTest(int x, int y) = 0;
  virtual void SetFont(HFONT font) = 0;
  virtual HFONT GetFont() = 0;
  virtual void SetColor(int index, COLORREF color) = 0;
  virtual COLORREF GetColor(int index) = 0;
  virtual void SetSongInfo(const SongInfoText& info) = 0;
  virtual SIZE* GetContentSize(SIZE* size) = 0;
  virtual void Scroll(int dx, int dy, int mode) = 0;
  virtual void SetAlign(int align) = 0;
  virtual int GetLineHeight() = 0;
  virtual void SetKaraoke(bool on) = 0;
  virtual bool IsKaraoke() = 0;
  // Stands in the destructor's slot; bit 0 of flags frees the memory.
  virtual void Destroy(unsigned flags) = 0;

  virtual void Layout(bool keepPosition) = 0;
  virtual void OnTokenCurrent(int index) = 0;
  virtual void InvalidateTokenLine(int index) = 0;
  virtual void JumpToToken(int index) = 0;

 protected:
  ~ILyricView() = default;
};
