#include <afxwin.h>
#include <afxcmn.h>

#include <gtest/gtest.h>

#include <vector>

#include "WindowTestSupport.h"

namespace {

struct ParsedParam {
  CString text;
  BOOL bFlag;
  BOOL bLast;
};

class CRecordingCommandLine : public CCommandLineInfo {
 public:
  std::vector<ParsedParam> m_params;
  void ParseParam(LPCTSTR pszParam, BOOL bFlag, BOOL bLast) override {
    m_params.push_back({pszParam, bFlag, bLast});
    CCommandLineInfo::ParseParam(pszParam, bFlag, bLast);
  }
};

class CTestApp : public CWinApp {
 public:
  using CWinApp::CWinApp;
};

TEST(App, CommandLineSplitsQuotedPathsAndFlags) {
  CTestApp app("Melodara test");
  EXPECT_EQ(&app, AfxGetApp());
  char cmdLine[] = "\"C:\\My Songs\\first song.mid\"  /play -Embedding second.mp3";
  app.m_lpCmdLine = cmdLine;
  CRecordingCommandLine info;
  app.ParseCommandLine(info);
  ASSERT_EQ(4u, info.m_params.size());
  EXPECT_STREQ("C:\\My Songs\\first song.mid", info.m_params[0].text);
  EXPECT_FALSE(info.m_params[0].bFlag);
  EXPECT_STREQ("play", info.m_params[1].text);
  EXPECT_TRUE(info.m_params[1].bFlag);
  EXPECT_TRUE(info.m_params[2].bFlag);
  EXPECT_STREQ("second.mp3", info.m_params[3].text);
  EXPECT_TRUE(info.m_params[3].bLast);
  EXPECT_FALSE(info.m_params[2].bLast);
  EXPECT_STREQ("C:\\My Songs\\first song.mid", info.m_strFileName);  // the first plain parameter
  EXPECT_EQ(CCommandLineInfo::FileOpen, info.m_nShellCommand);
  EXPECT_TRUE(info.m_bRunEmbedded);

  CRecordingCommandLine empty;
  app.m_lpCmdLine = nullptr;
  app.ParseCommandLine(empty);
  EXPECT_TRUE(empty.m_params.empty());
  EXPECT_TRUE(empty.m_strFileName.IsEmpty());
}

UINT AFX_CDECL CountTo(LPVOID pParam) {
  auto* pCount = static_cast<LONG*>(pParam);
  for (int i = 0; i < 1000; ++i) ::InterlockedIncrement(pCount);
  return 7;
}

TEST(App, SuspendedThreadKeptByItsCreator) {
  LONG count = 0;
  CWinThread* pThread = AfxBeginThread(&CountTo, &count, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(nullptr, pThread);
  pThread->m_bAutoDelete = FALSE;
  ::Sleep(20);
  EXPECT_EQ(0, count);  // it waits for ResumeThread
  pThread->ResumeThread();
  ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(pThread->m_hThread, 5000));
  DWORD exitCode = 0;
  ::GetExitCodeThread(pThread->m_hThread, &exitCode);
  EXPECT_EQ(7u, exitCode);
  EXPECT_EQ(1000, count);
  delete pThread;
}

// Tips for two halves of the window, the text asked for through TTN_NEEDTEXT.
class CTippedWnd : public CWnd {
 public:
  int m_nAsked = 0;
  INT_PTR m_lastHit = -1;

 protected:
  INT_PTR OnToolHitTest(CPoint point, TOOLINFOA* pTI) const override {
    CRect rc;
    GetClientRect(&rc);
    INT_PTR nHit = point.x < rc.Width() / 2 ? 1 : 2;
    pTI->hwnd = m_hWnd;
    pTI->uId = static_cast<UINT_PTR>(nHit);
    pTI->rect = rc;
    if (nHit == 1)
      pTI->rect.right = rc.Width() / 2;
    else
      pTI->rect.left = rc.Width() / 2;
    pTI->lpszText = LPSTR_TEXTCALLBACK;
    return nHit;
  }
  afx_msg BOOL OnNeedText(UINT, NMHDR* pNMHDR, LRESULT* pResult) {
    auto* pText = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
    ++m_nAsked;
    m_lastHit = static_cast<INT_PTR>(pNMHDR->idFrom);
    lstrcpynA(pText->szText, pNMHDR->idFrom == 1 ? "left half" : "right half", sizeof(pText->szText));
    *pResult = 0;
    return TRUE;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTippedWnd, CWnd)
  ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnNeedText)
END_MESSAGE_MAP()

TEST(App, ToolHitTestPathAsksTheWindowForTheTip) {
  CTippedWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "tips", WS_POPUP | WS_VISIBLE, CRect(100, 100, 300, 200), nullptr, 0));
  wnd.EnableToolTips(TRUE);
  ::SetCursorPos(250, 150);  // over the right half
  MSG msg = {};
  msg.hwnd = wnd.m_hWnd;
  msg.message = WM_MOUSEMOVE;
  msg.pt = {250, 150};
  msg.lParam = MAKELPARAM(150, 50);
  EXPECT_FALSE(CWnd::WalkPreTranslateTree(nullptr, &msg));  // looked at, not eaten
  CToolTipCtrl* pTip = AfxGetThreadToolTip();
  ASSERT_NE(nullptr, pTip);
  EXPECT_EQ(1, pTip->GetToolCount());

  // Moving within the same half keeps the tool; the other half replaces it.
  msg.pt = {260, 150};
  CWnd::WalkPreTranslateTree(nullptr, &msg);
  EXPECT_EQ(1, pTip->GetToolCount());
  msg.pt = {120, 150};
  CWnd::WalkPreTranslateTree(nullptr, &msg);
  EXPECT_EQ(1, pTip->GetToolCount());

  // The tooltip asks the window (TTN_NEEDTEXT through its message map) for the text.
  TOOLINFOA ti = {};
  ti.cbSize = AFX_TOOLINFO_SIZE;
  ti.hwnd = wnd.m_hWnd;
  ti.uId = 1;
  char text[80] = {};
  ti.lpszText = text;
  pTip->SendMessage(TTM_GETTEXTA, sizeof(text), (LPARAM)&ti);
  EXPECT_GE(wnd.m_nAsked, 1);
  EXPECT_EQ(1, wnd.m_lastHit);
  EXPECT_STREQ("left half", text);

  wnd.DestroyWindow();
  AfxDeleteTempMaps();
}

}  // namespace
