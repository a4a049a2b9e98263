#include "app/CPropPageScore.h"

#include "app/CScoreWnd.h"
#include "tunewell/ISongEngine.h"
#include "ui/CSettings.h"
#include "ui/IPlayerHost.h"

IMPLEMENT_DYNCREATE(CPropPageScore, CPropertyPage)

namespace {
struct ColourControl {
  int id;
  const char* key;
};
// In the order of the page's buttons (see the members).
const ColourControl kColours[] = {
    {1026, "SCORE_NOTE_COLOR"}, {1028, "SCORE_HILIGHT_NOTE_COLOR"}, {1027, "SCORE_LINE_COLOR"},
    {1031, "SCORE_CLEF_COLOR"}, {1029, "SCORE_BAR_INDEX_COLOR"},    {1030, "SCORE_BKCOLOR"},
};

CScoreWnd* LiveScoreWnd(IPlayerHost* host) {
  if (host == nullptr) return nullptr;
  HWND wnd = host->GetChildWindow(ChildWndId::kScore);
  return wnd ? dynamic_cast<CScoreWnd*>(CWnd::FromHandlePermanent(wnd)) : nullptr;
}
}  // namespace

CPropPageScore::CPropPageScore(ISongEngine* engine) : CPropertyPage(IDD) {
  m_psp.dwFlags &= ~PSP_HASHELP;
  if (engine) m_views = engine->CreateScoreViewPair();
}

CPropPageScore::~CPropPageScore() {
  if (m_views) m_views->Release();
}

void CPropPageScore::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  CColorButton* buttons[] = {&m_note, &m_highlight, &m_line, &m_clef, &m_index, &m_background};
  for (size_t i = 0; i < 6; ++i) DDX_Control(pDX, kColours[i].id, *buttons[i]);
}

BOOL CPropPageScore::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  CColorButton* buttons[] = {&m_note, &m_highlight, &m_line, &m_clef, &m_index, &m_background};
  for (size_t i = 0; i < 6; ++i) {
    buttons[i]->SetChangeSink(this);
    buttons[i]->SetColor(CSettings::GetColorSetting(kColours[i].key));
  }
  m_lyricFont.FromString(CSettings::GetLyricSetting("SCORE_LYRIC_FONT"));
  return TRUE;
}

void CPropPageScore::OnColorChanged(int) { SetModified(TRUE); }

BOOL CPropPageScore::OnApply() {
  Apply();
  return TRUE;
}

void CPropPageScore::OnOK() { Apply(); }

void CPropPageScore::Apply() {
  if (m_views) {
    m_views->SetNoteColor(m_note.GetColor(), -1);
    m_views->SetHighlightNoteColor(m_highlight.GetColor(), -1);
    m_views->SetLineColor(m_line.GetColor(), -1);
    m_views->SetClefColor(m_clef.GetColor(), -1);
    m_views->SetSignatureColor(m_clef.GetColor(), -1);
    m_views->SetBarIndexColor(m_index.GetColor(), -1);
    // The views accept the font without keeping it, so the page keeps
    // ownership and frees it with its font object.
    if (m_lyricFont.GetSafeHandle())
      m_views->SetLyricFont(static_cast<HFONT>(m_lyricFont.GetSafeHandle()), -1);
  }
  if (CScoreWnd* wnd = LiveScoreWnd(m_host)) {
    wnd->SetBkColor(m_background.GetColor());
    wnd->Redraw();
  }
  CColorButton* buttons[] = {&m_note, &m_highlight, &m_line, &m_clef, &m_index, &m_background};
  for (size_t i = 0; i < 6; ++i) {
    const COLORREF colour = buttons[i]->GetColor();
    CSettings::SetColorSetting(&colour, kColours[i].key);
  }
}
