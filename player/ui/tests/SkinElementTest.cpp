#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "RecordingWnd.h"
#include "SkinFixture.h"
#include "ui/CSkinElementList.h"
#include "ui/PlayerMessages.h"
#include "ui/CaptionElements.h"
#include "ui/GdiplusInclude.h"

namespace {

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// Records the handler calls it gets, in order, into a shared log.
class LoggingElement : public CSkinElement {
 public:
  LoggingElement(std::string name, std::vector<std::string>* log) : m_name(std::move(name)), m_log(log) {}
  void OnLButtonDown(WPARAM w, LPARAM l) override {
    m_log->push_back(m_name + ".down");
    CSkinElement::OnLButtonDown(w, l);
  }
  void OnLButtonUp(WPARAM w, LPARAM l) override {
    m_log->push_back(m_name + ".up");
    CSkinElement::OnLButtonUp(w, l);
  }
  void OnMouseMove(WPARAM w, LPARAM l) override {
    m_log->push_back(m_name + ".move");
    CSkinElement::OnMouseMove(w, l);
  }
  void OnMouseHover(WPARAM w, LPARAM l) override {
    m_log->push_back(m_name + ".hover");
    CSkinElement::OnMouseHover(w, l);
  }
  void OnMouseLeave(WPARAM w, LPARAM l) override {
    m_log->push_back(m_name + ".leave");
    CSkinElement::OnMouseLeave(w, l);
  }

