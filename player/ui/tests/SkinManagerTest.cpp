#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "SkinFixture.h"
#include "testsupport/TempDir.h"
#include "testsupport/WaitUntil.h"
#include "ui/CProfileHelper.h"
#include "ui/CSettings.h"
#include "ui/CSkinManager.h"
#include "ui/GdiplusInclude.h"

using testsupport::TempDir;

namespace {

class SkinManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { ReleaseSkinManager(); }
  void TearDown() override { ReleaseSkinManager(); }
  CSkinManager* Load(const std::string& folder) {
    CSkinManager* m = GetSkinManager();
    m->SetSchemeFolder(folder);
    EXPECT_EQ(0, m->LoadSkinScheme());
    return m;
  }
};

TEST(SkinExtension, MatchesOnlyAFullStopAndThreeLettersAfterAName) {
  struct Row {
    const char* text;
    const char* ext;
    bool match;
  } rows[] = {
      {"Close.bmp", "bmp", true}, {"CLOSE.BMP", "bmp", true},  {"a\\Close.bmp   ", "bmp", true},
      {"x.png", "png", true},     {".bmp", "bmp", false},      {"bmp", "bmp", false},
      {"", "bmp", false},         {"  ", "bmp", false},        {"Close.bmpx", "bmp", false},
      {"Closebmp", "bmp", false}, {"Close.png", "bmp", false}, {"Close.gif", "gif", true},
      {"a.bm", "bmp", false},     {"x .bmp", "bmp", true},
  };
  for (const Row& r : rows) EXPECT_EQ(r.match, HasSkinExtension(r.text, r.ext)) << r.text;
}

TEST_F(SkinManagerTest, RegistersEveryIdAndNothingElse) {
  CSkinManager* m = GetSkinManager();
  EXPECT_EQ(m, GetSkinManager());
  EXPECT_EQ(nullptr, m->GetSkinImage(5));
  EXPECT_EQ(nullptr, m->GetSkinImage(256));
  CSkinImage* close = m->GetSkinImage(kSkinClose);
  ASSERT_NE(nullptr, close);
  EXPECT_FALSE(close->IsLoaded());
  EXPECT_EQ(0, close->GetWidth());
  EXPECT_EQ(0, close->GetHeight());
  EXPECT_EQ(kSkinImageCount, static_cast<int>(m->GetMissingFiles().size()));
  EXPECT_STREQ("ScoreTitleActive.png", CSkinManager::GetFileName(kSkinScoreTitleActive));
}

TEST_F(SkinManagerTest, LoadsRegisteredNamesWithoutRegardToCaseAndSkipsTheRest) {
  TempDir dir;
  WriteFlatImage(dir.File("CLOSE.BMP"), 52, 13, 1, 4);
  WriteFlatImage(dir.File("Close.png"), 10, 10, 99, 1);  // not the registered name
  WriteFlatImage(dir.File("ScoreTopLeft.png"), 4, 23, 134, 1);
  WriteFlatImage(dir.File("Stop.txt"), 8, 8, 11, 1);          // wrong extension
  ::CreateDirectoryA(dir.File("Play.bmp").c_str(), nullptr);  // a folder with an image name
  CSkinManager* m = Load(dir.Path() + "  ");

  EXPECT_EQ(dir.Path() + "\\", m->GetSchemeFolder());  // trimmed, backslash added
  EXPECT_EQ(52, m->GetSkinImage(kSkinClose)->GetWidth());
  EXPECT_EQ(13, m->GetSkinImage(kSkinClose)->GetHeight());
  EXPECT_EQ(4, m->GetSkinImage(kSkinScoreTopLeft)->GetWidth());
  EXPECT_FALSE(m->GetSkinImage(kSkinPlay)->IsLoaded());
  EXPECT_FALSE(m->GetSkinImage(kSkinStop)->IsLoaded());
  EXPECT_TRUE(m->GetLoadFailures().empty());
}

TEST_F(SkinManagerTest, MissingFolderReportsOneAndLoadsNothing) {
  TempDir dir;
  CSkinManager* m = GetSkinManager();
  m->SetSchemeFolder(dir.File("no such scheme"));
  EXPECT_EQ(1, m->LoadSkinScheme());
  EXPECT_FALSE(m->GetSkinImage(kSkinClose)->IsLoaded());
  EXPECT_NE(std::string::npos, m->DescribeProblems().find("Close.bmp"));
}

