#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "testsupport/TempDir.h"
#include "testsupport/UpdateServer.h"
#include "updater/HashManager.h"
#include "updater/UpdateProtocol.h"

namespace {

struct VersionCase {
  const char* text;
  bool ok;
  const char* version;
};

TEST(UpdateProtocol, VersionTexts) {
  const VersionCase cases[] = {
      {"1.2.3.4", true, "1.2.3.4"},
      {"1.02.3.4 word", true, "1.2.3.4"},
      {"5", true, "0.0.0.0"},
      {"3.2", true, "3.0.3.2"},
      {"1.2.3", true, "1.2.0.0"},
      {"1..2.3", false, ""},
      {"1.2..4", false, ""},
      {"1.2.3.", false, ""},
      {"", true, "0.0.0.0"},
      {"65535.1.1.1", true, "65535.1.1.1"},
      {"65536.0.0.1", true, "0.0.0.1"},
  };
  for (const VersionCase& c : cases) {
    FileVersion v;
    EXPECT_EQ(ParseVersionText(c.text, &v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(FormatVersion(v), c.version) << c.text;
    }
  }
}

TEST(UpdateProtocol, Comparison) {
  auto newer = [](const char* x, const char* y) {
    FileVersion a, b;
    EXPECT_TRUE(ParseVersionText(x, &a));
    EXPECT_TRUE(ParseVersionText(y, &b));
    return IsNewerVersion(a, b);
  };
  EXPECT_FALSE(newer("1.2.3.4", "1.2.3.4"));
  EXPECT_TRUE(newer("2.0.0.0", "1.9.9.9"));
  EXPECT_TRUE(newer("1.3.0.0", "1.2.9.9"));
  EXPECT_TRUE(newer("1.2.4.0", "1.2.3.9"));
  EXPECT_TRUE(newer("1.2.3.5", "1.2.3.4"));
  EXPECT_FALSE(newer("1.2.3.4", "1.2.3.5"));
  EXPECT_TRUE(newer("0.10.0.1", kMinimumRelease));
  EXPECT_TRUE(newer("1.0.0.0", kMinimumRelease));
  EXPECT_FALSE(newer("0.9.9.9", kMinimumRelease));
}

TEST(UpdateProtocol, VersionAnswers) {
  const std::pair<const char*, VersionAnswer> cases[] = {
      {"", kAnswerUnusable},         {"true", kAnswerUnusable},  {"TRUE\r\n", kAnswerOutdated},
      {" true", kAnswerOutdated},    {"true!", kAnswerOutdated}, {"falsetrue", kAnswerCurrent},
      {"false", kAnswerCurrent},     {"nope!", kAnswerUnusable}, {"xxxxxtrue", kAnswerUnusable},
      {"False\r\n", kAnswerCurrent},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifyVersionAnswer(c.first), c.second) << c.first;
  EXPECT_EQ(ClassifyVersionAnswer(std::string(1 << 20, 'x')), kAnswerUnusable);
}

TEST(UpdateProtocol, PlainFileNames) {
  for (const char* good : {"Melodara.exe", "a", "x.y.z", "Console.txt", "com10.dll", "lpt0", "中文.dll"})
    EXPECT_TRUE(IsPlainFileName(good)) << good;
  for (const char* bad : {"",         ".",           "..",   "..\\Melodara.exe",
                          "../x",     "a/b",         "a\\b", "C:x",
                          "x:stream", "x.",          "x ",   "CON",
                          "con.txt",  "Con.txt.bak", "Nul",  "AUX.dll",
                          "com1",     "LPT9.txt",    "a*b",  "a?b",
                          "a\"b",     "a|b",         "a<b",  "a>b",
                          "a\tb"})
    EXPECT_FALSE(IsPlainFileName(bad)) << bad;
}

const char kXml[] =
    "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n"
    "<product><VERSION value=\"1.5.0.0\">\n"
    "  <File Name=\"A.dll\"><Ver>1.2.0.0</Ver><ComponentName>A</ComponentName>"
    "<Description>Fish &amp; chips</Description><Size>1000</Size><URL>http://x/a</URL><Folder>f</Folder>"
    "<Verify>ABC</Verify><Necessary>TRUE</Necessary></File>\n"
    "  <file name=\"B.dll\"><ver>2.0.0.0</ver><necessary>yes</necessary></file>\n"
    "  <File Name=\"C.dll\"><Necessary>True</Necessary></File>\n"
    "  <File Name=\"D.dll\"><Necessary></Necessary></File>\n"
    "</VERSION></product>\n";

TEST(UpdateProtocol, ReadsRecords) {
  std::string release;
  std::vector<UpdateFileRecord> records;
  ASSERT_EQ(ReadUpdateXml(kXml, &release, &records), kStatusOk);
  EXPECT_EQ(release, "1.5.0.0");
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].Name, "A.dll");
  EXPECT_EQ(records[0].Ver, "1.2.0.0");
  EXPECT_EQ(records[0].ComponentName, "A");
  EXPECT_EQ(records[0].Description, "Fish & chips");
  EXPECT_EQ(records[0].Size, "1000");
  EXPECT_EQ(records[0].URL, "http://x/a");
  EXPECT_EQ(records[0].Folder, "f");
  EXPECT_EQ(records[0].Verify, "ABC");
  EXPECT_TRUE(records[0].Necessary);
  EXPECT_EQ(records[1].Ver, "2.0.0.0");
  EXPECT_EQ(records[1].URL, "");
  EXPECT_FALSE(records[1].Necessary);
  EXPECT_TRUE(records[2].Necessary);
  EXPECT_FALSE(records[3].Necessary);
}

