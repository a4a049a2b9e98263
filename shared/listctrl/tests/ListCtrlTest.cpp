#include "ListTestSupport.h"

#include <listctrl/CXComboList.h>
#include <listctrl/XListMessages.h>

#include <gtest/gtest.h>

namespace {

using listtest::CaptureWindow;
using listtest::ListFixture;
using listtest::Pump;

// A left click as the user makes it: the pointer moves there, then down and up.
void Click(CWnd& wnd, CPoint point) {
  CPoint screen = point;
  wnd.ClientToScreen(&screen);
  ::SetCursorPos(screen.x, screen.y);
  wnd.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
  wnd.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
  Pump(150);
}

CPoint CellCentre(CXListCtrl& list, int item, int column) {
  CRect r;
  list.GetCellRect(item, column, LVIR_BOUNDS, r);
  return r.CenterPoint();
}

TEST(XListCtrl, RecordsAndBadIndices) {
  ListFixture f;
  ASSERT_TRUE(f.Create(false));
  f.AddColumns();
  f.AddRows(3);
  CXListCtrl& list = f.list;
  EXPECT_EQ(4, list.GetColumns());
  EXPECT_EQ(1, list.GetCheckbox(1, 1));
  EXPECT_EQ(-1, list.GetCheckbox(3, 1));
  EXPECT_EQ(-1, list.GetCheckbox(0, 4));
  EXPECT_FALSE(list.SetCheckbox(0, 1, 2));
  EXPECT_FALSE(list.SetBold(-1, 0, TRUE));
  EXPECT_EQ(-1, list.InsertItem(-1, "x"));
  EXPECT_TRUE(list.SetItemData(2, 77));
  EXPECT_EQ(77u, list.GetItemData(2));
  EXPECT_EQ(0u, list.GetItemData(5));
  EXPECT_STREQ("Item 2", list.GetItemText(2, 0));
  EXPECT_STREQ("", list.GetItemText(2, 9));
  EXPECT_TRUE(list.SetItemToolTipText(0, 3, "tip"));
  EXPECT_STREQ("tip", list.GetItemToolTipText(0, 3));
  list.DeleteAllToolTips();
  EXPECT_STREQ("", list.GetItemToolTipText(0, 3));
  CStringArray choices;
  choices.Add("one");
  choices.Add("two");
  EXPECT_TRUE(list.SetComboList(0, 0, TRUE, &choices, 5, 7));  // a selection outside the list becomes 0
  EXPECT_STREQ("one", list.GetItemText(0, 0));
  EXPECT_FALSE(list.SetComboList(0, 0, FALSE, nullptr, 5, 0));

  // A column added after the items has no records there: its setters fail and painting stays safe.
  list.InsertColumn(4, "Late", LVCFMT_LEFT, 60);
  EXPECT_FALSE(list.SetCheckbox(0, 4, 1));
  EXPECT_EQ(-1, list.GetCheckbox(0, 4));
  EXPECT_STREQ("", list.GetItemToolTipText(0, 4));
  list.RedrawWindow();
  // Rows inserted after it get all five.
  int row = list.InsertItem(3, "new");
  EXPECT_TRUE(list.SetCheckbox(row, 4, 1));

  // Deleting keeps the checked counts of the column right.
  EXPECT_EQ(1, list.CountCheckedItems(1));
  EXPECT_TRUE(list.DeleteItem(1));
  EXPECT_EQ(0, list.CountCheckedItems(1));
  EXPECT_FALSE(list.DeleteItem(10));
  EXPECT_TRUE(list.DeleteAllItems());
  EXPECT_EQ(0, list.CountCheckedItems(4));
}

TEST(XListCtrl, CheckBoxClicksAndHeaderCheckAll) {
  ListFixture f;
  ASSERT_TRUE(f.Create(false));  // clicks and hit tests need no screen
  f.AddColumns();
  f.AddRows(4);  // rows 1 and 3 checked
  CXListCtrl& list = f.list;
  Pump(100);
  EXPECT_EQ(1, list.GetHeaderCheckedState(1));
  Click(list, CellCentre(list, 0, 1));
  ASSERT_EQ(1u, f.parent.checkClicks.size());
  EXPECT_EQ(std::make_pair(0, 1), f.parent.checkClicks[0]);
  EXPECT_EQ(1, list.GetCheckbox(0, 1));
  EXPECT_EQ(1, list.GetHeaderCheckedState(1));
  list.SetCheckbox(2, 1, 1);
  EXPECT_EQ(2, list.GetHeaderCheckedState(1));  // every box checked
  Click(list, CellCentre(list, 2, 1));
  EXPECT_EQ(0, list.GetCheckbox(2, 1));
  EXPECT_EQ(1, list.GetHeaderCheckedState(1));
  EXPECT_GE(f.parent.commands, 2);

  // A header click checks the whole column, without a check-box message.
  size_t clicks = f.parent.checkClicks.size();
  NMLISTVIEW nm = {};
  nm.hdr.hwndFrom = list.m_hWnd;
  nm.hdr.idFrom = 1001;
  nm.hdr.code = LVN_COLUMNCLICK;
  nm.iItem = -1;
  nm.iSubItem = 1;
  f.parent.SendMessage(WM_NOTIFY, 1001, reinterpret_cast<LPARAM>(&nm));
  EXPECT_EQ(2, list.GetHeaderCheckedState(1));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(1, list.GetCheckbox(i, 1)) << i;
  EXPECT_EQ(4, list.CountCheckedItems(1));
  f.parent.SendMessage(WM_NOTIFY, 1001, reinterpret_cast<LPARAM>(&nm));
  EXPECT_EQ(1, list.GetHeaderCheckedState(1));
  EXPECT_EQ(0, list.CountCheckedItems(1));
  EXPECT_EQ(clicks, f.parent.checkClicks.size());
  // A column whose header shows no box never gets one.
  nm.iSubItem = 0;
  f.parent.SendMessage(WM_NOTIFY, 1001, reinterpret_cast<LPARAM>(&nm));
  EXPECT_EQ(0, list.GetHeaderCheckedState(0));
}

// A long list pays a paint only for the rows a change shows on screen: one
// paint for a changed box in view, none for one below it, and one for the
// header's check-all of the whole column.
TEST(XListCtrl, CheckBoxChangesPaintOnlyWhatIsOnScreen) {
  ListFixture f;
  ASSERT_TRUE(f.Create(true, 560, 200));
  f.AddColumns();
  const int rows = 300;
  CXListCtrl& list = f.list;
  list.SetRedraw(FALSE);
  f.AddRows(rows);  // odd rows checked
  list.SetRedraw(TRUE);
  list.RedrawWindow();
  Pump(100);
  const int below = (list.GetTopIndex() + list.GetCountPerPage()) / 2 * 2 + 6;  // unchecked
  ASSERT_LT(below, rows);

  f.parent.listPaints = 0;
  EXPECT_TRUE(list.SetCheckbox(0, 1, 1));
  EXPECT_EQ(1, f.parent.listPaints);
  EXPECT_TRUE(list.SetCheckbox(below, 1, 1));
  EXPECT_EQ(1, f.parent.listPaints);
  EXPECT_EQ(1, list.GetCheckbox(below, 1));
  EXPECT_EQ(rows / 2 + 2, list.CountCheckedItems(1));

  NMLISTVIEW nm = {};
  nm.hdr.hwndFrom = list.m_hWnd;
  nm.hdr.idFrom = 1001;
  nm.hdr.code = LVN_COLUMNCLICK;
  nm.iItem = -1;
  nm.iSubItem = 1;
  struct Case {
    int headerAfter;
    int boxAfter;
  };
  for (const Case& c : {Case{2, 1}, Case{1, 0}}) {
    f.parent.listPaints = 0;
    f.parent.SendMessage(WM_NOTIFY, 1001, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(1, f.parent.listPaints);
    EXPECT_EQ(c.headerAfter, list.GetHeaderCheckedState(1));
    EXPECT_EQ(c.boxAfter ? rows : 0, list.CountCheckedItems(1));
    int differing = 0;
    for (int i = 0; i < rows; ++i) differing += list.GetCheckbox(i, 1) != c.boxAfter;
    EXPECT_EQ(0, differing);
  }
}

TEST(XListCtrl, DisabledItemsIgnoreClicks) {
  ListFixture f;
  ASSERT_TRUE(f.Create(false));  // clicks and hit tests need no screen
  f.AddColumns();
  f.AddRows(3);
  CXListCtrl& list = f.list;
  list.SetEnabled(1, FALSE);
  Pump(50);
  Click(list, CellCentre(list, 1, 1));
  EXPECT_TRUE(f.parent.checkClicks.empty());
  EXPECT_EQ(1, list.GetCheckbox(1, 1));
  EXPECT_EQ(-1, list.GetCurSel());
  EXPECT_EQ(0, f.parent.commands);
  // Beside every item the click still reaches the parent as a command.
  Click(list, CPoint(300, 300));
  EXPECT_EQ(1, f.parent.commands);
  Click(list, CellCentre(list, 2, 0));
  EXPECT_EQ(2, list.GetCurSel());
  EXPECT_EQ(2, f.parent.commands);
  // The updater's build posts no command after a click.
  list.SetPostCommandOnClick(false);
  Click(list, CellCentre(list, 0, 0));
  EXPECT_EQ(0, list.GetCurSel());
  EXPECT_EQ(2, f.parent.commands);
}

TEST(XListCtrl, ToolTipIdsAndText) {
  ListFixture f;
  ASSERT_TRUE(f.Create(false));  // clicks and hit tests need no screen
  f.AddColumns();
  f.AddRows(5);
  CXListCtrl& list = f.list;
  list.SetItemText(3, 2, "label", -1, -1);
  CRect label;
  list.GetSubItemRect(3, 2, LVIR_LABEL, label);
  TOOLINFOA ti = {};
  ti.cbSize = sizeof(ti);
  EXPECT_EQ(3003, list.OnToolHitTest(label.CenterPoint() + CPoint(0, 0), &ti));
  EXPECT_EQ(3003u, ti.uId);
  EXPECT_EQ(list.m_hWnd, ti.hwnd);
  EXPECT_EQ(-1, list.OnToolHitTest(CPoint(500, 340), &ti));

  // The thread's tool tip asks the list for the text of the cell under the pointer.
  list.SetItemToolTipText(3, 2, "Downloading the song file");
  list.EnableToolTips(TRUE);
  CPoint screen = label.CenterPoint();
  list.ClientToScreen(&screen);
  ::SetCursorPos(screen.x, screen.y);
  // The tool tip's request is answered for where the last message found the pointer.
  list.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(label.CenterPoint().x, label.CenterPoint().y));
  Pump(50);
  MSG msg = {};
  msg.hwnd = list.m_hWnd;
  msg.message = WM_MOUSEMOVE;
  msg.pt = screen;
  msg.lParam = MAKELPARAM(label.CenterPoint().x, label.CenterPoint().y);
  CWnd::WalkPreTranslateTree(nullptr, &msg);
  CToolTipCtrl* tip = AfxGetThreadToolTip();
  ASSERT_NE(nullptr, tip);
  TOOLINFOA info = {};
  info.cbSize = AFX_TOOLINFO_SIZE;
  info.hwnd = list.m_hWnd;
  info.uId = 3003;
  char text[80] = {};
  info.lpszText = text;
  tip->SendMessage(TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&info));
  EXPECT_STREQ("Downloading the song file", text);

