#include "ui/CSkinDialog.h"

#include <string>

#include "ui/CSettings.h"
#include "ui/CSkinManager.h"

namespace {

// The program's string, or the English text when the table lacks it.
std::string LoadTipString(UINT id, const char* fallback) {
  char text[128];
  int n = ::LoadStringA(::GetModuleHandleA(nullptr), id, text, sizeof(text));
  return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string(fallback);
}

}  // namespace

CSkinDialog::CSkinDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {}

CSkinDialog::~CSkinDialog() {
  // The window is the framework's: the skin part must neither destroy it
  // nor keep it in its table.
  CSkinWnd::Detach();
}

BOOL CSkinDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  InitSkin();
  SetCaptionButtons(kCaptionClose);
  CSkinWnd::OnSize(0, 0);
  return TRUE;
}

void CSkinDialog::InitSkin() {
  HWND dialog = CDialog::m_hWnd;
  CSkinWnd::Attach(dialog);
  // The elements repaint through their owner; without one they would
  // invalidate the whole desktop.
  GetElementList()->SetOwner(dialog);
  SetBkColor(CSettings::GetColorSetting("DEFAULT_BK_COLOR"));

  RECT r;
  ::GetWindowRect(dialog, &r);
  CSkinFrameLayout* layout = GetLayout();
  layout->SetPos(r.left, r.top);
  layout->SetWidth(r.right - r.left);
  layout->SetHeight(r.bottom - r.top);

  CSkinManager* skins = GetSkinManager();
  CSkinFrameImages* images = GetFrameImages();
  if (CSkinImage* i = skins->GetSkinImage(kSkinBorderLeft)) images->SetLeftBorder(i);
  if (CSkinImage* i = skins->GetSkinImage(kSkinBorderRight)) images->SetRightBorder(i);
  if (CSkinImage* i = skins->GetSkinImage(kSkinBorderTop)) images->SetTopBorder(i);
  if (CSkinImage* i = skins->GetSkinImage(kSkinBorderBottom)) images->SetBottomBorder(i);
  if (CSkinImage* i = skins->GetSkinImage(kSkinScoreTitleActive)) images->SetTitle(i);
  if (CSkinImage* i = skins->GetSkinImage(kSkinScoreTitleInActive)) images->SetTitleInactive(i);
}

void CSkinDialog::SetCaptionButtons(int code) {
  if (code != kCaptionClose && code != kCaptionCloseMax && code != kCaptionCloseMin &&
      code != kCaptionCloseMinMax)
    return;
  SetCaptionStyle(code);
  CSkinManager* skins = GetSkinManager();
  if (CSkinImage* close = skins->GetSkinImage(kSkinClose))
    SetCaptionButton(close, kCaptionBtnClose, true, LoadTipString(IDS_SKIN_CLOSE, "Close").c_str(), nullptr);
  if (code == kCaptionCloseMax || code == kCaptionCloseMinMax) {
    if (CSkinImage* max = skins->GetSkinImage(kSkinMax))
      SetCaptionButton(max, kCaptionBtnMax, true, LoadTipString(IDS_SKIN_MAXIMIZE, "Maximize").c_str(),
                       LoadTipString(IDS_SKIN_RESTORE, "Restore Down").c_str());
  }
  if (code == kCaptionCloseMin || code == kCaptionCloseMinMax) {
    if (CSkinImage* min = skins->GetSkinImage(kSkinMin))
      SetCaptionButton(min, kCaptionBtnMin, true, LoadTipString(IDS_SKIN_MINIMIZE, "Minimize").c_str(),
                       nullptr);
  }
}

void CSkinDialog::FillBackground(HDC dc) {
  RECT r;
  ::GetWindowRect(CDialog::m_hWnd, &r);
  ::OffsetRect(&r, -r.left, -r.top);
  HGDIOBJ old =
      ::SelectObject(dc, GetBkBrush() ? static_cast<HGDIOBJ>(GetBkBrush()) : ::GetStockObject(NULL_BRUSH));
  ::Rectangle(dc, 0, 0, r.right, r.bottom);
  ::SelectObject(dc, old);
}

LRESULT CSkinDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE:
      CSkinWnd::OnMouseMove(wParam, lParam);
      return 0;
    case WM_LBUTTONDOWN:
      CSkinWnd::OnLButtonDown(lParam);
      return 0;
    case WM_LBUTTONUP:
      CSkinWnd::OnLButtonUp();
      return 0;
    case WM_DRAWITEM:
      CSkinWnd::OnDrawItem(wParam, lParam);
      return 0;
    case WM_ACTIVATE:
      CSkinWnd::OnActivate(wParam, lParam);
      return 0;
    case WM_PAINT:
      CSkinWnd::OnPaint();
      return 0;
    case WM_ERASEBKGND:
      FillBackground(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_NCDESTROY:
      // The handle dies with the dialog; the skin part must not keep it.
      CSkinWnd::Detach();
      return CDialog::WindowProc(message, wParam, lParam);
    default:
      return CDialog::WindowProc(message, wParam, lParam);
  }
}
