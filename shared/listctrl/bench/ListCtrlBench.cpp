// Repainting and scrolling a CXListCtrl of 4 columns (text, check box,
// progress, image) in a window of about 40 rows, at 1,000, 10,000 and 100,000
// rows; and filling a check-box column of 10,000 rows, box by box and by the
// header's check-all.
#include "../tests/ListTestSupport.h"

#include <cstdio>

#include "testsupport/Clock.h"

namespace {

void Fill(listtest::ListFixture& f, int rows) {
  f.list.SetRedraw(FALSE);
  f.AddRows(rows);
  f.list.SetRedraw(TRUE);
  f.list.RedrawWindow();
  listtest::Pump(50);
}

}  // namespace

int main() {
  for (int rows : {1000, 10000, 100000}) {
    listtest::ListFixture f;
    if (!f.Create(true, 560, 720)) {
      printf("cannot create the list window\n");
      return 1;
    }
    f.AddColumns();
    Fill(f, rows);
    const int perPage = f.list.GetCountPerPage();
    const int rounds = 30;
    // The first paints of a process load fonts and the like: not the list's cost.
    for (int i = 0; i < 5; ++i)
      f.list.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    double t0 = testsupport::NowMs();
    for (int i = 0; i < rounds; ++i)
      f.list.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    double repaint = (testsupport::NowMs() - t0) / rounds;
    // Down page by page from the same place in every list, each page painted at once.
    const int pages = 10;
    f.list.EnsureVisible(100, FALSE);
    f.list.UpdateWindow();
    t0 = testsupport::NowMs();
    for (int i = 0; i < pages; ++i) {
      f.list.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
      f.list.UpdateWindow();
    }
    double scroll = (testsupport::NowMs() - t0) / pages;
    printf(
        "%6d rows (%d a screen): repaint a screen %6.2f ms (target < 16), scroll a page and repaint %6.2f "
        "ms\n",
        rows, perPage, repaint, scroll);
    if (rows == 10000) {
      t0 = testsupport::NowMs();
      for (int i = 0; i < rows; ++i) f.list.SetCheckbox(i, 1, 1);
      double fill = testsupport::NowMs() - t0;
      printf("        filling the check-box column of %d rows: %.1f ms (target < 50; header state %d)\n",
             rows, fill, f.list.GetHeaderCheckedState(1));
      // The header's check-all, as a click on it arrives: clearing, then checking the column.
      NMLISTVIEW nm = {};
      nm.hdr.hwndFrom = f.list.m_hWnd;
      nm.hdr.idFrom = static_cast<UINT_PTR>(f.list.GetDlgCtrlID());
      nm.hdr.code = LVN_COLUMNCLICK;
      nm.iItem = -1;
      nm.iSubItem = 1;
      double clicks[2];
      for (double& click : clicks) {
        t0 = testsupport::NowMs();
        f.parent.SendMessage(WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
        click = testsupport::NowMs() - t0;
      }
      printf("        the header's check-all: clear %.1f ms, check %.1f ms (target < 50; %d checked)\n",
             clicks[0], clicks[1], f.list.CountCheckedItems(1));
    }
  }
  return 0;
}