  // A Unicode tool tip gets the text in UTF-16; a request for the tool tip's own id 0 gets nothing.
  NMTTDISPINFOW wide = {};
  wide.hdr.hwndFrom = tip->m_hWnd;
  wide.hdr.idFrom = 3003;
  wide.hdr.code = TTN_NEEDTEXTW;
  list.SendMessage(WM_NOTIFY, 3003, reinterpret_cast<LPARAM>(&wide));
  EXPECT_STREQ(L"Downloading the song file", wide.szText);
  wide.hdr.idFrom = 0;
  wide.szText[0] = 0;
  list.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&wide));
  EXPECT_STREQ(L"", wide.szText);
}

// What custom draw puts on the screen: progress at 0, 50 and 100 %, a label
// clamped above 100, a centred check box, bold text and images.
TEST(XListCtrl, CellsAsDrawn) {
  ListFixture f;
  ASSERT_TRUE(f.Create(true));
  f.AddColumns();
  f.AddRows(6);
  CXListCtrl& list = f.list;
  list.UpdateProgress(0, 2, 0);
  list.UpdateProgress(1, 2, 50);
  list.UpdateProgress(2, 2, 100);
  list.UpdateProgress(3, 2, 250);
  list.SetItemText(4, 0, "Coloured", RGB(255, 255, 255), RGB(128, 0, 128));
  list.SetBold(5, 0, TRUE);
  Pump(200);
  listtest::Capture shot = CaptureWindow(list.m_hWnd);
  ASSERT_GT(shot.width, 0);
  CRect cell;
  const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
  // 0 %: the grey field without a bar.
  list.GetCellRect(0, 2, LVIR_BOUNDS, cell);
  EXPECT_EQ(RGB(0xE0, 0xE0, 0xE0), shot.At(cell.left + 6, cell.bottom - 3));
  // 50 %: the bar covers the left half.
  list.GetCellRect(1, 2, LVIR_BOUNDS, cell);
  EXPECT_EQ(highlight, shot.At(cell.left + 6, cell.bottom - 3));
  EXPECT_EQ(RGB(0xE0, 0xE0, 0xE0), shot.At(cell.right - 8, cell.bottom - 3));
  // 250 % is drawn as 100 %: the bar ends inside the cell and the next cell keeps its own colours.
  list.GetCellRect(3, 2, LVIR_BOUNDS, cell);
  EXPECT_EQ(highlight, shot.At(cell.right - 4, cell.bottom - 3));
  EXPECT_NE(highlight, shot.At(cell.right + 3, cell.bottom - 3));
  // The label over a full bar is in the background colour only: no text-colour pixels in the cell.
  list.GetCellRect(2, 2, LVIR_BOUNDS, cell);
  int dark = 0;  // inside the black inner frame lines
  for (int x = cell.left + 3; x < cell.right - 2; ++x) {
    for (int y = cell.top + 2; y < cell.bottom - 1; ++y) dark += shot.At(x, y) == RGB(0, 0, 0) ? 1 : 0;
  }
  int light = 0;
  for (int x = cell.left + 2; x < cell.right - 2; ++x) {
    for (int y = cell.top + 2; y < cell.bottom - 1; ++y)
      light += shot.At(x, y) == ::GetSysColor(COLOR_WINDOW);
  }
  EXPECT_EQ(0, dark);
  EXPECT_GT(light, 5);
  // A check box without text is centred in its cell.
  list.GetCellRect(0, 1, LVIR_BOUNDS, cell);
  const int side = cell.Height() - 1;
  const int boxLeft = cell.left + cell.Width() / 2 - side / 2 - 1;
  EXPECT_EQ(::GetSysColor(COLOR_WINDOW), shot.At(boxLeft + side / 2, cell.top + side / 2));
  // Coloured cell and images.
  list.GetCellRect(4, 0, LVIR_BOUNDS, cell);
  EXPECT_EQ(RGB(128, 0, 128), shot.At(cell.right - 3, cell.top + 2));
  list.GetCellRect(2, 3, LVIR_BOUNDS, cell);
  EXPECT_EQ(listtest::kImageColors[2], shot.At(cell.left + 6 + 8, cell.CenterPoint().y));
}

