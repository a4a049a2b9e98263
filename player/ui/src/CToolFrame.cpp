#include "ui/CToolFrame.h"

#include <shellapi.h>

#include <algorithm>

#include "ui/CSkinImage.h"
#include "ui/CSkinManager.h"
#include "ui/SnapWindows.h"

namespace {

constexpr UINT kStrTopMostTip = 112;
constexpr int kMaxFrameSide = 16384;

int ClampSide(long long side, int minimum) {
  return static_cast<int>(
      std::min<long long>(std::max<long long>(side, std::max(minimum, 1)), kMaxFrameSide));
}

// The frame's edge code (1 left, 2 right, 4 top, 8 bottom) as the system's
// WMSZ_ code; 0 for anything else.
WPARAM SizingEdge(int edge) {
  switch (edge) {
    case 1:
      return WMSZ_LEFT;
    case 2:
      return WMSZ_RIGHT;
    case 4:
      return WMSZ_TOP;
    case 8:
      return WMSZ_BOTTOM;
    default:
      return 0;
  }
}

}  // namespace

CSkinImage* SchemeImage(unsigned short id) {
  CSkinImage* image = GetSkinManager()->GetSkinImage(id);
  return image && image->IsLoaded() ? image : nullptr;
}

std::string LoadPlayerString(UINT id) {
  char text[256] = {};
  const int n = ::LoadStringA(::GetModuleHandleA(nullptr), id, text, sizeof(text));
  return std::string(text, n > 0 ? n : 0);
}

CToolFrame::~CToolFrame() {
  if (m_topMostButton) GetElementList()->Remove(m_topMostButton.get());
  m_topMostButton.reset();
}

void CToolFrame::SetUpFrame(const ToolFrameImages& ids, const RECT& stored) {
  CSkinFrameImages* images = GetFrameImages();
  if (CSkinImage* i = SchemeImage(ids.left)) images->SetLeftBorder(i);
  if (CSkinImage* i = SchemeImage(ids.right)) images->SetRightBorder(i);
  if (CSkinImage* i = SchemeImage(ids.top)) images->SetTopBorder(i);
  if (CSkinImage* i = SchemeImage(ids.bottom)) images->SetBottomBorder(i);
  if (CSkinImage* i = SchemeImage(ids.topLeft)) images->SetTopLeft(i);
  if (CSkinImage* i = SchemeImage(ids.topRight)) images->SetTopRight(i);
  if (CSkinImage* i = SchemeImage(ids.bottomLeft)) images->SetBottomLeft(i);
  if (CSkinImage* i = SchemeImage(ids.bottomRight)) images->SetBottomRight(i);
  if (CSkinImage* i = SchemeImage(ids.title)) images->SetTitle(i);
  if (CSkinImage* i = SchemeImage(ids.titleInactive)) images->SetTitleInactive(i);
  CSkinFrameLayout* layout = GetLayout();
  layout->SetDrawFlag(true);
  layout->SetMinWidth(GetMinFrameWidth());
  layout->SetMinHeight(GetMinFrameHeight());
  layout->SetCaptionHeight(GetCaptionHeight());
  layout->SetPos(std::clamp<int>(stored.left, -kMaxFrameSide, kMaxFrameSide),
                 std::clamp<int>(stored.top, -kMaxFrameSide, kMaxFrameSide));
  layout->SetWidth(ClampSide(static_cast<long long>(stored.right) - stored.left, GetMinFrameWidth()));
  layout->SetHeight(ClampSide(static_cast<long long>(stored.bottom) - stored.top, GetMinFrameHeight()));
}

bool CToolFrame::CreateFrame() {
  if (Create(nullptr, WS_EX_TOOLWINDOW, WS_POPUP | WS_CLIPCHILDREN, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS,
             nullptr) != 0)
    return false;
  ::DragAcceptFiles(m_hWnd, TRUE);
  return true;
}

bool CToolFrame::CreateFrame(const FrameSkin& skin, const RECT& stored) {
  SetUpFrameCaption(this, skin);
  SetUpFrame(skin.images, stored);
  if (!CreateFrame()) return false;
  if (skin.maxButton) SetCaptionButtonState(kCaptionBtnMin, false);
  return true;
}

void CToolFrame::CreateTopMostButton(unsigned short imageId, bool on) {
  m_topMostButton = std::make_unique<CTopMostButton>(this);
  m_topMostButton->SetImage(SchemeImage(imageId));
  m_topMostButton->SetTipText(LoadPlayerString(kStrTopMostTip).c_str(), nullptr);
  m_topMostButton->SetToolId(GetElementList()->NewToolId());
  GetElementList()->Add(m_topMostButton.get());
  GetElementList()->AddTool(m_topMostButton.get());
  m_topMostButton->SetCheck(on, m_hWnd);
  SetTopMost(on);
}

void CToolFrame::PlaceTopMostButton() {
  if (!m_topMostButton) return;
  int w = 0, h = 0;
  if (m_topMostButton->GetImageSize(&w, &h)) w /= 4;
  m_topMostButton->SetRect(GetLayout()->GetWidth() - w, GetLayout()->GetHeight() - h, w, h);
  GetElementList()->UpdateToolRect(m_topMostButton.get());
}

bool CToolFrame::IsTopMost() { return m_topMostButton && m_topMostButton->IsChecked(); }

void CToolFrame::SetTopMost(bool topMost) {
  if (m_hWnd)
    ::SetWindowPos(m_hWnd, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CToolFrame::RequestHide() {
  if (m_owner) ::SendMessageA(m_owner, WM_SKIN_HIDE_CHILD, m_frameId, 0);
  GetElementList()->ResetStates();
  if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CToolFrame::SetWindowRectSizing(const RECT& rect, int edge) {
  if (!m_hWnd) return;
  RECT proposed = rect;
  const WPARAM sizingEdge = SizingEdge(edge);
  if (sizingEdge != 0) PinDockedEdges(m_hWnd, m_snap.GetDockState(), sizingEdge, &proposed);
  // The minimum size holds as it does for a drag of the border.
  OnSizing(sizingEdge != 0 ? sizingEdge : WMSZ_BOTTOMRIGHT, &proposed);
  RECT current;
  ::GetWindowRect(m_hWnd, &current);
  if (EqualRect(&current, &proposed)) return;
  SetWindowRect(proposed);
}

void CToolFrame::DestroyWindow() { RequestHide(); }

LRESULT CToolFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SKIN_CREATED:
      GetElementList()->SetOwner(m_hWnd);
      m_snap.SetWnd(m_hWnd);
      OnFrameCreated();
      break;
    case WM_SKIN_HIDE_CHILD:
      RequestHide();
      break;
    case WM_SKIN_CLOSE:
    case WM_CLOSE:
      RequestHide();
      return 0;
    case WM_DROPFILES:
      // Files dropped on a tool frame open in the player.
      if (m_owner) ::PostMessageA(m_owner, message, wParam, lParam);
      return 0;
    case WM_LBUTTONDBLCLK: {
      const POINT pt = PointFromLParam(lParam);
      if (IsInCaption(pt.x, pt.y))
        if (CSkinElement* max = GetCaptionButtons()->GetButton(kCaptionBtnMax))
          max->OnLButtonUp(wParam, lParam);
      return 0;
    }
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
