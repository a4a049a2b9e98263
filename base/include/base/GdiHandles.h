#pragma once
// Owners and scopes for GDI handles. One leaked pen per cursor tick is a dead
// window after an hour of karaoke, so every created object has one owner that
// deletes it, and every selection is undone by the scope that made it.
//
// Every object and memory DC made through these owners is counted, so a test
// can repaint a window thousands of times and prove the count comes back:
// Wine's GetGuiResources reports 0. The count is per module (each module links
// its own copy of this library).
#include <windows.h>

namespace base {

// GDI objects and memory DCs made through these owners (or noted with
// GdiNoteCreated) and not yet freed, in this module.
long GdiLiveHandleCount();
void GdiNoteCreated();
void GdiNoteDeleted();

// Owns one GDI object (pen, brush, font, bitmap, region): deleted with the
// owner or when replaced.
template <class H>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(H handle) { Attach(handle); }
  ~GdiObject() { Reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  H Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // Deletes the old handle before taking the new one.
  void Attach(H handle) {
    Reset();
    handle_ = handle;
    if (handle_) GdiNoteCreated();
  }
  H Detach() {
    H handle = handle_;
    if (handle_) GdiNoteDeleted();
    handle_ = nullptr;
    return handle;
  }
  void Reset() {
    if (handle_) {
      ::DeleteObject(handle_);
      GdiNoteDeleted();
      handle_ = nullptr;
    }
  }

 private:
  H handle_ = nullptr;
};

using GdiPen = GdiObject<HPEN>;
using GdiBrush = GdiObject<HBRUSH>;
using GdiFont = GdiObject<HFONT>;
using GdiBitmap = GdiObject<HBITMAP>;
using GdiRegion = GdiObject<HRGN>;

// A memory DC compatible with another DC (null: with the screen), for drawing
// off screen or measuring text without a window.
class ScopedMemoryDC {
 public:
  explicit ScopedMemoryDC(HDC compatibleWith = nullptr);
  ~ScopedMemoryDC();
  ScopedMemoryDC(const ScopedMemoryDC&) = delete;
  ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back. A null DC or
// object selects nothing, so callers need not test for a missing font or pen.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc) {
    if (dc_ && object) old_ = ::SelectObject(dc_, object);
  }
  ~ScopedSelect() {
    if (old_) ::SelectObject(dc_, old_);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// Text colour, transparent background and alignment for one block of text
// output; the DC's previous values come back at the end of the scope.
class ScopedTextStyle {
 public:
  ScopedTextStyle(HDC dc, COLORREF color, UINT align = TA_TOP | TA_LEFT)
      : dc_(dc),
        oldColor_(::SetTextColor(dc, color)),
        oldMode_(::SetBkMode(dc, TRANSPARENT)),
        oldAlign_(::SetTextAlign(dc, align)) {}
  ~ScopedTextStyle() {
    ::SetTextAlign(dc_, oldAlign_);
    ::SetBkMode(dc_, oldMode_);
    ::SetTextColor(dc_, oldColor_);
  }
  ScopedTextStyle(const ScopedTextStyle&) = delete;
  ScopedTextStyle& operator=(const ScopedTextStyle&) = delete;

 private:
  HDC dc_;
  COLORREF oldColor_;
  int oldMode_;
  UINT oldAlign_;
};

}  // namespace base
