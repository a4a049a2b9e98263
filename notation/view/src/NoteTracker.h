// Highlights of notes played live (MIDI messages passed to the staff view):
// one mark per sounding note, drawn before the score so that the notes stay
// readable above it.
#pragma once

#include <windows.h>

#include <vector>

class CStaffPainter;

class CNoteTracker {
 public:
  CNoteTracker(HWND window, const CStaffPainter* painter);

  // A mark for the note at x, width pixels wide.
  void Add(int note, int x, int width);
  // Removes the first mark of the note and invalidates its column.
  void Remove(int note);
  void Clear() { entries_.clear(); }
  void SetWindow(HWND window) { window_ = window; }
  void Paint(HDC dc) const;
  size_t Count() const { return entries_.size(); }

 private:
  struct Entry {
    int note;
    int x;
    int width;
  };
  HWND window_;
  const CStaffPainter* painter_;
  bool percussion_;
  std::vector<Entry> entries_;
};
