#include <gtest/gtest.h>

#include <afxwin.h>

#include "ServicesFixture.h"
#include "ui/CHyperLink.h"

namespace {

constexpr UINT kLinkId = 101;

class HyperLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LaunchedUrls().clear();
    ASSERT_TRUE(
        parent.CreateEx(0, nullptr, "links", WS_POPUP | WS_VISIBLE, CRect(50, 200, 450, 300), nullptr, 0));
  }
  void TearDown() override {
    if (::IsWindow(link.m_hWnd)) link.DestroyWindow();
    parent.DestroyWindow();
  }
  // A static made plainly (no WM_SETFONT, as a control created in code)
  // and subclassed, as a dialog's control is.
  void MakeLink(const char* text, DWORD align, const RECT& r = RECT{20, 20, 320, 60}) {
    HWND plain = ::CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | align, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, parent.m_hWnd,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kLinkId)), nullptr, nullptr);
    ASSERT_TRUE(link.SubclassWindow(plain));
  }
  COLORREF DrawnColour() {
    HDC dc = ::GetDC(parent.m_hWnd);
    ::SetTextColor(dc, RGB(1, 1, 1));
    parent.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)link.m_hWnd);
    const COLORREF c = ::GetTextColor(dc);
    ::ReleaseDC(parent.m_hWnd, dc);
    return c;
  }
  CRect RectInParent() {
    CRect r;
    link.GetWindowRect(&r);
    parent.ScreenToClient(&r);
    return r;
  }
  SIZE Extent(const char* text) {
    HDC dc = ::GetDC(link.m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(link.SendMessage(WM_GETFONT)));
    SIZE size = {};
    ::GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(link.m_hWnd, dc);
    return size;
  }

  CWnd parent;
  CHyperLink link;
};

TEST_F(HyperLinkTest, ColourFollowsHoverThenVisitedThenLink) {
  MakeLink("Melodara", SS_LEFT);
  EXPECT_EQ(CHyperLink::kLinkColour, DrawnColour());
  parent.SendMessage(WM_COMMAND, MAKEWPARAM(kLinkId, STN_CLICKED), (LPARAM)link.m_hWnd);
  EXPECT_TRUE(link.GetVisited());
  EXPECT_EQ(CHyperLink::kVisitedColour, DrawnColour());

  CRect r;
  link.GetWindowRect(&r);
  ::SetCursorPos(r.left + 2, r.top + 2);
  link.SendMessage(WM_TIMER, 1, 0);
  ASSERT_TRUE(link.IsOver());
  EXPECT_EQ(CHyperLink::kHoverColour, DrawnColour());
  link.SetColours(RGB(0, 0, 1), RGB(0, 0, 2), 0xFFFFFFFF);
  EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), DrawnColour());
  ::SetCursorPos(5, 5);
  link.SendMessage(WM_TIMER, 1, 0);
  EXPECT_EQ(RGB(0, 0, 2), DrawnColour());
}

TEST_F(HyperLinkTest, AClickOpensTheAddressAndAnEmptyTextShowsIt) {
  link.SetURL("http://127.0.0.1:8123/page");
  MakeLink("", SS_LEFT);
  CString text;
  link.GetWindowText(text);
  EXPECT_STREQ("http://127.0.0.1:8123/page", text);
  parent.SendMessage(WM_COMMAND, MAKEWPARAM(kLinkId, STN_CLICKED), (LPARAM)link.m_hWnd);
  ASSERT_EQ(1u, LaunchedUrls().size());
  EXPECT_EQ("http://127.0.0.1:8123/page", LaunchedUrls()[0].first);
  EXPECT_EQ(SW_SHOW, LaunchedUrls()[0].second);
}

TEST_F(HyperLinkTest, TextWithoutAddressOpensItself) {
  MakeLink("http://127.0.0.1:9/", SS_LEFT);
  EXPECT_EQ("http://127.0.0.1:9/", link.GetURL());
  EXPECT_TRUE(link.GetStyle() & SS_NOTIFY);
}

