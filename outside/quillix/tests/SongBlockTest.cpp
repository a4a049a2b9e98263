// The song block: what the writer makes the reader finds, chunk for chunk;
// any inconsistency means no block at all.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

#include "CQuillixParser.h"
#include "base/Library.h"
#include "quillix/SongBlock.h"
#include "testsupport/TempDir.h"

namespace {

using quillix::BuildSongBlock;
using quillix::SongChunkData;
using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::string Write(const testsupport::TempDir& dir, const char* name, const Bytes& bytes) {
  std::string path = dir.File(name);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  return path;
}

Bytes Packed(const Bytes& audio, const std::vector<SongChunkData>& chunks) {
  Bytes out = audio;
  Bytes block = BuildSongBlock(chunks);
  out.insert(out.end(), block.begin(), block.end());
  return out;
}

TEST(SongBlock, TheParserReadsWhatTheWriterWrote) {
  testsupport::TempDir dir;
  Bytes audio(1000, 0xFF);
  Bytes song = Text("MThd-and-the-rest");
  std::string path = Write(dir, "song.mp3",
                           Packed(audio, {{quillix::kTagSong, song},
                                          {quillix::kTagOffset, {0x18, 0xFC, 0xFF, 0xFF}},  // -1000
                                          {quillix::kTagTitle, Text("Title")},
                                          {quillix::kTagTitle, Text("second title: ignored")},
                                          {quillix::kTagAlbum, {}}}));
  CQuillixParser parser;
  EXPECT_EQ(parser.HasEmbeddedSong(path.c_str()), 1);
  ASSERT_EQ(parser.Open(path.c_str()), 0);
  ASSERT_EQ(parser.ReadChunk(quillix::kTagSong, nullptr), int(song.size()));
  Bytes read(song.size());
  EXPECT_EQ(parser.ReadChunk(quillix::kTagSong, read.data()), int(song.size()));
  EXPECT_EQ(read, song);
  int32_t offset = 0;
  ASSERT_EQ(parser.ReadChunk(quillix::kTagOffset, nullptr), 4);
  parser.ReadChunk(quillix::kTagOffset, &offset);
  EXPECT_EQ(offset, -1000);
  char title[6] = {};
  EXPECT_EQ(parser.ReadChunk(quillix::kTagTitle, title), 5) << "the first chunk of a tag wins";
  EXPECT_STREQ(title, "Title");
  EXPECT_EQ(parser.ReadChunk(quillix::kTagAlbum, nullptr), 0);
  EXPECT_EQ(parser.ReadChunk(quillix::kTagSinger, nullptr), 0);

  quillix::SongBlockLayout layout;
  Bytes all = Packed(audio, {{quillix::kTagSong, song}});
  ASSERT_TRUE(quillix::ReadSongBlockLayout(all.data(), all.size(), &layout));
  EXPECT_EQ(layout.audioEnd, audio.size());
}

TEST(SongBlock, DamagedBlocksAreNoBlocks) {
  testsupport::TempDir dir;
  Bytes audio(500, 0x11);
  Bytes good = Packed(audio, {{quillix::kTagSong, Text("song")}, {quillix::kTagTitle, Text("t")}});
  auto patched = [&](size_t fromEnd, Bytes bytes) {
    Bytes out = good;
    std::copy(bytes.begin(), bytes.end(), out.end() - fromEnd);
    return out;
  };
  struct Case {
    const char* what;
    Bytes bytes;
    int hasSong;
  } cases[] = {
      {"good", good, 1},
      {"no song chunk", Packed(audio, {{quillix::kTagTitle, Text("t")}}), 0},
      {"an empty song chunk still counts", Packed(audio, {{quillix::kTagSong, {}}}), 1},
      {"bad magic", patched(16, Text("MELOSONX")), 0},
      {"version 2", patched(4, {2, 0, 0, 0}), 0},
      {"area longer than the file", patched(8, {0xFF, 0xFF, 0, 0}), 0},
      {"area one byte short", patched(8, {20, 0, 0, 0}), 0},
      {"a chunk overrunning the area", patched(16 + 9 - 4, {200, 0, 0, 0}), 0},
      {"footer alone", Bytes(good.end() - 16, good.end()), 0},
      {"shorter than a footer", Bytes(10, 0), 0},
      {"empty file", {}, 0},
  };
  for (const Case& c : cases) {
    std::string path = Write(dir, "case.bin", c.bytes);
    CQuillixParser parser;
    EXPECT_EQ(parser.HasEmbeddedSong(path.c_str()), c.hasSong) << c.what;
    if (!c.hasSong) {
      EXPECT_EQ(parser.ReadChunk(quillix::kTagSong, nullptr), 0) << c.what;
    }
  }
  CQuillixParser parser;
  EXPECT_EQ(parser.HasEmbeddedSong(dir.File("missing.mp3").c_str()), 0);
  EXPECT_EQ(parser.Open(dir.File("missing.mp3").c_str()), 1);
}

// A block of many empty chunks: the area is read once, and a block of more
// chunks than the bound is no block, whatever its size.
TEST(SongBlock, ManyChunksAreBoundedAndReadAtOnce) {
  testsupport::TempDir dir;
  Bytes audio(300, 0x22);
  auto emptyChunks = [&](size_t count) {
    std::vector<SongChunkData> chunks(1, SongChunkData{quillix::kTagSong, Text("song")});
    chunks.resize(count, SongChunkData{quillix::kTagTitle, {}});
    return Packed(audio, chunks);
  };
  // 8 MB of zeros: a million chunks of tag 0 and length 0, then the footer.
  Bytes zeros = audio;
  zeros.resize(audio.size() + 8 * 1024 * 1024, 0);
  Bytes footer = BuildSongBlock({});
  std::copy(footer.begin(), footer.begin() + 8, std::back_inserter(zeros));
  for (int i = 0; i < 4; ++i) zeros.push_back(uint8_t((8u * 1024 * 1024) >> (8 * i)));
  zeros.insert(zeros.end(), {1, 0, 0, 0});
  struct Case {
    const char* what;
    Bytes bytes;
    size_t chunks;  // 0: no block
  } cases[] = {
      {"as many chunks as allowed", emptyChunks(quillix::kSongBlockMaxChunks), quillix::kSongBlockMaxChunks},
      {"one more", emptyChunks(quillix::kSongBlockMaxChunks + 1), 0},
      {"8 MB of empty chunks", zeros, 0},
  };
  for (const Case& c : cases) {
    int reads = 0;
    quillix::SongBlockLayout layout;
    std::vector<uint8_t> area;
    const Bytes& bytes = c.bytes;
    bool found = quillix::ReadSongBlockLayout(
        bytes.size(),
        [&](uint64_t offset, uint8_t* out, uint32_t count) {
          ++reads;
          if (offset > bytes.size() || count > bytes.size() - offset) return false;
          std::memcpy(out, bytes.data() + offset, count);
          return true;
        },
        &layout, &area);
    EXPECT_EQ(found, c.chunks > 0) << c.what;
    EXPECT_LE(reads, 2) << c.what;
    EXPECT_EQ(layout.chunks.size(), c.chunks) << c.what;
    if (found) {
      EXPECT_EQ(area.size(), bytes.size() - audio.size() - quillix::kSongBlockFooterSize) << c.what;
    }
    quillix::SongBlockLayout inMemory;
    EXPECT_EQ(quillix::ReadSongBlockLayout(bytes.data(), bytes.size(), &inMemory), found) << c.what;
    EXPECT_EQ(inMemory.chunks.size(), c.chunks) << c.what;

    std::string path = Write(dir, "many.mp3", bytes);
    CQuillixParser parser;
    EXPECT_EQ(parser.HasEmbeddedSong(path.c_str()), found ? 1 : 0) << c.what;
    ASSERT_EQ(parser.Open(path.c_str()), found ? 0 : 1) << c.what;
    EXPECT_EQ(parser.ReadChunk(quillix::kTagSong, nullptr), found ? 4 : 0) << c.what;
  }
}

TEST(SongBlock, TheLibraryMakesParsersOfVersionOneOnly) {
  base::Library library("QuillixLib.dll");
  ASSERT_TRUE(library);
  auto create = library.Find<CreateIQuillixParserFn>("CreateIQuillixParser");
  ASSERT_NE(create, nullptr);
  EXPECT_EQ(create(2), nullptr);
  EXPECT_EQ(create(0), nullptr);
  IQuillixParser* parser = create(1);
  ASSERT_NE(parser, nullptr);
  EXPECT_EQ(parser->HasEmbeddedSong("no such file"), 0);
  parser->Release();
}

}  // namespace
