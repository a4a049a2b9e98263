// Registry value objects against Wine's registry, checked with the plain
// registry calls: defaults, caching, the change test, path splitting and
// values of the wrong type or size.
#include <gtest/gtest.h>

#include <string>

#include "app/RegValues.h"

namespace {

const char kKey[] = "Software\\MelodaraTests\\RegValues";

class RegValues : public ::testing::Test {
 protected:
  void SetUp() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
  void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
  static std::string Path(const char* name) { return std::string(kKey) + "\\" + name; }
  static void Store(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
    ::RegCloseKey(key);
  }
  static bool Query(const char* name, DWORD& type, std::string& data) {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char buffer[256];
    DWORD size = sizeof(buffer);
    LONG rc = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    ::RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return false;
    data.assign(buffer, size);
    return true;
  }
};

TEST_F(RegValues, AMissingValueReadsAsTheDefaultAndIsTriedAgainOnEveryGet) {
  CRegValue tag(Path("UpdateInfoTag"), 7);
  EXPECT_EQ(7u, tag.Get());
  EXPECT_FALSE(tag.IsValid());
  const DWORD stored = 42;
  Store("UpdateInfoTag", REG_DWORD, &stored, sizeof(stored));
  EXPECT_EQ(42u, tag.Get()) << "not cached while unreadable";
  EXPECT_TRUE(tag.IsValid());
}

TEST_F(RegValues, SetWritesOnlyAChangeUnlessAskedToReRead) {
  CRegValue tag(Path("Tag"), 0);
  tag.Set(5);
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(Query("Tag", type, data));
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
  EXPECT_EQ(std::string("\x05\0\0\0", 4), data);
  // Another writer changes the registry; setting the cached value writes nothing.
  const DWORD other = 9;
  Store("Tag", REG_DWORD, &other, sizeof(other));
  tag.Set(5);
  ASSERT_TRUE(Query("Tag", type, data));
  EXPECT_EQ(std::string("\x09\0\0\0", 4), data);
  EXPECT_EQ(5u, tag.Get()) << "cached";
  // With the re-read flag every get reads and every set writes.
  CRegValue live(Path("Tag"), 0, TRUE);
  EXPECT_EQ(9u, live.Get());
  const DWORD eleven = 11;
  Store("Tag", REG_DWORD, &eleven, sizeof(eleven));
  EXPECT_EQ(11u, live.Get());
  live.Set(11);
  ASSERT_TRUE(Query("Tag", type, data));
  EXPECT_EQ(std::string("\x0B\0\0\0", 4), data);
}

TEST_F(RegValues, PathsSplitIntoSubkeyAndName) {
  struct Case {
    const char* path;
    const char* subkey;
    const char* name;
  };
  const Case trimmed[] = {
      {"Software\\Melodara\\UpdateInfoTag", "Software\\Melodara", "UpdateInfoTag"},
      {"\\\\Software\\Melodara\\\\UpdateInfoTag", "Software\\Melodara", "UpdateInfoTag"},
      {"UpdateInfoTag", "", "UpdateInfoTag"},
  };
  for (const Case& c : trimmed) {
    RegPath p = SplitRegPathTrimmed(c.path);
    EXPECT_EQ(c.subkey, p.subkey) << c.path;
    EXPECT_EQ(c.name, p.name) << c.path;
  }
  const Case plain[] = {
      {"Software\\Melodara\\UpdateInfoTag", "Software\\Melodara", "UpdateInfoTag"},
      {"Software\\Melodara\\\\Tag", "Software\\Melodara\\", "Tag"},
      {"Tag", "Tag", "Tag"},
  };
  for (const Case& c : plain) {
    RegPath p = SplitRegPathPlain(c.path);
    EXPECT_EQ(c.subkey, p.subkey) << c.path;
    EXPECT_EQ(c.name, p.name) << c.path;
  }
}

TEST_F(RegValues, EachKindRoundTripsWithItsTypeAndSize) {
  CRegStringValue text(Path("Text"), "none");
  text.Set("Skins\\Blue");
  CRegStdStringValue stdText(Path("StdText"), "none");
  stdText.Set("abc");
  CRegRectValue rect(Path("Rect"), RECT{1, 2, 3, 4});
  rect.Set(RECT{-10, 20, 300, 400});
  CRegPointValue point(Path("Point"), POINT{0, 0});
  point.Set(POINT{7, -8});
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(Query("Text", type, data));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ(std::string("Skins\\Blue\0", 11), data);
  ASSERT_TRUE(Query("Rect", type, data));
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
  EXPECT_EQ(16u, data.size());
  ASSERT_TRUE(Query("Point", type, data));
  EXPECT_EQ(8u, data.size());
  EXPECT_EQ("Skins\\Blue", CRegStringValue(Path("Text"), "").Get());
  CRegStdStringValue readBack(Path("StdText"), "");
  EXPECT_STREQ("abc", readBack.GetPtr());
  const RECT r = CRegRectValue(Path("Rect"), RECT{}).Get();
  EXPECT_EQ(-10, r.left);
  EXPECT_EQ(400, r.bottom);
  const POINT p = CRegPointValue(Path("Point"), POINT{}).Get();
  EXPECT_EQ(7, p.x);
  EXPECT_EQ(-8, p.y);
  EXPECT_EQ(0u, CRegStdValue(Path("Missing"), 0).Get());
}

TEST_F(RegValues, ValuesOfTheWrongTypeOrSizeReadAsTheDefault) {
  const char shortBinary[6] = {1, 2, 3, 4, 5, 6};
  Store("ShortRect", REG_BINARY, shortBinary, sizeof(shortBinary));
  Store("ShortPoint", REG_BINARY, shortBinary, 4);
  Store("WideDword", REG_BINARY, shortBinary, sizeof(shortBinary));
  const DWORD number = 3;
  Store("NumberAsText", REG_DWORD, &number, sizeof(number));
  EXPECT_EQ(9, CRegRectValue(Path("ShortRect"), RECT{9, 9, 9, 9}).Get().left);
  EXPECT_EQ(9, CRegPointValue(Path("ShortPoint"), POINT{9, 9}).Get().x);
  EXPECT_EQ(9u, CRegValue(Path("WideDword"), 9).Get());
  EXPECT_EQ("dflt", CRegStringValue(Path("NumberAsText"), "dflt").Get());
}

}  // namespace
