// The settings store: defaults with no file, the exact text it writes, the
// clamps of its getters and the rule that nothing is cached.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "ui/CProfileHelper.h"
#include "ui/CSettings.h"

namespace {

// The settings file beside the test program, removed before and after.
class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override {
    CProfileHelper::GetIniFilePath(m_path);
    ::DeleteFileA(m_path.c_str());
  }
  void TearDown() override { ::DeleteFileA(m_path.c_str()); }
  void Write(const std::string& text) { std::ofstream(m_path, std::ios::binary) << text; }
  std::string Text() const {
    std::ifstream in(m_path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // The text stored under a key, read straight from the platform.
  std::string Raw(const char* section, const char* key) const {
    char buffer[600] = "";
    ::GetPrivateProfileStringA(section, key, "<none>", buffer, sizeof(buffer), m_path.c_str());
    return buffer;
  }
  std::string m_path;
};

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(SettingsStore, EveryGetterHasItsDefaultWithoutAFile) {
  const RECT standard = {0, 0, 250, 150};
  for (RECT r : {CSettings::GetMainWndRect(), CSettings::GetLyricWndRect(), CSettings::GetStaffWndRect(),
                 CSettings::GetPlayListWndRect(), CSettings::GetQuillixEditorWndRect()}) {
    EXPECT_TRUE(SameRect(standard, r));
  }
  for (int i = 0; i <= 5; ++i) {
    EXPECT_FALSE(CSettings::GetShowWndFlag(i)) << i;
    EXPECT_FALSE(CSettings::GetWndShowState(i)) << i;
  }
  EXPECT_EQ(0u, CSettings::GetColorSetting("SCORE_NOTE_COLOR"));
  EXPECT_EQ("", CSettings::GetLyricSetting("LYRIC_NORM_FONT"));
  EXPECT_EQ("Normal", CSettings::GetLyricEffect("LYRIC_EFFECT"));
  EXPECT_EQ(0, CSettings::GetLyricAlign());
  EXPECT_FALSE(CSettings::GetReloadLastSongList());
  EXPECT_EQ(0, CSettings::GetPlayMode());
  EXPECT_FALSE(CSettings::GetSingleLoopPlay());
  EXPECT_EQ(0, CSettings::GetDefaultScoreType());
  EXPECT_EQ(0, CSettings::GetDefaultSoundVolume());
  EXPECT_EQ("", CSettings::GetSearchEngineUrl());
  EXPECT_EQ("", CSettings::GetLatestSkinScheme());
  EXPECT_EQ("", CSettings::GetDefaultSkinScheme());
}

TEST_F(SettingsStore, StructuresAreWrittenAsUpperCaseHexWithTheirSum) {
  const RECT rect = {0, 0, 250, 150};
  CSettings::SetMainWndRect(&rect);
  const COLORREF red = 0x000000FF;
  CSettings::SetColorSetting(&red, "LYRIC_HILIGHT");
  EXPECT_EQ("0000000000000000FA0000009600000090", Raw("WINDOW_SETTING", "MAIN_WND_RECT"));
  EXPECT_EQ("FF000000FF", Raw("COLOR_SETTING", "LYRIC_HILIGHT"));
  const RECT away = {-20, 100, 900, 900};
  CSettings::SetStaffWndRect(&away);
  EXPECT_TRUE(SameRect(away, CSettings::GetStaffWndRect()));
  EXPECT_EQ(red, CSettings::GetColorSetting("LYRIC_HILIGHT"));
}

TEST_F(SettingsStore, EachSetterWritesItsOwnSectionAndKey) {
  CSettings::SetShowWndFlag(ShowWndFlag::kSongMaker, true);
  CSettings::SetWndShowState(WndShowState::kPlayList, true);
  CSettings::SetPlayMode(-3);
  CSettings::SetSingleLoopPlay(true);
  CSettings::SetReloadLastSongList(true);
  CSettings::SetDefaultScoreType(1);
  CSettings::SetDefaultSoundVolume(200);
  CSettings::SetLyricAlign(2);
  CSettings::SetLyricEffect("Karaoke", "LYRIC_EFFECT");
  CSettings::SetLyricSetting("-12,0,0,0,400,0,0,0,0,0,0,2,18,Arial,0", "LYRIC_NORM_FONT");
  CSettings::SetLatestSkinScheme("Skins\\Blue");
  CSettings::SetLatestSkinScheme(nullptr);
  struct Row {
    const char* section;
    const char* key;
    const char* text;
  };
  const Row rows[] = {
      {"WINDOW_SETTING", "SHOW_QUILLIXEDITOR_WND", "1"},
      {"GENERAL_SETTING", "PLAYLISTWND_SHOW_STATE", "1"},
      {"GENERAL_SETTING", "PLAY_MODE", "-3"},
      {"GENERAL_SETTING", "SINGLE_LOOP_PLAY", "1"},
      {"GENERAL_SETTING", "RELOAD_LAST_SONGLIST", "1"},
      {"GENERAL_SETTING", "DEFAULT_SCORE_TYPE", "1"},
      {"GENERAL_SETTING", "DEFAULT_SOUND_VOLUME", "200"},
      {"LYRIC_SETTING", "LYRIC_ALIGN", "2"},
      {"LYRIC_SETTING", "LYRIC_EFFECT", "Karaoke"},
      {"LYRIC_SETTING", "LYRIC_NORM_FONT", "-12,0,0,0,400,0,0,0,0,0,0,2,18,Arial,0"},
      {"SKIN_SETTING", "LATEST_SKIN_SCHEME", "Skins\\Blue"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.text, Raw(row.section, row.key)) << row.key;
  // Read back through the getters, from the file (there is no cache).
  EXPECT_TRUE(CSettings::GetShowWndFlag(ShowWndFlag::kSongMaker));
  EXPECT_FALSE(CSettings::GetShowWndFlag(ShowWndFlag::kStaff));
  EXPECT_TRUE(CSettings::GetWndShowState(WndShowState::kPlayList));
  EXPECT_EQ(-3, CSettings::GetPlayMode());
  EXPECT_EQ(200, CSettings::GetDefaultSoundVolume());
  Write("[GENERAL_SETTING]\nDEFAULT_SOUND_VOLUME=17\n");
  EXPECT_EQ(17, CSettings::GetDefaultSoundVolume()) << "a change on disk shows at once";
}

TEST_F(SettingsStore, OutOfRangeIndexesReadFalseAndWriteNothing) {
  for (int index : {-1, 0, 5, 1000}) CSettings::SetShowWndFlag(index, true);
  for (int index : {-1, 4, 5}) CSettings::SetWndShowState(index, true);
  EXPECT_EQ("", Text());
  EXPECT_FALSE(CSettings::GetShowWndFlag(0));
  EXPECT_FALSE(CSettings::GetWndShowState(4));
}

TEST_F(SettingsStore, DamagedValuesReadAsTheirDefaultsOrCut) {
  const std::string longText(300, 'x');
  Write(
      "garbage line without equals\n"
      "[GENERAL_SETTING]\n"
      "DEFAULT_SCORE_TYPE=7\n"
      "DEFAULT_SOUND_VOLUME=300\n"
      "PLAY_MODE=99999999999999\n"
      "SEARCH_ENGINE_URL=" +
      longText +
      "\n"
      "[WINDOW_SETTING]\n"
      "MAIN_WND_RECT=0000000000000000FA00000096000000\n"
      "STAFF_WND_RECT=0000000000000000FA0000009600000091\n"
      "LYRIC_WND_RECT=zz00000000000000FA0000009600000090\n"
      "[LYRIC_SETTING]\n"
      "LYRIC_EFFECT=%s%n%d\n"
      "[COLOR_SETTING]\n"
      "SCORE_NOTE_COLOR=FF000000FF00\n");
  EXPECT_EQ(1, CSettings::GetDefaultScoreType());
  EXPECT_EQ(44, CSettings::GetDefaultSoundVolume()) << "the low 8 bits of 300";
  EXPECT_EQ(259u, CSettings::GetSearchEngineUrl().size());
  EXPECT_EQ("%s%n%d", CSettings::GetLyricEffect("LYRIC_EFFECT")) << "format characters are plain text";
  const RECT standard = {0, 0, 250, 150};
  EXPECT_TRUE(SameRect(standard, CSettings::GetMainWndRect())) << "short";
  EXPECT_TRUE(SameRect(standard, CSettings::GetStaffWndRect())) << "bad sum";
  EXPECT_TRUE(SameRect(standard, CSettings::GetLyricWndRect())) << "not hex";
  EXPECT_EQ(0u, CSettings::GetColorSetting("SCORE_NOTE_COLOR")) << "long";
}

// A value that fails its checksum leaves the caller's buffer as it was, even
// where the platform decodes before it checks.
TEST_F(SettingsStore, AFailedStructureReadLeavesTheBufferUntouched) {
  Write(
      "[S]\n"
      "BAD_SUM=0102030400\n"
      "SHORT=010203\n"
      "GOOD=010203040A\n");
  for (const char* key : {"BAD_SUM", "SHORT", "MISSING"}) {
    DWORD value = 0xCCCCCCCC;
    EXPECT_FALSE(CProfileHelper::ReadProfileStruct("S", key, &value, sizeof(value))) << key;
    EXPECT_EQ(0xCCCCCCCCu, value) << key;
  }
  DWORD value = 0;
  EXPECT_TRUE(CProfileHelper::ReadProfileStruct("S", "GOOD", &value, sizeof(value)));
  EXPECT_EQ(0x04030201u, value);
}

TEST_F(SettingsStore, GenericLayerWritesAnyFileItIsGiven) {
  const std::string other = m_path + ".other.ini";
  ::DeleteFileA(other.c_str());
  EXPECT_TRUE(CProfileHelper::WriteProfileInt("A", "N", static_cast<UINT>(-5), other.c_str()));
  EXPECT_TRUE(CProfileHelper::WriteProfileString("A", "T", "text", other.c_str()));
  EXPECT_EQ(-5, CProfileHelper::ReadProfileInt("A", "N", 9, other.c_str()));
  EXPECT_EQ(9, CProfileHelper::ReadProfileInt("A", "ABSENT", 9, other.c_str()));
  std::string text = "preset";
  EXPECT_EQ(0, CProfileHelper::ReadProfileString("A", "ABSENT", text, nullptr, other.c_str()));
  EXPECT_EQ("", text) << "a caller's preset never survives a read";
  CProfileHelper::ReadProfileString("A", "T", text, nullptr, other.c_str());
  EXPECT_EQ("text", text);
  EXPECT_EQ("", Text()) << "the settings file is not touched";
  ::DeleteFileA(other.c_str());
}

}  // namespace
