// The lyrics window's display pane: a plain child window that owns the
// karaoke view, paints it, scrolls it with keys, wheel and the scroll bar,
// and turns clicks into playing from a lyric and into the lyric menu
// (through the player host it was made with; with none, clicks do nothing).
#pragma once

#include "lyrics/CLyricView.h"
#include "ui/CBmpWnd.h"
#include "ui/CSkinSlider.h"

class ICantomereLyrics;
class IPlayerHost;

constexpr UINT kLyricPreferencesCommand = 0x800C;
constexpr int kLyricPreferencesPage = 2;

class CLyricPaneWnd : public CBmpWnd, public ISliderSink {
 public:
  CLyricPaneWnd(ICantomereLyrics* lyrics, IPlayerHost* host) : m_lyrics(lyrics), m_host(host) {}
  // Unregisters the view from the controller and releases it.
  ~CLyricPaneWnd() override;

  // A child of parent: 0, or 1 when the window could not be made.
  int Create(HWND parent);
  // Made, registered with the controller and styled from the settings on
  // the first call.
  CLyricView* GetLyricView();
  // The controller the view follows from now on (null: none). A view that
  // exists already leaves the old one and joins the new where its song stands.
  void SetLyrics(ICantomereLyrics* lyrics);
  void MoveTo(const RECT& rect);

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // ISliderSink: the scroll bar counts in lines.
  void OnSliderTrack(int pos, int code) override;
  void OnSliderSet(int pos) override;
  int GetSliderValue() override { return 0; }
  int GetSliderBackValue() override { return 0; }

 private:
  void OnKeyDown(WPARAM key);
  int HitTestAt(LPARAM lParam);

  ICantomereLyrics* m_lyrics;
  IPlayerHost* m_host;
  CLyricView* m_view = nullptr;
};
