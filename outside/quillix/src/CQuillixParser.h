#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "quillix/IQuillixParser.h"
#include "quillix/SongBlock.h"

// The whole block is taken into memory at Open, so the length a caller asks
// for and the bytes it then copies always agree, whatever happens to the file.
class CQuillixParser : public IQuillixParser {
 public:
  void Release() override;
  int HasEmbeddedSong(const char* path) override;
  int Open(const char* path) override;
  int ReadChunk(uint32_t tag, void* buffer) override;
  virtual ~CQuillixParser() = default;

  // The file's block, or false.
  static bool ReadBlock(const char* path, std::vector<uint8_t>* block, quillix::SongBlockLayout* layout);

 private:
  std::vector<uint8_t> block_;  // the chunk area
  quillix::SongBlockLayout layout_;
};
