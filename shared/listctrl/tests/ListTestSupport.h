// A parent window with a CXListCtrl for the tests, the screenshot and the
// benchmark: columns text, check box, progress and image, coloured image lists,
// and the messages the list sent its parent.
#pragma once

#include <afxwin.h>

#include <listctrl/CXListCtrl.h>

#include <string>
#include <utility>
#include <vector>

namespace listtest {

class CParentWnd : public CWnd {
 public:
  std::vector<std::pair<int, int>> checkClicks;  // (item, column) of WM_XLISTCTRL_CHECKBOX_CLICKED
  int commands = 0;                              // WM_COMMAND from the list
  int listPaints = 0;                            // paints of the list (its custom-draw prepaint)

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Colours of the small images 0..3 and of the header's check-box images.
extern const COLORREF kImageColors[4];

struct ListFixture {
  CParentWnd parent;
  CXListCtrl list;
  CImageList images;
  CImageList headerImages;
  // A parent of the given client size with the list filling it; shown or hidden.
  bool Create(bool visible, int width = 560, int height = 360, DWORD extraStyle = 0);
  void AddColumns();
  // Row i: "Item i", a check box (checked for odd rows), progress i*25 %, image i % 4.
  void AddRows(int count);
  ~ListFixture();
};

// Pumps messages (through PreTranslateMessage) for about the given time.
void Pump(DWORD ms);
// Paints the window's client area into a 32-bit top-down DIB section.
struct Capture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB
  COLORREF At(int x, int y) const;
  bool SaveBmp(const std::string& path) const;
};
Capture CaptureWindow(HWND hwnd);

}  // namespace listtest
