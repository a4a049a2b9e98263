#include <afxwin.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "WindowTestSupport.h"

namespace {

constexpr UINT WM_TEST_A = WM_APP + 1;
constexpr UINT WM_TEST_B = WM_APP + 2;
constexpr UINT WM_TEST_THROW = WM_APP + 3;
constexpr UINT kButtonId = 1001;
const UINT WM_TEST_REGISTERED = ::RegisterWindowMessageA("MelodaraMfcTestMessage");

// Records what reached it; the base of the windows below.
class CRecordingWnd : public CWnd {
 public:
  std::vector<CString> m_log;
  int m_nPreSubclass = 0;

 protected:
  void PreSubclassWindow() override { ++m_nPreSubclass; }
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct) {
    m_log.push_back("create");
    return CWnd::OnCreate(lpCreateStruct);
  }
  afx_msg LRESULT OnTestA(WPARAM wParam, LPARAM) {
    m_log.push_back("base A");
    return 100 + (LRESULT)wParam;
  }
  afx_msg LRESULT OnTestB(WPARAM, LPARAM) {
    m_log.push_back("base B");
    return 200;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingWnd, CWnd)
  ON_WM_CREATE()
  ON_MESSAGE(WM_TEST_A, OnTestA)
  ON_MESSAGE(WM_TEST_B, OnTestB)
END_MESSAGE_MAP()

// Overrides one of its base's entries and adds its own.
class CDerivedWnd : public CRecordingWnd {
 public:
  int m_nParentClicks = 0;
  int m_nParentNotifies = 0;

 protected:
  afx_msg LRESULT OnTestB(WPARAM, LPARAM) {
    m_log.push_back("derived B");
    return 201;
  }
  afx_msg LRESULT OnRegistered(WPARAM wParam, LPARAM) {
    m_log.push_back("registered");
    return (LRESULT)wParam * 2;
  }
  afx_msg LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
  afx_msg void OnButtonClicked() { ++m_nParentClicks; }
  afx_msg void OnButtonNotify(NMHDR*, LRESULT* pResult) {
    ++m_nParentNotifies;
    *pResult = 7;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CRecordingWnd)
  ON_MESSAGE(WM_TEST_B, OnTestB)
  ON_REGISTERED_MESSAGE(WM_TEST_REGISTERED, OnRegistered)
  ON_MESSAGE(WM_TEST_THROW, OnThrow)
  ON_BN_CLICKED(kButtonId, OnButtonClicked)
  ON_NOTIFY(NM_CLICK, kButtonId, OnButtonNotify)
END_MESSAGE_MAP()

// A child that handles its own notifications; with bPassOn its _EX handler
// declines so the parent sees the click too.
class CSelfClickButton : public CWnd {
 public:
  explicit CSelfClickButton(BOOL bPassOn) : m_bPassOn(bPassOn) {}
  int m_nClicks = 0;
  int m_nNotifies = 0;
  CBrush m_brush{RGB(1, 2, 3)};

 protected:
  afx_msg BOOL OnClicked() {
    ++m_nClicks;
    return !m_bPassOn;
  }
  afx_msg void OnClickNotify(NMHDR*, LRESULT* pResult) {
    ++m_nNotifies;
    *pResult = 42;
  }
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor) {
    pDC->SetTextColor(RGB(255, 0, 0));
    return m_brush;
  }
  DECLARE_MESSAGE_MAP()

 private:
  BOOL m_bPassOn;
};

BEGIN_MESSAGE_MAP(CSelfClickButton, CWnd)
  ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
  ON_NOTIFY_REFLECT(NM_CLICK, OnClickNotify)
  ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

// Counts WM_SETTEXT and hands it on with Default().
class CCountingEdit : public CWnd {
 public:
  int m_nSetText = 0;

 protected:
  afx_msg LRESULT OnSetText(WPARAM, LPARAM) {
    ++m_nSetText;
    return Default();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCountingEdit, CWnd)
  ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

class WndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        m_parent.CreateEx(0, nullptr, "parent", WS_OVERLAPPEDWINDOW, mfctest::TestRect(), nullptr, 0));
  }
  void TearDown() override {
    m_parent.DestroyWindow();
    AfxDeleteTempMaps();
  }
  CDerivedWnd m_parent;
};