 private:
  std::string m_name;
  std::vector<std::string>* m_log;
};

TEST(SkinElement, PointTestIncludesLeftTopAndExcludesRightBottom) {
  CSkinElement e;
  e.SetRect(10, 20, 30, 40);  // right 40, bottom 60
  EXPECT_TRUE(e.PtInElement({10, 20}));
  EXPECT_TRUE(e.PtInElement({39, 59}));
  EXPECT_FALSE(e.PtInElement({40, 30}));
  EXPECT_FALSE(e.PtInElement({20, 60}));
  EXPECT_FALSE(e.PtInElement({9, 30}));
}

TEST(SkinElement, DragStaysInsideItsBoundsAndMovesHorizontallyOnly) {
  CSkinElement e;
  e.SetDraggable(true);
  e.SetRect(20, 5, 20, 10);
  e.SetDragBounds(RECT{10, 0, 110, 50});
  e.OnLButtonDown(MK_LBUTTON, At(25, 8));
  e.OnMouseMove(MK_LBUTTON, At(500, 40));
  EXPECT_EQ(90, e.GetRect().left);
  EXPECT_EQ(5, e.GetRect().top);
  e.OnMouseMove(MK_LBUTTON, At(-500, 40));
  EXPECT_EQ(10, e.GetRect().left);
  e.OnMouseMove(0, At(100, 40));  // no button held: no drag
  EXPECT_EQ(10, e.GetRect().left);
}

TEST(SkinElementList, RoutesToTheFirstEnabledVisibleElementUnderTheMouse) {
  std::vector<std::string> log;
  CSkinElementList list;
  auto* a = new LoggingElement("a", &log);
  auto* b = new LoggingElement("b", &log);
  a->SetRect(0, 0, 20, 20);
  b->SetRect(10, 10, 20, 20);
  list.Add(a);
  list.Add(b);
  list.Add(a);  // not twice
  EXPECT_EQ(2u, list.GetCount());

  EXPECT_TRUE(list.OnLButtonDown(MK_LBUTTON, At(15, 15)));
  EXPECT_EQ(std::vector<std::string>{"a.down"}, log);
  a->SetEnabled(false);
  log.clear();
  EXPECT_TRUE(list.OnLButtonDown(MK_LBUTTON, At(15, 15)));
  EXPECT_EQ(std::vector<std::string>{"b.down"}, log);
  b->SetVisible(false);
  EXPECT_FALSE(list.OnLButtonDown(MK_LBUTTON, At(15, 15)));
  EXPECT_FALSE(list.OnLButtonDown(MK_LBUTTON, At(100, 100)));
}

TEST(SkinElementList, MovingFromOneElementToAnotherLeavesBeforeHovering) {
  std::vector<std::string> log;
  CSkinElementList list;
  auto* a = new LoggingElement("a", &log);
  auto* b = new LoggingElement("b", &log);
  a->SetRect(0, 0, 10, 10);
  b->SetRect(10, 0, 10, 10);
  list.Add(a);
  list.Add(b);
  list.OnMouseMove(0, At(5, 5));
  list.OnMouseMove(0, At(6, 5));
  list.OnMouseMove(0, At(15, 5));
  list.OnMouseMove(0, At(50, 50));
  std::vector<std::string> expected = {"a.hover", "a.move", "a.move", "a.leave",
                                       "b.hover", "b.move", "b.leave"};
  EXPECT_EQ(expected, log);
  EXPECT_EQ(nullptr, list.GetHot());
  EXPECT_FALSE(b->IsHover());
}

TEST(SkinElementList, CapturedElementFollowsTheMouseAndIsResetOnRelease) {
  CSkinElementList list;
  auto* thumb = new CSkinElement;
  thumb->SetRect(0, 0, 10, 10);
  thumb->SetCaptureOnPress(true);
  thumb->SetDraggable(true);
  list.Add(thumb);
  list.OnMouseMove(0, At(5, 5));
  EXPECT_TRUE(thumb->IsHover());
  ASSERT_TRUE(list.OnLButtonDown(MK_LBUTTON, At(5, 5)));
  EXPECT_EQ(thumb, list.GetCaptured());
  list.OnMouseMove(MK_LBUTTON, At(60, 90));  // far outside the element
  EXPECT_EQ(55, thumb->GetRect().left);
  list.OnLButtonUp(0, At(60, 90));
  EXPECT_EQ(nullptr, list.GetCaptured());
  EXPECT_FALSE(thumb->IsHover());
  EXPECT_FALSE(thumb->IsPressed());
}

TEST(SkinElement, DrawsTheFrameOfItsState) {
  std::unique_ptr<CSkinImage> strip(MakeFlatImage(40, 10, 7, 4));
  struct Row {
    bool enabled, hover, pressed;
    int frame;
  } rows[] = {
      {true, false, false, 0}, {true, true, false, 1}, {true, true, true, 2},
      {true, false, true, 0},  {false, true, true, 3},
  };
  for (const Row& r : rows) {
    CSkinElement e;
    e.SetImage(strip.get());
    e.SetRect(2, 3, 10, 10);
    e.SetEnabled(r.enabled);
    if (r.hover) e.OnMouseHover(0, 0);
    if (r.pressed) e.OnLButtonDown(MK_LBUTTON, 0);
    MemoryCanvas canvas(20, 20);
    {
      Gdiplus::Graphics g(canvas.dc());
      e.Draw(&g);
    }
    EXPECT_EQ(StripColour(7, r.frame), canvas.Pixel(2, 3)) << "frame " << r.frame;
    EXPECT_EQ(StripColour(7, r.frame), canvas.Pixel(11, 12));
    EXPECT_EQ(RGB(1, 2, 3), canvas.Pixel(12, 12)) << "drawn unscaled";
  }
  CSkinElement hidden;
  hidden.SetImage(strip.get());
  hidden.SetRect(2, 3, 10, 10);
  hidden.SetVisible(false);
  MemoryCanvas blank(20, 20);
  {
    Gdiplus::Graphics g(blank.dc());
    hidden.Draw(&g);
  }
  EXPECT_EQ(RGB(1, 2, 3), blank.Pixel(2, 3)) << "an invisible element draws nothing";
  CSkinToggleElement toggle;
  toggle.SetImage(strip.get());
  toggle.SetRect(0, 0, 10, 10);
  toggle.OnMouseHover(0, 0);
  EXPECT_EQ(0, toggle.CurrentFrame()) << "a toggle shows no hover";
  toggle.SetCheck(true, nullptr);
  EXPECT_EQ(2, toggle.CurrentFrame());
  toggle.SetEnabled(false);
  EXPECT_EQ(3, toggle.CurrentFrame());
}

class CaptionElementTest : public ::testing::Test {
 protected:
  template <class T>
  T* Add() {
    auto* e = new T(&owner);
    e->SetRect(0, 0, 10, 10);
    list.Add(e);
    return e;
  }
  void Click() {
    list.OnLButtonDown(MK_LBUTTON, At(5, 5));
    list.OnLButtonUp(0, At(5, 5));
  }
  RecordingWnd owner;
  CSkinElementList list;
};

TEST_F(CaptionElementTest, CloseAndHideAndMinimizeTellTheOwner) {
  auto* close = Add<CCaptionCloseButton>();
  Click();
  ASSERT_EQ(1u, owner.Of(WM_SKIN_CLOSE).size()) << "close asks the owner to close";
  EXPECT_TRUE(owner.Of(WM_CLOSE).empty()) << "a plain WM_CLOSE would destroy a tool frame";
  list.Remove(close);
  delete close;
  auto* hide = Add<CCaptionHideButton>();
  Click();
  EXPECT_EQ(1u, owner.Of(WM_SKIN_HIDE_CHILD).size());
  list.Remove(hide);
  delete hide;
  Add<CCaptionMinButton>();
  Click();
  ASSERT_EQ(1u, owner.Of(WM_SYSCOMMAND).size());
  EXPECT_EQ(static_cast<WPARAM>(SC_MINIMIZE), owner.Of(WM_SYSCOMMAND)[0].wParam);
}

TEST_F(CaptionElementTest, IconClickOpensTheSystemMenuAndDoubleClickCloses) {
  Add<CCaptionIconButton>();
  list.OnLButtonDown(MK_LBUTTON, At(5, 5));
  MSG msg;
  ASSERT_TRUE(::PeekMessageA(&msg, owner.m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE)) << "posted, not sent";
  EXPECT_EQ(3u, msg.wParam);
  EXPECT_EQ(reinterpret_cast<LPARAM>(owner.m_hWnd), msg.lParam);
  list.OnLButtonDblClk(MK_LBUTTON, At(5, 5));
  EXPECT_EQ(1u, owner.Of(WM_SKIN_CLOSE).size());
}

TEST_F(CaptionElementTest, EachMaximizeButtonAlternatesOnItsOwnAndSwapsItsTooltip) {
  list.SetOwner(owner.m_hWnd);
  auto* first = Add<CCaptionMaxButton>();
  first->SetTipText("Maximize", "Restore Down");
  first->SetToolId(list.NewToolId());
  ASSERT_TRUE(list.AddTool(first));
  auto tipText = [&]() {
    char text[80] = {};
    TOOLINFOA ti = MakeToolInfo(owner.m_hWnd, static_cast<UINT_PTR>(first->GetToolId()));
    ti.lpszText = text;
    ::SendMessageA(CSkinToolTip::GetWindow(), TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&ti));
    return std::string(text);
  };
  EXPECT_EQ("Maximize", tipText());
  Click();
  EXPECT_EQ("Restore Down", tipText());
  Click();
  EXPECT_EQ("Maximize", tipText());
  auto commands = owner.Of(WM_SYSCOMMAND);
  ASSERT_EQ(2u, commands.size());
  EXPECT_EQ(static_cast<WPARAM>(SC_MAXIMIZE), commands[0].wParam);
  EXPECT_EQ(static_cast<WPARAM>(SC_RESTORE), commands[1].wParam);

