#include "app/CBeatIndicator.h"

#include <climits>

#include "ui/CSkinImage.h"
#include "ui/GdiplusInclude.h"

void CBeatIndicator::SetLayout(int x, int y, int cx, int cy) {
  m_layout[0] = x;
  m_layout[1] = y;
  m_layout[2] = cx;
  m_layout[3] = cy;
}

void CBeatIndicator::SetImage(int slot, CSkinImage* image) {
  if (slot >= 0 && slot < kSlotCount) m_images[slot] = image;
}

std::vector<CBeatIndicator::Slot> CBeatIndicator::CellKinds(int count) {
  std::vector<Slot> kinds;
  if (count <= 0) return kinds;
  if (count % 4 == 0) {
    for (int group = 0; group < count / 4; ++group)
      kinds.insert(kinds.end(), {kStrong, kWeak, kMedium, kWeak});
  } else if (count == 2) {
    kinds = {kStrong, kWeak};
  } else if (count == 1) {
    kinds = {kStrong};
  } else if (count % 3 == 0) {
    for (int group = 0; group < count / 3; ++group) kinds.insert(kinds.end(), {kStrong, kWeak, kWeak});
  } else {
    kinds.assign(static_cast<size_t>(count), kStrong);
  }
  return kinds;
}

void CBeatIndicator::Build(int count) {
  m_beatsPerBar = count;
  m_cells.clear();
  for (Slot kind : CellKinds(count)) {
    BeatCell cell;
    cell.normal = m_images[kind];
    cell.active = m_images[kind + kStrongLit];
    m_cells.push_back(cell);
  }
}

void CBeatIndicator::Invalidate() {
  if (m_window) InvalidateRect(m_window, nullptr, FALSE);
}

int CBeatIndicator::CellWidth() const {
  return m_images[kStrong] && m_images[kStrong]->IsLoaded() ? m_images[kStrong]->GetWidth() : 0;
}

void CBeatIndicator::SetBeatsPerBar(int count) {
  m_storedBeatsPerBar = count;
  Build(count);
  m_shown = true;
  Invalidate();
}

void CBeatIndicator::OnBeat(unsigned value) {
  const int count = static_cast<int>(value >> 16);
  const size_t beat = value & 0xFFFF;
  if (count != m_beatsPerBar) {
    Build(count);
    Invalidate();
  }
  for (BeatCell& cell : m_cells) cell.lit = false;
  if (beat < m_cells.size()) m_cells[beat].lit = true;
  if (m_window && m_shown) {
    HDC dc = GetDC(m_window);
    if (dc) {
      {
        Gdiplus::Graphics graphics(dc);
        Draw(&graphics);
      }
      ReleaseDC(m_window, dc);
    }
  }
}

void CBeatIndicator::Draw(Gdiplus::Graphics* graphics) {
  if (!m_shown || !graphics) return;
  const int width = CellWidth();
  int right = INT_MAX;
  RECT client;
  if (m_window && GetClientRect(m_window, &client)) right = client.right;
  int x = m_layout[0];
  for (const BeatCell& cell : m_cells) {
    if (x + width > right) break;
    CSkinImage* image = cell.lit && cell.active ? cell.active : cell.normal;
    if (image && image->IsLoaded()) {
      graphics->DrawImage(image->GetImage(),
                          Gdiplus::Rect(x, m_layout[1], image->GetWidth(), image->GetHeight()), 0, 0,
                          image->GetWidth(), image->GetHeight(), Gdiplus::UnitPixel);
    }
    // Without a cell width every cell would stack on the first one.
    if (width <= 0) break;
    x += width;
  }
}

void CBeatIndicator::Reset() {
  Build(m_storedBeatsPerBar);
  Invalidate();
}

void CBeatIndicator::Hide() {
  m_cells.clear();
  m_shown = false;
  Invalidate();
}