// A description cut short anywhere, however much of it reads, is no list to act on.
TEST(UpdateProtocol, DescriptionsCutShortAreRefused) {
  const std::string whole = kXml;
  const size_t end = whole.rfind("</product>");
  for (size_t n = 0; n < end; ++n) {
    std::string release;
    std::vector<UpdateFileRecord> records;
    EXPECT_EQ(ReadUpdateXml(whole.substr(0, n), &release, &records), kStatusBadList) << n;
    EXPECT_TRUE(records.empty()) << n;
  }
}

TEST(UpdateProtocol, BadDescriptionsAreRefused) {
  const char* bad[] = {
      "<Product><Version Value=\"1.0.0.0><File Name=\"a\"/></Version></Product>",
      "<Product><Version Value=\"1.0.0.0\"><File Name=\"a\"><Description>&nbsp;</Description></File>"
      "</Version></Product>",
      "<Product><Version><File Name=\"a\"/></Version></Product>",
      "<Product><Version Value=\"\"><File Name=\"a\"/></Version></Product>",
      "<Product></Product>",
      "<Other><Version Value=\"1.0.0.0\"/></Other>",
      "<Product><Version Value=\"1.0.0.0\"><File Name=\"ok.dll\"/><File Name=\"..\\Melodara.exe\"/>"
      "</Version></Product>",
      "<Product><Version Value=\"1.0.0.0\"><File/></Version></Product>",
      "",
  };
  for (const char* text : bad) {
    std::string release;
    std::vector<UpdateFileRecord> records;
    EXPECT_EQ(ReadUpdateXml(text, &release, &records), kStatusBadList) << text;
    EXPECT_TRUE(records.empty()) << text;
  }
}

class ChoiceTest : public testing::Test {
 protected:
  void Install(const char* fixture, const char* name) {
    ASSERT_TRUE(CopyFileA(fixture, (folder() + name).c_str(), FALSE)) << fixture;
  }
  std::string folder() const { return dir.Path() + "\\"; }
  std::vector<std::string> Offered(const std::string& release, const std::vector<UpdateFileRecord>& records,
                                   int expected) {
    std::vector<UpdateFileRecord> offered;
    EXPECT_EQ(ChooseOfferedRecords(release, records, folder(), &offered), expected);
    std::vector<std::string> names;
    for (const UpdateFileRecord& r : offered) names.push_back(r.Name);
    return names;
  }
  static UpdateFileRecord Record(const char* name, const char* ver) {
    UpdateFileRecord r;
    r.Name = name;
    r.Ver = ver;
    return r;
  }
  testsupport::TempDir dir;
};

TEST_F(ChoiceTest, AgainstInstalledVersions) {
  Install("version_fixture_1_0_0_0.dll", "A.dll");
  testsupport::WriteWholeFile(folder() + "B.dll", "no version here");
  Install("version_fixture_2_0_0_0.dll", "C.dll");
  Install("version_fixture_1_2_0_0.dll", "D.dll");
  FileVersion version;
  ASSERT_TRUE(GetProductVersion(folder() + "D.dll", &version));
  EXPECT_EQ(FormatVersion(version), "1.2.0.0");
  EXPECT_FALSE(GetProductVersion(folder() + "B.dll", &version));

  // A newer, C older: only A; a missing file is offered whatever its Ver.
  EXPECT_EQ(
      Offered("1.0.0.0", {Record("A.dll", "1.2.0.0"), Record("C.dll", "1.9.0.0"), Record("N.dll", "junk..")},
              kStatusOk),
      (std::vector<std::string>{"A.dll", "N.dll"}));
  // An installed file without a version ends the choice.
  EXPECT_EQ(
      Offered("1.0.0.0", {Record("A.dll", "1.2.0.0"), Record("B.dll", "9.0.0.0"), Record("C.dll", "3.0.0.0")},
              kStatusOk),
      (std::vector<std::string>{"A.dll"}));
  // So does an unreadable Ver of an installed file.
  EXPECT_EQ(Offered("1.0.0.0", {Record("D.dll", "1..2"), Record("A.dll", "2.0.0.0")}, kStatusUpToDate),
            std::vector<std::string>{});
  EXPECT_EQ(Offered("1.0.0.0", {Record("D.dll", "1.2.0.0")}, kStatusUpToDate), std::vector<std::string>{});
  // A release not newer than the minimum offers nothing.
  EXPECT_EQ(Offered(kMinimumRelease, {Record("N.dll", "1.0.0.0")}, kStatusUpToDate),
            std::vector<std::string>{});
  EXPECT_EQ(Offered("0.10.0.1", {Record("N.dll", "1.0.0.0")}, kStatusOk), std::vector<std::string>{"N.dll"});
}

