#include <afx.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "MfcTestResources.h"

namespace {

struct FormatCase {
  const char* what;
  std::function<CString()> make;
  const char* expected;
};

TEST(CStringFormat, FormatsEveryArgumentKind) {
  const CString name("Melodara");
  const CString empty;
  const FormatCase cases[] = {
      {"CString for %s",
       [&] {
         CString s;
         s.Format("<%s>", name);
         return s;
       },
       "<Melodara>"},
      {"two CStrings and an int",
       [&] {
         CString s;
         s.Format("%s-%d-%s", name, 42, CString("x"));
         return s;
       },
       "Melodara-42-x"},
      {"empty CString",
       [&] {
         CString s;
         s.Format("[%s]", empty);
         return s;
       },
       "[]"},
      {"width and precision",
       [&] {
         CString s;
         s.Format("%-10s|%.3s", name, name);
         return s;
       },
       "Melodara  |Mel"},
      {"char pointer and char",
       [&] {
         CString s;
         s.Format("%s%c", "ab", 'c');
         return s;
       },
       "abc"},
      {"64-bit value",
       [&] {
         CString s;
         s.Format("%lld", 1234567890123LL);
         return s;
       },
       "1234567890123"},
      {"unsigned hex",
       [&] {
         CString s;
         s.Format("%08X", 0xBEEFu);
         return s;
       },
       "0000BEEF"},
      {"floating point",
       [&] {
         CString s;
         s.Format("%.2f", 3.14159);
         return s;
       },
       "3.14"},
      {"float promoted",
       [&] {
         CString s;
         s.Format("%.1f", 2.5f);
         return s;
       },
       "2.5"},
      {"percent sign",
       [&] {
         CString s;
         s.Format("100%%");
         return s;
       },
       "100%"},
      {"no arguments",
       [&] {
         CString s;
         s.Format("plain");
         return s;
       },
       "plain"},
      {"temporary CString",
       [&] {
         CString s;
         s.Format("%s!", name + " rocks");
         return s;
       },
       "Melodara rocks!"},
      {"array literal",
       [&] {
         char buf[] = "buf";
         CString s;
         s.Format("%s", buf);
         return s;
       },
       "buf"},
      {"resource format",
       [&] {
         CString s;
         s.Format(IDS_COUNT_FORMAT, name, 3);
         return s;
       },
       "Melodara has 3 items"},
  };
  for (const FormatCase& c : cases) EXPECT_STREQ(c.expected, (LPCTSTR)c.make()) << c.what;
}

TEST(CStringFormat, ArgumentMayBeTheStringItself) {
  CString s("abc");
  s.Format("%s%s", s, s);
  EXPECT_STREQ("abcabc", s);
}

TEST(CStringFormat, LongOutputIsNotTruncated) {
  CString big('x', 5000);
  CString s;
  s.Format("[%s]", big);
  EXPECT_EQ(5002, s.GetLength());
  EXPECT_EQ('x', s[4000]);
  EXPECT_EQ(']', s[5001]);
}

struct ExtractCase {
  const char* what;
  CString actual;
  const char* expected;
};

TEST(CStringOps, ExtractionClampsOutOfRangeCounts) {
  const CString s("Hello World");
  const ExtractCase cases[] = {
      {"Left", s.Left(5), "Hello"},
      {"Left beyond end", s.Left(50), "Hello World"},
      {"Left negative", s.Left(-1), ""},
      {"Mid", s.Mid(6, 3), "Wor"},
      {"Mid to end", s.Mid(6), "World"},
      {"Mid past end", s.Mid(20, 3), ""},
      {"Mid negative start", s.Mid(-3, 2), "He"},
      {"Right", s.Right(5), "World"},
      {"Right beyond start", s.Right(99), "Hello World"},
      {"SpanIncluding", s.SpanIncluding("HeloW"), "Hello"},
      {"SpanExcluding", s.SpanExcluding(" "), "Hello"},
  };
  for (const ExtractCase& c : cases) EXPECT_STREQ(c.expected, c.actual) << c.what;
}

TEST(CStringOps, SearchAnswersMinusOneWhenAbsent) {
  const CString s("a/b/c.mid");
  EXPECT_EQ(1, s.Find('/'));
  EXPECT_EQ(3, s.Find('/', 2));
  EXPECT_EQ(-1, s.Find('/', 4));
  EXPECT_EQ(-1, s.Find('/', 100));
  EXPECT_EQ(4, s.Find("c.m"));
  EXPECT_EQ(-1, s.Find("xyz"));
  EXPECT_EQ(3, s.ReverseFind('/'));
  EXPECT_EQ(-1, s.ReverseFind('#'));
  EXPECT_EQ(5, s.FindOneOf(".#"));
}

TEST(CStringOps, ChangesInPlace) {
  CString s("  Path\\To\\File.MID;; ");
  s.TrimLeft();
  s.TrimRight();
  EXPECT_STREQ("Path\\To\\File.MID;;", s);
  s.TrimRight(';');
  EXPECT_STREQ("Path\\To\\File.MID", s);
  EXPECT_EQ(2, s.Replace('\\', '/'));
  EXPECT_STREQ("Path/To/File.MID", s);
  s.MakeLower();
  EXPECT_STREQ("path/to/file.mid", s);
  EXPECT_EQ(1, s.Replace("file", "song-file"));
  EXPECT_STREQ("path/to/song-file.mid", s);
  EXPECT_EQ(0, s.Replace("absent", "x"));
  EXPECT_EQ(3, s.Remove('/') + s.Remove('-'));
  EXPECT_STREQ("pathtosongfile.mid", s);
  s.Delete(0, 4);
  s.Insert(0, "my");
  EXPECT_STREQ("mytosongfile.mid", s);
  s.MakeUpper();
  EXPECT_STREQ("MYTOSONGFILE.MID", s);
}

TEST(CStringOps, ReplaceGrowingAndShrinking) {
  CString s("aXbXc");
  EXPECT_EQ(2, s.Replace("X", "<=>"));
  EXPECT_STREQ("a<=>b<=>c", s);
  EXPECT_EQ(2, s.Replace("<=>", ""));
  EXPECT_STREQ("abc", s);
}

TEST(CStringOps, ConcatenationAndComparison) {
  CString s("ab");
  s += 'c';
  s += "de";
  s += CString("f");
  EXPECT_STREQ("abcdef", s);
  EXPECT_TRUE(s == "abcdef");
  EXPECT_TRUE("abcdef" == s);
  EXPECT_TRUE(s != CString("abc"));
  EXPECT_TRUE(CString("abc") < CString("abd"));
  EXPECT_EQ(0, s.CompareNoCase("ABCDEF"));
  EXPECT_STREQ("x-abcdef-y", 'x' + ("-" + s + "-") + 'y');
  s += s;  // appending to itself
  EXPECT_STREQ("abcdefabcdef", s);
  s = (LPCTSTR)s + 6;  // assigning from its own buffer
  EXPECT_STREQ("abcdef", s);
}

TEST(CStringOps, AppendLoopKeepsEveryCharacter) {
  CString s;
  std::string expected;
  for (int i = 0; i < 2000; ++i) {
    char ch = static_cast<char>('a' + i % 26);
    s += ch;
    expected += ch;
  }
  EXPECT_EQ(expected, std::string(s));
}

TEST(CStringBuffer, GetBufferThenReleaseBufferSetsTheLength) {
  CString s("start");
  char* p = s.GetBuffer(64);
  EXPECT_STREQ("start", p);
  strcpy(p, "a longer text that was written directly");
  s.ReleaseBuffer();
  EXPECT_STREQ("a longer text that was written directly", s);
  EXPECT_EQ(39, s.GetLength());

  p = s.GetBuffer(0);
  p[3] = '\0';
  s.ReleaseBuffer();
  EXPECT_STREQ("a l", s);

  p = s.GetBuffer(10);
  memcpy(p, "0123456789", 10);
  s.ReleaseBuffer(4);
  EXPECT_STREQ("0123", s);

  CString empty;
  empty.GetBuffer(0);
  empty.ReleaseBuffer();
  EXPECT_TRUE(empty.IsEmpty());
}

TEST(CStringBuffer, CopiesAreIndependent) {
  CString a("shared");
  CString b(a);
  b.SetAt(0, 'S');
  EXPECT_STREQ("shared", a);
  EXPECT_STREQ("Shared", b);
  CString c(std::move(b));
  EXPECT_STREQ("Shared", c);
}

TEST(CStringResources, LoadsFromTheStringTable) {
  CString s;
  EXPECT_TRUE(s.LoadString(IDS_GREETING));
  EXPECT_STREQ("Hello from the string table", s);
  EXPECT_STREQ("Hello from the string table", CString(MAKEINTRESOURCE(IDS_GREETING)));
  CString missing("keep?");
  EXPECT_FALSE(missing.LoadString(9999));
  EXPECT_TRUE(missing.IsEmpty());
}

TEST(CStringResources, PointerWithZeroLowHighWordIsText) {
  // Above 4 GB an address can have a zero HIWORD; it is still text, not a resource id.
  char* p = nullptr;
  for (ULONG_PTR base = 0x300000000ULL; p == nullptr && base < 0x400000000ULL; base += 0x10000000ULL)
    p = static_cast<char*>(
        ::VirtualAlloc(reinterpret_cast<void*>(base), 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(nullptr, p);
  ASSERT_EQ(0u, HIWORD(reinterpret_cast<ULONG_PTR>(p)));
  strcpy(p, "high text");
  EXPECT_STREQ("high text", CString(p));
  ::VirtualFree(p, 0, MEM_RELEASE);
}

TEST(CStringConversions, FromWideText) {
  CString s(L"wide text");
  EXPECT_STREQ("wide text", s);
  CString n(static_cast<LPCWSTR>(nullptr));
  EXPECT_TRUE(n.IsEmpty());
}

}  // namespace
