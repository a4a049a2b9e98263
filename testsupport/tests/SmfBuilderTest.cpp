#include "testsupport/SmfBuilder.h"

#include <gtest/gtest.h>

#include "testsupport/TempDir.h"

namespace testsupport {
namespace {

TEST(SmfBuilder, VariableLengthQuantities) {
  struct Case {
    uint32_t value;
    Bytes bytes;
  } cases[] = {
      {0, {0x00}},
      {0x7F, {0x7F}},
      {0x80, {0x81, 0x00}},
      {200, {0x81, 0x48}},
      {16384, {0x81, 0x80, 0x00}},
      {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}},
  };
  for (const Case& c : cases) EXPECT_EQ(Vlq(c.value), c.bytes) << c.value;
}

TEST(SmfBuilder, HeaderAndTrackChunk) {
  Bytes file =
      Cat({Header(0, 1, 120),
           TrackBuilder().Event(0, {0x90, 0x3C, 0x40}).Event(120, {0x3C, 0x00}).EndOfTrack().Chunk()});
  Bytes expected = {'M',  'T',  'h',  'd',  0,    0,    0,    6,    0,    0,    0,
                    1,    0,    120,  'M',  'T',  'r',  'k',  0,    0,    0,    11,
                    0x00, 0x90, 0x3C, 0x40, 0x78, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00};
  EXPECT_EQ(file, expected);
}

TEST(SmfBuilder, FilesRoundTripThroughATempFolder) {
  std::string path;
  {
    TempDir dir;
    path = dir.File("song.mid");
    Bytes bytes = Header(1, 2, 480);
    ASSERT_TRUE(WriteBytes(path, bytes));
    EXPECT_EQ(ReadBytes(path), bytes);
  }
  EXPECT_TRUE(ReadBytes(path).empty()) << "the folder goes with the TempDir";
}

}  // namespace
}  // namespace testsupport