TEST_F(SkinManagerTest, OverlongFolderFromTheSettingsIsRefusedCleanly) {
  CSkinManager* m = GetSkinManager();
  m->SetSchemeFolder("C:\\" + std::string(600, 'x') + "   ");
  EXPECT_EQ(1, m->LoadSkinScheme());
  EXPECT_EQ(std::string::npos, m->GetSchemeFolder().find(' '));
  m->SetSchemeFolder(" ");
  EXPECT_EQ(" ", m->GetSchemeFolder().substr(0, 1)) << "the first character always stays";
}

TEST_F(SkinManagerTest, FolderWithoutImagesLoadsNothingAndSucceeds) {
  TempDir dir;
  ::CreateDirectoryA(dir.File("sub").c_str(), nullptr);
  std::ofstream(dir.File("readme.txt")) << "not a skin";
  CSkinManager* m = Load(dir.Path());
  EXPECT_EQ(kSkinImageCount, static_cast<int>(m->GetMissingFiles().size()));
}

TEST_F(SkinManagerTest, BrokenFileKeepsThePreviousImageAndIsReported) {
  TempDir good, bad;
  WriteFlatImage(good.File("Close.bmp"), 52, 13, 1, 4);
  WriteFlatImage(good.File("Stop.bmp"), 88, 18, 11, 4);
  std::ofstream(bad.File("Close.bmp"), std::ios::binary) << "this is not a picture";
  WriteFlatImage(bad.File("Play.bmp"), 80, 20, 10, 4);

  CSkinManager* m = Load(good.Path());
  CSkinImage* close = m->GetSkinImage(kSkinClose);
  Load(bad.Path());
  EXPECT_EQ(close, m->GetSkinImage(kSkinClose));
  EXPECT_EQ(52, close->GetWidth()) << "a broken file must not replace a good image";
  EXPECT_EQ(88, m->GetSkinImage(kSkinStop)->GetWidth()) << "names the second folder lacks stay";
  EXPECT_EQ(80, m->GetSkinImage(kSkinPlay)->GetWidth());
  ASSERT_EQ(1u, m->GetLoadFailures().size());
  EXPECT_EQ("Close.bmp", m->GetLoadFailures()[0].fileName);
  const std::string text = m->DescribeProblems();
  EXPECT_NE(std::string::npos, text.find("could not be read")) << text;
  EXPECT_NE(std::string::npos, text.find("Close.bmp")) << text;

  // An empty holder stays empty after a broken file.
  std::ofstream(bad.File("Pause.bmp"), std::ios::binary) << "BM broken";
  EXPECT_EQ(-1, m->LoadSkinImage(bad.File("Pause.bmp"), "Pause.bmp"));
  EXPECT_FALSE(m->GetSkinImage(kSkinPause)->IsLoaded());
  EXPECT_EQ(-1, m->LoadSkinImage(good.File("Close.bmp"), "Unknown.bmp"));
}

// Decoding ahead takes the listed images only, on its own thread, and notes
// a broken one as the decode on first use would.
TEST_F(SkinManagerTest, DecodesAheadOnlyTheListedImagesAndNotesTheirFailures) {
  TempDir dir;
  WriteFlatImage(dir.File("Close.bmp"), 52, 13, 1, 4);
  WriteFlatImage(dir.File("Stop.bmp"), 88, 18, 11, 4);
  WriteFlatImage(dir.File("Play.bmp"), 80, 20, 10, 4);
  std::ofstream(dir.File("Pause.bmp"), std::ios::binary) << "this is not a picture";
  CSkinManager* m = Load(dir.Path());
  const unsigned short listed[] = {kSkinStop, kSkinPause, kSkinClose};
  for (unsigned short id : listed) ASSERT_TRUE(m->GetSkinImage(id)->IsDecodeWaiting()) << id;

  m->DecodeAhead(std::vector<unsigned short>(std::begin(listed), std::end(listed)));
  EXPECT_TRUE(testsupport::WaitUntil(
      [&] {
        for (unsigned short id : listed)
          if (m->GetSkinImage(id)->IsDecodeWaiting()) return false;
        return true;
      },
      5000));
  EXPECT_TRUE(m->GetSkinImage(kSkinPlay)->IsDecodeWaiting()) << "an image not listed waits for its first use";
  // What was decoded ahead no longer needs its file.
  ASSERT_TRUE(::DeleteFileA(dir.File("Close.bmp").c_str()));
  ASSERT_TRUE(::DeleteFileA(dir.File("Stop.bmp").c_str()));
  EXPECT_EQ(52, m->GetSkinImage(kSkinClose)->GetWidth());
  EXPECT_EQ(88, m->GetSkinImage(kSkinStop)->GetWidth());
  EXPECT_FALSE(m->GetSkinImage(kSkinPause)->IsLoaded());
  ASSERT_EQ(1u, m->GetLoadFailures().size());
  EXPECT_EQ("Pause.bmp", m->GetLoadFailures()[0].fileName);
}