TEST_F(WndTest, CreationHookLetsTheObjectSeeItsFirstMessages) {
  ASSERT_FALSE(m_parent.m_log.empty());
  EXPECT_STREQ("create", m_parent.m_log[0]);
  EXPECT_EQ(1, m_parent.m_nPreSubclass);
  EXPECT_EQ(&m_parent, CWnd::FromHandlePermanent(m_parent.m_hWnd));
  EXPECT_EQ(&m_parent, CWnd::FromHandle(m_parent.m_hWnd));
}

TEST_F(WndTest, MapsAreSearchedFromTheDerivedClassToItsBases) {
  m_parent.m_log.clear();
  EXPECT_EQ(105, m_parent.SendMessage(WM_TEST_A, 5));  // only the base handles A
  EXPECT_EQ(201, m_parent.SendMessage(WM_TEST_B));     // the derived entry wins
  EXPECT_EQ(42, m_parent.SendMessage(WM_TEST_REGISTERED, 21));
  ASSERT_EQ(3u, m_parent.m_log.size());
  EXPECT_STREQ("base A", m_parent.m_log[0]);
  EXPECT_STREQ("derived B", m_parent.m_log[1]);
  EXPECT_STREQ("registered", m_parent.m_log[2]);
}

TEST_F(WndTest, AnExceptionStopsAtTheWindowProcedure) {
  EXPECT_EQ(0, m_parent.SendMessage(WM_TEST_THROW));
  EXPECT_EQ(105, m_parent.SendMessage(WM_TEST_A, 5));  // the window carries on
}

struct ReflectCase {
  const char* what;
  BOOL bPassOn;
  int childClicks;
  int parentClicks;
};

TEST_F(WndTest, ChildHandlesItsOwnNotificationAndExLetsTheParentSeeIt) {
  const ReflectCase cases[] = {
      {"handled by the child only", FALSE, 1, 0},
      {"_EX declines, parent sees it too", TRUE, 1, 1},
  };
  for (const ReflectCase& c : cases) {
    CSelfClickButton button(c.bPassOn);
    ASSERT_TRUE(button.Create("BUTTON", "click", WS_VISIBLE | BS_PUSHBUTTON, CRect(5, 5, 80, 30), &m_parent,
                              kButtonId));
    m_parent.m_nParentClicks = 0;
    m_parent.SendMessage(WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), (LPARAM)button.m_hWnd);
    EXPECT_EQ(c.childClicks, button.m_nClicks) << c.what;
    EXPECT_EQ(c.parentClicks, m_parent.m_nParentClicks) << c.what;

    // A reflected ON_NOTIFY_REFLECT keeps the notification from the parent and answers for it.
    NMHDR hdr = {button.m_hWnd, kButtonId, (UINT)NM_CLICK};
    m_parent.m_nParentNotifies = 0;
    EXPECT_EQ(42, m_parent.SendMessage(WM_NOTIFY, kButtonId, (LPARAM)&hdr)) << c.what;
    EXPECT_EQ(1, button.m_nNotifies) << c.what;
    EXPECT_EQ(0, m_parent.m_nParentNotifies) << c.what;

    // WM_CTLCOLOR... reaches the child's CtlColor.
    HDC hdc = ::GetDC(m_parent.m_hWnd);
    LRESULT brush = m_parent.SendMessage(WM_CTLCOLORBTN, (WPARAM)hdc, (LPARAM)button.m_hWnd);
    EXPECT_EQ((LRESULT)(HBRUSH)button.m_brush, brush) << c.what;
    EXPECT_EQ(RGB(255, 0, 0), ::GetTextColor(hdc)) << c.what;
    ::ReleaseDC(m_parent.m_hWnd, hdc);
  }
}

TEST_F(WndTest, NotificationOfAnUnboundChildGoesToTheParentMap) {
  HWND hButton = ::CreateWindowExA(0, "BUTTON", "plain", WS_CHILD, 0, 0, 50, 20, m_parent.m_hWnd,
                                   (HMENU)(UINT_PTR)kButtonId, nullptr, nullptr);
  NMHDR hdr = {hButton, kButtonId, (UINT)NM_CLICK};
  EXPECT_EQ(7, m_parent.SendMessage(WM_NOTIFY, kButtonId, (LPARAM)&hdr));
  EXPECT_EQ(1, m_parent.m_nParentNotifies);
  m_parent.m_nParentClicks = 0;
  m_parent.SendMessage(WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), (LPARAM)hButton);
  EXPECT_EQ(1, m_parent.m_nParentClicks);
}