  // A second window's maximize button starts from its own first click.
  RecordingWnd other;
  CSkinElementList otherList;
  auto* second = new CCaptionMaxButton(&other);
  second->SetRect(0, 0, 10, 10);
  otherList.Add(second);
  Click();  // the first button's third click
  otherList.OnLButtonDown(MK_LBUTTON, At(5, 5));
  otherList.OnLButtonUp(0, At(5, 5));
  ASSERT_EQ(1u, other.Of(WM_SYSCOMMAND).size());
  EXPECT_EQ(static_cast<WPARAM>(SC_MAXIMIZE), other.Of(WM_SYSCOMMAND)[0].wParam);
}

// While the window is held back the tools wait with their latest texts and
// rectangles; the window, once made, has them all and nothing removed.
TEST(SkinToolTip, AHeldBackWindowGetsEveryToolAddedMeanwhile) {
  RecordingWnd owner;
  auto text = [](HWND tip, HWND hwnd, int id) {
    char buffer[1024] = {};
    TOOLINFOA ti = MakeToolInfo(hwnd, static_cast<UINT_PTR>(id));
    ti.lpszText = buffer;
    ::SendMessageA(tip, TTM_GETTEXTA, sizeof(buffer), reinterpret_cast<LPARAM>(&ti));
    return std::string(buffer);
  };
  auto rect = [](HWND tip, HWND hwnd, int id) {
    TOOLINFOA ti = MakeToolInfo(hwnd, static_cast<UINT_PTR>(id));
    ::SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti));
    return ti.rect;
  };
  CSkinToolTip::HoldBackWindow();
  CSkinElementList list;
  list.SetOwner(owner.m_hWnd);
  struct Row {
    const char* text;
    RECT rect;
    CSkinElement* element;
  };
  Row rows[] = {{"kept", {0, 0, 10, 10}, nullptr},
                {"renamed", {10, 0, 20, 10}, nullptr},
                {"moved", {20, 0, 30, 10}, nullptr},
                {"removed", {30, 0, 40, 10}, nullptr}};
  for (Row& row : rows) {
    row.element = new CSkinElement;
    row.element->SetRect(row.rect.left, row.rect.top, row.rect.right - row.rect.left,
                         row.rect.bottom - row.rect.top);
    row.element->SetTipText(row.text, nullptr);
    row.element->SetToolId(list.NewToolId());
    list.Add(row.element);
    list.AddTool(row.element);
  }
  EXPECT_EQ(nullptr, CSkinToolTip::GetWindow()) << "held back";
  list.UpdateTipText(rows[1].element, "new name");
  rows[2].element->SetRect(50, 5, 10, 10);
  list.UpdateToolRect(rows[2].element);
  list.Remove(rows[3].element);
  delete rows[3].element;

  CSkinToolTip::MakeHeldBackWindow();
  HWND tip = CSkinToolTip::GetWindow();
  ASSERT_NE(nullptr, tip);
  EXPECT_EQ(3, ::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
  EXPECT_EQ("kept", text(tip, owner.m_hWnd, rows[0].element->GetToolId()));
  EXPECT_EQ("new name", text(tip, owner.m_hWnd, rows[1].element->GetToolId()));
  const RECT moved = rect(tip, owner.m_hWnd, rows[2].element->GetToolId());
  EXPECT_EQ(50, moved.left);
  EXPECT_EQ(60, moved.right);
  EXPECT_EQ(5, moved.top);
  const RECT kept = rect(tip, owner.m_hWnd, rows[0].element->GetToolId());
  EXPECT_EQ(0, kept.left);
  EXPECT_EQ(10, kept.right);
}

