#include "ui/GdiHandle.h"

namespace {
// UI thread only, like everything that paints.
long g_liveHandles = 0;
}  // namespace

long GdiLiveHandleCount() { return g_liveHandles; }
void GdiNoteCreated() { ++g_liveHandles; }
void GdiNoteDeleted() { --g_liveHandles; }

ScopedMemoryDC::ScopedMemoryDC(HDC compatibleWith) : m_dc(::CreateCompatibleDC(compatibleWith)) {
  if (m_dc) GdiNoteCreated();
}

ScopedMemoryDC::~ScopedMemoryDC() {
  if (m_dc) {
    ::DeleteDC(m_dc);
    GdiNoteDeleted();
  }
}
