#include "lyrics/CLyricWnd.h"

#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "ui/CSettings.h"
#include "ui/CSkinImage.h"
#include "ui/CSkinManager.h"
#include "ui/SkinImageIds.h"

namespace {

// The player's string table (the program's own resources).
enum : UINT {
  kStrClose = 102,
  kStrMinimize = 104,
  kStrMaximize = 105,
  kStrRestoreDown = 107,
  kStrTopMostTip = 112,
};

std::string PlayerString(UINT id) {
  char text[256] = {};
  const int n = ::LoadStringA(::GetModuleHandleA(nullptr), id, text, sizeof(text));
  return std::string(text, n > 0 ? n : 0);
}

// Null unless the scheme has the image.
CSkinImage* SkinImage(unsigned short id) {
  CSkinImage* image = GetSkinManager()->GetSkinImage(id);
  return image && image->IsLoaded() ? image : nullptr;
}

// A stored rectangle nothing could show is kept between the minimum size and
// a size no screen has.
constexpr int kMaxFrameSide = 16384;

int ClampSide(long long side, int minimum) {
  return static_cast<int>(
      std::min<long long>(std::max<long long>(side, std::max(minimum, 1)), kMaxFrameSide));
}

int ClampCoordinate(int v) { return std::min(std::max(v, -kMaxFrameSide), kMaxFrameSide); }

}  // namespace

CLyricWnd::CLyricWnd(HWND owner, ICantomereLyrics* lyrics) : m_owner(owner), m_pane(lyrics) {
  SetBkColor(GetBkColorSetting());
  const RECT stored = CSettings::GetLyricWndRect();
  CSkinFrameLayout* layout = GetLayout();
  layout->SetDrawFlag(true);

  CSkinFrameImages* images = GetFrameImages();
  if (CSkinImage* i = SkinImage(kSkinLyricsLeftBorder)) images->SetLeftBorder(i);
  if (CSkinImage* i = SkinImage(kSkinLyricsRightBorder)) images->SetRightBorder(i);
  if (CSkinImage* i = SkinImage(kSkinLyricsTopBorder)) images->SetTopBorder(i);
  if (CSkinImage* i = SkinImage(kSkinLyricsBottomBorder)) images->SetBottomBorder(i);
  if (CSkinImage* i = SkinImage(kSkinLyricsTopLeft)) images->SetTopLeft(i);
  if (CSkinImage* i = SkinImage(kSkinLyricsTopRight)) images->SetTopRight(i);
  if (CSkinImage* i = SkinImage(kSkinLyricsBottomLeft)) images->SetBottomLeft(i);
  if (CSkinImage* i = SkinImage(kSkinLyricsBottomRight)) images->SetBottomRight(i);
  if (CSkinImage* i = SkinImage(kSkinLyricTitleActive)) images->SetTitle(i);
  if (CSkinImage* i = SkinImage(kSkinLyricTitleInActive)) images->SetTitleInactive(i);

  SetCaptionLayout(this, kCaptionCloseMinMax);
  SetCaptionButton(SkinImage(kSkinLyricsCloseBtn), kCaptionBtnClose, true, PlayerString(kStrClose).c_str(),
                   nullptr);
  SetCaptionButton(SkinImage(kSkinLyricsMaxBtn), kCaptionBtnMax, true, PlayerString(kStrMaximize).c_str(),
                   PlayerString(kStrRestoreDown).c_str());
  SetCaptionButton(SkinImage(kSkinLyricsMinBtn), kCaptionBtnMin, true, PlayerString(kStrMinimize).c_str(),
                   nullptr);
  SetIconImage(SkinImage(kSkinLyricsIcon));

  layout->SetMinWidth(GetMinFrameWidth());
  layout->SetMinHeight(GetMinFrameHeight());
  layout->SetCaptionHeight(GetCaptionHeight());
  layout->SetPos(ClampCoordinate(stored.left), ClampCoordinate(stored.top));
  layout->SetWidth(ClampSide(static_cast<long long>(stored.right) - stored.left, GetMinFrameWidth()));
  layout->SetHeight(ClampSide(static_cast<long long>(stored.bottom) - stored.top, GetMinFrameHeight()));

  if (Create(nullptr, WS_EX_TOOLWINDOW, WS_POPUP | WS_CLIPCHILDREN, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS,
             nullptr) != 0)
    return;
  SetCaptionButtonState(kCaptionBtnMin, false);
  ::DragAcceptFiles(m_hWnd, TRUE);
}

CLyricWnd::~CLyricWnd() {
  m_scrollBar.reset();
  if (m_topMostButton) GetElementList()->Remove(m_topMostButton.get());
  m_topMostButton.reset();
  // The pane (a member) goes before the frame's window: its destructor
  // detaches the view from the controller.
  DestroyOwnWindow();
}

COLORREF CLyricWnd::GetBkColorSetting() { return CSettings::GetColorSetting("LYRIC_BKCOLOR"); }

