#include <gtest/gtest.h>

#include <afxdlgs.h>

#include <functional>
#include <string>
#include <vector>

#include "app/CPropPageLyric.h"
#include "app/CPropPagePlayList.h"
#include "app/PreferencesSheet.h"
#include "ui/CSettings.h"
#include "ui/CTreePropSheet.h"
#include "testsupport/StepSheet.h"
#include "ui/PngSnapshot.h"

namespace {

// The Preferences sheet as the player makes it.
class CStepSheet : public testsupport::StepSheet<CStepSheet, CTreePropSheet> {
 public:
  CStepSheet() : StepSheet("Preferences") {
    m_psh.dwFlags &= ~PSH_HASHELP;
    SetEmptyPageText("Please select a child item of '%s'.");
    SetTreeWidth(100);
    SetTreeViewMode(TRUE);
  }
  bool ApplyEnabled() { return ::IsWindowEnabled(::GetDlgItem(m_hWnd, 0x3021)) != FALSE; }
};

bool Checked(CWnd& page, int id) { return ::IsDlgButtonChecked(page.m_hWnd, id) == BST_CHECKED; }

void SetColour(const char* key, COLORREF colour) { CSettings::SetColorSetting(&colour, key); }

void Snapshot(CWnd& wnd, const char* name) {
  RECT r;
  ::GetWindowRect(wnd.m_hWnd, &r);
  SaveScreenAreaPng(r, std::string(name) + ".png");
}

TEST(Preferences, LyricPageReadsAppliesAndStoresItsSettings) {
  SetColour("LYRIC_NORM", RGB(0x11, 0x22, 0x33));
  SetColour("LYRIC_HILIGHT", RGB(255, 0, 0));
  SetColour("LYRIC_BKCOLOR", RGB(0, 0, 64));
  CSettings::SetLyricEffect("KaRaOkE", "LYRIC_EFFECT");
  CSettings::SetLyricAlign(2);
  CSettings::SetLyricSetting("not a font", "LYRIC_NORM_FONT");

  CPropPageLyric lyric;
  CPropPagePlayList playList;
  CStepSheet sheet;
  sheet.AddPage(&lyric);
  sheet.AddPage(&playList);
  bool ticked = false, right = false, applyBefore = true, applyAfter = false;
  COLORREF shown = 0;
  sheet.steps.push_back([&](CStepSheet& s) {
    ticked = Checked(lyric, 1033);
    right = Checked(lyric, 1038) && !Checked(lyric, 1036);
    shown =
        static_cast<CColorButton*>(CWnd::FromHandlePermanent(::GetDlgItem(lyric.m_hWnd, 1031)))->GetColor();
    applyBefore = s.ApplyEnabled();
    Snapshot(s, "preferences_lyrics");
  });
  sheet.steps.push_back([&](CStepSheet& s) {
    lyric.OnColorChanged(1);  // what a colour button does after a new pick
    applyAfter = s.ApplyEnabled();
    ::CheckDlgButton(lyric.m_hWnd, 1033, BST_UNCHECKED);
    ::CheckRadioButton(lyric.m_hWnd, 1036, 1038, 1037);
    s.PressButton(PSBTN_APPLYNOW);
  });
  sheet.steps.push_back([&](CStepSheet& s) { s.PressButton(PSBTN_OK); });
  sheet.RunSteps();

  EXPECT_TRUE(ticked);
  EXPECT_TRUE(right);
  EXPECT_EQ(shown, RGB(0x11, 0x22, 0x33));
  EXPECT_FALSE(applyBefore);
  EXPECT_TRUE(applyAfter);
  EXPECT_EQ(CSettings::GetLyricEffect("LYRIC_EFFECT"), "Normal");
  EXPECT_EQ(CSettings::GetLyricAlign(), 1);
  EXPECT_EQ(CSettings::GetColorSetting("LYRIC_NORM"), RGB(0x11, 0x22, 0x33));
  EXPECT_EQ(CSettings::GetColorSetting("LYRIC_BKCOLOR"), RGB(0, 0, 64));
  // A malformed font text was replaced by a well-formed one.
  CLogFont stored;
  stored.FromString(CSettings::GetLyricSetting("LYRIC_NORM_FONT"));
  EXPECT_EQ(stored.ToString(), CSettings::GetLyricSetting("LYRIC_NORM_FONT"));
}

TEST(Preferences, EffectTextsOtherThanKaraokeLeaveTheBoxClearAndStoreNormal) {
  for (const char* effect : {"", "Karaoke-ish", "kara"}) {
    CSettings::SetLyricEffect(effect, "LYRIC_EFFECT");
    CPropPageLyric lyric;
    CStepSheet sheet;
    sheet.AddPage(&lyric);
    bool ticked = true;
    sheet.steps.push_back([&](CStepSheet& s) {
      ticked = Checked(lyric, 1033);
      s.PressButton(PSBTN_OK);
    });
    sheet.RunSteps();
    EXPECT_FALSE(ticked) << effect;
    EXPECT_EQ(CSettings::GetLyricEffect("LYRIC_EFFECT"), "Normal") << effect;
  }
}

TEST(Preferences, PlayListPageStoresColoursAndTheReloadFlag) {
  SetColour("PLAYLIST_PLAYITEM_COLOR", RGB(255, 255, 0));
  SetColour("PLAYLIST_NORMTEXT_COLOR", RGB(200, 200, 200));
  SetColour("PLAYLIST_BKCOLOR", RGB(0, 0, 0));
  CSettings::SetReloadLastSongList(false);

  CPropPageLyric lyric;
  CPropPagePlayList playList;
  CStepSheet sheet;
  sheet.AddPage(&lyric);
  sheet.AddPage(&playList);
  bool reloadShown = true;
  sheet.steps.push_back([&](CStepSheet& s) { s.SetActivePage(&playList); });
  sheet.steps.push_back([&](CStepSheet& s) {
    reloadShown = Checked(playList, 1034);
    Snapshot(s, "preferences_playlist");
    ::CheckDlgButton(playList.m_hWnd, 1034, BST_CHECKED);
    s.PressButton(PSBTN_OK);
  });
  sheet.RunSteps();
  EXPECT_FALSE(reloadShown);
  EXPECT_TRUE(CSettings::GetReloadLastSongList());
  EXPECT_EQ(CSettings::GetColorSetting("PLAYLIST_PLAYITEM_COLOR"), RGB(255, 255, 0));
  EXPECT_EQ(CSettings::GetColorSetting("PLAYLIST_NORMTEXT_COLOR"), RGB(200, 200, 200));
}

}  // namespace

namespace {

std::string g_activeCaption;

TEST(Preferences, ThePageArgumentPicksThePageWhateverTheTreeOrder) {
  SetPreferencesProbe([](CWnd* sheet) {
    sheet->SetTimer(9, 80, [](HWND wnd, UINT, UINT_PTR id, DWORD) {
      ::KillTimer(wnd, id);
      auto* s = static_cast<CPropertySheet*>(CWnd::FromHandlePermanent(wnd));
      char text[64] = {};
      ::GetWindowTextA(s->GetActivePage()->m_hWnd, text, sizeof(text));
      g_activeCaption = text;
      if (g_activeCaption == "Score") Snapshot(*s, "preferences_score");
      s->PressButton(PSBTN_CANCEL);
    });
  });
  struct {
    int page;
    const char* caption;
  } const cases[] = {{1, "Score"}, {2, "Lyrics"}, {3, "Play List"}, {0, "Score"}, {7, "Score"}};
  for (const auto& c : cases) {
    g_activeCaption.clear();
    RunPreferences(nullptr, nullptr, c.page, nullptr);
    EXPECT_EQ(g_activeCaption, c.caption) << c.page;
  }
  SetPreferencesProbe(nullptr);
}

}  // namespace
