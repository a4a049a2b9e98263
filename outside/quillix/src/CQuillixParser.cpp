#include "CQuillixParser.h"

#include <windows.h>

#include <cstring>

#include "base/Handles.h"

void CQuillixParser::Release() { delete this; }

bool CQuillixParser::ReadBlock(const char* path, std::vector<uint8_t>* block,
                               quillix::SongBlockLayout* layout) {
  if (!path) return false;
  base::ScopedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.Get(), &size)) return false;
  auto readAt = [&](uint64_t offset, uint8_t* out, uint32_t count) {
    LARGE_INTEGER at;
    at.QuadPart = LONGLONG(offset);
    DWORD got = 0;
    return SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) &&
           ReadFile(file.Get(), out, count, &got, nullptr) && got == count;
  };
  // The area is read once and walked in memory: a read per chunk head made a
  // block of many empty chunks take seconds.
  quillix::SongBlockLayout found;
  std::vector<uint8_t> bytes;
  if (!quillix::ReadSongBlockLayout(uint64_t(size.QuadPart), readAt, &found, &bytes)) return false;
  *block = std::move(bytes);
  *layout = std::move(found);
  return true;
}

int CQuillixParser::HasEmbeddedSong(const char* path) {
  std::vector<uint8_t> block;
  quillix::SongBlockLayout layout;
  return ReadBlock(path, &block, &layout) && layout.Find(quillix::kTagSong) ? 1 : 0;
}

int CQuillixParser::Open(const char* path) {
  block_.clear();
  layout_ = quillix::SongBlockLayout{};
  return ReadBlock(path, &block_, &layout_) ? 0 : 1;
}

int CQuillixParser::ReadChunk(uint32_t tag, void* buffer) {
  const quillix::SongChunk* chunk = layout_.Find(tag);
  if (!chunk) return 0;
  if (buffer) std::memcpy(buffer, block_.data() + (chunk->offset - layout_.audioEnd), chunk->length);
  return int(chunk->length);
}