void CLyricWnd::OnCreated() {
  GetElementList()->SetOwner(m_hWnd);
  m_snap.SetWnd(m_hWnd);
  if (m_pane.Create(m_hWnd) == 0) ::ShowWindow(m_pane.m_hWnd, SW_SHOW);
  if (CLyricView* view = m_pane.GetLyricView()) {
    view->SetColor(2, GetBkColorSetting());
    view->SetAlign(CSettings::GetLyricAlign());
    view->SetListener(this);
  }

  m_scrollBar = std::make_unique<CSkinScrollBar>();
  m_scrollBar->CreateButtons();
  m_scrollBar->SetImages(SkinImage(kSkinVScrollTBtn), SkinImage(kSkinVScrollBBtn),
                         SkinImage(kSkinVScrollHumb), SkinImage(kSkinVScrollBk));
  m_scrollBar->SetOwner(this);
  m_scrollBar->SetSink(&m_pane);
  m_scrollBar->SetRange(0, 0);
  if (m_scrollBar->Create() == 0) m_scrollBar->Show(true);

  m_topMostButton = std::make_unique<CLyricTopMostButton>(this);
  m_topMostButton->SetImage(SkinImage(kSkinLyricsAlwaysShowBtn));
  m_topMostButton->SetTipText(PlayerString(kStrTopMostTip).c_str(), nullptr);
  m_topMostButton->SetToolId(GetElementList()->NewToolId());
  GetElementList()->Add(m_topMostButton.get());
  GetElementList()->AddTool(m_topMostButton.get());
  const bool topMost = CSettings::GetWndShowState(2);
  m_topMostButton->SetCheck(topMost, m_hWnd);
  SetTopMost(topMost);
  LayoutChildren();
}

void CLyricWnd::LayoutChildren() {
  if (!m_hWnd) return;
  const CSkinFrameImages* images = GetFrameImages();
  const int width = GetLayout()->GetWidth(), height = GetLayout()->GetHeight();
  RECT client = {SkinImageWidth(images->GetLeftBorder()) + 6, SkinImageHeight(images->GetTopBorder()) + 43,
                 width - SkinImageWidth(images->GetRightBorder()) - 3,
                 height - SkinImageHeight(images->GetBottomBorder()) - 2};
  client.right = std::max(client.right, client.left);
  client.bottom = std::max(client.bottom, client.top);
  int barWidth = 0;
  if (m_scrollBar && m_scrollBar->GetSafeHwnd()) {
    RECT bar;
    ::GetWindowRect(m_scrollBar->GetSafeHwnd(), &bar);
    barWidth = std::min<int>(bar.right - bar.left, client.right - client.left);
    m_scrollBar->MoveWindow(client.right - barWidth, client.top, barWidth, client.bottom - client.top);
  }
  m_pane.MoveTo(RECT{client.left, client.top, client.right - barWidth, client.bottom});
  if (m_topMostButton) {
    int w = 0, h = 0;
    if (m_topMostButton->GetImageSize(&w, &h)) w /= 4;
    m_topMostButton->SetRect(width - w, height - h, w, h);
    GetElementList()->UpdateToolRect(m_topMostButton.get());
  }
}

void CLyricWnd::OnSize(WPARAM wParam, LPARAM lParam) {
  CSkinWnd::OnSize(wParam, lParam);
  LayoutChildren();
}

void CLyricWnd::ApplySettings(COLORREF background) {
  SetBkColor(background);
  if (CLyricView* view = m_pane.GetLyricView()) view->SetColor(2, background);
}

void CLyricWnd::Redraw() {
  if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
  if (m_pane.m_hWnd) ::InvalidateRect(m_pane.m_hWnd, nullptr, TRUE);
}

bool CLyricWnd::IsTopMost() { return m_topMostButton && m_topMostButton->IsChecked(); }

void CLyricWnd::SetTopMost(bool topMost) {
  if (m_hWnd)
    ::SetWindowPos(m_hWnd, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CLyricWnd::OnContentChanged() {
  CLyricView* view = m_pane.GetLyricView();
  if (!m_scrollBar || !view) return;
  SIZE content = {0, 0};
  view->GetContentSize(&content);
  const int line = view->GetLineHeight();
  const int lines = line > 0 ? static_cast<int>(std::ceil(static_cast<double>(content.cy) / line)) : 0;
  m_scrollBar->SetRange(lines, 0);
}

void CLyricWnd::OnScrollPos(int, int y) {
  CLyricView* view = m_pane.GetLyricView();
  if (!m_scrollBar || !view) return;
  const int line = view->GetLineHeight();
  m_scrollBar->SetPos(line > 0 ? static_cast<int>(static_cast<unsigned>(y) / static_cast<unsigned>(line))
                               : 0);
}

void CLyricWnd::RequestHide() {
  if (m_owner) ::SendMessageA(m_owner, WM_PLAYER_HIDE_FRAME, kLyricFrameId, 0);
  GetElementList()->ResetStates();
}

void CLyricWnd::DestroyWindow() { RequestHide(); }

LRESULT CLyricWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SKIN_CREATED:
      OnCreated();
      break;
    case WM_PLAYER_HIDE_FRAME:
      RequestHide();
      break;
    case WM_SKIN_CLOSE:
    case WM_CLOSE:
      RequestHide();
      return 0;
    case WM_DROPFILES:
      // Files dropped on the lyrics open in the player.
      if (m_owner) ::PostMessageA(m_owner, message, wParam, lParam);
      return 0;
    case WM_KEYDOWN:
      if (m_owner) ::PostMessageA(m_owner, message, wParam, lParam);
      break;
    case WM_LBUTTONDBLCLK: {
      const POINT pt = PointFromLParam(lParam);
      if (IsInCaption(pt.x, pt.y))
        if (CSkinElement* max = GetCaptionButtons()->GetButton(kCaptionBtnMax))
          max->OnLButtonUp(wParam, lParam);
      return 0;
    }
    case WM_SETFOCUS:
      if (m_pane.m_hWnd) ::SetFocus(m_pane.m_hWnd);
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
