#include "ListTestSupport.h"

#include <listctrl/CXComboList.h>
#include <listctrl/XListMessages.h>

#include <gtest/gtest.h>

#include <map>

namespace {

// The owner the drop-down reports to: counts each registered message.
class COwnerWnd : public CWnd {
 public:
  std::map<UINT, int> received;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message >= 0xC000) ++received[message];
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

struct ComboFixture {
  COwnerWnd owner;
  CXComboList* combo = nullptr;
  // Hidden unless the test needs the focus: hiding a shown window costs Wine seconds.
  bool Create(int height, const std::vector<const char*>& strings, int selection, bool visible = false) {
    RegisterXListMessages();
    if (!owner.CreateEx(0, AfxRegisterWndClass(0), "owner", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0))
      return false;
    combo = new CXComboList(&owner);
    if (!combo->CreateEx(0, AfxRegisterWndClass(CS_SAVEBITS, ::LoadCursor(nullptr, IDC_ARROW)), "",
                         WS_POPUP | WS_BORDER | (visible ? WS_VISIBLE : 0), CRect(50, 50, 250, 50 + height),
                         &owner, 0)) {
      return false;
    }
    for (const char* s : strings) combo->m_ListBox.AddString(s);
    combo->m_ListBox.SetCurSel(selection);
    return true;
  }
  // A drop-down tall enough for the given number of whole rows (and its border).
  void FitRows(int rows) {
    const int row = combo->m_ListBox.GetItemHeight(0);
    combo->MoveWindow(50, 50, 200, rows * row + 1 + 2 * ::GetSystemMetrics(SM_CYBORDER));
  }
  void Key(UINT vk) {
    MSG msg = {};
    msg.hwnd = combo->m_ListBox.m_hWnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = vk;
    combo->PreTranslateMessage(&msg);
  }
  int ScrollPos() const { return ::GetScrollPos(combo->m_wndSBVert.m_hWnd, SB_CTL); }
  ~ComboFixture() {
    if (combo) {
      if (combo->m_hWnd) combo->DestroyWindow();
      delete combo;
    }
    if (owner.m_hWnd) owner.DestroyWindow();
  }
};

TEST(XComboList, ShowLaysOutOnceAroundTheSelection) {
  ComboFixture f;
  ASSERT_TRUE(f.Create(120, {"Alpha", "Beta", "Gamma"}, 2, true));
  f.FitRows(2);
  f.combo->Show(11);
  EXPECT_EQ(1, f.combo->m_ListBox.GetTopIndex());
  EXPECT_EQ(2, f.ScrollPos());
  CRect list, window;
  f.combo->m_ListBox.GetWindowRect(&list);
  f.combo->GetWindowRect(&window);
  const int row = f.combo->m_ListBox.GetItemHeight(0);
  EXPECT_EQ(0, list.Height() % row);
  EXPECT_EQ(list.Height() + 4, window.Height());
  EXPECT_EQ(f.combo->m_ListBox.m_hWnd, ::GetFocus());
  // A second call gives the focus and lays out nothing.
  f.combo->MoveWindow(50, 50, 200, 300);
  f.combo->Show(11);
  f.combo->GetWindowRect(&window);
  EXPECT_EQ(300, window.Height());
}

TEST(XComboList, KeysReportToTheOwner) {
  ComboFixture f;
  ASSERT_TRUE(f.Create(120, {"Alpha", "Beta", "Charlie", "Delta"}, 0));
  f.FitRows(2);
  f.combo->Show(11);
  // Up on the first row reports and stays at 0.
  f.Key(VK_UP);
  EXPECT_EQ(1, f.owner.received[WM_XCOMBOLIST_KEYDOWN]);
  EXPECT_EQ(0, f.ScrollPos());
  // A letter of a string further down selects it; one nothing further down starts with sends nothing.
  f.Key('C');
  EXPECT_EQ(2, f.owner.received[WM_XCOMBOLIST_KEYDOWN]);
  EXPECT_EQ(2, f.ScrollPos());
  f.Key('Z');
  EXPECT_EQ(2, f.owner.received[WM_XCOMBOLIST_KEYDOWN]);
  f.Key(VK_END);  // the range ends at the count; a page of 2 rows stops the bar at 3
  EXPECT_EQ(3, f.ScrollPos());
  f.Key(VK_RETURN);
  f.Key(VK_ESCAPE);
  EXPECT_EQ(1, f.owner.received[WM_XCOMBOLIST_VK_RETURN]);
  EXPECT_EQ(1, f.owner.received[WM_XCOMBOLIST_VK_ESCAPE]);
  // The mouse released over the drop-down.
  MSG up = {};
  up.hwnd = f.combo->m_ListBox.m_hWnd;
  up.message = WM_LBUTTONUP;
  f.combo->PreTranslateMessage(&up);
  EXPECT_EQ(1, f.owner.received[WM_XCOMBOLIST_LBUTTONUP]);
}

TEST(XComboList, ThirdFocusLossCancels) {
  ComboFixture f;
  ASSERT_TRUE(f.Create(120, {"a", "b"}, 0));
  for (int loss = 1; loss <= 3; ++loss) {
    f.combo->SendMessage(WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(loss >= 3 ? 1 : 0, f.owner.received[WM_XCOMBOLIST_VK_ESCAPE]) << loss;
  }
}

TEST(XComboList, NoWholeRowVisibleStillPagesForward) {
  ComboFixture f;
  ASSERT_TRUE(f.Create(4, {"a", "b", "c", "d"}, 1));
  f.combo->Show(11);
  f.Key(VK_NEXT);
  EXPECT_EQ(2, f.ScrollPos());
  f.Key(VK_PRIOR);
  EXPECT_EQ(0, f.ScrollPos());
}

// A list box that cannot say its row height.
WNDPROC g_listProc = nullptr;
LRESULT CALLBACK NoRowHeight(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == LB_GETITEMHEIGHT) return 0;
  return ::CallWindowProcA(g_listProc, hwnd, message, wParam, lParam);
}

TEST(XComboList, RowHeightOfZeroIsSurvived) {
  ComboFixture f;
  ASSERT_TRUE(f.Create(60, {"a", "b", "c"}, 1));
  HWND list = f.combo->m_ListBox.m_hWnd;
  g_listProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NoRowHeight)));
  f.combo->Show(11);
  f.Key(VK_NEXT);
  EXPECT_EQ(1, f.owner.received[WM_XCOMBOLIST_KEYDOWN]);
  ::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listProc));
}

}  // namespace