TEST(XListCtrl, EmptyListTextComesAndGoes) {
  ListFixture f;
  ASSERT_TRUE(f.Create(true));
  f.AddColumns();
  CXListCtrl& list = f.list;
  list.RedrawWindow();
  Pump(100);
  CRect first;
  list.m_HeaderCtrl.GetItemRect(0, &first);
  auto textPixels = [&]() {
    listtest::Capture shot = CaptureWindow(list.m_hWnd);
    int n = 0;
    for (int y = first.bottom + 10; y < first.bottom + 40; ++y) {
      for (int x = 0; x < shot.width - 20; ++x) n += shot.At(x, y) == ::GetSysColor(COLOR_WINDOWTEXT) ? 1 : 0;
    }
    return n;
  };
  EXPECT_GT(textPixels(), 20);
  list.InsertItem(0, "");
  list.RedrawWindow();
  Pump(100);
  EXPECT_EQ(0, textPixels());
  // The updater's build shows only the window colour.
  list.DeleteAllItems();
  list.SetEmptyListText("");
  list.RedrawWindow();
  Pump(100);
  EXPECT_EQ(0, textPixels());
}

// What a class derived for combo editing sees of clicks and combo cells.
class CComboHookList : public CXListCtrl {
 public:
  std::vector<std::pair<int, int>> clicked;
  int comboDraws = 0;

