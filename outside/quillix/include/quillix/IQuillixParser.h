#pragma once
// QuillixLib.dll: reads the song an audio file carries in its song block
// (see SongBlock.h). Made by the export CreateIQuillixParser(1) (any other
// version gives null) and destroyed with Release. Slot order is a contract.
#include <cstdint>

class IQuillixParser {
 public:
  virtual void Release() = 0;
  // Nonzero when the file carries a valid block with a song ("EXIF") chunk.
  // Independent of Open.
  virtual int HasEmbeddedSong(const char* path) = 0;
  // Reads the file's whole block into memory; 0 on success, 1 without one.
  virtual int Open(const char* path) = 0;
  // With a null buffer: the chunk's length in bytes (0 when absent). With a
  // buffer: copies the whole chunk (the caller asked the length first) and
  // returns the bytes copied.
  virtual int ReadChunk(uint32_t tag, void* buffer) = 0;

 protected:
  ~IQuillixParser() = default;
};

using CreateIQuillixParserFn = IQuillixParser* (*)(int version);
