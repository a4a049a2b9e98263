#include "MappedFile.h"

#include "quillix/SongBlock.h"

namespace soundlib {

MappedFile::~MappedFile() {
  if (data_) UnmapViewOfFile(data_);
}

bool MappedFile::Open(const char* path) {
  file_.Attach(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file_.Get(), &size) || size.QuadPart <= 0) return false;
  // An empty file cannot be mapped; it is no sound either.
  mapping_.Attach(CreateFileMappingA(file_.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping_) return false;
  data_ = static_cast<const uint8_t*>(MapViewOfFile(mapping_.Get(), FILE_MAP_READ, 0, 0, 0));
  if (!data_) return false;
  size_ = uint64_t(size.QuadPart);
  return true;
}

uint64_t AudioEnd(const uint8_t* data, uint64_t size) {
  quillix::SongBlockLayout layout;
  if (quillix::ReadSongBlockLayout(data, size, &layout)) return layout.audioEnd;
  return size;
}

}  // namespace soundlib
