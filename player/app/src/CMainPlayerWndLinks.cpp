#include "app/CMainPlayerWnd.h"

#include "app/CURLEncoder.h"
#include "app/PlayerResources.h"
#include "ui/CProfileHelper.h"
#include "ui/CToolFrame.h"
#include "ui/WebPages.h"

namespace {

std::string Encoded(const std::string& text) {
  return static_cast<const char*>(CURLEncoder().Encode(CString(text.c_str())));
}

// A menu text with the singer in place of the first "%s". The singer is
// data, never a format: its own '%' characters stay as they are.
std::string WithSinger(UINT id, const std::string& singer) {
  std::string text = LoadPlayerString(id);
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, singer);
  return text;
}

void Grey(HMENU menu, UINT id, bool grey) {
  ::EnableMenuItem(menu, id, MF_BYCOMMAND | (grey ? MF_GRAYED : MF_ENABLED));
}

}  // namespace

std::string CMainPlayerWnd::SingerSearchUrl(const std::string& pattern, const std::string& singer) {
  // The setting is the user's text: it is never handed to a formatter, so
  // "%d", "%n" or a second "%s" in it stay literal.
  std::string url = pattern;
  const size_t at = url.find("%s");
  if (at != std::string::npos) url.replace(at, 2, Encoded(singer));
  return url;
}

void CMainPlayerWnd::CreateLinkLabel() {
  m_linkLabel = std::make_unique<CLinkLabel>();
  m_linkLabel->SetBkBrush(GetBkBrush());
  if (m_linkLabel->Create(m_hWnd, 0, WS_CHILD) != 0) {
    m_linkLabel.reset();
    return;
  }
  m_linkLabel->GetScrollText().SetLink(LoadPlayerString(kStrVendorSite));
  m_linkLabel->GetScrollText().StartScroll();
  m_linkLabel->MoveWindow(130, 48, 120, 25);
  ::ShowWindow(m_linkLabel->m_hWnd, SW_SHOWNOACTIVATE);
}

void CMainPlayerWnd::ShowSongTitle(const std::string& title, const std::string& singer) {
  m_singer = singer;
  if (m_linkLabel) m_linkLabel->GetScrollText().SetText(title);
}

void CMainPlayerWnd::SetNoticeText(const std::string& text) {
  if (!m_linkLabel) return;
  CScrollText& lines = m_linkLabel->GetScrollText();
  lines.ClearLines();
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    // Pages come with CR LF line ends.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.AddLine(line);
    start = end + 1;
  }
}

void CMainPlayerWnd::OpenSingerPage(int command) {
  if (m_singer.empty()) return;
  std::string url;
  if (command == kCmdSingerSearch) {
    std::string pattern;
    CProfileHelper::ReadProfileString("GENERAL_SETTING", "SEARCH_ENGINE_URL", pattern);
    url = SingerSearchUrl(pattern, m_singer);
  } else {
    const std::string site = LoadPlayerString(kStrSingerSite);
    if (!site.empty()) url = site + Encoded(m_singer);
  }
  // No search address configured: there is no page to open.
  if (!url.empty()) OpenUrlInBrowser(url.c_str(), SW_SHOW);
}

HMENU CMainPlayerWnd::UpdatePopupMenu() {
  HMENU menu = m_popupMenu ? ::GetSubMenu(m_popupMenu, 0) : nullptr;
  if (!menu) return nullptr;
  Grey(menu, kCmdPlayFromClimax, !m_engine || m_engine->GetTagTime(kTagClimaxStart) == -1);
  IPlayListModel* list = GetPlayListModel();
  Grey(menu, kCmdNext, !list || list->GetNextIndex() == -1);
  Grey(menu, kCmdPrevious, !list || list->GetPrevIndex() == -1);
  const std::string face = LoadPlayerString(IsPlaying() ? kStrPause : kStrPlay);
  ::ModifyMenuA(menu, kCmdPlayPause, MF_BYCOMMAND | MF_STRING, kCmdPlayPause, face.c_str());
  Grey(menu, kCmdPlayPause, !list || list->GetSelectedIndex() < 0);
  Grey(menu, kCmdPlayFromHere, m_clickPosition == -1);
  Grey(menu, kCmdStop, IsStopped());

  // The singer items are rebuilt each time: one separator and one pair.
  while (::DeleteMenu(menu, kCmdSingerSearch, MF_BYCOMMAND)) {}
  while (::DeleteMenu(menu, kCmdSingerPage, MF_BYCOMMAND)) {}
  const int count = ::GetMenuItemCount(menu);
  if (count > 0 && (::GetMenuState(menu, count - 1, MF_BYPOSITION) & MF_SEPARATOR))
    ::DeleteMenu(menu, count - 1, MF_BYPOSITION);
  if (!m_singer.empty()) {
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, kCmdSingerSearch, WithSinger(kStrSearchNews, m_singer).c_str());
    ::AppendMenuA(menu, MF_STRING, kCmdSingerPage, WithSinger(kStrVisitHome, m_singer).c_str());
  }
  return menu;
}
