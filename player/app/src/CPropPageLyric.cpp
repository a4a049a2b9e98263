#include "app/CPropPageLyric.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "lyrics/CLyricView.h"
#include "lyrics/CLyricWnd.h"
#include "ui/CSettings.h"
#include "ui/IPlayerHost.h"

IMPLEMENT_DYNCREATE(CPropPageLyric, CPropertyPage)

namespace {
enum : int {
  kIdBackground = 1027,
  kIdHighlight = 1028,
  kIdNormal = 1031,
  kIdFont = 1032,
  kIdKaraoke = 1033,
  kIdLeft = 1036,
  kIdRight = 1038
};

CLyricWnd* LiveLyricWnd(IPlayerHost* host) {
  if (host == nullptr) return nullptr;
  HWND wnd = host->GetChildWindow(ChildWndId::kLyrics);
  return wnd ? dynamic_cast<CLyricWnd*>(CWnd::FromHandlePermanent(wnd)) : nullptr;
}
}  // namespace

CPropPageLyric::CPropPageLyric() : CPropertyPage(IDD) { m_psp.dwFlags &= ~PSP_HASHELP; }

void CPropPageLyric::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, kIdNormal, m_normal);
  DDX_Control(pDX, kIdHighlight, m_highlight);
  DDX_Control(pDX, kIdBackground, m_background);
  DDX_Check(pDX, kIdKaraoke, m_karaoke);
  DDX_Radio(pDX, kIdLeft, m_align);
}

BOOL CPropPageLyric::OnInitDialog() {
  // The fields first: the base's exchange copies them into the controls.
  m_font.FromString(CSettings::GetLyricSetting("LYRIC_NORM_FONT"));
  std::string effect = CSettings::GetLyricEffect("LYRIC_EFFECT");
  std::transform(effect.begin(), effect.end(), effect.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  m_karaoke = effect == "karaoke" ? 1 : 0;
  m_align = std::clamp(CSettings::GetLyricAlign(), 0, 2);
  CPropertyPage::OnInitDialog();
  for (CColorButton* button : {&m_normal, &m_highlight, &m_background}) button->SetChangeSink(this);
  m_normal.SetColor(CSettings::GetColorSetting("LYRIC_NORM"));
  m_highlight.SetColor(CSettings::GetColorSetting("LYRIC_HILIGHT"));
  m_background.SetColor(CSettings::GetColorSetting("LYRIC_BKCOLOR"));
  return TRUE;
}

BOOL CPropPageLyric::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (HIWORD(wParam) == BN_CLICKED) {
    if (id == kIdFont) {
      if (m_font.ChooseFont(nullptr, nullptr, this)) SetModified(TRUE);
      return TRUE;
    }
    if (id == kIdKaraoke || (id >= kIdLeft && id <= kIdRight)) SetModified(TRUE);
  }
  return CPropertyPage::OnCommand(wParam, lParam);
}

void CPropPageLyric::OnColorChanged(int) { SetModified(TRUE); }

BOOL CPropPageLyric::OnApply() {
  Apply();
  return TRUE;
}

void CPropPageLyric::OnOK() {
  UpdateData(TRUE);
  Apply();
}

void CPropPageLyric::Apply() {
  const COLORREF normal = m_normal.GetColor();
  const COLORREF highlight = m_highlight.GetColor();
  const COLORREF background = m_background.GetColor();
  // The text form is taken before the handle may go to the view.
  const std::string fontText = m_font.ToString();
  if (CLyricWnd* wnd = LiveLyricWnd(m_host)) {
    wnd->ApplySettings(background);
    if (CLyricView* view = wnd->GetLyricView()) {
      view->SetColor(0, normal);
      view->SetColor(1, highlight);
      // The view takes the handle over; the page keeps only the description.
      if (m_font.GetSafeHandle()) view->SetFont(static_cast<HFONT>(m_font.Detach()));
      view->SetKaraoke(m_karaoke != 0);
    }
    wnd->Redraw();
    if (CLyricView* view = wnd->GetLyricView()) view->SetAlign(m_align);
  }
  CSettings::SetColorSetting(&normal, "LYRIC_NORM");
  CSettings::SetColorSetting(&highlight, "LYRIC_HILIGHT");
  CSettings::SetColorSetting(&background, "LYRIC_BKCOLOR");
  CSettings::SetLyricSetting(fontText.c_str(), "LYRIC_NORM_FONT");
  CSettings::SetLyricEffect(m_karaoke ? "Karaoke" : "Normal", "LYRIC_EFFECT");
  CSettings::SetLyricAlign(m_align);
}