// A new scheme or the release of the manager ends the decoding ahead first:
// no image of the old scheme lands in a holder afterwards, and no decode
// runs on a holder that is gone.
TEST_F(SkinManagerTest, LoadOrReleaseWhileDecodingAheadEndsItFirst) {
  TempDir first, second;
  std::vector<unsigned short> all;
  for (int id = 0; id < 0x10000; ++id) {
    const char* name = CSkinManager::GetFileName(static_cast<unsigned short>(id));
    if (!name) continue;
    all.push_back(static_cast<unsigned short>(id));
    WriteFlatImage(first.File(name), 40, 10, 1, 4);
    WriteFlatImage(second.File(name), 60, 12, 2, 4);
  }
  ASSERT_EQ(kSkinImageCount, static_cast<int>(all.size()));
  struct Case {
    const char* what;
    bool release;
  };
  const Case cases[] = {{"a second scheme loaded", false}, {"the manager released", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CSkinManager* m = Load(first.Path());
    m->DecodeAhead(all);
    if (c.release) {
      ReleaseSkinManager();
      m = GetSkinManager();
      for (unsigned short id : all) EXPECT_FALSE(m->GetSkinImage(id)->IsLoaded()) << id;
      ReleaseSkinManager();
      continue;
    }
    Load(second.Path());
    for (unsigned short id : all) EXPECT_EQ(60, m->GetSkinImage(id)->GetWidth()) << id;
    ReleaseSkinManager();
  }
}

TEST_F(SkinManagerTest, ReleaseGivesFreshEmptyHoldersAndKeepsTheIds) {
  TempDir dir;
  WriteFlatImage(dir.File("Close.bmp"), 52, 13, 1, 4);
  Load(dir.Path());
  ReleaseSkinManager();
  CSkinManager* m = GetSkinManager();
  ASSERT_NE(nullptr, m->GetSkinImage(kSkinClose));
  EXPECT_FALSE(m->GetSkinImage(kSkinClose)->IsLoaded());
}

// The scheme that ships beside the program has every image the windows use,
// and each of them decodes.
TEST_F(SkinManagerTest, DefaultSchemeIsComplete) {
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  CSkinManager* m = Load(std::string(folder) + "\\Skins\\Default");
  EXPECT_EQ("", m->DescribeProblems());
  // Button strips hold four equal frames.
  for (unsigned short id : {kSkinClose, kSkinPlay, kSkinMainWndCloseBtn, kSkinVolumeBtn, kSkinOkBtn})
    EXPECT_EQ(0, m->GetSkinImage(id)->GetWidth() % 4) << CSkinManager::GetFileName(id);

  // The main window is fixed at 260 x 150: its frame, title and rows fit.
  auto w = [m](unsigned short id) { return m->GetSkinImage(id)->GetWidth(); };
  auto h = [m](unsigned short id) { return m->GetSkinImage(id)->GetHeight(); };
  EXPECT_LE(w(kSkinMainWndTopLeft) + w(kSkinMainWndTitleActive) + w(kSkinMainWndTopRight), 260);
  EXPECT_LE(h(kSkinMainWndTopLeft) + h(kSkinMainWndBottomLeft), 150);
  EXPECT_GE(h(kSkinMainWndTitleActive), 16) << "a caption taller than the 15-pixel default";
  const int button = w(kSkinPlay) / 4;
  EXPECT_LE(23 + 7 * button + 6, 260 - w(kSkinMainWndRightBorder)) << "transport row";
  EXPECT_LE(109 + h(kSkinPlay), 150 - h(kSkinShowStaff) - 5) << "transport row above the toggles";
  EXPECT_LE(164 + w(kSkinVolume), 260 - w(kSkinMainWndRightBorder)) << "volume track";
  EXPECT_LE(131 + h(kSkinVolume), 150 - h(kSkinMainWndBottomBorder));
  EXPECT_LE(5 + h(kSkinMainWndCloseBtn), h(kSkinMainWndTitleActive)) << "caption buttons inside the caption";
}

// Writes the settings file beside the test program for one test.
class SettingsFile {
 public:
  explicit SettingsFile(const std::string& text) {
    CProfileHelper::GetIniFilePath(m_path);
    std::ofstream(m_path) << text;
  }
  ~SettingsFile() { ::DeleteFileA(m_path.c_str()); }
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

TEST(Settings, SettingsFileIsTheProgramNameWithIni) {
  std::string ini;
  CProfileHelper::GetIniFilePath(ini);
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  EXPECT_EQ(std::string(folder) + "\\player_ui_tests.ini", ini);
}

TEST(Settings, SkinSchemeFolderPrefersTheLatestSchemeAndFallsBackToTheShippedOne) {
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  const std::string app = folder;
  const std::string shipped = app + "\\Skins\\Default";
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(shipped.c_str()))
      << "the shipped scheme is not beside the tests";
  // A scheme of the test's own beside the shipped one, gone at the end.
  const std::string own = "Skins\\SettingsTest" + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryA((app + "\\" + own).c_str(), nullptr));
  struct Case {
    std::string ini;
    std::string folder;
    const char* what;
  };
  const Case cases[] = {
      {"[SKIN_SETTING]\nDEFAULT_SKIN_SCHEME=Skins\\Default\nLATEST_SKIN_SCHEME=" + own + "\n",
       app + "\\" + own, "the latest scheme first"},
      {"[SKIN_SETTING]\nDEFAULT_SKIN_SCHEME=" + own + "\nLATEST_SKIN_SCHEME=\n", app + "\\" + own,
       "the default scheme when no latest one"},
      {"[SKIN_SETTING]\nLATEST_SKIN_SCHEME=\\" + own + "\n", app + "\\" + own, "a leading backslash"},
      {"[OTHER]\nX=1\n", shipped, "no scheme named: the shipped one"},
      {"[SKIN_SETTING]\nLATEST_SKIN_SCHEME=Skins\\Gone\n", shipped, "a scheme whose folder is gone"},
  };
  for (const Case& c : cases) {
    SettingsFile ini(c.ini);
    EXPECT_EQ(c.folder, GetSkinSchemeFolder()) << c.what;
  }
  {
    SettingsFile ini("[OTHER]\nX=1\n");
    EXPECT_EQ("", CSettings::GetDefaultSkinScheme());
    EXPECT_EQ("", CSettings::GetLatestSkinScheme());
  }
  RemoveDirectoryA((app + "\\" + own).c_str());
}

