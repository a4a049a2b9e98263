// The score frame: the skinned, snapping tool frame in which the song engine
// shows the current song's notation. It holds the score canvas, a measure
// slider under it, a scroll bar at its right and three toggles in its
// bottom-right corner (always visible, staff notation, numbered notation).
// The main window makes it once and keeps it: closing it (the close button,
// WM_SKIN_HIDE_CHILD or WM_SKIN_CLOSE, Alt+F4) only asks the owner to hide it.
// Its canvas acts on the player host the frame was made with (the main
// window). UI thread only.
#pragma once

#include <memory>

#include "app/CScoreCanvas.h"
#include "ui/CSkinSlider.h"
#include "ui/CToolFrame.h"

class CScoreWnd;
class IPlayerHost;

// A notation toggle: a press picks its notation type in the frame.
class CScoreTypeToggle : public CSkinToggleElement {
 public:
  CScoreTypeToggle(CScoreWnd* frame, int type) : m_frame(frame), m_type(type) {}
  void OnLButtonDown(WPARAM wParam, LPARAM lParam) override;

 private:
  CScoreWnd* m_frame;
  int m_type;
};

class CScoreWnd : public CToolFrame {
 public:
  enum ScoreType { kStaff = 0, kNumbered = 1 };
  enum Scroller { kMeasureSlider = 0, kScrollBar = 1, kBothScrollers = 2 };
  // The staff toggle stands this far left of the frame's right edge.
  enum { kStaffToggleOffset = 26 };

  // Builds the frame from the skin and the settings and creates it hidden.
  CScoreWnd(HWND owner, IPlayerHost* host);
  ~CScoreWnd() override;

  // Binds the engine to the canvas; the notation toggles take the engine's
  // type from then on.
  void SetSongEngine(ISongEngine* engine);
  // Range 0 .. the song's measure count, position 0.
  void ResetMeasureSlider();
  void SetMeasurePos(int pos);
  void EnableScrollers(bool enable, int which);
  bool IsAlwaysVisible() { return IsTopMost(); }
  void SetBkColor(COLORREF color);
  void Redraw();
  CSnapChildWnd* GetSnapPart() { return GetSnapWnd(); }
  // Stores the type and hands it to the engine's score.
  void SetScoreType(int type);
  int GetScoreType() const { return m_scoreType; }
  // A notation toggle was pressed: its type, or the other one when it is
  // already shown.
  void OnScoreTypeToggle(int type);

  CScoreCanvas* GetCanvas() { return &m_canvas; }
  CSkinSlider* GetMeasureSlider() { return m_slider.get(); }
  CSkinScrollBar* GetScrollBar() { return m_scrollBar.get(); }
  CTopMostButton* GetTopMostToggle() { return GetTopMostButton(); }
  CScoreTypeToggle* GetStaffToggle() { return m_staffToggle.get(); }
  CScoreTypeToggle* GetNumberedToggle() { return m_numberedToggle.get(); }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnSize(WPARAM wParam, LPARAM lParam) override;

 private:
  void OnFrameCreated() override;
  void CreateToggles();
  void LayoutToggles();
  void LayoutChildren();
  void UpdateToggleChecks();

  CScoreCanvas m_canvas;
  std::unique_ptr<CSkinSlider> m_slider;
  std::unique_ptr<CSkinScrollBar> m_scrollBar;
  int m_scoreType = kStaff;
  std::unique_ptr<CScoreTypeToggle> m_staffToggle;
  std::unique_ptr<CScoreTypeToggle> m_numberedToggle;
};
