// The lyrics window: a skinned, snapping tool frame around the lyric pane,
// with caption buttons, a skinned vertical scroll bar and the always-on-top
// toggle. The main window makes it once and keeps it; closing it (the close
// button, WM_USER+106, Alt+F4) only asks the owner to hide it.
#pragma once

#include <memory>

#include "lyrics/CLyricPaneWnd.h"
#include "lyrics/ILyricViewListener.h"
#include "ui/CSkinSlider.h"
#include "ui/CSkinWnd.h"
#include "ui/CaptionElements.h"
#include "ui/SnapWindows.h"

class ICantomereLyrics;

// What the tool frames send their owner to be hidden; wParam says which frame.
constexpr UINT WM_PLAYER_HIDE_FRAME = WM_USER + 101;
constexpr WPARAM kLyricFrameId = 3;

class CLyricWnd : public CSkinWnd, public ILyricViewListener, public ITopMostFrame {
 public:
  // Builds and creates the frame, hidden. lyrics may be null (no lyrics shown).
  CLyricWnd(HWND owner, ICantomereLyrics* lyrics);
  ~CLyricWnd() override;

  bool IsCreated() const { return m_hWnd != nullptr; }
  CSnapChildWnd* GetSnapWnd() { return &m_snap; }
  CLyricView* GetLyricView() { return m_pane.GetLyricView(); }
  CLyricPaneWnd* GetPane() { return &m_pane; }
  CSkinScrollBar* GetScrollBar() { return m_scrollBar.get(); }
  CTopMostButton* GetTopMostButton() { return m_topMostButton.get(); }

  // A new background for the frame and the view (Preferences).
  void ApplySettings(COLORREF background);
  static COLORREF GetBkColorSetting();
  void Redraw();

  // ITopMostFrame
  bool IsTopMost() override;
  void SetTopMost(bool topMost) override;
  HWND GetTopMostFrameWnd() override { return m_hWnd; }

  // ILyricViewListener: the scroll bar follows the view, in lines.
  void OnContentChanged() override;
  void OnScrollPos(int x, int y) override;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnSize(WPARAM wParam, LPARAM lParam) override;
  // WM_CLOSE hides through the owner: the object and its window stay.
  void DestroyWindow() override;

 private:
  void OnCreated();
  void LayoutChildren();
  void RequestHide();

  HWND m_owner;
  CSnapChildWnd m_snap;
  CLyricPaneWnd m_pane;
  std::unique_ptr<CSkinScrollBar> m_scrollBar;
  std::unique_ptr<CTopMostButton> m_topMostButton;
};
