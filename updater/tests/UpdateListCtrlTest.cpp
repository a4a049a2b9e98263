#include <updater/UpdateListCtrl.h>

#include <listctrl/XListMessages.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "ListTestSupport.h"

namespace {

using listtest::CaptureWindow;
using listtest::Pump;

class CSelectionParent : public CWnd {
 public:
  std::vector<std::pair<int, int>> selections;  // (item, column) of WM_XLISTCTRL_COMBO_SELECTION

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_XLISTCTRL_COMBO_SELECTION && message != 0) {
      selections.emplace_back(static_cast<int>(wParam), static_cast<int>(lParam));
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

// A shown list: rows "Row i" whose second column is a combo of Low, Medium,
// High; row 0 says "Medium", row 1 "High", row 2 nothing yet.
struct ComboListFixture {
  CSelectionParent parent;
  CUpdateListCtrl list;
  CStringArray choices;

  bool Create(int rows = 3) {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    CRect frame(40, 40, 440, 300);
    if (!parent.CreateEx(0,
                         AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW),
                                             reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)),
                         "Combo test", WS_POPUP | WS_VISIBLE, frame, nullptr, 0)) {
      ADD_FAILURE() << "the parent window was not made: error " << ::GetLastError();
      return false;
    }
    if (!list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, CRect(0, 0, 400, 260), &parent,
                     1001)) {
      ADD_FAILURE() << "the list was not made: error " << ::GetLastError();
      return false;
    }
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 120);
    list.InsertColumn(1, "Level", LVCFMT_LEFT, 150);
    choices.Add("Low");
    choices.Add("");  // empty strings are not offered
    choices.Add("Medium");
    choices.Add("High");
    const char* texts[] = {"Medium", "High", ""};
    for (int i = 0; i < rows; ++i) {
      std::string name = "Row " + std::to_string(i);
      list.InsertItem(i, name.c_str());
      // Making a combo cell shows the initial choice: the row's own text comes after.
      if (!list.SetComboList(i, 1, TRUE, &choices, 5, 0)) return false;
      list.SetSubItemText(i, 1, texts[i % 3]);
    }
    Pump(100);
    return true;
  }
  CRect Cell(int item) {
    CRect r;
    list.GetCellRect(item, 1, LVIR_BOUNDS, r);
    return r;
  }
  void Click(CPoint point) {
    CPoint screen = point;
    list.ClientToScreen(&screen);
    ::SetCursorPos(screen.x, screen.y);
    list.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    list.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    Pump(250);
  }
  CPoint TextPart(int item) {
    CRect r = Cell(item);
    return CPoint(r.left + 10, r.CenterPoint().y);
  }
  CPoint Button(int item) {
    CRect r = Cell(item);
    return CPoint(r.right - r.Height() / 2 - 1, r.CenterPoint().y);
  }
  // Selects the row, then presses its drop-down button.
  CXComboList* Open(int item) {
    Click(TextPart(item));
    Click(Button(item));
    return list.GetComboList();
  }
  void Key(UINT vk) {
    CXComboList* combo = list.GetComboList();
    if (!combo) return;
    combo->m_ListBox.PostMessage(WM_KEYDOWN, vk, 0);
    Pump(250);
  }
  CString Text(int item) { return list.GetItemText(item, 1); }
  ~ComboListFixture() {
    if (list.m_hWnd) list.DestroyWindow();
    if (parent.m_hWnd) parent.DestroyWindow();
  }
};

TEST(UpdateListCtrl, ButtonOpensTheDropDownBelowTheCellTextPartDoesNot) {
  ComboListFixture f;
  ASSERT_TRUE(f.Create());
  f.Click(f.TextPart(0));
  EXPECT_EQ(0, f.list.GetCurSel());
  EXPECT_EQ(nullptr, f.list.GetComboList());

  f.Click(f.Button(0));
  CXComboList* combo = f.list.GetComboList();
  ASSERT_NE(nullptr, combo);
  EXPECT_TRUE(combo->IsWindowVisible());
  CRect cell = f.Cell(0);
  f.list.ClientToScreen(&cell);
  CRect drop;
  combo->GetWindowRect(&drop);
  EXPECT_EQ(cell.left + 1, drop.left);
  EXPECT_NEAR(cell.bottom, drop.top, 2);
  // Low, Medium, High (the empty string is left out), the cell's own text chosen.
  ASSERT_EQ(3, combo->m_ListBox.GetCount());
  EXPECT_EQ(1, combo->m_ListBox.GetCurSel());

  // A click on another cell cancels the edit.
  f.Click(CPoint(20, f.Cell(1).CenterPoint().y));
  Pump(150);
  EXPECT_EQ(nullptr, f.list.GetComboList());
  EXPECT_STREQ("Medium", f.Text(0));
  EXPECT_TRUE(f.parent.selections.empty());
}

