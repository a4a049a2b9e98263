#include "app/CM3UPlayList.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "testsupport/TempDir.h"

namespace {

// "%D" in a fixture stands for the test's folder.
std::string Expand(const std::string& text, const std::string& dir) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "%D") == 0) {
      out += dir;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Expected {
  int length;
  const char* title;
  const char* path;  // with %D
};

struct LoadCase {
  const char* what;
  std::string bytes;
  bool result;
  std::vector<Expected> entries;
};

class M3UPlayListTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteBytes(dir.File("exists.mid"), "MThd"); }

  testsupport::TempDir dir;
};

TEST_F(M3UPlayListTest, LoadsWhatEachFileHolds) {
  const std::string longTitle(300, 't');
  const std::string hugeLine(CM3UPlayList::kMaxLineLength + 10, 'h');
  const std::string tooLongPath = std::string(MAX_PATH + 5, 'p') + ".mid";
  const std::vector<LoadCase> cases = {
      {"empty file", "", true, {}},
      {"header only", "#EXTM3U\n", true, {}},
      {"not a play list", "hello\nsong.mid\n", false, {}},
      {"length -1 and a title",
       "#EXTM3U\n#EXTINF:-1,Title\nsong.mid\n",
       true,
       {{-1, "Title", "%D\\song.mid"}}},
      {"title cut at a comma or colon",
       "#EXTM3U\n#EXTINF:61,Artist - Song: remark\na.mid\n#EXTINF:5,One, Two\nb.mid\n",
       true,
       {{61, "Artist - Song", "%D\\a.mid"}, {5, "One", "%D\\b.mid"}}},
      {"no length", "#EXTM3U\n#EXTINF\nsong.mid\n", true, {{0, "", "%D\\song.mid"}}},
      {"relative missing kept, absolute missing skipped",
       "#EXTM3U\nmissing.mid\nC:\\nowhere\\gone.mid\n%D\\exists.mid\n",
       true,
       {{0, "", "%D\\missing.mid"}, {0, "", "%D\\exists.mid"}}},
      {"dot parts resolved", "#EXTM3U\n.\\sub\\..\\a.mid\n", true, {{0, "", "%D\\a.mid"}}},
      {"another directive is a relative path",
       "#EXTM3U\n#EXTVLCOPT:x\n",
       true,
       {{0, "", "%D\\#EXTVLCOPT:x"}}},
      {"CRLF line ends", "#EXTM3U\r\n#EXTINF:7,T\r\na.mid\r\n", true, {{7, "T", "%D\\a.mid"}}},
      {"no final line feed keeps the last entry",
       "#EXTM3U\n#EXTINF:7,T\na.mid",
       true,
       {{7, "T", "%D\\a.mid"}}},
      {"empty lines skipped", "#EXTM3U\n\n\na.mid\n\n", true, {{0, "", "%D\\a.mid"}}},
      {"long #EXTINF line read whole",
       "#EXTM3U\n#EXTINF:9," + longTitle + "\na.mid\n",
       true,
       {{9, longTitle.c_str(), "%D\\a.mid"}}},
      {"huge line skipped whole", "#EXTM3U\n" + hugeLine + "\na.mid\n", true, {{0, "", "%D\\a.mid"}}},
      {"huge path after #EXTINF skipped with it",
       "#EXTM3U\n#EXTINF:3,T\n" + hugeLine + "\nb.mid\n",
       true,
       {{0, "", "%D\\b.mid"}}},
      {"path too long for the path functions skipped",
       "#EXTM3U\n" + tooLongPath + "\na.mid\n",
       true,
       {{0, "", "%D\\a.mid"}}},
      {"dangling #EXTINF adds nothing", "#EXTM3U\na.mid\n#EXTINF:3,T\n", true, {{0, "", "%D\\a.mid"}}},
      {"dangling #EXTINF without line feed", "#EXTM3U\n#EXTINF:3,T", true, {}},
      {"absurd lengths saturate",
       "#EXTM3U\n#EXTINF:99999999999999,T\na.mid\n#EXTINF:-99999999999,U\nb.mid\n",
       true,
       {{2147483647, "T", "%D\\a.mid"}, {-2147483647 - 1, "U", "%D\\b.mid"}}},
      {"NUL ends a line's text",
       std::string("#EXTM3U\na.mid\0junk\nb.mid\n", 25),
       true,
       {{0, "", "%D\\a.mid"}, {0, "", "%D\\b.mid"}}},
      {"UTF-8 mark skipped", "\xEF\xBB\xBF#EXTM3U\n#EXTINF:4,T\na.mid\n", true, {{4, "T", "%D\\a.mid"}}},
      {"UTF-8 text with no form in the code page skipped",
       "\xEF\xBB\xBF#EXTM3U\n\xE4\xB8\xAD.mid\na.mid\n",
       true,
       {{0, "", "%D\\a.mid"}}},
      {"UTF-16 little-endian refused", std::string("\xFF\xFE#\0E\0X\0T\0M\0\x33\0U\0\n\0", 18), false, {}},
      {"UTF-16 big-endian refused", std::string("\xFE\xFF\0#\0E\0X\0T\0M\0\x33\0U\0\n", 18), false, {}},
      {"binary garbage", std::string("\x00\x01\x02\xFF\n\x7F", 6), false, {}},
      {"garbage after the header",
       std::string("#EXTM3U\n\x01\x02\x03\n\xFF\xFE\n", 16),
       true,
       {{0, "", "%D\\\x01\x02\x03"}, {0, "", "%D\\\xFF\xFE"}}},
  };
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string file = dir.File("list.m3u");
    WriteBytes(file, Expand(c.bytes, dir.Path()));
    CM3UPlayList list;
    list.GetEntries().push_back({1, "stale", "stale"});
    EXPECT_EQ(c.result, list.LoadM3U(file.c_str()));
    const std::vector<PlayListEntry>& entries = list.GetEntries();
    ASSERT_EQ(c.entries.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(c.entries[i].length, entries[i].length) << i;
      EXPECT_EQ(std::string(c.entries[i].title), entries[i].title) << i;
      EXPECT_EQ(Expand(c.entries[i].path, dir.Path()), entries[i].path) << i;
    }
  }
}

