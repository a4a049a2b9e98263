#include <windows.h>

#include "LrcDocument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Row {
  const char* what;
  std::string text;
  std::vector<std::pair<int, std::string>> lines;  // (ms, text) in order
};

std::vector<std::pair<int, std::string>> Read(const std::string& text) {
  LrcDocument doc;
  doc.Parse(text.data(), text.size());
  std::vector<std::pair<int, std::string>> out;
  for (const LrcLine& l : doc.Lines()) out.emplace_back(l.ms, l.text);
  return out;
}

TEST(LrcDocument, LinesFromTable) {
  const std::string longText(100000, 'x');
  const Row rows[] = {
      {"every time-tag form",
       "[00:01]a\n[00:02.5]b\n[00:03.25]c\n[00:04.125]d\n[00:05:50]e\n[1:06.00]f",
       {{1000, "a"}, {2500, "b"}, {3250, "c"}, {4125, "d"}, {5500, "e"}, {66000, "f"}}},
      {"several tags on one line", "[00:10.00][00:01.00]again", {{1000, "again"}, {10000, "again"}}},
      {"out of order, equal times keep file order",
       "[00:03.00]c\n[00:01.00]a\n[00:03.00]d\n[00:02.00]b",
       {{1000, "a"}, {2000, "b"}, {3000, "c"}, {3000, "d"}}},
      {"positive offset: lyrics earlier, never below 0",
       "[offset:+1500]\n[00:01.00]a\n[00:05.00]b",
       {{0, "a"}, {3500, "b"}}},
      {"negative offset", "[offset:-500]\n[00:01.00]a", {{1500, "a"}}},
      {"huge offset is held to a day", "[offset:-99999999999999999999]\n[00:00.00]a", {{86400000, "a"}}},
      {"CR LF line ends and an empty lyric", "[00:01.00]a\r\n[00:02.00]\r\n", {{1000, "a"}, {2000, ""}}},
      {"lines without time tags are skipped", "plain\n[ti:Title]\n[00:01.00]a\n\n[xx]y", {{1000, "a"}}},
      {"truncated tags", "[00:0\n[00:01\n[00:01.\n[00:01.00", {}},
      {"seconds of 60 or more", "[00:60.00]a\n[00:99]b\n[00:59.99]c", {{59990, "c"}}},
      {"absurd and overflowing minutes",
       "[10000:00.00]a\n[99999999999999:00]b\n[9999:59.999]c",
       {{599999999, "c"}}},
      {"negative times", "[-00:01.00]a\n[00:-1.00]b", {}},
      {"fraction of four digits", "[00:01.0000]a", {}},
      {"a very long line", "[00:01.00]" + longText, {{1000, longText}}},
      {"binary garbage", std::string("\x00\xff[\x01]\x80[00:\x00", 12), {}},
      {"empty", "", {}},
  };
  for (const Row& row : rows) EXPECT_EQ(row.lines, Read(row.text)) << row.what;
}

TEST(LrcDocument, TagsAndFindLineAt) {
  std::string text =
      "[ti: Song ]\n[AR:Singer]\n[al:Album]\n[by:Maker]\n[offset:200]\n[re:Tool]\n"
      "[00:01.20]one\n[00:02.20]two\n[00:04.20]three";
  LrcDocument doc;
  doc.Parse(text.data(), text.size());
  EXPECT_STREQ("Song", doc.Tag("ti"));
  EXPECT_STREQ("Singer", doc.Tag("ar"));
  EXPECT_STREQ("Album", doc.Tag("AL"));
  EXPECT_STREQ("Maker", doc.Tag("by"));
  EXPECT_STREQ("200", doc.Tag("offset"));
  EXPECT_STREQ("Tool", doc.Tag("re"));
  EXPECT_EQ(nullptr, doc.Tag("length"));
  EXPECT_EQ(nullptr, doc.Tag(nullptr));
  struct {
    int ms;
    int line;
  } finds[] = {{0, -1}, {999, -1}, {1000, 0}, {1500, 0}, {2000, 1}, {3999, 1}, {4000, 2}, {1 << 30, 2}};
  for (const auto& f : finds) EXPECT_EQ(f.line, doc.FindLineAt(f.ms)) << f.ms;
  LrcDocument empty;
  EXPECT_EQ(-1, empty.FindLineAt(5000));
}

// UTF-16 bytes with their byte-order mark.
std::string Utf16(const std::u16string& units, bool bigEndian) {
  std::string b = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t u : units) {
    char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
    b += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return b;
}

TEST(LrcDocument, Encodings) {
  // "Café" in UTF-8 with and without a BOM, in UTF-16 both ways, and as 8-bit text.
  const std::string cafe1252 = "Caf\xE9";
  struct {
    const char* what;
    std::string bytes;
  } files[] = {
      {"UTF-8 with BOM", "\xEF\xBB\xBF[00:01.00]Caf\xC3\xA9"},
      {"UTF-8 without BOM", "[00:01.00]Caf\xC3\xA9"},
      {"UTF-16LE", Utf16(u"[00:01]Caf\u00E9", false)},
      {"UTF-16BE", Utf16(u"[00:01]Caf\u00E9", true)},
      {"8-bit", "[00:01.00]Caf\xE9"},
  };
  for (const auto& f : files) {
    std::string text = LrcToCodePage(f.bytes.data(), f.bytes.size());
    auto lines = Read(text);
    ASSERT_EQ(1u, lines.size()) << f.what;
    EXPECT_EQ(1000, lines[0].first) << f.what;
    // Under code page 1252 every form reads the same text.
    if (GetACP() == 1252) {
      EXPECT_EQ(cafe1252, lines[0].second) << f.what;
    }
  }
  // UTF-16 of odd length and a BOM alone.
  EXPECT_TRUE(Read(LrcToCodePage("\xFF\xFE[", 3)).empty());
  EXPECT_TRUE(LrcToCodePage("\xFF\xFE", 2).empty());
}

}  // namespace
