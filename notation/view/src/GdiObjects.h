// Owners and scopes for GDI handles. One leaked pen per cursor tick is a dead
// window after an hour of karaoke, so every created object has one owner that
// deletes it, and every selection is undone by the scope that made it.
#pragma once

#include <windows.h>

// An owned pen, brush or font: deleted with the owner or when replaced.
template <typename H>
class CGdiObject {
 public:
  CGdiObject() = default;
  explicit CGdiObject(H handle) : handle_(handle) {}
  ~CGdiObject() { Reset(); }
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  H Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // Deletes the old handle before taking the new one.
  void Attach(H handle) {
    Reset();
    handle_ = handle;
  }
  H Detach() {
    H h = handle_;
    handle_ = nullptr;
    return h;
  }
  void Reset() {
    if (handle_) DeleteObject(handle_);
    handle_ = nullptr;
  }

 private:
  H handle_ = nullptr;
};

using CPen = CGdiObject<HPEN>;
using CBrush = CGdiObject<HBRUSH>;
using CFont = CGdiObject<HFONT>;

// Selects an object into a DC and puts the previous one back. A null handle
// selects nothing, so callers need not test for a missing font or pen.
class CSelectObject {
 public:
  CSelectObject(HDC dc, HGDIOBJ object) : dc_(dc) {
    if (dc_ && object) old_ = SelectObject(dc_, object);
  }
  ~CSelectObject() {
    if (old_) SelectObject(dc_, old_);
  }
  CSelectObject(const CSelectObject&) = delete;
  CSelectObject& operator=(const CSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// Text colour, transparent background and alignment for one block of text
// output; the DC's previous values come back at the end of the scope.
class CTextStyle {
 public:
  CTextStyle(HDC dc, COLORREF color, UINT align = TA_TOP | TA_LEFT)
      : dc_(dc),
        oldColor_(SetTextColor(dc, color)),
        oldMode_(SetBkMode(dc, TRANSPARENT)),
        oldAlign_(SetTextAlign(dc, align)) {}
  ~CTextStyle() {
    SetTextAlign(dc_, oldAlign_);
    SetBkMode(dc_, oldMode_);
    SetTextColor(dc_, oldColor_);
  }
  CTextStyle(const CTextStyle&) = delete;
  CTextStyle& operator=(const CTextStyle&) = delete;

 private:
  HDC dc_;
  COLORREF oldColor_;
  int oldMode_;
  UINT oldAlign_;
};

// A memory DC for measuring text without a window.
class CMeasureDC {
 public:
  CMeasureDC() : dc_(CreateCompatibleDC(nullptr)) {}
  ~CMeasureDC() {
    if (dc_) DeleteDC(dc_);
  }
  CMeasureDC(const CMeasureDC&) = delete;
  CMeasureDC& operator=(const CMeasureDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};
