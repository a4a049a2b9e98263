#include "XmlArena.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define XML_ARENA_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define XML_ARENA_ASAN 1
#endif
#if XML_ARENA_ASAN
#include <sanitizer/asan_interface.h>
#define XML_ARENA_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define XML_ARENA_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define XML_ARENA_POISON(p, n) ((void)(p), (void)(n))
#define XML_ARENA_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace {

// Past a first chunk sized to the document's text, an arena grows by whole
// chunks of this size; a larger request gets a chunk of its own. Small chunks
// would cost more than their count under Wine, whose heap gives medium blocks
// back to the system one at a time: a 5 MB document's tree freed in 32 KB
// chunks took longer than reading it.
constexpr size_t kChunk = static_cast<size_t>(1) << 20;
constexpr size_t kMinChunk = 4096;
constexpr size_t kSlack = alignof(std::max_align_t);  // room to align the first item

// Chunks a freed arena leaves for the next one. Memory fresh from the system
// costs a page fault on the first touch of every 4 KB, and under Wine on a
// busy host those faults were four fifths of reading a large document; a
// chunk used before costs none. At most kKept chunks wait here (one 16 MB
// tree's worth), for the life of the process. Under AddressSanitizer a chunk
// is poisoned while it waits, so that a pointer into a freed document still
// fails when used.
constexpr int kKept = 16;

struct KeptChunks {
  std::mutex lock;
  void* chunks[kKept];
  int count = 0;
};

// Made on first use and never destroyed: a document freed on another thread
// while the process exits still finds it.
KeptChunks& Kept() {
  alignas(KeptChunks) static unsigned char storage[sizeof(KeptChunks)];
  static KeptChunks* kept = new (storage) KeptChunks();
  return *kept;
}

// bytes is the whole chunk's, header and all: the span poisoned while it waits.
void* TakeKept(size_t bytes) {
  KeptChunks& kept = Kept();
  void* chunk = nullptr;
  {
    std::lock_guard<std::mutex> hold(kept.lock);
    if (kept.count > 0) chunk = kept.chunks[--kept.count];
  }
  if (chunk) XML_ARENA_UNPOISON(chunk, bytes);
  return chunk;
}

bool Keep(void* chunk, size_t bytes) {
  KeptChunks& kept = Kept();
  std::lock_guard<std::mutex> hold(kept.lock);
  if (kept.count == kKept) return false;
  XML_ARENA_POISON(chunk, bytes);
  kept.chunks[kept.count++] = chunk;
  return true;
}

}  // namespace

XmlArena* XmlArena::Create(size_t firstChunk) {
  void* memory = malloc(sizeof(XmlArena));
  if (!memory) return nullptr;
  XmlArena* arena = new (memory) XmlArena();
  size_t size = firstChunk < kMinChunk ? kMinChunk : firstChunk > kChunk ? kChunk : firstChunk;
  Chunk* chunk = arena->NewChunk(size);
  if (!chunk) {
    arena->~XmlArena();
    free(memory);
    return nullptr;
  }
  arena->cursor_ = reinterpret_cast<char*>(chunk + 1);
  arena->end_ = arena->cursor_ + size + kSlack;
  return arena;
}

void XmlArena::Release(XmlArena* arena) {
  if (--arena->refs_ > 0) return;
  for (Chunk* c = arena->chunks_; c;) {
    Chunk* next = c->next;
    if (c->size != kChunk || !Keep(c, sizeof(Chunk) + kChunk + kSlack)) free(c);
    c = next;
  }
  arena->~XmlArena();
  free(arena);
}

XmlArena::Chunk* XmlArena::NewChunk(size_t size) {
  if (size > kMaxRequest) return nullptr;
  void* memory = size == kChunk ? TakeKept(sizeof(Chunk) + kChunk + kSlack) : nullptr;
  if (!memory) memory = malloc(sizeof(Chunk) + size + kSlack);
  if (!memory) return nullptr;
  Chunk* chunk = static_cast<Chunk*>(memory);
  chunk->next = chunks_;
  chunk->size = size;
  chunks_ = chunk;
  return chunk;
}

void* XmlArena::Allocate(size_t size, size_t align) {
  uintptr_t at = (reinterpret_cast<uintptr_t>(cursor_) + (align - 1)) & ~static_cast<uintptr_t>(align - 1);
  if (at <= reinterpret_cast<uintptr_t>(end_) &&
      size <= static_cast<size_t>(reinterpret_cast<uintptr_t>(end_) - at)) {
    cursor_ = reinterpret_cast<char*>(at + size);
    return reinterpret_cast<void*>(at);
  }
  if (size > kChunk / 4) {
    // A large text gets a chunk of its own, and what is left of the current
    // chunk stays for the small things after it.
    Chunk* chunk = NewChunk(size);
    if (!chunk) return nullptr;
    uintptr_t start = reinterpret_cast<uintptr_t>(chunk + 1);
    return reinterpret_cast<void*>((start + (align - 1)) & ~static_cast<uintptr_t>(align - 1));
  }
  Chunk* chunk = NewChunk(kChunk);
  if (!chunk) return nullptr;
  cursor_ = reinterpret_cast<char*>(chunk + 1);
  end_ = cursor_ + kChunk + kSlack;
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
