#pragma once
// The small "MM:SS" display of the main window: green on black, hours not
// shown, the same text kept as the window text. It follows CPlayTime; its
// poll timer (asking the owner's current player) is there but nothing starts
// it.
#include <windows.h>

#include <string>

#include "base/GdiHandles.h"
#include "playback/CPlayTime.h"
#include "ui/CBmpWnd.h"

class IMediaPlayer;

class CPlayTimeWnd : public CBmpWnd, public IPlayTimeListener {
 public:
  // Gives the current player for the poll timer (null: none).
  using PlayerSource = IMediaPlayer* (*)(void* owner);
  CPlayTimeWnd(void* owner, PlayerSource source);
  ~CPlayTimeWnd() override;

  int Create(HWND parent, DWORD exStyle, DWORD style, HICON icon);
  void OnTimeChanged(int hours, int minutes, int seconds) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void StartTimer(UINT ms);
  void StopTimer(bool reset);

  // The text shown: minutes and seconds, two digits each at least.
  std::string Text() const;
  static std::string FormatField(int value);
  // Draws the text into dc (the window's paint and tests use it).
  void Draw(HDC dc);

 private:
  enum { kFontHeight = 14 };
  void OnPaint();
  void OnTimer();
  // Shows the current time: the window text and, at the next paint, the face.
  void Refresh();

  void* m_owner;
  PlayerSource m_source;
  int m_seconds = 0;
  int m_minutes = 0;
  int m_hours = 0;
  base::GdiFont m_font;
  // The face fitted to the box, for the box's width and the text's length.
  base::GdiFont m_fitted;
  int m_fittedWidth = -1, m_fittedLength = -1;
  base::GdiBrush m_brush;
  bool m_timerRunning = false;
};