// The hold belongs to the users of the moment: when the last one goes, the
// next user gets its window at once.
TEST(SkinToolTip, TheHoldEndsWithItsLastUser) {
  RecordingWnd owner;
  {
    CSkinToolTip::HoldBackWindow();
    CSkinElementList list;
    list.SetOwner(owner.m_hWnd);
    EXPECT_EQ(nullptr, CSkinToolTip::GetWindow());
  }
  CSkinElementList list;
  list.SetOwner(owner.m_hWnd);
  EXPECT_NE(nullptr, CSkinToolTip::GetWindow());
}

TEST(SkinToolTip, OneListGoingAwayKeepsTheToolsOfTheOthers) {
  RecordingWnd a, b;
  auto list1 = std::make_unique<CSkinElementList>();
  CSkinElementList list2;
  list1->SetOwner(a.m_hWnd);
  list2.SetOwner(b.m_hWnd);
  auto* e1 = new CSkinElement;
  e1->SetRect(0, 0, 10, 10);
  e1->SetTipText("one", nullptr);
  e1->SetToolId(list1->NewToolId());
  list1->Add(e1);
  list1->AddTool(e1);
  auto* e2 = new CSkinElement;
  e2->SetRect(0, 0, 10, 10);
  e2->SetTipText("two", nullptr);
  e2->SetToolId(list2.NewToolId());
  list2.Add(e2);
  list2.AddTool(e2);
  HWND tip = CSkinToolTip::GetWindow();
  ASSERT_NE(nullptr, tip);
  EXPECT_EQ(2, ::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
  list1.reset();
  EXPECT_TRUE(::IsWindow(tip));
  EXPECT_EQ(1, ::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
}

}  // namespace