TEST(Settings, ColourSettingReadsTheStructureFormAndDefaultsToBlack) {
  {
    SettingsFile ini("[COLOR_SETTING]\nDEFAULT_BK_COLOR=FF000000FF\nBAD_SUM=FF00000000\nSHORT=FF00FF\n");
    EXPECT_EQ(RGB(255, 0, 0), CSettings::GetColorSetting("DEFAULT_BK_COLOR"));
    EXPECT_EQ(0u, CSettings::GetColorSetting("BAD_SUM"));
    EXPECT_EQ(0u, CSettings::GetColorSetting("SHORT"));
    EXPECT_EQ(0u, CSettings::GetColorSetting("ABSENT"));
  }
  SettingsFile ini("");
  COLORREF c = RGB(0x1B, 0x20, 0x2A);
  ASSERT_TRUE(
      ::WritePrivateProfileStructA("COLOR_SETTING", "DEFAULT_BK_COLOR", &c, sizeof(c), ini.path().c_str()));
  EXPECT_EQ(c, CSettings::GetColorSetting("DEFAULT_BK_COLOR"));
}

}  // namespace

namespace {

// The settings file that ships with the player names the default scheme and
// gives the skinned windows the scheme's interior colour.
TEST(Settings, ShippedDefaultsNameTheDefaultSchemeAndItsBackground) {
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  const std::string ini = std::string(folder) + "\\Melodara.ini";
  std::string scheme;
  CProfileHelper::ReadProfileString("SKIN_SETTING", "DEFAULT_SKIN_SCHEME", scheme, nullptr, ini.c_str());
  EXPECT_EQ("Skins\\Default", scheme);
  COLORREF colour = 0;
  ASSERT_TRUE(CProfileHelper::ReadProfileStruct("COLOR_SETTING", "DEFAULT_BK_COLOR", &colour, sizeof(colour),
                                                ini.c_str()));
  EXPECT_EQ(RGB(0x1B, 0x20, 0x2A), colour);
}

}  // namespace

