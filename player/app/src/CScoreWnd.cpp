#include "app/CScoreWnd.h"

#include <tunewell/ISongEngine.h>

#include <algorithm>
#include <string>

#include "ui/CSettings.h"
#include "ui/CSkinImage.h"
#include "ui/CSkinManager.h"
#include "ui/SkinImageIds.h"

namespace {

enum : UINT {
  kStrScoreType = 114,
};

constexpr FrameSkin kScoreSkin = {
    kCaptionCloseMinMax,
    kSkinScoreCloseBtn,
    kSkinScoreMaxBtn,
    kSkinScoreMinBtn,
    kSkinScoreIcon,
    true,
    {kSkinScoreLeftBorder, kSkinScoreRightBorder, kSkinScoreTopBorder, kSkinScoreBottomBorder,
     kSkinScoreTopLeft, kSkinScoreTopRight, kSkinScoreBottomLeft, kSkinScoreBottomRight,
     kSkinScoreTitleActive, kSkinScoreTitleInActive}};

bool IsShown(const CBmpWnd* window) {
  return window && window->m_hWnd && (::GetWindowLongA(window->m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

int WindowWidth(HWND window) {
  RECT r;
  return window && ::GetWindowRect(window, &r) ? r.right - r.left : 0;
}

int WindowHeight(HWND window) {
  RECT r;
  return window && ::GetWindowRect(window, &r) ? r.bottom - r.top : 0;
}

}  // namespace

void CScoreTypeToggle::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
  CSkinToggleElement::OnLButtonDown(wParam, lParam);
  if (m_frame) m_frame->OnScoreTypeToggle(m_type);
}

CScoreWnd::CScoreWnd(HWND owner, IPlayerHost* host) : CToolFrame(owner, ChildWndId::kScore), m_canvas(host) {
  m_slider = std::make_unique<CSkinSlider>();
  m_slider->CreateButtons();
  m_slider->SetSink(&m_canvas);
  m_scrollBar = std::make_unique<CSkinScrollBar>();
  m_scrollBar->CreateButtons();

  SetBkColor(CSettings::GetColorSetting("SCORE_BKCOLOR"));
  CreateFrame(kScoreSkin, CSettings::GetStaffWndRect());
}

CScoreWnd::~CScoreWnd() {
  for (CSkinElement* element :
       std::initializer_list<CSkinElement*>{m_staffToggle.get(), m_numberedToggle.get()}) {
    if (element) GetElementList()->Remove(element);
  }
  m_slider.reset();
  m_scrollBar.reset();
  DestroyOwnWindow();
}

void CScoreWnd::OnFrameCreated() {
  m_slider->SetImages(SchemeImage(kSkinHScrollLBtn), SchemeImage(kSkinHScrollRBtn),
                      SchemeImage(kSkinHScrollHumb), SchemeImage(kSkinHScrollBk));
  m_scrollBar->SetImages(SchemeImage(kSkinVScrollTBtn), SchemeImage(kSkinVScrollBBtn),
                         SchemeImage(kSkinVScrollHumb), SchemeImage(kSkinVScrollBk));
  m_canvas.SetBkBrush(GetBkBrush());
  if (m_canvas.Create(m_hWnd) == 0) ::ShowWindow(m_canvas.m_hWnd, SW_SHOW);
  m_slider->SetOwner(this);
  m_slider->SetRange(0, 0);
  if (m_slider->Create() == 0) m_slider->Show(true);
  m_scrollBar->SetOwner(this);
  m_scrollBar->SetRange(0, 0);
  if (m_scrollBar->Create() == 0) m_scrollBar->Show(true);
  CreateToggles();
  LayoutChildren();
}

void CScoreWnd::CreateToggles() {
  CreateTopMostButton(kSkinScoreAlwaysShowBtn, CSettings::GetWndShowState(WndShowState::kScore));
  m_staffToggle = std::make_unique<CScoreTypeToggle>(this, kStaff);
  m_numberedToggle = std::make_unique<CScoreTypeToggle>(this, kNumbered);
  struct Row {
    CSkinToggleElement* toggle;
    unsigned short image;
    UINT tip;
  };
  const Row rows[] = {
      {m_staffToggle.get(), kSkinDisplayStaff, kStrScoreType},
      {m_numberedToggle.get(), kSkinDisplayJianPu, kStrScoreType},
  };
  for (const Row& row : rows) {
    row.toggle->SetImage(SchemeImage(row.image));
    row.toggle->SetTipText(LoadPlayerString(row.tip).c_str(), nullptr);
    row.toggle->SetToolId(GetElementList()->NewToolId());
    GetElementList()->Add(row.toggle);
    GetElementList()->AddTool(row.toggle);
  }
  UpdateToggleChecks();
  LayoutToggles();
}

void CScoreWnd::LayoutToggles() {
  if (!m_staffToggle) return;
  const int width = GetLayout()->GetWidth();
  const int height = GetLayout()->GetHeight();
  auto frameSize = [](CSkinToggleElement* toggle, int* w, int* h) {
    *w = *h = 0;
    if (toggle->GetImageSize(w, h)) *w /= 4;
  };
  PlaceTopMostButton();
  int w, h;
  frameSize(m_staffToggle.get(), &w, &h);
  const int staffLeft = width - kStaffToggleOffset - w;
  m_staffToggle->SetRect(RECT{staffLeft, height - h, width - kStaffToggleOffset, height});
  frameSize(m_numberedToggle.get(), &w, &h);
  m_numberedToggle->SetRect(RECT{staffLeft - w, height - h, staffLeft, height});
  GetElementList()->UpdateToolRect(m_staffToggle.get());
  GetElementList()->UpdateToolRect(m_numberedToggle.get());
}

void CScoreWnd::LayoutChildren() {
  if (!m_hWnd) return;
  const CSkinFrameImages* images = GetFrameImages();
  const int width = GetLayout()->GetWidth();
  const int height = GetLayout()->GetHeight();
  RECT content = {SkinImageWidth(images->GetLeftBorder()) + 12, SkinImageHeight(images->GetTitle()) + 2,
                  width - SkinImageWidth(images->GetRightBorder()) - 2,
                  height - SkinImageHeight(images->GetBottomBorder()) - 2};
  content.right = std::max(content.right, content.left);
  content.bottom = std::max(content.bottom, content.top);
  const bool sliderShown = IsShown(m_slider.get());
  const bool barShown = IsShown(m_scrollBar.get());
  const int sliderHeight = sliderShown ? WindowHeight(m_slider->m_hWnd) : 0;
  const int barWidth = barShown ? WindowWidth(m_scrollBar->m_hWnd) : 0;
  if (sliderShown) {
    m_slider->MoveWindow(content.left, content.bottom - sliderHeight,
                         std::max(0, static_cast<int>(content.right - content.left) - barWidth),
                         sliderHeight);
  }
  if (barShown) {
    m_scrollBar->MoveWindow(content.right - barWidth, content.top, barWidth,
                            std::max(0, static_cast<int>(content.bottom - content.top) - sliderHeight));
  }
  if (m_canvas.m_hWnd) {
    ::MoveWindow(m_canvas.m_hWnd, content.left, content.top,
                 std::max(0, static_cast<int>(content.right - content.left) - barWidth),
                 std::max(0, static_cast<int>(content.bottom - content.top) - sliderHeight), TRUE);
    m_canvas.UpdateScoreSize();
  }
  LayoutToggles();
}

void CScoreWnd::OnSize(WPARAM wParam, LPARAM lParam) {
  CSkinWnd::OnSize(wParam, lParam);
  LayoutChildren();
}

void CScoreWnd::SetSongEngine(ISongEngine* engine) {
  m_canvas.SetSongEngine(engine);
  // The engine may start in either notation (the default type setting); the
  // toggles show what it shows from the start.
  if (CScoreFacet* facet = m_canvas.GetFacet()) {
    m_scoreType = facet->GetScoreType() == kNumbered ? kNumbered : kStaff;
    UpdateToggleChecks();
  }
}

void CScoreWnd::ResetMeasureSlider() {
  CScoreFacet* facet = m_canvas.GetFacet();
  if (!facet || !m_slider) return;
  m_slider->SetRange(std::max(0, facet->GetMeasureCount(1)), 0);
  m_slider->SetPos(0);
}

void CScoreWnd::SetMeasurePos(int pos) {
  if (m_slider) m_slider->SetPos(pos);
}

void CScoreWnd::EnableScrollers(bool enable, int which) {
  if ((which == kMeasureSlider || which == kBothScrollers) && m_slider) m_slider->EnableWindow(enable);
  if ((which == kScrollBar || which == kBothScrollers) && m_scrollBar) m_scrollBar->EnableWindow(enable);
}

void CScoreWnd::SetBkColor(COLORREF color) {
  CSkinWnd::SetBkColor(color);
  m_canvas.SetBkBrush(GetBkBrush());
}

void CScoreWnd::Redraw() {
  if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
  if (m_canvas.m_hWnd) ::InvalidateRect(m_canvas.m_hWnd, nullptr, TRUE);
}

void CScoreWnd::SetScoreType(int type) {
  m_scoreType = type == kNumbered ? kNumbered : kStaff;
  if (CScoreFacet* facet = m_canvas.GetFacet()) {
    facet->SetScoreType(m_scoreType);
    // The new view paints into the canvas at the canvas's size.
    m_canvas.SetSongEngine(m_canvas.GetSongEngine());
  }
  UpdateToggleChecks();
  if (m_canvas.m_hWnd) ::InvalidateRect(m_canvas.m_hWnd, nullptr, FALSE);
}

void CScoreWnd::OnScoreTypeToggle(int type) {
  SetScoreType(m_scoreType == type ? (type == kStaff ? kNumbered : kStaff) : type);
}

void CScoreWnd::UpdateToggleChecks() {
  if (m_staffToggle) m_staffToggle->SetCheck(m_scoreType == kStaff, m_hWnd);
  if (m_numberedToggle) m_numberedToggle->SetCheck(m_scoreType == kNumbered, m_hWnd);
}

LRESULT CScoreWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (GetOwner()) ::PostMessageA(GetOwner(), message, wParam, lParam);
      break;
    case WM_LBUTTONDBLCLK: {
      // The caption's double click maximizes (the tool frame's rule); one
      // below it goes to the elements.
      const POINT point = PointFromLParam(lParam);
      if (!IsInCaption(point.x, point.y)) return CSkinWnd::WindowProc(message, wParam, lParam);
      break;
    }
    default:
      break;
  }
  return CToolFrame::WindowProc(message, wParam, lParam);
}