TEST_F(HyperLinkTest, ADirectlyMadeControlGetsAnUnderlinedFont) {
  MakeLink("Melodara", SS_LEFT);
  HFONT font = reinterpret_cast<HFONT>(link.SendMessage(WM_GETFONT));
  ASSERT_NE(nullptr, font);
  LOGFONTA lf = {};
  ::GetObjectA(font, sizeof(lf), &lf);
  EXPECT_EQ(1, lf.lfUnderline);
  const HFONT underlined = font;
  link.SetUnderline(FALSE);
  font = reinterpret_cast<HFONT>(link.SendMessage(WM_GETFONT));
  ::GetObjectA(font, sizeof(lf), &lf);
  EXPECT_EQ(0, lf.lfUnderline);
  EXPECT_EQ(0u, ::GetObjectType(underlined)) << "the replaced font is freed, not leaked";
  EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), ::GetObjectType(font));
}

TEST_F(HyperLinkTest, AutoSizeShrinksToTheTextKeepingTheAlignment) {
  struct {
    DWORD align;
    const char* what;
  } cases[] = {{SS_LEFT, "left"}, {SS_CENTER, "centre"}, {SS_RIGHT, "right"}};
  for (auto& c : cases) {
    MakeLink("Karaoke", c.align);
    const SIZE size = Extent("Karaoke");
    const CRect r = RectInParent();
    EXPECT_EQ(size.cy, r.Height()) << c.what;
    EXPECT_EQ(20, r.top) << c.what;
    if (c.align == SS_LEFT) {
      EXPECT_EQ(CRect(20, 20, 20 + size.cx, 20 + size.cy), r) << c.what;
    } else if (c.align == SS_RIGHT) {
      EXPECT_EQ(CRect(320 - size.cx, 20, 320, 20 + size.cy), r) << c.what;
    } else {
      EXPECT_LE(std::abs(r.Width() - size.cx), 1) << c.what;
      EXPECT_LE(std::abs((r.left + r.right) - 340), 1) << c.what;  // the centre stays at 170
    }
    link.DestroyWindow();
  }
}

}  // namespace

namespace {

TEST(HyperLinkCreated, ALinkMadeInCodeBehavesAsOneFromADialog) {
  CWnd parent;
  ASSERT_TRUE(
      parent.CreateEx(0, nullptr, "links", WS_POPUP | WS_VISIBLE, CRect(50, 200, 450, 300), nullptr, 0));
  CHyperLink link;
  link.SetURL("http://127.0.0.1:8123/");
  ASSERT_TRUE(
      link.Create("Melodara", WS_CHILD | WS_VISIBLE | SS_LEFT, CRect(20, 20, 320, 60), &parent, kLinkId));
  CString text;
  link.GetWindowText(text);
  EXPECT_STREQ("Melodara", text);
  EXPECT_EQ("http://127.0.0.1:8123/", link.GetURL());
  EXPECT_TRUE(link.GetStyle() & SS_NOTIFY);
  LOGFONTA lf = {};
  ::GetObjectA(reinterpret_cast<HFONT>(link.SendMessage(WM_GETFONT)), sizeof(lf), &lf);
  EXPECT_EQ(1, lf.lfUnderline);
  CRect r;
  link.GetClientRect(&r);
  EXPECT_LT(r.Width(), 300);  // sized to its text
  link.DestroyWindow();

  CHyperLink plain;  // no address: the text is the address
  ASSERT_TRUE(
      plain.Create("http://127.0.0.1:7/", WS_CHILD | SS_LEFT, CRect(20, 20, 320, 60), &parent, kLinkId));
  EXPECT_EQ("http://127.0.0.1:7/", plain.GetURL());
  plain.DestroyWindow();
  parent.DestroyWindow();
}

}  // namespace
