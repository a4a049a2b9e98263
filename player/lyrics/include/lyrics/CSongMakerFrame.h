// The song maker's skinned, snapping tool frame around the modeless dialog.
// Like the lyrics window, closing it (close button, the dialog's Cancel,
// WM_SKIN_CLOSE, Alt+F4) only asks the owner to hide it. The dialog acts on
// the player host the frame was made with (the main window).
#pragma once

#include "lyrics/CSongMakerDlg.h"
#include "ui/CToolFrame.h"

constexpr WPARAM kSongMakerFrameId = 4;

class CSongMakerFrame : public CToolFrame {
 public:
  // Builds and creates the frame, hidden.
  CSongMakerFrame(HWND owner, IPlayerHost* host);
  ~CSongMakerFrame() override;

  // Shows or hides the frame with its dialog (the frame is made hidden).
  void ShowFrame(bool show);
  CSongMakerDlg& GetDialog() { return m_dialog; }
  static COLORREF GetBkColorSetting();

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnSize(WPARAM wParam, LPARAM lParam) override;

 protected:
  void OnFrameCreated() override;

 private:
  void LayoutChildren();

  CSongMakerDlg m_dialog;
};
