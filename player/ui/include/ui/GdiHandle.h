// Owning wrappers for the raw GDI handles the skin framework makes while it
// paints. Every one is counted, so a test can repaint a window thousands of
// times and prove the count comes back: Wine's GetGuiResources reports 0, and
// one leaked bitmap per paint is a dead window after an evening of karaoke.
#pragma once

#include <windows.h>

// Number of GDI objects and memory DCs made through these wrappers (or noted
// with GdiNoteCreated) and not yet freed.
long GdiLiveHandleCount();
void GdiNoteCreated();
void GdiNoteDeleted();

// Owns one GDI object (brush, bitmap, pen, font, region); DeleteObject at the end.
template <class H>
class GdiHandle {
 public:
  GdiHandle() = default;
  explicit GdiHandle(H h) { Attach(h); }
  ~GdiHandle() { Reset(); }
  GdiHandle(const GdiHandle&) = delete;
  GdiHandle& operator=(const GdiHandle&) = delete;

  H Get() const { return m_h; }
  explicit operator bool() const { return m_h != nullptr; }
  void Attach(H h) {
    Reset();
    m_h = h;
    if (m_h) GdiNoteCreated();
  }
  H Detach() {
    H h = m_h;
    if (m_h) GdiNoteDeleted();
    m_h = nullptr;
    return h;
  }
  void Reset() {
    if (m_h) {
      ::DeleteObject(m_h);
      GdiNoteDeleted();
      m_h = nullptr;
    }
  }

 private:
  H m_h = nullptr;
};

using GdiBrush = GdiHandle<HBRUSH>;
using GdiBitmap = GdiHandle<HBITMAP>;

// A memory DC compatible with another DC; DeleteDC at the end.
class ScopedMemoryDC {
 public:
  explicit ScopedMemoryDC(HDC compatibleWith);
  ~ScopedMemoryDC();
  ScopedMemoryDC(const ScopedMemoryDC&) = delete;
  ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
  HDC Get() const { return m_dc; }

 private:
  HDC m_dc;
};

// Selects an object into a DC and puts the previous one back at the end.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(obj ? ::SelectObject(dc, obj) : nullptr) {}
  ~ScopedSelect() {
    if (m_old) ::SelectObject(m_dc, m_old);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};
