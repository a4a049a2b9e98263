#include "app/CScoreWnd.h"

#include <shellapi.h>
#include <tunewell/ISongEngine.h>

#include <algorithm>
#include <string>

#include "app/FrameSizing.h"
#include "app/PlayerStrings.h"
#include "app/ToolFrameSkin.h"
#include "ui/CSettings.h"
#include "ui/CSkinImage.h"
#include "ui/CSkinManager.h"
#include "ui/SkinImageIds.h"

namespace {

enum : UINT {
  kStrClose = 102,
  kStrMinimize = 104,
  kStrMaximize = 105,
  kStrRestoreDown = 107,
  kStrAlwaysVisible = 112,
  kStrScoreType = 114,
};

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

CScoreWnd::CScoreWnd(HWND owner) : m_owner(owner) {
  m_slider = std::make_unique<CSkinSlider>();
  m_slider->CreateButtons();
  m_slider->SetSink(&m_canvas);
  m_scrollBar = std::make_unique<CSkinScrollBar>();
  m_scrollBar->CreateButtons();

  SetBkColor(CSettings::GetColorSetting("SCORE_BKCOLOR"));
  const RECT stored = CSettings::GetStaffWndRect();
  GetLayout()->SetDrawFlag(true);

  SetFrameImages(this, {kSkinScoreLeftBorder, kSkinScoreRightBorder, kSkinScoreTopBorder,
                        kSkinScoreBottomBorder, kSkinScoreTopLeft, kSkinScoreTopRight, kSkinScoreBottomLeft,
                        kSkinScoreBottomRight, kSkinScoreTitleActive, kSkinScoreTitleInActive});

  SetCaptionLayout(this, kCaptionCloseMinMax);
  SetCaptionButton(LoadedSkinImage(kSkinScoreCloseBtn), kCaptionBtnClose, true,
                   LoadPlayerString(kStrClose).c_str(), nullptr);
  SetCaptionButton(LoadedSkinImage(kSkinScoreMaxBtn), kCaptionBtnMax, true,
                   LoadPlayerString(kStrMaximize).c_str(), LoadPlayerString(kStrRestoreDown).c_str());
  SetCaptionButton(LoadedSkinImage(kSkinScoreMinBtn), kCaptionBtnMin, true,
                   LoadPlayerString(kStrMinimize).c_str(), nullptr);
  SetIconImage(LoadedSkinImage(kSkinScoreIcon));

  ApplyStoredFrameRect(this, stored);

  if (Create(nullptr, WS_EX_TOOLWINDOW, WS_POPUP | WS_CLIPCHILDREN, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS,
             nullptr) != 0)
    return;
  SetCaptionButtonState(kCaptionBtnMin, false);
}

CScoreWnd::~CScoreWnd() {
  for (CSkinElement* element : std::initializer_list<CSkinElement*>{
           m_topMostToggle.get(), m_staffToggle.get(), m_numberedToggle.get()}) {
    if (element) GetElementList()->Remove(element);
  }
  m_slider.reset();
  m_scrollBar.reset();
  DestroyOwnWindow();
}

void CScoreWnd::OnCreateParts() {
  GetElementList()->SetOwner(m_hWnd);
  m_snap.SetWnd(m_hWnd);
  m_slider->SetImages(LoadedSkinImage(kSkinHScrollLBtn), LoadedSkinImage(kSkinHScrollRBtn),
                      LoadedSkinImage(kSkinHScrollHumb), LoadedSkinImage(kSkinHScrollBk));
  m_scrollBar->SetImages(LoadedSkinImage(kSkinVScrollTBtn), LoadedSkinImage(kSkinVScrollBBtn),
                         LoadedSkinImage(kSkinVScrollHumb), LoadedSkinImage(kSkinVScrollBk));
  m_canvas.SetBkBrush(GetBkBrush());
  if (m_canvas.Create(m_hWnd) == 0) ::ShowWindow(m_canvas.m_hWnd, SW_SHOW);
  m_slider->SetOwner(this);
  m_slider->SetRange(0, 0);
  if (m_slider->Create() == 0) m_slider->Show(true);
  m_scrollBar->SetOwner(this);
  m_scrollBar->SetRange(0, 0);
  if (m_scrollBar->Create() == 0) m_scrollBar->Show(true);
  CreateToggles();
  ::DragAcceptFiles(m_hWnd, TRUE);
  LayoutChildren();
}

void CScoreWnd::CreateToggles() {
  m_topMostToggle = std::make_unique<CTopMostButton>(this);
  m_staffToggle = std::make_unique<CScoreTypeToggle>(this, kStaff);
  m_numberedToggle = std::make_unique<CScoreTypeToggle>(this, kNumbered);
  struct Row {
    CSkinToggleElement* toggle;
    unsigned short image;
    UINT tip;
  };
  const Row rows[] = {
      {m_topMostToggle.get(), kSkinScoreAlwaysShowBtn, kStrAlwaysVisible},
      {m_staffToggle.get(), kSkinDisplayStaff, kStrScoreType},
      {m_numberedToggle.get(), kSkinDisplayJianPu, kStrScoreType},
  };
  for (const Row& row : rows) {
    row.toggle->SetImage(LoadedSkinImage(row.image));
    row.toggle->SetTipText(LoadPlayerString(row.tip).c_str(), nullptr);
    row.toggle->SetToolId(GetElementList()->NewToolId());
    GetElementList()->Add(row.toggle);
    GetElementList()->AddTool(row.toggle);
  }
  const bool topMost = CSettings::GetWndShowState(WndShowState::kScore);
  m_topMostToggle->SetCheck(topMost, m_hWnd);
  SetTopMost(topMost);
  UpdateToggleChecks();
  LayoutToggles();
}

void CScoreWnd::LayoutToggles() {
  if (!m_topMostToggle) return;
  const int width = GetLayout()->GetWidth();
  const int height = GetLayout()->GetHeight();
  auto frameSize = [](CSkinToggleElement* toggle, int* w, int* h) {
    *w = *h = 0;
    if (toggle->GetImageSize(w, h)) *w /= 4;
  };
  int w, h;
  frameSize(m_topMostToggle.get(), &w, &h);
  m_topMostToggle->SetRect(RECT{width - w, height - h, width, height});
  frameSize(m_staffToggle.get(), &w, &h);
  const int staffLeft = width - kStaffToggleOffset - w;
  m_staffToggle->SetRect(RECT{staffLeft, height - h, width - kStaffToggleOffset, height});
  frameSize(m_numberedToggle.get(), &w, &h);
  m_numberedToggle->SetRect(RECT{staffLeft - w, height - h, staffLeft, height});
  for (CSkinElement* toggle : std::initializer_list<CSkinElement*>{m_topMostToggle.get(), m_staffToggle.get(),
                                                                   m_numberedToggle.get()}) {
    GetElementList()->UpdateToolRect(toggle);
  }
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

void CScoreWnd::SetWindowRectSizing(const RECT& rect, int edge) {
  ApplyFrameSizing(this, m_snap.GetDockState(), rect, edge);
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

bool CScoreWnd::IsTopMost() { return m_topMostToggle && m_topMostToggle->IsChecked(); }

void CScoreWnd::SetTopMost(bool topMost) { SetWindowTopMost(m_hWnd, topMost); }

void CScoreWnd::RequestHide() { AskOwnerToHide(this, m_owner, ChildWndId::kScore); }

void CScoreWnd::DestroyWindow() { RequestHide(); }

LRESULT CScoreWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SKIN_CREATED:
      OnCreateParts();
      break;
    case WM_SKIN_HIDE_CHILD:
      RequestHide();
      break;
    case WM_SKIN_CLOSE:
    case WM_CLOSE:
      RequestHide();
      return 0;
    case WM_DROPFILES:
      if (m_owner) ::PostMessageA(m_owner, message, wParam, lParam);
      return 0;
    case WM_KEYDOWN:
      if (m_owner) ::PostMessageA(m_owner, message, wParam, lParam);
      break;
    case WM_LBUTTONDBLCLK: {
      const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (IsInCaption(point.x, point.y)) {
        if (CSkinElement* max = GetCaptionButtons()->GetButton(kCaptionBtnMax))
          max->OnLButtonUp(wParam, lParam);
        return 0;
      }
      break;
    }
    case WM_SIZING:
      m_snap.OnSizing(wParam, reinterpret_cast<RECT*>(lParam));
      break;
    case WM_MOVING:
      m_snap.OnMoving(wParam, reinterpret_cast<RECT*>(lParam));
      break;
    case WM_WINDOWPOSCHANGING:
      return m_snap.OnWindowPosChanging(wParam, reinterpret_cast<WINDOWPOS*>(lParam));
    default:
      break;
  }
  return CSkinWnd::WindowProc(message, wParam, lParam);
}
