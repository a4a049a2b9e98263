#pragma once
// Saving a whole file without ever leaving a partial one: songs, play lists,
// settings and downloaded updates all save this way.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace base {

// Writes bytes to a temporary file beside path (its name starts with
// tempPrefix, three characters at most) and moves it over path only after a
// complete, flushed write, so a failure (full disk, missing folder, target in
// use) leaves the old file or no file, never a partial one; the temporary is
// deleted. A path naming a device rather than a disk file is written directly.
// False on any failure.
bool SaveFileReplacing(const char* path, const void* bytes, size_t size, const char* tempPrefix = "mel");
inline bool SaveFileReplacing(const char* path, const std::vector<uint8_t>& bytes,
                              const char* tempPrefix = "mel") {
  return SaveFileReplacing(path, bytes.data(), bytes.size(), tempPrefix);
}

}  // namespace base