TEST_F(WndTest, SubclassingRoutesMessagesAndDefaultHandsThemOn) {
  HWND hEdit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, m_parent.m_hWnd,
                                 (HMENU)77, nullptr, nullptr);
  CWnd* pTemp = m_parent.GetDlgItem(77);
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hEdit));
  EXPECT_EQ(hEdit, pTemp->m_hWnd);

  CCountingEdit edit;
  ASSERT_TRUE(edit.SubclassDlgItem(77, &m_parent));
  EXPECT_EQ(&edit, m_parent.GetDlgItem(77));  // the permanent object answers now
  EXPECT_EQ(hEdit, pTemp->m_hWnd);            // and the temporary still works until idle
  edit.SetWindowText("through Default");
  EXPECT_EQ(1, edit.m_nSetText);
  CString text;
  edit.GetWindowText(text);
  EXPECT_STREQ("through Default", text);  // the edit control itself got the text

  EXPECT_EQ(hEdit, edit.UnsubclassWindow());
  ::SetWindowTextA(hEdit, "after");
  EXPECT_EQ(1, edit.m_nSetText);
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hEdit));
}

TEST_F(WndTest, TemporaryWrappersAreFreedAtIdle) {
  AfxDeleteTempMaps();
  HWND hDesktop = ::GetDesktopWindow();
  CWnd* pDesktop = CWnd::FromHandle(hDesktop);
  EXPECT_EQ(pDesktop, CWnd::FromHandle(hDesktop));  // one wrapper per handle
  CDC* pDC = m_parent.GetDC();
  CFont* pFont = CFont::FromHandle((HFONT)::GetStockObject(DEFAULT_GUI_FONT));
  EXPECT_EQ(::GetStockObject(DEFAULT_GUI_FONT), pFont->m_hObject);
  EXPECT_EQ(3u, AfxGetTempObjectCount());
  m_parent.ReleaseDC(pDC);
  EXPECT_EQ(2u, AfxGetTempObjectCount());

  CWinThread loop;
  EXPECT_TRUE(loop.OnIdle(0));   // the first idle call asks for another
  EXPECT_FALSE(loop.OnIdle(1));  // the second frees the wrappers
  EXPECT_EQ(0u, AfxGetTempObjectCount());
  EXPECT_TRUE(::IsWindow(hDesktop));  // freeing a wrapper leaves its window alone
  EXPECT_EQ(OBJ_FONT, ::GetObjectType(::GetStockObject(DEFAULT_GUI_FONT)));
}

class CSelfDeletingWnd : public CWnd {
 public:
  explicit CSelfDeletingWnd(bool* pDeleted) : m_pDeleted(pDeleted) {}
  ~CSelfDeletingWnd() override { *m_pDeleted = true; }

 protected:
  void PostNcDestroy() override { delete this; }

 private:
  bool* m_pDeleted;
};

TEST_F(WndTest, HeapWindowDeletesItselfAfterTheLastMessage) {
  bool deleted = false;
  auto* pWnd = new CSelfDeletingWnd(&deleted);
  ASSERT_TRUE(pWnd->Create(nullptr, "child", WS_VISIBLE, CRect(0, 0, 20, 20), &m_parent, 5));
  HWND hWnd = pWnd->m_hWnd;
  ::DestroyWindow(hWnd);
  EXPECT_TRUE(deleted);
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

// A pop-up frame as the notice window uses it: on the heap, gone with its window.
class CNoticeFrame : public CFrameWnd {
 public:
  explicit CNoticeFrame(bool* pDeleted) : m_pDeleted(pDeleted) {}
  ~CNoticeFrame() override { *m_pDeleted = true; }
  bool m_created = false;

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct) {
    m_created = true;
    return CFrameWnd::OnCreate(lpCreateStruct);
  }
  DECLARE_MESSAGE_MAP()

 private:
  bool* m_pDeleted;
};

BEGIN_MESSAGE_MAP(CNoticeFrame, CFrameWnd)
  ON_WM_CREATE()
END_MESSAGE_MAP()