TEST_F(M3UPlayListTest, MissingOrNullFileFailsAndKeepsEntries) {
  CM3UPlayList list;
  list.GetEntries().push_back({1, "kept", "kept"});
  EXPECT_FALSE(list.LoadM3U(nullptr));
  EXPECT_FALSE(list.LoadM3U(dir.File("none.m3u").c_str()));
  EXPECT_EQ(1u, list.GetEntries().size());
}

TEST_F(M3UPlayListTest, SavesRelativePathsAndLoadsThemBack) {
  const std::string sub = dir.File("sub");
  CreateDirectoryA(sub.c_str(), nullptr);
  const std::string file = sub + "\\list.mpl";
  CM3UPlayList list;
  list.GetEntries() = {{125, "Here", sub + "\\here.mid"},
                       {3, "Up", dir.File("up.mid")},
                       {0, "Other drive", "Z:\\far\\away.mid"},
                       {7, "Broken\r\ntitle", sub + "\\x.mid"}};
  ASSERT_TRUE(list.SaveM3U(file.c_str()));
  EXPECT_EQ(
      "#EXTM3U\r\n#EXTINF:125,Here\r\n.\\here.mid\r\n#EXTINF:3,Up\r\n..\\up.mid\r\n"
      "#EXTINF:0,Other drive\r\nZ:\\far\\away.mid\r\n#EXTINF:7,Broken  title\r\n.\\x.mid\r\n",
      ReadBytes(file));

  CM3UPlayList loaded;
  ASSERT_TRUE(loaded.LoadM3U(file.c_str()));
  // The absolute entry on a missing drive is skipped on loading.
  ASSERT_EQ(3u, loaded.GetEntries().size());
  EXPECT_EQ(sub + "\\here.mid", loaded.GetEntries()[0].path);
  EXPECT_EQ(125, loaded.GetEntries()[0].length);
  EXPECT_EQ(dir.File("up.mid"), loaded.GetEntries()[1].path);
  EXPECT_EQ(sub + "\\x.mid", loaded.GetEntries()[2].path);
}

TEST_F(M3UPlayListTest, EmptyListSavesOnlyTheHeader) {
  CM3UPlayList list;
  ASSERT_TRUE(list.SaveM3U(dir.File("empty.mpl").c_str()));
  EXPECT_EQ("#EXTM3U\r\n", ReadBytes(dir.File("empty.mpl")));
}

TEST_F(M3UPlayListTest, FailedSaveKeepsTheOldFile) {
  const std::string file = dir.File("list.mpl");
  const std::string old = "#EXTM3U\r\n#EXTINF:1,Old\r\nold.mid\r\n";
  CM3UPlayList list;
  list.GetEntries() = {{2, "New", dir.File("new.mid")}};

  // The target held open without sharing cannot be replaced.
  WriteBytes(file, old);
  {
    base::ScopedHandle held(
        CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.Valid());
    EXPECT_FALSE(list.SaveM3U(file.c_str()));
  }
  EXPECT_EQ(old, ReadBytes(file));

  // A folder in the way of the target.
  const std::string folder = dir.File("folder.mpl");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  EXPECT_FALSE(list.SaveM3U(folder.c_str()));
  EXPECT_TRUE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);

  // A missing folder.
  EXPECT_FALSE(list.SaveM3U(dir.File("no\\such\\list.mpl").c_str()));

  // No temporary file is left behind by any failure.
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(dir.File("*").c_str(), &found);
  ASSERT_NE(INVALID_HANDLE_VALUE, search);
  std::vector<std::string> names;
  do names.push_back(found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{".", "..", "exists.mid", "folder.mpl", "list.mpl"}), names);
}

}  // namespace