 protected:
  BOOL DrawComboCell(int, int, CDC* pDC, CRect& rect, const XListCellData&, COLORREF, COLORREF) override {
    ++comboDraws;
    pDC->FillSolidRect(&rect, RGB(255, 255, 0));
    return TRUE;
  }
  void OnCellClicked(int nItem, int nSubItem, CPoint) override { clicked.emplace_back(nItem, nSubItem); }
};

TEST(XListCtrl, ExtensionPointsForComboEditing) {
  RegisterXListMessages();
  listtest::CParentWnd parent;
  ASSERT_TRUE(
      parent.CreateEx(0, AfxRegisterWndClass(0), "hooks", WS_POPUP, CRect(0, 0, 400, 200), nullptr, 0));
  CComboHookList list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 400, 200), &parent, 7));
  list.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
  list.InsertColumn(1, "Choice", LVCFMT_LEFT, 100);
  list.InsertItem(0, "a");
  list.SetCheckbox(0, 0, 0);
  CStringArray choices;
  choices.Add("x");
  list.SetComboList(0, 1, TRUE, &choices, 3, 0);
  Click(list, CellCentre(list, 0, 1));
  Click(list, CellCentre(list, 0, 0));  // a check box: not for the hook
  Click(list, CPoint(350, 150));
  ASSERT_EQ(2u, list.clicked.size());
  EXPECT_EQ(std::make_pair(0, 1), list.clicked[0]);
  EXPECT_EQ(std::make_pair(-1, -1), list.clicked[1]);
  EXPECT_EQ(1u, parent.checkClicks.size());
  // Painting a combo cell goes through the hook (the list paints into a memory DC).
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 400, 200);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  list.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  EXPECT_GE(list.comboDraws, 1);
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  list.DestroyWindow();
  parent.DestroyWindow();
}

