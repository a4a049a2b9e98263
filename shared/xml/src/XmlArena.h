// The memory one parsed document's nodes, names, texts and arrays come from:
// a few large chunks taken from the heap as the reader needs them and given
// back all at once, so that neither reading nor freeing a large tree pays an
// allocation per node and per text.
//
// Nothing in the arena is freed on its own. The arena counts a reference for
// each node made in it that is still alive (XmlNodeBlock::arena) and one for
// the reader while it runs; the last Release frees every chunk, or keeps a few
// for the next document (XmlArena.cpp says why). A handle kept on one child
// therefore keeps the whole document's memory, not only its subtree's. Like
// the node handles, an arena belongs to one thread at a time; the chunks kept
// between documents are shared under a lock.
#pragma once

#include <cstddef>

class XmlArena {
 public:
  // firstChunk is a guess at what the document will need (its text's length);
  // null when not even that can be had. The caller holds the one reference.
  static XmlArena* Create(size_t firstChunk);
  static void AddRef(XmlArena* arena) { ++arena->refs_; }
  static void Release(XmlArena* arena);

  // Null when memory runs out; the memory is not cleared.
  template <typename T>
  T* Allocate(size_t count) {
    if (count > kMaxRequest / sizeof(T)) return nullptr;
    return static_cast<T*>(Allocate(count * sizeof(T), alignof(T)));
  }
  // n bytes and a NUL, or null.
  char* CopyText(const char* text, size_t n);

  XmlArena(const XmlArena&) = delete;
  XmlArena& operator=(const XmlArena&) = delete;

 private:
  // A chunk's header; its size bytes (and room to align the first) follow.
  struct Chunk {
    Chunk* next;
    size_t size;
  };
  static constexpr size_t kMaxRequest = static_cast<size_t>(1) << 40;

  XmlArena() = default;
  ~XmlArena() = default;
  void* Allocate(size_t size, size_t align);
  // A chunk with room for size bytes at any alignment, in the arena's list.
  Chunk* NewChunk(size_t size);

  Chunk* chunks_ = nullptr;
  char* cursor_ = nullptr;  // the free space small requests are served from
  char* end_ = nullptr;
  int refs_ = 1;
};
