#include "lyrics/CLyricWnd.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "ui/CSettings.h"
#include "ui/CSkinImage.h"
#include "ui/SkinImageIds.h"

namespace {

constexpr FrameSkin kLyricsSkin = {
    kCaptionCloseMinMax,
    kSkinLyricsCloseBtn,
    kSkinLyricsMaxBtn,
    kSkinLyricsMinBtn,
    kSkinLyricsIcon,
    true,
    {kSkinLyricsLeftBorder, kSkinLyricsRightBorder, kSkinLyricsTopBorder, kSkinLyricsBottomBorder,
     kSkinLyricsTopLeft, kSkinLyricsTopRight, kSkinLyricsBottomLeft, kSkinLyricsBottomRight,
     kSkinLyricTitleActive, kSkinLyricTitleInActive}};

}  // namespace

CLyricWnd::CLyricWnd(HWND owner, ICantomereLyrics* lyrics, IPlayerHost* host)
    : CToolFrame(owner, kLyricFrameId), m_pane(lyrics, host) {
  SetBkColor(GetBkColorSetting());
  CreateFrame(kLyricsSkin, CSettings::GetLyricWndRect());
}

CLyricWnd::~CLyricWnd() {
  m_scrollBar.reset();
  // The pane (a member) goes before the frame's window: its destructor
  // detaches the view from the controller.
  DestroyOwnWindow();
}

COLORREF CLyricWnd::GetBkColorSetting() { return CSettings::GetColorSetting("LYRIC_BKCOLOR"); }

void CLyricWnd::OnFrameCreated() {
  if (m_pane.Create(m_hWnd) == 0) ::ShowWindow(m_pane.m_hWnd, SW_SHOW);
  if (CLyricView* view = m_pane.GetLyricView()) {
    view->SetColor(2, GetBkColorSetting());
    view->SetAlign(CSettings::GetLyricAlign());
    view->SetListener(this);
  }

  m_scrollBar = std::make_unique<CSkinScrollBar>();
  m_scrollBar->CreateButtons();
  m_scrollBar->SetImages(SchemeImage(kSkinVScrollTBtn), SchemeImage(kSkinVScrollBBtn),
                         SchemeImage(kSkinVScrollHumb), SchemeImage(kSkinVScrollBk));
  m_scrollBar->SetOwner(this);
  m_scrollBar->SetSink(&m_pane);
  m_scrollBar->SetRange(0, 0);
  if (m_scrollBar->Create() == 0) m_scrollBar->Show(true);

  CreateTopMostButton(kSkinLyricsAlwaysShowBtn, CSettings::GetWndShowState(2));
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
  PlaceTopMostButton();
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

LRESULT CLyricWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (GetOwner()) ::PostMessageA(GetOwner(), message, wParam, lParam);
      break;
    case WM_SETFOCUS:
      if (m_pane.m_hWnd) ::SetFocus(m_pane.m_hWnd);
      break;
    default:
      break;
  }
  return CToolFrame::WindowProc(message, wParam, lParam);
}
