#include <gtest/gtest.h>

#include <cstring>

#include "ServicesFixture.h"
#include "ui/CLogFont.h"

namespace {

const char* const kDefaultText = "-12,0,0,0,400,0,0,0,0,0,0,2,18,Times New Roman,0";

bool SameLogFont(const LOGFONTA& a, const LOGFONTA& b) {
  return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
         a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
         a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
         a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
         a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
         strcmp(a.lfFaceName, b.lfFaceName) == 0;
}

// The font handle always describes the stored LOGFONT.
void ExpectHandleMatches(CLogFont& font) {
  ASSERT_NE(nullptr, font.GetSafeHandle());
  LOGFONTA fromHandle = {};
  ASSERT_EQ(static_cast<int>(sizeof(fromHandle)), font.GetLogFont(&fromHandle));
  EXPECT_TRUE(SameLogFont(font.GetLogFontRef(), fromHandle));
}

LOGFONTA MakeLogFont(int height, int weight, BYTE italic, BYTE charset, const char* face) {
  LOGFONTA lf = {};
  lf.lfHeight = height;
  lf.lfWidth = 3;
  lf.lfEscapement = -900;
  lf.lfOrientation = 450;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  lf.lfUnderline = 1;
  lf.lfStrikeOut = 255;
  lf.lfCharSet = charset;
  lf.lfOutPrecision = 3;
  lf.lfClipPrecision = 2;
  lf.lfQuality = 5;
  lf.lfPitchAndFamily = 34;
  lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  return lf;
}

TEST(LogFontTest, TheDefaultFontHasItsTextForm) {
  CLogFont font;
  EXPECT_EQ(kDefaultText, font.ToString());
  ExpectHandleMatches(font);
  CLogFont parsed;
  parsed.SetColor(77);
  EXPECT_EQ(0u, parsed.FromString(kDefaultText));
  EXPECT_TRUE(SameLogFont(font.GetLogFontRef(), parsed.GetLogFontRef()));
}

TEST(LogFontTest, TextRoundTripKeepsEveryFieldAndTheColour) {
  struct {
    LOGFONTA lf;
    COLORREF colour;
  } cases[] = {
      {MakeLogFont(-20, 700, 1, 134, "Arial"), RGB(255, 0, 0)},
      {MakeLogFont(16, 100, 0, 0, "Courier New"), 0x00FFFFFF},
      {MakeLogFont(0, 0, 255, 255, "DejaVu Sans Mono Bold Oblique 1"), 0xFFFFFFFF},
      {MakeLogFont(-2147483647, 1000, 0, 2, ""), 1},
  };
  for (auto& c : cases) {
    CLogFont font(c.lf);
    font.SetColor(c.colour);
    const std::string text = font.ToString();
    CLogFont back;
    EXPECT_EQ(c.colour, back.FromString(text)) << text;
    EXPECT_EQ(c.colour, back.GetColor());
    EXPECT_TRUE(SameLogFont(c.lf, back.GetLogFontRef())) << text;
    EXPECT_EQ(text, back.ToString());
    ExpectHandleMatches(back);
  }
}

TEST(LogFontTest, DamagedTextNeverFails) {
  struct {
    const char* what;
    const char* text;
    long height;
    long weight;
    BYTE italic;
    const char* face;
    COLORREF colour;
  } cases[] = {
      {"empty", "", 0, 0, 0, "", 0},
      {"a lone number is the colour", "12", 0, 0, 0, "", 12},
      {"a byte field of 300 keeps its low byte", "1,2,3,4,5,300,0,0,0,0,0,0,0,Arial,9", 1, 5, 44, "Arial", 9},
      {"fewer fields: the rest is zero", "-14,0,0,0,700,1,0", -14, 700, 1, "", 0},
      {"words read as zero", "high,wide,x,y,bold,1,1,1,1,1,1,1,1,Face,blue", 0, 0, 1, "Face", 0},
      {"blanks before numbers are skipped", " -9, 0, 0, 0, 600,0,0,0,0,0,0,0,0,F, 5", -9, 600, 0, "F", 5},
      {"huge numbers are clamped", "99999999999,0,0,0,-99999999999,0,0,0,0,0,0,0,0,F,99999999999", 2147483647,
       -2147483647 - 1, 0, "F", 0xFFFFFFFF},
      {"an overlong face is cut to 31 characters",
       "-12,0,0,0,400,0,0,0,0,0,0,2,18,ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnop,3", -12, 400, 0,
       "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde", 3},
  };
  for (auto& c : cases) {
    CLogFont font;
    font.SetColor(1234);
    EXPECT_EQ(c.colour, font.FromString(c.text)) << c.what;
    EXPECT_EQ(c.height, font.GetHeight()) << c.what;
    EXPECT_EQ(c.weight, font.GetWeight()) << c.what;
    EXPECT_EQ(c.italic, font.GetLogFontRef().lfItalic) << c.what;
    EXPECT_STREQ(c.face, font.GetFaceName()) << c.what;
  }
}

TEST(LogFontTest, SettersAnswerThePreviousValueAndRemakeTheFont) {
  CLogFont font;
  struct {
    int in;
    int stored;
  } heights[] = {{12, -12}, {1, -1}, {-12, -12}, {0, 0}};
  for (auto& h : heights) {
    font.SetCharHeight(h.in);
    EXPECT_EQ(h.stored, font.GetHeight()) << h.in;
  }
  EXPECT_EQ(0, font.SetHeight(30));
  font.SetWeight(600);
  EXPECT_TRUE(font.SetBold(true));
  EXPECT_EQ(700, font.GetWeight());
  EXPECT_TRUE(font.SetBold(false));
  EXPECT_FALSE(font.SetBold(false));
  EXPECT_EQ(400, font.GetWeight());
  EXPECT_EQ(0, font.SetItalic(1));
  EXPECT_TRUE(font.IsItalic());
  EXPECT_EQ("Times New Roman", font.SetFaceName(std::string("Arial")));
  EXPECT_STREQ("Tahoma", font.SetFaceName("Tahoma"));  // the stored face
  EXPECT_STREQ("Tahoma", font.GetFaceName());
  ExpectHandleMatches(font);
}

TEST(LogFontTest, TheColourFollowsIntoTheAttachedDC) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  CLogFont font;
  font.SetTextDC(dc).SetColor(RGB(1, 2, 3));
  EXPECT_EQ(RGB(1, 2, 3), ::GetTextColor(dc));
  font.SetTextDC(nullptr).SetColor(RGB(9, 9, 9));
  EXPECT_EQ(RGB(1, 2, 3), ::GetTextColor(dc));
  ::DeleteDC(dc);
}

