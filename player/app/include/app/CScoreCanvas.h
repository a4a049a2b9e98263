// The window the song engine paints the notation into, inside the score
// frame. It draws double-buffered over the frame's background, turns clicks
// into moving the play cursor and playing from the clicked spot, shows the
// score popup menu, and pages the score for the measure slider. Every engine
// call is skipped while no engine (or no score facet) is bound. Clicks, the
// menu and its commands go to the player host it was made with (none: they
// do nothing). UI thread only.
#pragma once

#include "ui/CBmpWnd.h"
#include "ui/CSkinSlider.h"

class ISongEngine;
class CScoreFacet;
class IPlayerHost;

class CScoreCanvas : public CBmpWnd, public ISliderSink {
 public:
  enum { kCmdSettings = 32780, kPreferencesPage = 1 };

  explicit CScoreCanvas(IPlayerHost* host) : m_host(host) {}
  ~CScoreCanvas() override;

  // A child of parent: 0, or 1 on failure.
  int Create(HWND parent);
  // Keeps the engine, gives it this window and its size. Null unbinds.
  void SetSongEngine(ISongEngine* engine);
  ISongEngine* GetSongEngine() const { return m_engine; }
  // Null without an engine or without a score.
  CScoreFacet* GetFacet() const;
  // Tells the engine the window's size.
  void UpdateScoreSize();
  // Not owned; the frame's.
  void SetBkBrush(HBRUSH brush) { m_bkBrush = brush; }
  // Paints what WM_PAINT shows into dc (the window's size).
  void PaintTo(HDC dc);

  // ISliderSink: the measure slider.
  void OnSliderTrack(int value, int code) override;
  void OnSliderSet(int) override {}
  int GetSliderValue() override;
  int GetSliderBackValue() override;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void OnPaint();
  void ShowPopupMenu(LPARAM lParam);

  IPlayerHost* m_host;
  ISongEngine* m_engine = nullptr;
  HBRUSH m_bkBrush = nullptr;
};
