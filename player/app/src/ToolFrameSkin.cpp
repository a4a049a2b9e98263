#include "app/ToolFrameSkin.h"

#include <algorithm>

#include "ui/CSkinImage.h"
#include "ui/CSkinManager.h"
#include "ui/CSkinWnd.h"
#include "ui/CaptionElements.h"

namespace {

// A stored rectangle nothing could show is kept between the minimum size and
// a size no screen has.
constexpr int kMaxFrameSide = 16384;

int ClampSide(long long side, int minimum) {
  return static_cast<int>(
      std::min<long long>(std::max<long long>(side, std::max(minimum, 1)), kMaxFrameSide));
}

int ClampCoordinate(int v) { return std::min(std::max(v, -kMaxFrameSide), kMaxFrameSide); }

}  // namespace

CSkinImage* LoadedSkinImage(unsigned short id) {
  CSkinImage* image = GetSkinManager()->GetSkinImage(id);
  return image && image->IsLoaded() ? image : nullptr;
}

void SetFrameImages(CSkinWnd* frame, const FrameImageIds& ids) {
  CSkinFrameImages* images = frame->GetFrameImages();
  if (CSkinImage* i = LoadedSkinImage(ids.left)) images->SetLeftBorder(i);
  if (CSkinImage* i = LoadedSkinImage(ids.right)) images->SetRightBorder(i);
  if (CSkinImage* i = LoadedSkinImage(ids.top)) images->SetTopBorder(i);
  if (CSkinImage* i = LoadedSkinImage(ids.bottom)) images->SetBottomBorder(i);
  if (CSkinImage* i = LoadedSkinImage(ids.topLeft)) images->SetTopLeft(i);
  if (CSkinImage* i = LoadedSkinImage(ids.topRight)) images->SetTopRight(i);
  if (CSkinImage* i = LoadedSkinImage(ids.bottomLeft)) images->SetBottomLeft(i);
  if (CSkinImage* i = LoadedSkinImage(ids.bottomRight)) images->SetBottomRight(i);
  if (CSkinImage* i = LoadedSkinImage(ids.title)) images->SetTitle(i);
  if (CSkinImage* i = LoadedSkinImage(ids.titleInactive)) images->SetTitleInactive(i);
}

void ApplyStoredFrameRect(CSkinWnd* frame, const RECT& stored) {
  CSkinFrameLayout* layout = frame->GetLayout();
  layout->SetMinWidth(frame->GetMinFrameWidth());
  layout->SetMinHeight(frame->GetMinFrameHeight());
  layout->SetCaptionHeight(frame->GetCaptionHeight());
  layout->SetPos(ClampCoordinate(stored.left), ClampCoordinate(stored.top));
  layout->SetWidth(ClampSide(static_cast<long long>(stored.right) - stored.left, frame->GetMinFrameWidth()));
  layout->SetHeight(
      ClampSide(static_cast<long long>(stored.bottom) - stored.top, frame->GetMinFrameHeight()));
}

void AskOwnerToHide(CSkinWnd* frame, HWND owner, int child) {
  if (owner) ::SendMessageA(owner, WM_SKIN_HIDE_CHILD, static_cast<WPARAM>(child), 0);
  frame->GetElementList()->ResetStates();
  if (frame->m_hWnd) ::InvalidateRect(frame->m_hWnd, nullptr, FALSE);
}

void SetWindowTopMost(HWND window, bool topMost) {
  if (window) {
    ::SetWindowPos(window, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}
