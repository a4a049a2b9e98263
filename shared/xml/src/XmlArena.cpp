#include "XmlArena.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Chunks grow with the arena (each as large as all before it) between these
// bounds, so a small document takes one chunk and a large one a few. Small
// chunks cost more than their count under Wine: its heap gives medium blocks
// back to the system one at a time, and freeing a 5 MB document's tree in
// 32 KB chunks took longer than reading it.
constexpr size_t kMinChunk = 4096;
constexpr size_t kMaxChunk = static_cast<size_t>(16) << 20;

size_t Clamp(size_t n) { return n < kMinChunk ? kMinChunk : n > kMaxChunk ? kMaxChunk : n; }

}  // namespace

XmlArena* XmlArena::Create(size_t firstChunk) {
  void* memory = malloc(sizeof(XmlArena));
  if (!memory) return nullptr;
  XmlArena* arena = new (memory) XmlArena();
  if (!arena->Grow(Clamp(firstChunk), alignof(std::max_align_t))) {
    arena->~XmlArena();
    free(memory);
    return nullptr;
  }
  return arena;
}

void XmlArena::Release(XmlArena* arena) {
  if (--arena->refs_ > 0) return;
  for (Chunk* c = arena->chunks_; c;) {
    Chunk* next = c->next;
    free(c);
    c = next;
  }
  arena->~XmlArena();
  free(arena);
}

bool XmlArena::Grow(size_t size, size_t align) {
  if (size > kMaxRequest) return false;
  Chunk* chunk = static_cast<Chunk*>(malloc(sizeof(Chunk) + size + align));
  if (!chunk) return false;
  chunk->next = chunks_;
  chunks_ = chunk;
  total_ += sizeof(Chunk) + size + align;
  cursor_ = reinterpret_cast<char*>(chunk + 1);
  end_ = cursor_ + size + align;
  return true;
}

void* XmlArena::Allocate(size_t size, size_t align) {
  uintptr_t at = (reinterpret_cast<uintptr_t>(cursor_) + (align - 1)) & ~static_cast<uintptr_t>(align - 1);
  if (at <= reinterpret_cast<uintptr_t>(end_) &&
      size <= static_cast<size_t>(reinterpret_cast<uintptr_t>(end_) - at)) {
    cursor_ = reinterpret_cast<char*>(at + size);
    return reinterpret_cast<void*>(at);
  }
  const size_t ordinary = Clamp(total_);
  if (size > ordinary / 4) {
    // A large text gets a chunk of its own, and what is left of the current
    // chunk stays for the small things after it.
    if (size > kMaxRequest) return nullptr;
    Chunk* chunk = static_cast<Chunk*>(malloc(sizeof(Chunk) + size + align));
    if (!chunk) return nullptr;
    chunk->next = chunks_;
    chunks_ = chunk;
    total_ += sizeof(Chunk) + size + align;
    uintptr_t start = reinterpret_cast<uintptr_t>(chunk + 1);
    return reinterpret_cast<void*>((start + (align - 1)) & ~static_cast<uintptr_t>(align - 1));
  }
  if (!Grow(ordinary, align)) return nullptr;
  return Allocate(size, align);
}

char* XmlArena::CopyText(const char* text, size_t n) {
  if (n >= kMaxRequest) return nullptr;
  char* copy = static_cast<char*>(Allocate(n + 1, 1));
  if (!copy) return nullptr;
  memcpy(copy, text, n);
  copy[n] = 0;
  return copy;
}
