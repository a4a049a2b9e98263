// The song maker's skinned, snapping tool frame around the modeless dialog.
// Like the lyrics window, closing it (close button, the dialog's Cancel,
// WM_USER+106, Alt+F4) only asks the owner to hide it.
#pragma once

#include <memory>

#include "lyrics/CSongMakerDlg.h"
#include "ui/CSkinWnd.h"
#include "ui/CaptionElements.h"
#include "ui/SnapWindows.h"

constexpr WPARAM kSongMakerFrameId = 4;

class CSongMakerFrame : public CSkinWnd, public ITopMostFrame {
 public:
  // Builds and creates the frame, hidden.
  explicit CSongMakerFrame(HWND owner);
  ~CSongMakerFrame() override;

  bool IsCreated() const { return m_hWnd != nullptr; }
  // Shows or hides the frame with its dialog (the frame is made hidden).
  void ShowFrame(bool show);
  CSongMakerDlg& GetDialog() { return m_dialog; }
  CSnapChildWnd* GetSnapWnd() { return &m_snap; }
  CTopMostButton* GetTopMostButton() { return m_topMostButton.get(); }
  static COLORREF GetBkColorSetting();

  bool IsTopMost() override;
  void SetTopMost(bool topMost) override;
  HWND GetTopMostFrameWnd() override { return m_hWnd; }

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnSize(WPARAM wParam, LPARAM lParam) override;
  void DestroyWindow() override;

 private:
  void OnCreated();
  void LayoutChildren();
  void RequestHide();

  HWND m_owner;
  CSnapChildWnd m_snap;
  CSongMakerDlg m_dialog;
  std::unique_ptr<CTopMostButton> m_topMostButton;
};
