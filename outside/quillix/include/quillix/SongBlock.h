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
#include <new>
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

// More chunks than any writer makes: seven tags are known, and the first of
// each wins. A block of more is refused, so a block of empty chunks costs no
// more to walk than a small one.
constexpr uint32_t kSongBlockMaxChunks = 256;

// The chunk area's place from the footer (the last kSongBlockFooterSize bytes
// of a file of fileSize bytes); false when it is no footer of a block that fits.
inline bool ReadSongBlockFooter(const uint8_t* footer, uint64_t fileSize, uint64_t* areaStart,
                                uint64_t* areaLength) {
  if (fileSize < kSongBlockFooterSize) return false;
  if (std::memcmp(footer, kSongBlockMagic, sizeof kSongBlockMagic) != 0) return false;
  if (ReadLe32(footer + 12) != kSongBlockVersion) return false;
  uint64_t length = ReadLe32(footer + 8);
  if (length > fileSize - kSongBlockFooterSize) return false;
  *areaStart = fileSize - kSongBlockFooterSize - length;
  *areaLength = length;
  return true;
}

// Walks the chunk area, already in memory, that starts at areaStart in the
// file. False (layout left alone) unless the chunks end exactly at the area's
// end and there are at most kSongBlockMaxChunks of them.
inline bool WalkSongBlockArea(const uint8_t* area, uint64_t areaLength, uint64_t areaStart,
                              SongBlockLayout* layout) {
  SongBlockLayout found;
  found.audioEnd = areaStart;
  for (uint64_t at = 0; at != areaLength;) {
    if (areaLength - at < 8 || found.chunks.size() == kSongBlockMaxChunks) return false;
    SongChunk chunk;
    chunk.tag = ReadLe32(area + at);
    chunk.length = ReadLe32(area + at + 4);
    if (chunk.length > areaLength - at - 8) return false;
    chunk.offset = areaStart + at + 8;
    found.chunks.push_back(chunk);
    at += 8 + uint64_t(chunk.length);
  }
  *layout = std::move(found);
  return true;
}

// Finds the block of a file of fileSize bytes. readAt(offset, buffer, count)
// reads exactly count bytes at offset and returns false when it cannot. Two
// reads at most: the footer, then the whole chunk area, which is handed out in
// *area when asked for. False when the file has no valid block (or the area
// does not fit in memory); layout and area are then left alone.
template <typename ReadAt>
bool ReadSongBlockLayout(uint64_t fileSize, ReadAt&& readAt, SongBlockLayout* layout,
                         std::vector<uint8_t>* area = nullptr) {
  if (fileSize < kSongBlockFooterSize) return false;
  uint8_t footer[kSongBlockFooterSize];
  if (!readAt(fileSize - kSongBlockFooterSize, footer, kSongBlockFooterSize)) return false;
  uint64_t areaStart = 0, areaLength = 0;
  if (!ReadSongBlockFooter(footer, fileSize, &areaStart, &areaLength)) return false;
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(size_t(areaLength));
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (areaLength && !readAt(areaStart, bytes.data(), uint32_t(areaLength))) return false;
  if (!WalkSongBlockArea(bytes.data(), areaLength, areaStart, layout)) return false;
  if (area) *area = std::move(bytes);
  return true;
}

// The same over bytes already in memory, read in place.
inline bool ReadSongBlockLayout(const uint8_t* bytes, uint64_t size, SongBlockLayout* layout) {
  uint64_t areaStart = 0, areaLength = 0;
  if (size < kSongBlockFooterSize ||
      !ReadSongBlockFooter(bytes + size - kSongBlockFooterSize, size, &areaStart, &areaLength))
    return false;
  return WalkSongBlockArea(bytes + areaStart, areaLength, areaStart, layout);
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
