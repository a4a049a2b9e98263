// The three reading stages of the lyric markup and the cleaning, as tables,
// with a fake song: 4/4, notes 100 ticks long at every quarter from tick 0.
#include <gtest/gtest.h>

#include <windows.h>

#include <scrivel/ISmfParserHandler.h>

#include <string>
#include <vector>

#include "lyrics/LyricMarkup.h"

namespace {

class FakeSong : public ISmfParserHandler {
 public:
  std::vector<uint32_t> notes = {0, 120, 240, 360, 480, 600, 720, 840};
  void Release() override {}
  int Open(const char*) override { return 1; }
  void SelectTrack(int) override {}
  uint32_t MeasureBeatToTick(int measure, int beat) override {
    if (measure < 0) return 0;
    const long long bar = measure * 480LL;
    const long long t = beat <= 0 ? bar - 10 : bar + beat * 120LL;
    return t < 10 ? 0 : static_cast<uint32_t>(t);
  }
  uint32_t FindNthNoteOnAfter(uint32_t tick, int n) override {
    for (uint32_t note : notes)
      if (note > tick && --n == 0) return note;
    return 0;
  }
  uint32_t FindNoteEnd(uint32_t tick) override {
    for (uint32_t note : notes)
      if (note == tick) return note + 100;
    return 0;
  }
  int GetTimeSignatureAt(int measure, SmfBeatInfo* out) override {
    *out = SmfBeatInfo{measure, 4, 120};
    return 1;
  }
  void Destroy(unsigned) override {}
  ISmfParser2* TakeSong() override { return nullptr; }
};

std::string Narrow(const std::wstring& w) {
  std::string s;
  for (wchar_t c : w) s += c < 0x80 ? static_cast<char>(c) : '#';
  return s;
}

// "text@tick" for each syllable, then "CODE@tick" for each marker.
std::string Read(const std::wstring& text, int* rc = nullptr, FakeSong* song = nullptr) {
  FakeSong own;
  std::vector<LyricSyllable> syllables;
  std::vector<LyricMarker> markers;
  const int result = ReadLyricTokens(text, song ? song : &own, &syllables, &markers);
  if (rc) *rc = result;
  std::string out;
  for (const LyricSyllable& s : syllables)
    out += (out.empty() ? "" : " ") + Narrow(s.text) + "@" + std::to_string(s.tick);
  for (const LyricMarker& m : markers) out += " " + std::string(m.code, 4) + "@" + std::to_string(m.tick);
  return out;
}

TEST(LyricMarkupTest, NormalisingSpacesPunctuationAndLineEnds) {
  struct Row {
    const char* in;
    const char* out;
  } rows[] = {
      {"a  b", "a b"},
      {"a \r\nb", "a\r\nb"},
      {"a,b.", "a\r\nb"},               // the final "." leaves a blank line, which goes
      {"a!b?c;d", "a\r\nb\r\nc\r\nd"},  // these are line ends too
      {"a,\r\nb", "a\r\nb"},            // a "," before a line end is dropped
      {"a,.b", "a\r\n\r\nb"},           // and before a paragraph end
      {"a.\r\nb", "a\r\n\r\nb"},        // "." before one line end makes a blank line
      {"a.\r\n\r\nb", "a\r\n\r\nb"},
      {"a\r\n\r\n\r\n\r\nb", "a\r\n\r\nb"},  // blank lines run together
      {"\r\n\r\na", "a"},
      {"a\nb\rc", "a\r\nb\r\nc"},  // bare LF and CR are line ends
      {"a\tb\x01"
       "c",
       "a bc"},  // TAB is a space, other controls go
      {"", ""},
  };
  for (const Row& row : rows) {
    std::string out;
    ASSERT_TRUE(NormalizeText(row.in, &out)) << row.in;
    EXPECT_EQ(out, row.out) << row.in;
  }
}

TEST(LyricMarkupTest, LineMarks) {
  struct Row {
    const char* in;
    const wchar_t* out;
  } rows[] = {
      {"a\r\nb", L"a,b"},       {"a\r\n\r\nb", L"a.b"}, {"a^\r\nb", L"a,^b"},
      {"a^\r\n\r\nb", L"a.^b"}, {"a  b", L"a b"},       {"a^b", L"a^b"},
  };
  for (const Row& row : rows) {
    std::wstring out;
    ASSERT_TRUE(ApplyLineMarks(row.in, &out)) << row.in;
    EXPECT_EQ(out, row.out) << row.in;
  }
}

TEST(LyricMarkupTest, TokensAttachToNotesAndPlaceMarkers) {
  struct Row {
    const wchar_t* text;
    const char* expected;
  } rows[] = {
      {L"Twin-kle lit-tle", "Twin-@0 kle@120 lit-@240 tle@360"},  // a note at tick 0 takes the first
      {L"a  b", "a@0 b@120"},
      {L"a - b", "a@0 b@240"},  // "-" holds a over one more note
      {L"a -- b", "a@0 b@360"},
      {L"a ,b", "a@0 ,@0 b@120"},
      {L"a.b", "a@0 .@0 b@120"},
      {L"\x4F60\x597D", "#@0 #@120"},  // each CJK character a syllable
      {L"a[Climax Start]b", "a@0 b@120 CLST@0"},
      {L"a b[Climax End]", "a@0 b@120 CLSP@120"},
      {L"[Climax Start]a", "a@0 CLST@0"},  // before any syllable: the song's start
      {L"a[Verse]b", "a@0 b@120"},         // unknown words place nothing
      {L"[]x", "]@0 x@120"},
      {L"a,^b", "a@0 ,@0 b@120 WDOF@100"},  // the end of a's note
      {L"(hello world)x", "hello world@0 x@120"},
      {L"<x", "<@0 x@120"},
      {L"<b2:2>a", "a@720"},                                         // strictly after beat 2 of bar 2
      {L"<b2>a", "a@480"},                                           // beat 1 is just before the bar line
      {L"x y <b1>a", "x@0 y@120 a@0"},                               // bar 1 is before the song
      {L"<b>a", "a@0"},                                              // the editor's bare mark does nothing
      {L"<B 2 \xFF1A 3>a", "a@840"},                                 // spaces, full-width separator
      {L"<b2:1:2>a", "a@600"},                                       // two quarter-beats later
      {L"<b0:0>a", "a@0"},                                           // zero counts as the first
      {L"<r2 a b c d/3>e", "a@480 b@600 c@720 d@840 e@0 WDOF@960"},  // spread; P stays
      {L"<r2 a - b/3>", "a@480 b@800 WDOF@960"},                     // "-" takes a step
      {L"<r2 a,b/3>", "a@480 ,@720 b@720 WDOF@960"},
      {L"<r2 ,./3>", ""},  // only breaks: nothing
      {L"a b c d e f g h i j",
       "a@0 b@120 c@240 d@360 e@480 f@600 g@720 h@840 i@0 j@0"},  // past the end stays there
      {L"a b c d e f g h i ^ - <b2>k", "a@0 b@120 c@240 d@360 e@480 f@600 g@720 h@840 i@0 k@480 WDOF@0"},
  };
  for (const Row& row : rows) {
    int rc = 1;
    EXPECT_EQ(Read(row.text, &rc), row.expected) << Narrow(row.text);
    EXPECT_EQ(rc, kLyricReadOk) << Narrow(row.text);
  }
}

TEST(LyricMarkupTest, MalformedMarksFailAndHostileNumbersDoNotWrap) {
  const wchar_t* errors[] = {L"a (bc", L"a [Climax", L"<b2:3", L"<r2 a b>", L"<r3 a/2>", L"<r2 a > b/3>"};
  for (const wchar_t* text : errors) {
    int rc = 0;
    Read(text, &rc);
    EXPECT_EQ(rc, kLyricMarkupError) << Narrow(text);
  }
  int rc = 1;
  const std::string huge =
      Read(L"<b99999999999999999999:99999999999:99999999>a <r9999999999 b/99999999999>", &rc);
  EXPECT_EQ(rc, kLyricReadOk);
  EXPECT_EQ(huge.find('-'), std::string::npos) << "no negative tick: " << huge;
}

TEST(LyricMarkupTest, CleaningSkipsStrayBreaks) {
  const wchar_t* texts[] = {L",", L"a", L",", L".", L",", L"b", L",", L"c", L".", L","};
  std::vector<LyricSyllable> list;
  for (const wchar_t* t : texts) list.push_back(LyricSyllable{t, 0, 0});
  ASSERT_TRUE(CleanSyllables(&list));
  std::wstring kept;
  for (const LyricSyllable& s : list)
    if (!s.skip) kept += s.text;
  EXPECT_EQ(kept, L"a.b,c");
  std::vector<LyricSyllable> empty;
  EXPECT_FALSE(CleanSyllables(&empty));
}

}  // namespace

