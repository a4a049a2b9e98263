#include "app/PreferencesSheet.h"

#include "app/CPropPageGeneral.h"
#include "app/CPropPageLyric.h"
#include "app/CPropPagePlayList.h"
#include "app/CPropPageScore.h"
#include "ui/CTreePropSheet.h"
#include "ui/DialogOwner.h"

namespace {

PreferencesProbe g_probe = nullptr;

class CPreferencesSheet : public CTreePropSheet {
 public:
  explicit CPreferencesSheet(CWnd* parent) : CTreePropSheet("Preferences", parent) {
    m_psh.dwFlags &= ~PSH_HASHELP;
  }
  BOOL OnInitDialog() override {
    const BOOL result = CTreePropSheet::OnInitDialog();
    if (g_probe) g_probe(this);
    return result;
  }
};

}  // namespace

void SetPreferencesProbe(PreferencesProbe probe) { g_probe = probe; }

INT_PTR RunPreferences(HWND parent, ISongEngine* engine, int page, IPlayerHost* host) {
  CPropPageScore score(engine);
  // Made with the others but never added: it has nothing to show yet.
  CPropPageGeneral general;
  CPropPageLyric lyric;
  CPropPagePlayList playList;
  score.SetHost(host);
  lyric.SetHost(host);
  playList.SetHost(host);
  HWND owner = DialogOwner(parent);
  CPreferencesSheet sheet(owner ? CWnd::FromHandle(owner) : nullptr);
  sheet.SetEmptyPageText("Please select a child item of '%s'.");
  sheet.SetTreeWidth(100);
  sheet.SetTreeViewMode(TRUE);
  sheet.AddPage(&lyric);
  sheet.AddPage(&playList);
  sheet.AddPage(&score);
  // The page object, not its place in the tree, names what is shown first.
  CPropertyPage* first = page == 2   ? static_cast<CPropertyPage*>(&lyric)
                         : page == 3 ? static_cast<CPropertyPage*>(&playList)
                                     : static_cast<CPropertyPage*>(&score);
  sheet.SetActivePage(first);
  return sheet.DoModal();
}
