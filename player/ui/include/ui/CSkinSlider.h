// Skinned range controls: CSkinSlider (horizontal; the main window's progress
// slider and the score's measure slider) and CSkinScrollBar (its vertical
// twin; the lyrics, play-list and score scroll bars). A child window whose
// background is the stretched track image, with optional arrow buttons at
// its ends and a draggable thumb, all skin buttons. The owner hears of
// changes through ISliderSink.
#pragma once

#include "ui/CBmpWnd.h"
#include "ui/CSkinButton.h"
#include "base/GdiHandles.h"

class ISliderSink {
 public:
  // code 1: value is a relative change (steps, thumb drags); code 0: value
  // is the new absolute position (track clicks).
  virtual void OnSliderTrack(int value, int code) = 0;
  // The thumb was released at pos.
  virtual void OnSliderSet(int pos) = 0;
  // Where a click on the track after the thumb goes.
  virtual int GetSliderValue() = 0;
  // Where a click on the track before the thumb goes (negative means 0).
  virtual int GetSliderBackValue() = 0;

 protected:
  ~ISliderSink() = default;
};

class CSkinSliderBase;

// The draggable thumb of either orientation.
class CSkinThumb : public CSkinButton {
 public:
  explicit CSkinThumb(bool vertical) : m_vertical(vertical) {}
  void SetControl(CSkinSliderBase* control) { m_control = control; }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnLButtonDown(LPARAM lParam) override;
  void OnMouseMove(WPARAM wParam, LPARAM lParam) override;
  void OnLButtonUp() override;
  bool IsDragging() const { return m_dragging; }

 private:
  CSkinSliderBase* m_control = nullptr;
  POINT m_downPoint = {};
  bool m_vertical;
  bool m_dragging = false;
};

class CSkinHThumb : public CSkinThumb {
 public:
  CSkinHThumb() : CSkinThumb(false) {}
};

class CSkinVThumb : public CSkinThumb {
 public:
  CSkinVThumb() : CSkinThumb(true) {}
};

// What the two controls share; they differ in direction, part ids and in
// that only the horizontal one answers track clicks and holds SetPos during
// a drag.
class CSkinSliderBase : public CBmpWnd {
 public:
  ~CSkinSliderBase() override;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  virtual void MoveWindow(int x, int y, int cx, int cy);
  // Along the control's direction; across it the control keeps its size.
  void MoveWindow(int x, int y, int length);
  virtual CSkinButton* GetPart(int id);
  virtual void OnCommand(WPARAM wParam, LPARAM lParam);
  virtual void OnLButtonDown(WPARAM wParam, LPARAM lParam) {}
  virtual void EnableWindow(bool enable);
  virtual void StepBack();
  virtual void StepForward();

  // Makes the two arrow buttons; without this call the control has none.
  void CreateButtons();
  // The owner gives its images before Create (any may be NULL).
  void SetImages(CSkinImage* back, CSkinImage* forward, CSkinImage* thumb, CSkinImage* track);
  void SetTrackImage(CSkinImage* track) { m_trackImage = track; }
  void SetOwner(CBmpWnd* owner) { m_ownerWnd = owner; }
  // A child of the owner's window, with its parts: 0, or 1 on failure.
  int Create();

  void SetRange(int upper, int lower) {
    m_upper = upper;
    m_lower = lower;
  }
  int GetUpper() const { return m_upper; }
  int GetLower() const { return m_lower; }
  ISliderSink* SetSink(ISliderSink* sink);
  ISliderSink* GetSink() const { return m_sink; }
  // false when pos is the current position; true and no change while the
  // thumb is held or the control is disabled; else clamps, moves the
  // thumb, repaints and returns true. The sink is not told.
  bool SetPos(int pos);
  int GetPos() const { return m_pos; }
  CSkinThumb* GetThumb() const { return m_thumb; }
  CSkinArrowButton* GetArrowButton1() const { return m_back; }
  CSkinArrowButton* GetArrowButton2() const { return m_forward; }
  bool IsTracking() const { return m_thumb && m_thumb->IsDragging(); }
  bool IsVertical() const { return m_vertical; }

  // Track geometry along the control's direction.
  int TrackStart() const;
  int TrackEnd() const;
  int ThumbLength() const;
  int TrackLength() const { return TrackEnd() - TrackStart() - ThumbLength(); }
  // Where the thumb stands for the current position.
  int ThumbPosition() const;

  // Stretches the track image over the track (between the arrow buttons).
  void DrawTrack(HDC dc);

 protected:
  CSkinSliderBase(bool vertical, int thumbId, int backId, int forwardId);
  void PlaceThumb();

 private:
  friend class CSkinThumb;
  // Called by the thumb while it is dragged.
  void OnThumbDragged(int newOffset);
  void OnThumbPressed();
  void OnThumbReleased();

  CSkinImage* m_trackImage = nullptr;
  int m_upper = 10;
  int m_lower = 0;
  int m_pos = 0;
  CBmpWnd* m_ownerWnd = nullptr;
  base::GdiBrush m_bkBrush;
  bool m_acceptsSetPos = true;
  ISliderSink* m_sink = nullptr;

  CSkinArrowButton* m_back = nullptr;
  CSkinArrowButton* m_forward = nullptr;
  CSkinThumb* m_thumb = nullptr;
  HCURSOR m_thumbCursor = nullptr;
  const bool m_vertical;
  const int m_thumbId, m_backId, m_forwardId;
};

class CSkinSlider : public CSkinSliderBase {
 public:
  enum { kThumbId = 1000, kBackId = 1010, kForwardId = 1020 };
  CSkinSlider() : CSkinSliderBase(false, kThumbId, kBackId, kForwardId) {}
  // A click on the track jumps to the sink's back or forward value.
  void OnLButtonDown(WPARAM wParam, LPARAM lParam) override;
};

class CSkinScrollBar : public CSkinSliderBase {
 public:
  enum { kThumbId = 1030, kBackId = 1040, kForwardId = 1050 };
  CSkinScrollBar() : CSkinSliderBase(true, kThumbId, kBackId, kForwardId) {}
};

// The hand shown over slider thumbs: the old help program's cursor when it
// exists, else the system hand. The caller destroys it.
HCURSOR LoadThumbCursor();
