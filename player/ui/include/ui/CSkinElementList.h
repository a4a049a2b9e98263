// The windowless elements of one window: finds the element under the mouse,
// keeps hover, press and capture state, calls the elements' handlers and
// invalidates what changed. Owns its elements.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/CSkinElement.h"
#include "ui/CSkinToolTip.h"

class CSkinElementList {
 public:
  CSkinElementList() = default;
  ~CSkinElementList();
  CSkinElementList(const CSkinElementList&) = delete;
  CSkinElementList& operator=(const CSkinElementList&) = delete;

  // Appends unless already present; the list then owns the element.
  CSkinElement* Add(CSkinElement* element);
  // Takes the element out without deleting it (its tool goes too).
  void Remove(CSkinElement* element);
  bool Contains(const CSkinElement* element) const;
  size_t GetCount() const { return m_elements.size(); }
  CSkinElement* GetAt(size_t i) const { return m_elements[i]; }

  // Stores the window the elements live in; the first call also makes the
  // shared tooltip.
  void SetOwner(HWND owner);
  HWND GetOwner() const { return m_owner; }
  // A non-empty region is invalidated (grown by one pixel) instead of the
  // element rectangles: for hosts whose elements overlap a drawn track.
  void SetRedrawRegion(const RECT& region) { m_redraw = region; }

  // Tooltips of the elements.
  int NewToolId();
  LRESULT AddTool(CSkinElement* element);
  LRESULT UpdateToolRect(CSkinElement* element);
  LRESULT UpdateTipText(CSkinElement* element, const std::string& text);
  LRESULT RemoveTool(CSkinElement* element);

  // Mouse routing. OnLButtonDown tells whether an element was hit.
  bool OnLButtonDown(WPARAM wParam, LPARAM lParam);
  void OnLButtonUp(WPARAM wParam, LPARAM lParam);
  void OnMouseMove(WPARAM wParam, LPARAM lParam);
  void OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
  void ResetStates();

  void Draw(Gdiplus::Graphics* graphics);

  // The first enabled, visible element under the point, or NULL.
  CSkinElement* FindElement(LPARAM lParam, bool doubleClick = false) const;
  CSkinElement* GetCaptured() const { return m_captured; }
  CSkinElement* GetHot() const { return m_hot; }

 private:
  void EnsureToolTip();
  void Invalidate(CSkinElement* element, bool erase, bool grow);
  void Forget(CSkinElement* element);

  std::vector<CSkinElement*> m_elements;
  CSkinElement* m_captured = nullptr;
  CSkinElement* m_hot = nullptr;
  HWND m_owner = nullptr;
  RECT m_redraw = {};
  std::unique_ptr<CSkinToolTip> m_toolTip;
};