TEST_F(WndTest, FrameWindowOnTheHeapDeletesItself) {
  bool deleted = false;
  auto* pFrame = new CNoticeFrame(&deleted);
  ASSERT_TRUE(pFrame->Create(nullptr, nullptr, WS_POPUP | WS_BORDER, CRect(0, 0, 200, 100), &m_parent));
  EXPECT_TRUE(pFrame->m_created);
  EXPECT_EQ(m_parent.m_hWnd, ::GetWindow(pFrame->m_hWnd, GW_OWNER));
  EXPECT_TRUE(pFrame->ModifyStyle(WS_BORDER, 0, SWP_FRAMECHANGED));
  EXPECT_FALSE(pFrame->GetStyle() & WS_BORDER);
  EXPECT_FALSE(pFrame->ModifyStyle(WS_BORDER, 0));  // nothing left to change
  pFrame->DestroyWindow();
  EXPECT_TRUE(deleted);
}

TEST_F(WndTest, DestructorDestroysTheWindowItOwns) {
  HWND hWnd = nullptr;
  {
    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, "child", 0, CRect(0, 0, 20, 20), &m_parent, 6));
    hWnd = child.m_hWnd;
    EXPECT_TRUE(::IsWindow(hWnd));
  }
  EXPECT_FALSE(::IsWindow(hWnd));
  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

TEST_F(WndTest, AttachWithoutSubclassingLeavesTheProcedureAlone) {
  HWND hWnd =
      ::CreateWindowExA(0, "STATIC", "x", WS_CHILD, 0, 0, 10, 10, m_parent.m_hWnd, nullptr, nullptr, nullptr);
  WNDPROC before = (WNDPROC)::GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
  {
    CWnd wrapper;
    ASSERT_TRUE(wrapper.Attach(hWnd));
    EXPECT_EQ(&wrapper, CWnd::FromHandle(hWnd));
    EXPECT_EQ(before, (WNDPROC)::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
    EXPECT_EQ(hWnd, wrapper.Detach());
  }
  EXPECT_TRUE(::IsWindow(hWnd));  // detached: the destructor left it alone
}

// Counts timer ticks and ends the loop after three.
class CTickingWnd : public CWnd {
 public:
  int m_nTicks = 0;

 protected:
  afx_msg void OnTimer(UINT nIDEvent) {
    if (nIDEvent == 9 && ++m_nTicks == 3) {
      KillTimer(9);
      ::PostQuitMessage(3);
    }
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTickingWnd, CWnd)
  ON_WM_TIMER()
END_MESSAGE_MAP()

TEST_F(WndTest, MessageLoopRunsTimersUntilQuit) {
  CTickingWnd wnd;
  ASSERT_TRUE(wnd.Create(nullptr, "ticker", 0, CRect(0, 0, 10, 10), &m_parent, 8));
  wnd.SetTimer(9, 10);
  mfctest::QuitWatchdog::Reset();
  mfctest::QuitWatchdog watchdog(5000);
  CWinThread loop;
  loop.m_bAutoDelete = FALSE;
  EXPECT_EQ(3, loop.Run());
  EXPECT_FALSE(mfctest::QuitWatchdog::Fired());
  EXPECT_EQ(3, wnd.m_nTicks);
}

// Takes key presses aimed at any of its children.
class CKeyEatingWnd : public CWnd {
 public:
  int m_nEaten = 0;
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F5) {
      ++m_nEaten;
      return TRUE;
    }
    return CWnd::PreTranslateMessage(pMsg);
  }
};

TEST_F(WndTest, PreTranslateMessageIsWalkedUpFromTheTarget) {
  CKeyEatingWnd middle;
  ASSERT_TRUE(middle.Create(nullptr, "middle", WS_VISIBLE, CRect(0, 0, 100, 100), &m_parent, 10));
  CCountingEdit edit;
  ASSERT_TRUE(edit.Create("EDIT", "", WS_VISIBLE, CRect(0, 0, 80, 20), &middle, 11));
  MSG msg = {};
  msg.hwnd = edit.m_hWnd;
  msg.message = WM_KEYDOWN;
  msg.wParam = VK_F5;
  EXPECT_TRUE(CWnd::WalkPreTranslateTree(m_parent.m_hWnd, &msg));
  EXPECT_EQ(1, middle.m_nEaten);
  msg.wParam = VK_F6;
  EXPECT_FALSE(CWnd::WalkPreTranslateTree(m_parent.m_hWnd, &msg));

  // Through the thread's loop as well.
  ::PostMessageA(edit.m_hWnd, WM_KEYDOWN, VK_F5, 0);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return middle.m_nEaten == 2; }, 5000, mfctest::PreTranslate));
}

}  // namespace
