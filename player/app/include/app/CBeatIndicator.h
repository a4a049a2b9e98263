// The row of beat cells in the main window: one cell per beat of the bar,
// drawn as a strong, medium or weak beat, with the sounding beat lit. It has
// no window of its own: it draws into the main window's, as part of that
// window's painting and at once on each beat. UI thread only.
#pragma once

#include <windows.h>

#include <vector>

class CSkinImage;
namespace Gdiplus {
class Graphics;
}

struct BeatCell {
  bool lit = false;
  CSkinImage* normal = nullptr;
  CSkinImage* active = nullptr;
};

class CBeatIndicator {
 public:
  // Image slots: the three normal kinds, then the same three lit.
  enum Slot {
    kStrong = 0,
    kWeak = 1,
    kMedium = 2,
    kStrongLit = 3,
    kWeakLit = 4,
    kMediumLit = 5,
    kSlotCount = 6
  };

  CBeatIndicator() = default;
  CBeatIndicator(const CBeatIndicator&) = delete;
  CBeatIndicator& operator=(const CBeatIndicator&) = delete;

  // The first two values are the origin of the first cell; the others are kept.
  void SetLayout(int x, int y, int cx, int cy);
  void SetWindow(HWND window) { m_window = window; }
  // Other slots are ignored; the images are not owned.
  void SetImage(int slot, CSkinImage* image);
  // Builds the cells for count beats, shows the row and repaints it.
  void SetBeatsPerBar(int count);
  // value: beats per bar in the high 16 bits, the 0-based beat in the low 16.
  // A new count rebuilds the row first; a beat beyond the cells lights none.
  void OnBeat(unsigned value);
  // Draws every cell that fits the window (a time signature may ask for up to
  // 255 beats), when shown.
  void Draw(Gdiplus::Graphics* graphics);
  // The row for the stored count, all dark.
  void Reset();
  // No cells and not shown.
  void Hide();
  void Clear() { m_cells.clear(); }

  const std::vector<BeatCell>& GetCells() const { return m_cells; }
  bool IsShown() const { return m_shown; }
  int GetBeatsPerBar() const { return m_beatsPerBar; }
  // The kind of each cell for count beats: S W M W groups when count is a
  // multiple of 4, S W for 2, S for 1, S W W groups for multiples of 3, else
  // count strong cells.
  static std::vector<Slot> CellKinds(int count);

 private:
  void Build(int count);
  void Invalidate();
  int CellWidth() const;

  int m_layout[4] = {};
  int m_beatsPerBar = 4;
  int m_storedBeatsPerBar = 4;
  HWND m_window = nullptr;
  bool m_shown = false;
  CSkinImage* m_images[kSlotCount] = {};
  std::vector<BeatCell> m_cells;
};