TEST(UpdateListCtrl, KeysFollowEscapeRestoresEnterCommits) {
  ComboListFixture f;
  ASSERT_TRUE(f.Create());
  ASSERT_NE(nullptr, f.Open(0));
  f.Key(VK_DOWN);
  EXPECT_STREQ("High", f.Text(0));  // copied at once, the drop-down stays
  ASSERT_NE(nullptr, f.list.GetComboList());
  f.Key(VK_ESCAPE);
  EXPECT_EQ(nullptr, f.list.GetComboList());
  EXPECT_STREQ("Medium", f.Text(0));
  EXPECT_TRUE(f.parent.selections.empty());
  // The pointer still rests on the button: a repaint must not open it again.
  f.list.Invalidate();
  f.list.UpdateWindow();
  Pump(300);
  EXPECT_EQ(nullptr, f.list.GetComboList());

  ASSERT_NE(nullptr, f.Open(1));
  EXPECT_EQ(2, f.list.GetComboList()->m_ListBox.GetCurSel());
  f.Key(VK_UP);
  f.Key(VK_RETURN);
  EXPECT_EQ(nullptr, f.list.GetComboList());
  EXPECT_STREQ("Medium", f.Text(1));
  ASSERT_EQ(1u, f.parent.selections.size());
  EXPECT_EQ(std::make_pair(1, 1), f.parent.selections[0]);
  f.list.Invalidate();
  f.list.UpdateWindow();
  Pump(300);
  EXPECT_EQ(nullptr, f.list.GetComboList());
}

TEST(UpdateListCtrl, EmptyComboCellShowsTheFirstStringOncePaintedSelected) {
  ComboListFixture f;
  ASSERT_TRUE(f.Create());
  EXPECT_STREQ("", f.Text(2));
  f.Click(f.TextPart(2));
  f.list.UpdateWindow();
  EXPECT_STREQ("Low", f.Text(2));
}

TEST(UpdateListCtrl, OpenDropDownScreenshot) {
  ComboListFixture f;
  ASSERT_TRUE(f.Create());
  CXComboList* combo = f.Open(0);
  ASSERT_NE(nullptr, combo);
  // The pointer leaves the button: the press ends, the drop-down stays.
  ::SetCursorPos(0, 0);
  Pump(400);
  ASSERT_EQ(combo, f.list.GetComboList());
  for (HWND wnd : {f.parent.m_hWnd, combo->m_hWnd})
    ::RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump(200);
  listtest::Capture shot = CaptureWindow(f.parent.m_hWnd);
  if (const char* path = std::getenv("UPDATER_COMBO_SHOT")) shot.SaveBmp(path);
  CRect parentRect, row;
  f.parent.GetWindowRect(&parentRect);
  combo->m_ListBox.GetWindowRect(&row);
  const int rowHeight = combo->m_ListBox.GetItemHeight(0);
  // The chosen row (Medium, the second) is highlighted inside the drop-down.
  CPoint chosen(row.left + 100 - parentRect.left, row.top + rowHeight + rowHeight / 2 - parentRect.top);
  EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), shot.At(chosen.x, chosen.y)) << chosen.x << "," << chosen.y;
  // The cell's button is raised again (face colour) once the press ended.
  CRect cell = f.Cell(0);
  CPoint face(cell.right - 7, cell.bottom - 5);
  f.list.MapWindowPoints(&f.parent, &face, 1);
  EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), shot.At(face.x, face.y)) << face.x << "," << face.y;
}

TEST(UpdateListCtrl, EmptyListShowsNoText) {
  ComboListFixture f;
  ASSERT_TRUE(f.Create(0));
  f.list.Invalidate();
  f.list.UpdateWindow();
  listtest::Capture shot = CaptureWindow(f.list.m_hWnd);
  CRect header;
  f.list.GetHeaderCtrl()->GetWindowRect(&header);
  const int top = header.Height() + 12;
  int other = 0;
  for (int y = top; y < shot.height - 4; y += 2)
    for (int x = 4; x < shot.width - 4; x += 2)
      if (shot.At(x, y) != ::GetSysColor(COLOR_WINDOW)) ++other;
  EXPECT_EQ(0, other);
}

}  // namespace