TEST(UpdateProtocol, SaveInTextMode) {
  testsupport::TempDir dir;
  std::string path = dir.File("Update.xml");
  ASSERT_TRUE(SaveUpdateXml(path, std::string("<a>\n</a>\n\0tail", 14)));
  EXPECT_EQ(testsupport::ReadWholeFile(path), "<a>\r\n</a>\r\n");
  EXPECT_FALSE(SaveUpdateXml(dir.File("no\\such\\Update.xml"), "<a/>"));
  // Replaced whole, never rewritten in place: a reader of the old file keeps
  // all of it, and the file is the old or the new one as the result says
  // (Windows moves a file over one held with delete sharing; Wine refuses).
  HANDLE held =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const bool saved = SaveUpdateXml(path, "<b/>");
  char bytes[64] = {};
  DWORD got = 0;
  EXPECT_TRUE(ReadFile(held, bytes, sizeof bytes, &got, nullptr));
  CloseHandle(held);
  EXPECT_EQ(std::string(bytes, got), "<a>\r\n</a>\r\n");
  EXPECT_EQ(testsupport::ReadWholeFile(path), saved ? "<b/>" : "<a>\r\n</a>\r\n");
  ASSERT_TRUE(SaveUpdateXml(path, "<b/>"));
}

// A new updater is whole only when the description lists it with the MD5 of
// what arrived.
TEST(UpdateProtocol, ListedDownloads) {
  testsupport::TempDir dir;
  std::string whole;
  for (int i = 0; i < 10000; ++i) whole += char('A' + i % 23);
  testsupport::WriteWholeFile(dir.File("whole"), whole);
  testsupport::WriteWholeFile(dir.File("cut"), whole.substr(0, 4096));
  CHashManager hash;
  hash.SetFilePath(dir.File("whole"));
  hash.SetAlgorithm(CHashManager::kMd5);
  hash.SetSource(CHashManager::kSourceFile);
  hash.SetFormat(CHashManager::kUpper);
  const std::string md5 = hash.GetHash();
  ASSERT_EQ(md5.size(), 32u);
  auto list = [](const std::string& files) {
    return "<Product><Version Value=\"1.0.0.0\"><File Name=\"A.dll\"><Verify>0</Verify></File>" + files +
           "</Version></Product>";
  };
  const std::string listed = list("<File Name=\"MelodaraUpdate.exe\"><Verify>" + md5 + "</Verify></File>");
  const struct {
    const char* what;
    std::string xml;
    const char* file;
    bool whole;
  } cases[] = {
      {"listed, whole", listed, "whole", true},
      {"listed, name in other letters",
       list("<File Name=\"melodaraupdate.EXE\"><Verify>" + md5 + "</Verify></File>"), "whole", true},
      {"listed, cut short", listed, "cut", false},
      {"listed, missing", listed, "missing", false},
      {"not listed", list(""), "whole", false},
      {"listed without an MD5", list("<File Name=\"MelodaraUpdate.exe\"/>"), "whole", false},
      {"the description cut short", listed.substr(0, listed.size() - 10), "whole", false},
      {"no description", "", "whole", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsListedDownload(c.xml, "MelodaraUpdate.exe", dir.File(c.file)), c.whole) << c.what;
}

TEST(UpdateProtocol, SizesAndPercentages) {
  EXPECT_EQ(ParseSizeText("1048576"), 1048576u);
  EXPECT_EQ(ParseSizeText("12abc"), 12u);
  EXPECT_EQ(ParseSizeText("abc"), 0u);
  EXPECT_EQ(ParseSizeText("99999999999999999999999"), UINT64_MAX);
  EXPECT_EQ(DownloadPercent(512, 1024), 50);
  EXPECT_EQ(DownloadPercent(100, 0), 0);
  // Past 21 MB a 32-bit count*100 wraps.
  EXPECT_EQ(DownloadPercent(64ull << 20, 1u << 20), 6400);
  EXPECT_EQ(DownloadPercent(30000000, 30000000), 100);
}

}  // namespace
