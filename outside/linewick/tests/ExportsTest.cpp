#include <windows.h>

#include <base/Library.h>
#include <linewick/Linewick.h>

#include <testsupport/SmfBuilder.h>
#include <testsupport/TempDir.h>

#include <gtest/gtest.h>

namespace {

constexpr const char* kLinewick = "Linewick.dll";

ILinewick* Make(const base::Library& library) {
  auto get = library.Find<GetLinewickInstanceProc>("GetLinewickInstance");
  return get ? get() : nullptr;
}

TEST(LinewickExports, EveryCallMakesANewParser) {
  base::Library lib(kLinewick);
  ASSERT_NE(nullptr, lib.Get());
  ILinewick* a = Make(lib);
  ILinewick* b = Make(lib);
  ASSERT_NE(nullptr, a);
  ASSERT_NE(nullptr, b);
  EXPECT_NE(a, b);
  const char text[] = "[ar:Someone]\n[00:02.00]second\n[00:01.00]first";
  EXPECT_EQ(0, a->LoadText(text, sizeof(text) - 1));
  EXPECT_EQ(2, a->GetLineCount());
  EXPECT_EQ(0, b->GetLineCount());
  EXPECT_EQ(1000, a->GetLineTime(0));
  EXPECT_STREQ("first", a->GetLineText(0));
  EXPECT_EQ(nullptr, a->GetLineText(2));
  EXPECT_EQ(-1, a->GetLineTime(-1));
  EXPECT_EQ(1, a->FindLineAt(2500));
  EXPECT_STREQ("Someone", a->GetTag("AR"));
  EXPECT_EQ(1, a->LoadText(nullptr, 3));
  EXPECT_EQ(1, a->LoadText(text, -1));
  a->Release();
  b->Release();
}

TEST(LinewickExports, Files) {
  base::Library lib(kLinewick);
  ILinewick* p = Make(lib);
  ASSERT_NE(nullptr, p);
  testsupport::TempDir dir;
  EXPECT_EQ(1, p->LoadFile(dir.File("missing.lrc").c_str()));
  EXPECT_EQ(1, p->LoadFile(nullptr));
  std::string path = dir.File("song.lrc");
  const std::string body = "\xEF\xBB\xBF[ti:T]\r\n[00:00.50]la\r\n";
  ASSERT_TRUE(testsupport::WriteBytes(path, testsupport::Bytes(body.begin(), body.end())));
  EXPECT_EQ(0, p->LoadFile(path.c_str()));
  EXPECT_EQ(1, p->GetLineCount());
  EXPECT_EQ(500, p->GetLineTime(0));
  EXPECT_STREQ("T", p->GetTag("ti"));
  ASSERT_TRUE(testsupport::WriteBytes(path, testsupport::Bytes()));
  EXPECT_EQ(0, p->LoadFile(path.c_str()));
  EXPECT_EQ(0, p->GetLineCount());
  p->Release();
}

}  // namespace
