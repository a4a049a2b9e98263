#include "base/GdiHandles.h"

#include <atomic>

namespace base {

namespace {
// Painting happens on UI threads, but a module may paint on more than one
// (a test's own thread, a view's measuring pass): the count stays exact.
std::atomic<long> g_liveHandles{0};
}  // namespace

long GdiLiveHandleCount() { return g_liveHandles.load(); }
void GdiNoteCreated() { ++g_liveHandles; }
void GdiNoteDeleted() { --g_liveHandles; }

ScopedMemoryDC::ScopedMemoryDC(HDC compatibleWith) : dc_(::CreateCompatibleDC(compatibleWith)) {
  if (dc_) GdiNoteCreated();
}

ScopedMemoryDC::~ScopedMemoryDC() {
  if (dc_) {
    ::DeleteDC(dc_);
    GdiNoteDeleted();
  }
}

}  // namespace base
