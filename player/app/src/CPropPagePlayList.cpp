#include "app/CPropPagePlayList.h"

#include "app/CPlayListWnd.h"
#include "ui/CSettings.h"
#include "ui/IPlayerHost.h"

IMPLEMENT_DYNCREATE(CPropPagePlayList, CPropertyPage)

namespace {
enum : int { kIdBackground = 1032, kIdNormal = 1033, kIdReload = 1034, kIdPlaying = 1035 };

CPlayListWnd* LivePlayListWnd(IPlayerHost* host) {
  if (host == nullptr) return nullptr;
  HWND wnd = host->GetChildWindow(ChildWndId::kPlayList);
  return wnd ? dynamic_cast<CPlayListWnd*>(CWnd::FromHandlePermanent(wnd)) : nullptr;
}
}  // namespace

CPropPagePlayList::CPropPagePlayList() : CPropertyPage(IDD) { m_psp.dwFlags &= ~PSP_HASHELP; }

void CPropPagePlayList::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, kIdPlaying, m_playing);
  DDX_Control(pDX, kIdNormal, m_normal);
  DDX_Control(pDX, kIdBackground, m_background);
  DDX_Check(pDX, kIdReload, m_reload);
}

BOOL CPropPagePlayList::OnInitDialog() {
  m_reload = CSettings::GetReloadLastSongList() ? 1 : 0;
  CPropertyPage::OnInitDialog();
  for (CColorButton* button : {&m_playing, &m_normal, &m_background}) button->SetChangeSink(this);
  m_playing.SetColor(CSettings::GetColorSetting("PLAYLIST_PLAYITEM_COLOR"));
  m_normal.SetColor(CSettings::GetColorSetting("PLAYLIST_NORMTEXT_COLOR"));
  m_background.SetColor(CSettings::GetColorSetting("PLAYLIST_BKCOLOR"));
  return TRUE;
}

BOOL CPropPagePlayList::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kIdReload) SetModified(TRUE);
  return CPropertyPage::OnCommand(wParam, lParam);
}

void CPropPagePlayList::OnColorChanged(int) { SetModified(TRUE); }

BOOL CPropPagePlayList::OnApply() {
  Apply();
  return TRUE;
}

void CPropPagePlayList::OnOK() { Apply(); }

void CPropPagePlayList::Apply() {
  const COLORREF playing = m_playing.GetColor();
  const COLORREF normal = m_normal.GetColor();
  const COLORREF background = m_background.GetColor();
  if (CPlayListWnd* wnd = LivePlayListWnd(m_host)) {
    wnd->SetListBkColor(background);
    wnd->SetTextColor(normal);
    wnd->SetPlayingColor(playing);
    wnd->Redraw();
  }
  CSettings::SetColorSetting(&playing, "PLAYLIST_PLAYITEM_COLOR");
  CSettings::SetColorSetting(&normal, "PLAYLIST_NORMTEXT_COLOR");
  CSettings::SetColorSetting(&background, "PLAYLIST_BKCOLOR");
  CSettings::SetReloadLastSongList(m_reload != 0);
}