// The pictures to look at: every kind of cell, the empty list and an open
// drop-down, saved beside the test program.
TEST(XListCtrl, Screenshots) {
  ListFixture f;
  ASSERT_TRUE(f.Create(true, 560, 230));
  f.AddColumns();
  f.AddRows(6);
  CXListCtrl& list = f.list;
  for (int i = 0; i < 6; ++i) list.SetCheckbox(i, 1, 1);  // the header shows all checked
  list.SetItemText(0, 1, "Install", -1, -1);
  list.UpdateProgress(0, 2, 0);
  list.UpdateProgress(1, 2, 50);
  list.UpdateProgress(2, 2, 100);
  list.SetProgress(3, 2, TRUE, "Waiting");
  list.UpdateProgress(3, 2, 30);
  list.SetItemText(4, 0, "Coloured", RGB(255, 255, 255), RGB(128, 0, 128));
  list.SetBold(5, 0, TRUE);
  list.SetItemText(5, 0, "Bold item", -1, -1);
  list.SetEnabled(2, FALSE);
  list.SetCurSel(1);
  list.RedrawWindow();
  Pump(200);
  EXPECT_EQ(2, list.GetHeaderCheckedState(1));
  EXPECT_TRUE(CaptureWindow(f.parent.m_hWnd).SaveBmp("listctrl_cells.bmp"));

  // An open drop-down below the first cell.
  CXComboList* combo = new CXComboList(&list);
  CRect cell;
  list.GetCellRect(0, 3, LVIR_BOUNDS, cell);
  list.ClientToScreen(&cell);
  CRect drop(cell.left, cell.bottom, cell.right, cell.bottom + 5 * cell.Height());
  ASSERT_TRUE(combo->CreateEx(0, AfxRegisterWndClass(CS_SAVEBITS, ::LoadCursor(nullptr, IDC_ARROW)), "",
                              WS_POPUP | WS_BORDER | WS_VISIBLE, drop, &list, 0));
  for (const char* s : {"Alpha", "Beta", "Charlie", "Delta", "Echo", "Foxtrot", "Golf"})
    combo->m_ListBox.AddString(s);
  combo->m_ListBox.SetCurSel(3);
  combo->Show(11);
  combo->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
  Pump(200);
  CRect whole;
  f.parent.GetWindowRect(&whole);
  EXPECT_TRUE(CaptureWindow(::GetDesktopWindow()).SaveBmp("listctrl_dropdown.bmp"));
  combo->DestroyWindow();
  delete combo;

  list.DeleteAllItems();
  list.RedrawWindow();
  Pump(200);
  EXPECT_TRUE(CaptureWindow(f.parent.m_hWnd).SaveBmp("listctrl_empty.bmp"));
}

}  // namespace