TEST(LogFontTest, TakingOverAFrameworkFontReadsItsDescription) {
  LOGFONTA lf = MakeLogFont(-18, 700, 0, 0, "Arial");
  CFont original;
  ASSERT_TRUE(original.CreateFontIndirect(&lf));
  HGDIOBJ handle = original.GetSafeHandle();
  CLogFont font(original);
  EXPECT_EQ(nullptr, original.GetSafeHandle());
  EXPECT_EQ(handle, font.GetSafeHandle());
  EXPECT_EQ(-18, font.GetHeight());
  EXPECT_STREQ("Arial", font.GetFaceName());
}

TEST(LogFontTest, CancellingTheFontDialogChangesNothing) {
  CLogFont font;
  font.SetColor(RGB(10, 20, 30));
  const HGDIOBJ handle = font.GetSafeHandle();
  DriveNextDialog([](HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_FALSE(font.ChooseFont());
  EXPECT_TRUE(DialogWasDriven());
  EXPECT_EQ(handle, font.GetSafeHandle());
  EXPECT_EQ(kDefaultText, CLogFont().ToString());
  EXPECT_EQ(RGB(10, 20, 30), font.GetColor());
  EXPECT_EQ(-12, font.GetHeight());
}

TEST(LogFontTest, ConfirmingTheFontDialogTakesItsFontAndColour) {
  CLogFont font;
  font.SetColor(RGB(128, 0, 0));
  DriveNextDialog([](HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
  EXPECT_TRUE(font.ChooseFont());
  EXPECT_TRUE(DialogWasDriven());
  // Whatever face the system offered, the handle describes what is stored
  // and the colour came back from the dialog (seeded with ours, one of its
  // standard colours).
  ExpectHandleMatches(font);
  EXPECT_EQ(RGB(128, 0, 0), font.GetColor());
}

}  // namespace
