#include "lyrics/CSongMakerFrame.h"

#include <shellapi.h>

#include <algorithm>
#include <string>

#include "ui/CSettings.h"
#include "ui/CSkinImage.h"
#include "ui/CSkinManager.h"
#include "ui/SkinImageIds.h"

namespace {

constexpr UINT kStrTopMostTip = 112;
constexpr int kMaxFrameSide = 16384;

CSkinImage* SkinImage(unsigned short id) {
  CSkinImage* image = GetSkinManager()->GetSkinImage(id);
  return image && image->IsLoaded() ? image : nullptr;
}

std::string PlayerString(UINT id) {
  char text[256] = {};
  const int n = ::LoadStringA(::GetModuleHandleA(nullptr), id, text, sizeof(text));
  return std::string(text, n > 0 ? n : 0);
}

// The dialog sits inside the borders as the lyrics window's pane does.
constexpr int kInsetLeft = 6, kInsetTop = 43, kInsetRight = 3, kInsetBottom = 2;

}  // namespace

CSongMakerFrame::CSongMakerFrame(HWND owner) : m_owner(owner) {
  SetBkColor(GetBkColorSetting());
  const RECT stored = CSettings::GetQuillixEditorWndRect();
  CSkinFrameLayout* layout = GetLayout();
  layout->SetDrawFlag(true);
  CSkinFrameImages* images = GetFrameImages();
  if (CSkinImage* i = SkinImage(kSkinPlayListLeftBorder)) images->SetLeftBorder(i);
  if (CSkinImage* i = SkinImage(kSkinPlayListRightBorder)) images->SetRightBorder(i);
  if (CSkinImage* i = SkinImage(kSkinPlayListTopBorder)) images->SetTopBorder(i);
  if (CSkinImage* i = SkinImage(kSkinPlayListBottomBorder)) images->SetBottomBorder(i);
  if (CSkinImage* i = SkinImage(kSkinPlayListTopLeft)) images->SetTopLeft(i);
  if (CSkinImage* i = SkinImage(kSkinPlayListTopRight)) images->SetTopRight(i);
  if (CSkinImage* i = SkinImage(kSkinPlayListBottomLeft)) images->SetBottomLeft(i);
  if (CSkinImage* i = SkinImage(kSkinPlayListBottomRight)) images->SetBottomRight(i);
  if (CSkinImage* i = SkinImage(kSkinPlaylistTitleActive)) images->SetTitle(i);
  if (CSkinImage* i = SkinImage(kSkinPlaylistTitleInActive)) images->SetTitleInactive(i);
  SetCaptionLayout(this, kCaptionClose);
  SetCaptionButton(SkinImage(kSkinPlayListCloseBtn), kCaptionBtnClose, true, "", nullptr);
  layout->SetMinWidth(GetMinFrameWidth());
  layout->SetMinHeight(GetMinFrameHeight());
  layout->SetCaptionHeight(GetCaptionHeight());
  layout->SetPos(std::clamp<int>(stored.left, -kMaxFrameSide, kMaxFrameSide),
                 std::clamp<int>(stored.top, -kMaxFrameSide, kMaxFrameSide));
  layout->SetWidth(std::clamp<long long>(static_cast<long long>(stored.right) - stored.left,
                                         std::max(1, GetMinFrameWidth()), kMaxFrameSide));
  layout->SetHeight(std::clamp<long long>(static_cast<long long>(stored.bottom) - stored.top,
                                          std::max(1, GetMinFrameHeight()), kMaxFrameSide));
  if (Create(nullptr, WS_EX_TOOLWINDOW, WS_POPUP | WS_CLIPCHILDREN, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS,
             nullptr) != 0)
    return;
  ::DragAcceptFiles(m_hWnd, TRUE);
}

CSongMakerFrame::~CSongMakerFrame() {
  if (m_topMostButton) GetElementList()->Remove(m_topMostButton.get());
  m_topMostButton.reset();
  if (m_dialog.GetSafeHwnd()) m_dialog.DestroyWindow();
  DestroyOwnWindow();
}

COLORREF CSongMakerFrame::GetBkColorSetting() { return CSettings::GetColorSetting("LYRIC_BKCOLOR"); }

void CSongMakerFrame::OnCreated() {
  GetElementList()->SetOwner(m_hWnd);
  m_snap.SetWnd(m_hWnd);
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
  m_topMostButton = std::make_unique<CSongMakerTopMostButton>(this);
  m_topMostButton->SetImage(SkinImage(kSkinPlayListAlwaysShowBtn));
  m_topMostButton->SetTipText(PlayerString(kStrTopMostTip).c_str(), nullptr);
  m_topMostButton->SetToolId(GetElementList()->NewToolId());
  GetElementList()->Add(m_topMostButton.get());
  GetElementList()->AddTool(m_topMostButton.get());
  // Always starts in the normal mode.
  m_topMostButton->SetCheck(false, m_hWnd);
  SetTopMost(false);
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
  if (m_topMostButton) {
    int w = 0, h = 0;
    if (m_topMostButton->GetImageSize(&w, &h)) w /= 4;
    m_topMostButton->SetRect(width - w, height - h, w, h);
    GetElementList()->UpdateToolRect(m_topMostButton.get());
  }
}

void CSongMakerFrame::OnSize(WPARAM wParam, LPARAM lParam) {
  CSkinWnd::OnSize(wParam, lParam);
  LayoutChildren();
}

void CSongMakerFrame::ShowFrame(bool show) {
  if (HWND dialog = m_dialog.GetSafeHwnd()) ::ShowWindow(dialog, show ? SW_SHOW : SW_HIDE);
  ShowWindow(show);
}

bool CSongMakerFrame::IsTopMost() { return m_topMostButton && m_topMostButton->IsChecked(); }

void CSongMakerFrame::SetTopMost(bool topMost) {
  if (m_hWnd)
    ::SetWindowPos(m_hWnd, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CSongMakerFrame::RequestHide() {
  if (m_owner) ::SendMessageA(m_owner, WM_USER + 101, kSongMakerFrameId, 0);
  GetElementList()->ResetStates();
}

void CSongMakerFrame::DestroyWindow() { RequestHide(); }

LRESULT CSongMakerFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SKIN_CREATED:
      OnCreated();
      break;
    case WM_USER + 101:
      RequestHide();
      break;
    case WM_SKIN_CLOSE:
    case WM_CLOSE:
      RequestHide();
      return 0;
    case WM_DROPFILES:
      if (m_owner) ::PostMessageA(m_owner, message, wParam, lParam);
      return 0;
    case WM_LBUTTONDBLCLK: {
      const POINT pt = PointFromLParam(lParam);
      if (IsInCaption(pt.x, pt.y))
        if (CSkinElement* max = GetCaptionButtons()->GetButton(kCaptionBtnMax))
          max->OnLButtonUp(wParam, lParam);
      return 0;
    }
    case WM_SETFOCUS:
      if (HWND dialog = m_dialog.GetSafeHwnd()) ::SetFocus(dialog);
      break;
    case WM_SIZING:
      m_snap.OnSizing(wParam, reinterpret_cast<RECT*>(lParam));
      break;
    case WM_WINDOWPOSCHANGING:
      return m_snap.OnWindowPosChanging(wParam, reinterpret_cast<WINDOWPOS*>(lParam));
    default:
      break;
  }
  return CSkinWnd::WindowProc(message, wParam, lParam);
}
