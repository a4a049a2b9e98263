// The lyrics window: a skinned, snapping tool frame around the lyric pane,
// with caption buttons, a skinned vertical scroll bar and the always-on-top
// toggle. The main window makes it once and keeps it; closing it (the close
// button, WM_SKIN_CLOSE, Alt+F4) only asks the owner to hide it. Its pane
// acts on the player host the frame was made with (the main window).
#pragma once

#include <memory>

#include "lyrics/CLyricPaneWnd.h"
#include "lyrics/ILyricViewListener.h"
#include "ui/CSkinSlider.h"
#include "ui/CToolFrame.h"

class ICantomereLyrics;
class IPlayerHost;

constexpr WPARAM kLyricFrameId = 3;

class CLyricWnd : public CToolFrame, public ILyricViewListener {
 public:
  // Builds and creates the frame, hidden. lyrics may be null (no lyrics
  // shown until SetLyrics names them), and host too (clicks do nothing).
  CLyricWnd(HWND owner, ICantomereLyrics* lyrics, IPlayerHost* host);
  ~CLyricWnd() override;

  // The player's window is shown before the song engine that owns the
  // lyrics is loaded: the engine's lyrics arrive here once it is.
  void SetLyrics(ICantomereLyrics* lyrics) { m_pane.SetLyrics(lyrics); }

  CLyricView* GetLyricView() { return m_pane.GetLyricView(); }
  CLyricPaneWnd* GetPane() { return &m_pane; }
  CSkinScrollBar* GetScrollBar() { return m_scrollBar.get(); }

  // A new background for the frame and the view (Preferences).
  void ApplySettings(COLORREF background);
  static COLORREF GetBkColorSetting();
  void Redraw();

  // ILyricViewListener: the scroll bar follows the view, in lines.
  void OnContentChanged() override;
  void OnScrollPos(int x, int y) override;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnSize(WPARAM wParam, LPARAM lParam) override;

 protected:
  void OnFrameCreated() override;

 private:
  void LayoutChildren();

  CLyricPaneWnd m_pane;
  std::unique_ptr<CSkinScrollBar> m_scrollBar;
};