namespace {

// Under a Chinese system code page (936): full-width punctuation, the
// section words, and a character whose trail byte is "^" before a line end.
TEST(LyricMarkupChineseTest, FullWidthMarksAndTrailBytes) {
  if (::GetACP() != 936) GTEST_SKIP() << "needs code page 936 (LANG and LC_ALL zh_CN.UTF-8)";
  std::string out;
  // 你，好。 -> 你 CR LF 好 (the final paragraph end's blank line goes)
  ASSERT_TRUE(NormalizeText("\xC4\xE3\xA3\xAC\xBA\xC3\xA1\xA3", &out));
  EXPECT_EQ(out, "\xC4\xE3\r\n\xBA\xC3");
  // 乛 is 81 5E: its trail byte is no "^" mark.
  std::wstring marked;
  ASSERT_TRUE(ApplyLineMarks("\x81\x5E\r\nb", &marked));
  EXPECT_EQ(marked, L"\x4E5B,b");
  // 前奏开始 and 间奏结束 place their markers.
  EXPECT_EQ(Read(L"a[\x524D\x594F\x5F00\x59CB]b[\x95F4\x594F\x7ED3\x675F]\xFF0C"),
            "a@0 b@120 ,@120 PRST@0 BKSP@120");
}

}  // namespace
