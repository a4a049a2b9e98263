#pragma once
// A read-only view of a whole file, so parsers walk bytes with every offset
// checked against size and nothing is copied.
#include <windows.h>

#include <cstdint>

#include "base/Handles.h"

namespace soundlib {

class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  bool Open(const char* path);
  const uint8_t* Data() const { return data_; }
  uint64_t Size() const { return size_; }

 private:
  base::ScopedHandle file_;
  base::ScopedHandle mapping_;
  const uint8_t* data_ = nullptr;
  uint64_t size_ = 0;
};

// Where the audio of a file ends: at an appended song block, else at its end.
uint64_t AudioEnd(const uint8_t* data, uint64_t size);

}  // namespace soundlib
