#include <gtest/gtest.h>

#include <string>

#include "app/CURLEncoder.h"

namespace {

std::string Str(const CString& s) { return std::string(static_cast<LPCSTR>(s), s.GetLength()); }

TEST(URLEncoder, EncodesReservedCharactersOnly) {
  struct Case {
    const char* text;
    const char* encoded;
  } const cases[] = {
      {"", ""},
      {" ", "%20"},
      {"%", "%25"},
      {"\xE9", "%E9"},
      {"|", "%7C"},
      {"{", "{"},  // below the high range and not punctuation of the table
      {"a-b.c_(d)*", "a-b.c_(d)*"},
      {"a b&c=d", "a%20b%26c%3Dd"},
      {"%41", "%2541"},
      {"\x01\x7F\xFF", "%01%7F%FF"},
  };
  CURLEncoder encoder;
  for (const Case& c : cases) {
    EXPECT_EQ(Str(encoder.Encode(c.text)), c.encoded) << c.text;
    EXPECT_EQ(Str(encoder.Decode(c.encoded)), c.text) << c.encoded;
  }
}

TEST(URLEncoder, DecodeLeavesEscapesOutsideTheTable) {
  CURLEncoder encoder;
  EXPECT_EQ(Str(encoder.Decode("%41")), "%41");
  EXPECT_EQ(Str(encoder.Decode("%e9")), "%e9");
  EXPECT_EQ(Str(encoder.Decode("%2525")), "%25");
  EXPECT_EQ(Str(encoder.Decode("%")), "%");
}

TEST(URLEncoder, RoundTripsEveryByteAndEscapeLookalikes) {
  CURLEncoder encoder;
  std::string all;
  for (int c = 1; c <= 255; ++c) all += static_cast<char>(c);
  const std::string texts[] = {all, "%41", "%2525", "100%", "%%25%E9%e9", all + "%20" + all};
  for (const std::string& text : texts) {
    const CString encoded = encoder.Encode(text.c_str());
    const std::string e = Str(encoded);
    for (char c : e) {
      const bool literalOk = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                             std::string("%-._()*{").find(c) != std::string::npos;
      EXPECT_TRUE(literalOk) << "byte " << static_cast<int>(static_cast<unsigned char>(c));
    }
    EXPECT_EQ(Str(encoder.Decode(encoded)), text);
  }
}

}  // namespace
