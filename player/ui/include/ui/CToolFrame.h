// The player's skinned tool frames (the play list, the score frame, the
// lyrics window, the song maker): a skinned popup with a snapping part, an
// always-on-top toggle and an owner (the main window) that shows and hides it.
// Closing one (its close element, WM_SKIN_CLOSE, Alt+F4) only asks the owner to
// hide it, with WM_SKIN_HIDE_CHILD and the frame's number (ChildWndId); dropped files
// go to the owner.
#pragma once

#include <memory>
#include <string>

#include "ui/CSkinWnd.h"
#include "ui/CaptionElements.h"
#include "ui/FrameSkin.h"
#include "ui/SnapWindows.h"

class CToolFrame : public CSkinWnd, public ITopMostFrame {
 public:
  CToolFrame(HWND owner, WPARAM frameId) : m_owner(owner), m_frameId(frameId) {}
  ~CToolFrame() override;

  bool IsCreated() const { return m_hWnd != nullptr; }
  CSnapChildWnd* GetSnapWnd() { return &m_snap; }
  CTopMostButton* GetTopMostButton() { return m_topMostButton.get(); }

  bool IsTopMost() override;
  void SetTopMost(bool topMost) override;
  HWND GetTopMostFrameWnd() override { return m_hWnd; }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // An edge that touches what the frame is docked to stays put, however the
  // new rectangle was proposed; a refused rectangle leaves the frame as it is.
  // edge is 1 left, 2 right, 4 top, 8 bottom.
  void SetWindowRectSizing(const RECT& rect, int edge) override;
  // WM_CLOSE hides through the owner: the object and its window stay.
  void DestroyWindow() override;

 protected:
  // Border and caption images (each only when the scheme has it), minimum
  // sizes from them, and the stored rectangle kept between the minimum and
  // a size no screen has.
  void SetUpFrame(const ToolFrameImages& ids, const RECT& stored);
  // Creates the window: a hidden popup tool window that accepts files.
  bool CreateFrame();
  // The record's caption and frame images, then the window; a minimise
  // button starts greyed, as the owner shows and hides its frames.
  bool CreateFrame(const FrameSkin& skin, const RECT& stored);
  // Called on WM_SKIN_CREATED, once the element list and the snapping part
  // have the window.
  virtual void OnFrameCreated() {}
  void CreateTopMostButton(unsigned short imageId, bool on);
  // Bottom-right corner of the frame.
  void PlaceTopMostButton();
  // Asks the owner to hide the frame and clears its hover and pressed looks.
  void RequestHide();
  HWND GetOwner() const { return m_owner; }

 private:
  HWND m_owner;
  WPARAM m_frameId;
  CSnapChildWnd m_snap;
  std::unique_ptr<CTopMostButton> m_topMostButton;
};

// A skin image of the current scheme, or null when the scheme lacks it.
CSkinImage* SchemeImage(unsigned short id);
// A text of the program's string table; empty when missing.
std::string LoadPlayerString(UINT id);
