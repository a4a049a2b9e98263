#include "lyrics/CSongMakerFrame.h"

#include <algorithm>

#include "ui/CSettings.h"
#include "ui/CSkinImage.h"
#include "ui/SkinImageIds.h"

namespace {

// The dialog sits inside the borders as the lyrics window's pane does, but
// right under the caption: the lyrics window's deeper top margin shows the
// view's background above its text, and here would be a bare band between
// the caption and the dialog.
constexpr int kInsetLeft = 6, kInsetTop = 2, kInsetRight = 3, kInsetBottom = 2;

// The frame wears the play list's images, and only a close button.
constexpr FrameSkin kSongMakerSkin = {
    kCaptionClose,
    kSkinPlayListCloseBtn,
    0,
    0,
    0,
    false,
    {kSkinPlayListLeftBorder, kSkinPlayListRightBorder, kSkinPlayListTopBorder, kSkinPlayListBottomBorder,
     kSkinPlayListTopLeft, kSkinPlayListTopRight, kSkinPlayListBottomLeft, kSkinPlayListBottomRight,
     kSkinPlaylistTitleActive, kSkinPlaylistTitleInActive}};

}  // namespace

CSongMakerFrame::CSongMakerFrame(HWND owner, IPlayerHost* host)
    : CToolFrame(owner, kSongMakerFrameId), m_dialog(host) {
  SetBkColor(GetBkColorSetting());
  CreateFrame(kSongMakerSkin, CSettings::GetQuillixEditorWndRect());
}

CSongMakerFrame::~CSongMakerFrame() {
  if (m_dialog.GetSafeHwnd()) m_dialog.DestroyWindow();
  DestroyOwnWindow();
}

COLORREF CSongMakerFrame::GetBkColorSetting() { return CSettings::GetColorSetting("LYRIC_BKCOLOR"); }

void CSongMakerFrame::OnFrameCreated() {
  if (m_dialog.Create(kIddSongMaker, CWnd::FromHandle(m_hWnd))) {
    // The frame is never smaller than the dialog in its borders.
    RECT d;
    ::GetWindowRect(m_dialog.GetSafeHwnd(), &d);
    const CSkinFrameImages* images = GetFrameImages();
    CSkinFrameLayout* layout = GetLayout();
    const int minW = (d.right - d.left) + SkinImageWidth(images->GetLeftBorder()) + kInsetLeft +
                     SkinImageWidth(images->GetRightBorder()) + kInsetRight;
    const int minH = (d.bottom - d.top) + SkinImageHeight(images->GetTopBorder()) + kInsetTop +
                     SkinImageHeight(images->GetBottomBorder()) + kInsetBottom;
    layout->SetMinWidth(std::max(layout->GetMinWidth(), minW));
    layout->SetMinHeight(std::max(layout->GetMinHeight(), minH));
    layout->SetWidth(std::max(layout->GetWidth(), minW));
    layout->SetHeight(std::max(layout->GetHeight(), minH));
  }
  // Always starts in the normal mode.
  CreateTopMostButton(kSkinPlayListAlwaysShowBtn, false);
  LayoutChildren();
}

void CSongMakerFrame::LayoutChildren() {
  if (!m_hWnd) return;
  const CSkinFrameImages* images = GetFrameImages();
  const int width = GetLayout()->GetWidth(), height = GetLayout()->GetHeight();
  if (HWND dialog = m_dialog.GetSafeHwnd()) {
    const int left = SkinImageWidth(images->GetLeftBorder()) + kInsetLeft;
    const int top = SkinImageHeight(images->GetTopBorder()) + kInsetTop;
    const int right = width - SkinImageWidth(images->GetRightBorder()) - kInsetRight;
    const int bottom = height - SkinImageHeight(images->GetBottomBorder()) - kInsetBottom;
    ::MoveWindow(dialog, left, top, std::max(0, right - left), std::max(0, bottom - top), TRUE);
  }
  PlaceTopMostButton();
}

void CSongMakerFrame::OnSize(WPARAM wParam, LPARAM lParam) {
  CSkinWnd::OnSize(wParam, lParam);
  LayoutChildren();
}

void CSongMakerFrame::ShowFrame(bool show) {
  if (HWND dialog = m_dialog.GetSafeHwnd()) ::ShowWindow(dialog, show ? SW_SHOW : SW_HIDE);
  ShowWindow(show);
}

LRESULT CSongMakerFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETFOCUS)
    if (HWND dialog = m_dialog.GetSafeHwnd()) ::SetFocus(dialog);
  return CToolFrame::WindowProc(message, wParam, lParam);
}
