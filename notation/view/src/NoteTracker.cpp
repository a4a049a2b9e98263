#include "NoteTracker.h"

#include "StaffPainter.h"

CNoteTracker::CNoteTracker(HWND window, const CStaffPainter* painter)
    : window_(window), painter_(painter), percussion_(painter && painter->StaffKind() == kPercussionStaff) {}

void CNoteTracker::Add(int note, int x, int width) { entries_.push_back({note, x, width > 0 ? width : 1}); }

void CNoteTracker::Remove(int note) {
  RECT column{0, 0, 0, 0};
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->note != note) continue;
    column.left = it->x - 2;
    column.right = it->x + it->width;
    entries_.erase(it);
    break;
  }
  if (!window_ || !IsWindow(window_)) return;
  // The whole column, so that the removed mark is repainted away now.
  RECT client{};
  GetClientRect(window_, &client);
  column.top = client.top;
  column.bottom = client.bottom;
  InvalidateRect(window_, &column, FALSE);
}

void CNoteTracker::Paint(HDC dc) const {
  if (!painter_ || !window_) return;
  RECT client{};
  if (!GetClientRect(window_, &client)) return;
  for (const Entry& e : entries_) {
    const RECT r{e.x, client.top, e.x + e.width, client.top + 4};
    FillRect(dc, &r, painter_->HighlightBrush());
  }
}