namespace {

COLORREF PatternColour(int x, int y) { return RGB(x * 40, y * 60, 200 - x * 10 - y * 20); }

// A 24-bit BMP whose every pixel differs, rows stored bottom-up or top-down;
// the data may be cut short of what the header promises.
void WritePatternBmp(const std::string& path, int width, int height, bool topDown, size_t cutBytes = 0) {
  const int stride = (width * 3 + 3) & ~3;
  std::vector<BYTE> body(static_cast<size_t>(stride) * height, 0xEE);  // padding filled, never read
  for (int y = 0; y < height; ++y) {
    const int row = topDown ? y : height - 1 - y;
    for (int x = 0; x < width; ++x) {
      BYTE* p = &body[static_cast<size_t>(row) * stride + x * 3];
      p[0] = GetBValue(PatternColour(x, y));
      p[1] = GetGValue(PatternColour(x, y));
      p[2] = GetRValue(PatternColour(x, y));
    }
  }
  BITMAPFILEHEADER fh = {};
  BITMAPINFOHEADER ih = {};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(ih);
  fh.bfSize = fh.bfOffBits + static_cast<DWORD>(body.size());
  ih.biSize = sizeof(ih);
  ih.biWidth = width;
  ih.biHeight = topDown ? -height : height;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  ih.biXPelsPerMeter = ih.biYPelsPerMeter = 2835;
  body.resize(body.size() - cutBytes);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
  out.write(reinterpret_cast<const char*>(&ih), sizeof ih);
  out.write(reinterpret_cast<const char*>(body.data()), static_cast<std::streamsize>(body.size()));
}

}  // namespace

// Images are decoded when first asked for, plain bitmap files without the
// general decoder: every pixel must land where the general decoder puts it,
// whichever way the rows are stored and however the rows are padded.
TEST_F(SkinManagerTest, PlainBitmapsReadAsTheGeneralDecoderReadsThem) {
  for (bool topDown : {false, true}) {
    ReleaseSkinManager();
    TempDir dir;
    const int width = 5, height = 3;  // 15 bytes a row: one byte of padding
    WritePatternBmp(dir.File("Close.bmp"), width, height, topDown);
    CSkinManager* m = Load(dir.Path());
    Gdiplus::Bitmap* read = m->GetSkinImage(kSkinClose)->GetImage();
    ASSERT_NE(nullptr, read) << topDown;
    const std::string path = dir.File("Close.bmp");
    const std::wstring wide(path.begin(), path.end());
    std::unique_ptr<Gdiplus::Bitmap> general(Gdiplus::Bitmap::FromFile(wide.c_str(), FALSE));
    ASSERT_EQ(Gdiplus::Ok, general->GetLastStatus());
    EXPECT_EQ(general->GetPixelFormat(), read->GetPixelFormat());
    EXPECT_EQ(general->GetWidth(), read->GetWidth());
    EXPECT_EQ(general->GetHeight(), read->GetHeight());
    EXPECT_NEAR(general->GetHorizontalResolution(), read->GetHorizontalResolution(), 0.01);
    int wrong = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        Gdiplus::Color ours, theirs;
        read->GetPixel(x, y, &ours);
        general->GetPixel(x, y, &theirs);
        const COLORREF want = PatternColour(x, y);
        wrong += ours.GetValue() != theirs.GetValue() || ours.ToCOLORREF() != want;
      }
    EXPECT_EQ(0, wrong) << (topDown ? "top-down" : "bottom-up");
  }

  // A file cut short is not read past its end: it is reported, and the
  // holder stays empty.
  ReleaseSkinManager();
  TempDir dir;
  WritePatternBmp(dir.File("Close.bmp"), 5, 3, false, 4);
  CSkinManager* m = Load(dir.Path());
  EXPECT_FALSE(m->GetSkinImage(kSkinClose)->IsLoaded());
  ASSERT_EQ(1u, m->GetLoadFailures().size());
  EXPECT_EQ("Close.bmp", m->GetLoadFailures()[0].fileName);
}
