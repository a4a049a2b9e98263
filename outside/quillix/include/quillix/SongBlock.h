#pragma once
// The song block: a song and its information appended to an audio file as a
// trailer of our own, after the audio data, so every audio format keeps
// playing (their parsers use their own sizes; the MP3 parser stops at it).
//
//   [audio bytes]
//   [chunk]...   tag (4 characters in file order, e.g. "EXIF"; as a
//                little-endian 32-bit value 0x46495845), length (uint32 LE),
//                data (length bytes), no padding
//   [footer]     "MELOSONG", chunk-area length (uint32 LE), version (uint32 LE, 1)
//
// A block is valid only when the magic and version match, the area fits in
// the file and the chunks, walked from the area's start, end exactly at its
// end. Anything else means "no block" and the whole file is audio.
// Header-only: the audio library and the song-block library share it.
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace quillix {

constexpr uint32_t kSongBlockFooterSize = 16;
constexpr uint32_t kSongBlockVersion = 1;
constexpr char kSongBlockMagic[8] = {'M', 'E', 'L', 'O', 'S', 'O', 'N', 'G'};

constexpr uint32_t SongBlockTag(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
         uint32_t(uint8_t(d)) << 24;
}
constexpr uint32_t kTagSong = SongBlockTag('E', 'X', 'I', 'F');    // a Standard MIDI File
constexpr uint32_t kTagOffset = SongBlockTag('O', 'F', 'M', 'S');  // int32 LE milliseconds
constexpr uint32_t kTagTitle = SongBlockTag('S', 'N', 'T', 'L');
constexpr uint32_t kTagSinger = SongBlockTag('S', 'I', 'N', 'G');
constexpr uint32_t kTagLyricist = SongBlockTag('L', 'Y', 'R', 'C');
constexpr uint32_t kTagComposer = SongBlockTag('C', 'M', 'P', 'S');
constexpr uint32_t kTagAlbum = SongBlockTag('A', 'M', 'T', 'L');

inline uint32_t ReadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

struct SongChunk {
  uint32_t tag = 0;
  uint64_t offset = 0;  // of the data, from the start of the file
  uint32_t length = 0;
};

struct SongBlockLayout {
  uint64_t audioEnd = 0;  // where the block starts: the audio's end
  std::vector<SongChunk> chunks;

  // The first chunk with the tag wins; null when there is none.
  const SongChunk* Find(uint32_t tag) const {
    for (const SongChunk& chunk : chunks)
      if (chunk.tag == tag) return &chunk;
    return nullptr;
  }
};

// Finds the block of a file of fileSize bytes. readAt(offset, buffer, count)
// reads exactly count bytes at offset and returns false when it cannot. Only
// the footer and the eight-byte chunk heads are read. False when the file has
// no valid block; layout is then left alone.
template <typename ReadAt>
bool ReadSongBlockLayout(uint64_t fileSize, ReadAt&& readAt, SongBlockLayout* layout) {
  if (fileSize < kSongBlockFooterSize) return false;
  uint8_t footer[kSongBlockFooterSize];
  if (!readAt(fileSize - kSongBlockFooterSize, footer, kSongBlockFooterSize)) return false;
  if (std::memcmp(footer, kSongBlockMagic, sizeof kSongBlockMagic) != 0) return false;
  uint64_t areaLength = ReadLe32(footer + 8);
  if (ReadLe32(footer + 12) != kSongBlockVersion) return false;
  if (areaLength > fileSize - kSongBlockFooterSize) return false;
  uint64_t areaStart = fileSize - kSongBlockFooterSize - areaLength;
  uint64_t areaEnd = areaStart + areaLength;
  SongBlockLayout found;
  found.audioEnd = areaStart;
  for (uint64_t at = areaStart; at != areaEnd;) {
    if (areaEnd - at < 8) return false;
    uint8_t head[8];
    if (!readAt(at, head, 8)) return false;
    SongChunk chunk;
    chunk.tag = ReadLe32(head);
    chunk.length = ReadLe32(head + 4);
    chunk.offset = at + 8;
    if (chunk.length > areaEnd - chunk.offset) return false;
    found.chunks.push_back(chunk);
    at = chunk.offset + chunk.length;
  }
  *layout = std::move(found);
  return true;
}

// The same over bytes already in memory.
inline bool ReadSongBlockLayout(const uint8_t* bytes, uint64_t size, SongBlockLayout* layout) {
  return ReadSongBlockLayout(
      size,
      [bytes, size](uint64_t offset, uint8_t* out, uint32_t count) {
        if (offset > size || count > size - offset) return false;
        std::memcpy(out, bytes + offset, count);
        return true;
      },
      layout);
}

// The writer: the chunks in order, then the footer. Texts go in without a
// terminating NUL; an offset ("OFMS") is exactly 4 bytes.
struct SongChunkData {
  uint32_t tag;
  std::vector<uint8_t> data;
};

inline std::vector<uint8_t> BuildSongBlock(const std::vector<SongChunkData>& chunks) {
  std::vector<uint8_t> block;
  auto put32 = [&block](uint64_t v) {
    for (int i = 0; i < 4; ++i) block.push_back(uint8_t(v >> (8 * i)));
  };
  for (const SongChunkData& chunk : chunks) {
    put32(chunk.tag);
    put32(chunk.data.size());
    block.insert(block.end(), chunk.data.begin(), chunk.data.end());
  }
  uint64_t area = block.size();
  block.insert(block.end(), kSongBlockMagic, kSongBlockMagic + sizeof kSongBlockMagic);
  put32(area);
  put32(kSongBlockVersion);
  return block;
}

}  // namespace quillix
