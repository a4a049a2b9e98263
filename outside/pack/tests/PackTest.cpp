// The pack program run as the song maker runs it: a song and its
// information go into a copy of the audio; failures leave no output and
// never touch the input.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "CQuillixParser.h"
#include "testsupport/Pack.h"
#include "testsupport/TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;
using testsupport::RunPack;

Bytes ReadAll(const std::string& path) {
  Bytes bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return bytes;
  int c;
  while ((c = std::fgetc(file)) != EOF) bytes.push_back(uint8_t(c));
  std::fclose(file);
  return bytes;
}

void Write(const std::string& path, const std::string& text) {
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Chunk(CQuillixParser& parser, uint32_t tag) {
  int length = parser.ReadChunk(tag, nullptr);
  std::string text(size_t(length), '\0');
  if (length) parser.ReadChunk(tag, &text[0]);
  return text;
}

class Pack : public ::testing::Test {
 protected:
  void SetUp() override {
    audio = dir.File("song.mp3");
    Write(audio, std::string(3000, '\xFF'));
    Write(dir.File("song.mid"), "MThd-song");
    Write(dir.File("song.ini"),
          "[SETTING]\nOffSetTime = -250\nSongTitle = A title\nSinger = \nLyricer = Someone\nComposier = "
          "C\nAlbumTitle = ");
    CreateDirectoryA(dir.File("out").c_str(), nullptr);
  }
  testsupport::TempDir dir;
  std::string audio;
};

TEST_F(Pack, PacksTheSongAndItsInformationAndRepacksInPlace) {
  ASSERT_EQ(RunPack(audio + " " + dir.File("out")), 0);
  std::string packed = dir.File("out\\song.mp3");
  CQuillixParser parser;
  ASSERT_EQ(parser.HasEmbeddedSong(packed.c_str()), 1);
  ASSERT_EQ(parser.Open(packed.c_str()), 0);
  EXPECT_EQ(Chunk(parser, quillix::kTagSong), "MThd-song");
  int32_t offset = 0;
  ASSERT_EQ(parser.ReadChunk(quillix::kTagOffset, nullptr), 4);
  parser.ReadChunk(quillix::kTagOffset, &offset);
  EXPECT_EQ(offset, -250);
  EXPECT_EQ(Chunk(parser, quillix::kTagTitle), "A title");
  EXPECT_EQ(Chunk(parser, quillix::kTagLyricist), "Someone");
  EXPECT_EQ(Chunk(parser, quillix::kTagComposer), "C");
  EXPECT_EQ(parser.ReadChunk(quillix::kTagSinger, nullptr), 0) << "empty values are left out";
  Bytes first = ReadAll(packed);
  ASSERT_EQ(Bytes(first.begin(), first.begin() + 3000), Bytes(3000, 0xFF));

  // Packing the packed file again, into its own folder: one block, new song.
  Write(dir.File("out\\song.mid"), "MThd-new");
  Write(dir.File("out\\song.ini"), "[SETTING]\nOffSetTime = 7\n");
  ASSERT_EQ(RunPack(packed + " " + dir.File("out")), 0);
  CQuillixParser again;
  ASSERT_EQ(again.Open(packed.c_str()), 0);
  EXPECT_EQ(Chunk(again, quillix::kTagSong), "MThd-new");
  EXPECT_EQ(Chunk(again, quillix::kTagTitle), "");
  Bytes second = ReadAll(packed);
  quillix::SongBlockLayout layout;
  ASSERT_TRUE(quillix::ReadSongBlockLayout(second.data(), second.size(), &layout));
  EXPECT_EQ(layout.audioEnd, 3000u) << "the old block was replaced, not kept as audio";
}

// What the song information says is stored as it is, or refused with exit
// code 6 and no output: never cut or wrapped around in silence.
TEST_F(Pack, SongInformationIsStoredWholeOrRefused) {
  const std::string longTitle = std::string(10000, 'x') + "END";
  struct Case {
    const char* what;
    std::string ini;
    int code;
    int32_t offset;
    std::string title;
  } cases[] = {
      {"the largest offset", "OffSetTime = 2147483647\nSongTitle = t", 0, INT32_MAX, "t"},
      {"the smallest offset", "OffSetTime=-2147483648", 0, INT32_MIN, ""},
      {"no offset", "SongTitle = t", 0, 0, "t"},
      {"a title past 4,095 bytes", "OffSetTime = 5\nSongTitle = " + longTitle, 0, 5, longTitle},
      {"an offset past 32 bits", "OffSetTime = 99999999999", 6, 0, ""},
      {"an offset one past the largest", "OffSetTime = 2147483648", 6, 0, ""},
      {"an offset one below the smallest", "OffSetTime = -2147483649", 6, 0, ""},
      {"an offset that is no number", "OffSetTime = 12ms", 6, 0, ""},
  };
  const std::string packed = dir.File("out\\song.mp3");
  for (const Case& c : cases) {
    DeleteFileA(packed.c_str());
    Write(dir.File("song.ini"), "[SETTING]\n" + c.ini + "\n");
    ASSERT_EQ(RunPack(audio + " " + dir.File("out")), c.code) << c.what;
    if (c.code != 0) {
      EXPECT_FALSE(Exists(packed)) << c.what;
      continue;
    }
    CQuillixParser parser;
    ASSERT_EQ(parser.Open(packed.c_str()), 0) << c.what;
    int32_t offset = 7;
    ASSERT_EQ(parser.ReadChunk(quillix::kTagOffset, nullptr), 4) << c.what;
    parser.ReadChunk(quillix::kTagOffset, &offset);
    EXPECT_EQ(offset, c.offset) << c.what;
    EXPECT_EQ(Chunk(parser, quillix::kTagTitle), c.title) << c.what;
  }
}

TEST_F(Pack, FailuresLeaveNoOutputAndTheInputAlone) {
  Bytes before = ReadAll(audio);
  struct Case {
    const char* what;
    std::string arguments;
    const char* removeFirst;
    int code;
  } cases[] = {
      {"no arguments", "", nullptr, 1},
      {"one argument", audio, nullptr, 1},
      {"missing output folder", audio + " " + dir.File("nowhere"), nullptr, 5},
      {"missing audio", dir.File("other.mp3") + " " + dir.File("out"), nullptr, 2},
      {"missing song information", audio + " " + dir.File("out"), "song.ini", 4},
      {"missing song", audio + " " + dir.File("out"), "song.mid", 3},
  };
  for (const Case& c : cases) {
    if (c.removeFirst) DeleteFileA(dir.File(c.removeFirst).c_str());
    EXPECT_EQ(RunPack(c.arguments), c.code) << c.what;
    EXPECT_FALSE(Exists(dir.File("out\\song.mp3"))) << c.what;
    EXPECT_EQ(ReadAll(audio), before) << c.what;
  }
}

}  // namespace
