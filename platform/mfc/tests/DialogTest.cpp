#include <afxwin.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "MfcTestResources.h"
#include "WindowTestSupport.h"

namespace {

// Clicks OK on any message box this thread shows, so a validation message
// cannot stall the test; counts them.
class MessageBoxCloser {
 public:
  MessageBoxCloser() : m_id(::SetTimer(nullptr, 0, 50, &Tick)) { s_closed = 0; }
  ~MessageBoxCloser() { ::KillTimer(nullptr, m_id); }
  static int Closed() { return s_closed; }

 private:
  static BOOL CALLBACK CloseIfMessageBox(HWND hWnd, LPARAM) {
    char className[16] = {};
    ::GetClassNameA(hWnd, className, sizeof(className));
    // A message box is a system dialog with a static text and no DDX owner object.
    if (strcmp(className, "#32770") == 0 && ::IsWindowVisible(hWnd) &&
        CWnd::FromHandlePermanent(hWnd) == nullptr) {
      ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
      ++s_closed;
    }
    return TRUE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), &CloseIfMessageBox, 0);
  }
  UINT_PTR m_id;
  static inline int s_closed = 0;
};

// A button that turns itself owner-drawn when it is bound, as a colour swatch does.
class CSwatchButton : public CButton {
 public:
  int m_nDrawn = 0;
  int m_nPreSubclass = 0;

 protected:
  void PreSubclassWindow() override {
    ++m_nPreSubclass;
    ModifyStyle(0, BS_OWNERDRAW);
    CButton::PreSubclassWindow();
  }
  void DrawItem(LPDRAWITEMSTRUCT lpDis) override {
    ++m_nDrawn;
    CDC* pDC = CDC::FromHandle(lpDis->hDC);
    pDC->FillSolidRect(&lpDis->rcItem, RGB(200, 0, 0));
  }
};

// Steps run one per timer tick while the dialog runs modally.
class CDataDialog : public CDialog {
 public:
  CDataDialog() : CDialog(IDD_DATA) {}

  CString m_name = "Anna";
  int m_count = 12;
  int m_loud = BST_CHECKED;
  int m_mode = 1;
  int m_style = 2;
  CSwatchButton m_swatch;
  std::vector<std::function<void(CDataDialog&)>> m_steps;
  bool m_initSawSubclassedSwatch = false;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SWATCH, m_swatch);
    DDX_Text(pDX, IDC_NAME, m_name);
    DDX_Text(pDX, IDC_COUNT, m_count);
    DDV_MinMaxInt(pDX, m_count, 0, 100);
    DDX_Check(pDX, IDC_LOUD, m_loud);
    DDX_Radio(pDX, IDC_MODE_A, m_mode);
    DDX_CBIndex(pDX, IDC_STYLE, m_style);
  }
  BOOL OnInitDialog() override {
    CComboBox* pStyle = static_cast<CComboBox*>(GetDlgItem(IDC_STYLE));
    for (const char* item : {"plain", "bold", "italic"})
      ::SendMessageA(pStyle->m_hWnd, CB_ADDSTRING, 0, (LPARAM)item);
    CDialog::OnInitDialog();
    m_initSawSubclassedSwatch = CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, IDC_SWATCH)) == &m_swatch;
    SetTimer(1, 30);
    return TRUE;
  }
  afx_msg void OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != 1 || m_steps.empty()) return;
    auto step = m_steps.front();
    m_steps.erase(m_steps.begin());
    step(*this);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDataDialog, CDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()

CString ItemText(CWnd& dlg, int nID) {
  CString text;
  dlg.GetDlgItemText(nID, text);
  return text;
}

TEST(Dialog, ModalDialogFromTemplateRoundTripsItsData) {
  mfctest::QuitWatchdog::Reset();
  mfctest::QuitWatchdog watchdog(10000);
  CDataDialog dlg;
  struct Seen {
    CString name, count;
    UINT loud = 0, modeB = 0, modeA = 0;
    int style = -1;
    int drawn = 0;
    bool visible = false;
  } seen;
  dlg.m_steps.push_back([&](CDataDialog& d) {
    // Members reached the controls.
    seen.name = ItemText(d, IDC_NAME);
    seen.count = ItemText(d, IDC_COUNT);
    seen.loud = d.IsDlgButtonChecked(IDC_LOUD);
    seen.modeA = d.IsDlgButtonChecked(IDC_MODE_A);
    seen.modeB = d.IsDlgButtonChecked(IDC_MODE_B);
    seen.style = (int)d.SendDlgItemMessage(IDC_STYLE, CB_GETCURSEL);
    seen.drawn = d.m_swatch.m_nDrawn;
    seen.visible = d.IsWindowVisible() != FALSE;
    // The user changes them.
    d.SetDlgItemText(IDC_NAME, "Bert");
    d.SetDlgItemText(IDC_COUNT, " 77 ");
    d.CheckDlgButton(IDC_LOUD, BST_UNCHECKED);
    d.CheckRadioButton(IDC_MODE_A, IDC_MODE_C, IDC_MODE_C);
    d.SendDlgItemMessage(IDC_STYLE, CB_SETCURSEL, 0);
    d.PostMessage(WM_COMMAND, IDOK);
  });
  EXPECT_EQ(IDOK, dlg.DoModal());
  EXPECT_FALSE(mfctest::QuitWatchdog::Fired());

  EXPECT_STREQ("Anna", seen.name);
  EXPECT_STREQ("12", seen.count);
  EXPECT_EQ((UINT)BST_CHECKED, seen.loud);
  EXPECT_EQ((UINT)BST_UNCHECKED, seen.modeA);
  EXPECT_EQ((UINT)BST_CHECKED, seen.modeB);
  EXPECT_EQ(2, seen.style);
  EXPECT_TRUE(seen.visible);

  EXPECT_STREQ("Bert", dlg.m_name);
  EXPECT_EQ(77, dlg.m_count);
  EXPECT_EQ(BST_UNCHECKED, dlg.m_loud);
  EXPECT_EQ(2, dlg.m_mode);
  EXPECT_EQ(0, dlg.m_style);

  // DDX_Control bound the swatch before OnInitDialog returned; PreSubclassWindow
  // made it owner-drawn and WM_DRAWITEM came back to its DrawItem.
  EXPECT_TRUE(dlg.m_initSawSubclassedSwatch);
  EXPECT_EQ(1, dlg.m_swatch.m_nPreSubclass);
  EXPECT_GT(seen.drawn, 0);
  EXPECT_EQ(nullptr, dlg.m_hWnd);  // destroyed by DoModal
  EXPECT_EQ(nullptr, dlg.m_swatch.m_hWnd);
}

TEST(Dialog, FailedValidationKeepsTheDialogOpen) {
  mfctest::QuitWatchdog::Reset();
  mfctest::QuitWatchdog watchdog(10000);
  MessageBoxCloser closer;
  CDataDialog dlg;
  bool stillOpen = false;
  HWND focusAfterFailure = nullptr;
  dlg.m_steps.push_back([](CDataDialog& d) {
    d.SetDlgItemText(IDC_COUNT, "500");  // outside 0..100
    d.SetDlgItemText(IDC_NAME, "Carl");
    d.PostMessage(WM_COMMAND, IDOK);
  });
  dlg.m_steps.push_back([](CDataDialog&) {});  // the message box comes and goes
  dlg.m_steps.push_back([&](CDataDialog& d) {
    stillOpen = d.IsWindowVisible() != FALSE;
    focusAfterFailure = ::GetFocus();
    d.SetDlgItemText(IDC_COUNT, "not a number");
    d.PostMessage(WM_COMMAND, IDOK);
  });
  dlg.m_steps.push_back([](CDataDialog&) {});
  dlg.m_steps.push_back([](CDataDialog& d) { d.PostMessage(WM_COMMAND, IDCANCEL); });
  EXPECT_EQ(IDCANCEL, dlg.DoModal());
  EXPECT_FALSE(mfctest::QuitWatchdog::Fired());
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(2, MessageBoxCloser::Closed());
  EXPECT_NE(nullptr, focusAfterFailure);
  // The range check runs after the value was stored; text that is no number
  // stops before storing. Cancel exchanges nothing.
  EXPECT_EQ(500, dlg.m_count);
  EXPECT_STREQ("Carl", dlg.m_name);
}

TEST(Dialog, ModelessDialogLivesUntilDestroyed) {
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW, mfctest::TestRect(), nullptr, 0));
  CDataDialog dlg;
  ASSERT_TRUE(dlg.Create(IDD_DATA, CWnd::FromHandle(owner.m_hWnd)));
  EXPECT_STREQ("Anna", ItemText(dlg, IDC_NAME));
  EXPECT_TRUE(owner.IsWindowEnabled());  // a modeless dialog leaves its owner alone
  dlg.SetDlgItemText(IDC_NAME, "Dora");
  EXPECT_TRUE(dlg.UpdateData(TRUE));
  EXPECT_STREQ("Dora", dlg.m_name);
  dlg.DestroyWindow();
  EXPECT_EQ(nullptr, dlg.m_hWnd);
  owner.DestroyWindow();
}

UINT AFX_CDECL RunDialogOnWorker(LPVOID pParam) {
  CDataDialog dlg;
  dlg.m_steps.push_back([](CDataDialog& d) {
    d.SetDlgItemText(IDC_NAME, "from the worker");
    d.PostMessage(WM_COMMAND, IDOK);
  });
  INT_PTR nResult = dlg.DoModal();
  *static_cast<CString*>(pParam) = dlg.m_name;
  return static_cast<UINT>(nResult);
}

TEST(Dialog, ModalDialogOnAWorkerThread) {
  CString name;
  CWinThread* pThread =
      AfxBeginThread(&RunDialogOnWorker, &name, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(nullptr, pThread);
  pThread->m_bAutoDelete = FALSE;
  pThread->ResumeThread();
  // The main thread keeps pumping, as a program's would: the worker's window
  // activation talks to this thread's windows.
  HANDLE hThread = pThread->m_hThread;
  ASSERT_TRUE(testsupport::PumpUntil([&] { return ::WaitForSingleObject(hThread, 0) == WAIT_OBJECT_0; },
                                     10000, mfctest::PreTranslate));
  DWORD exitCode = 0;
  ::GetExitCodeThread(pThread->m_hThread, &exitCode);
  EXPECT_EQ((DWORD)IDOK, exitCode);
  EXPECT_STREQ("from the worker", name);
  delete pThread;
}

TEST(Dialog, ModalDialogDisablesItsOwnerMeanwhile) {
  mfctest::QuitWatchdog::Reset();
  mfctest::QuitWatchdog watchdog(10000);
  CWnd owner;
  ASSERT_TRUE(
      owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, mfctest::TestRect(), nullptr, 0));
  CDataDialog dlg;
  dlg.m_pParentWnd = &owner;
  BOOL ownerEnabled = TRUE;
  HWND dialogOwner = nullptr;
  dlg.m_steps.push_back([&](CDataDialog& d) {
    ownerEnabled = owner.IsWindowEnabled();
    dialogOwner = ::GetWindow(d.m_hWnd, GW_OWNER);
    d.PostMessage(WM_COMMAND, IDCANCEL);
  });
  EXPECT_EQ(IDCANCEL, dlg.DoModal());
  EXPECT_FALSE(ownerEnabled);
  EXPECT_EQ(owner.m_hWnd, dialogOwner);
  EXPECT_TRUE(owner.IsWindowEnabled());
  owner.DestroyWindow();
}

TEST(Dialog, MissingTemplateAnswersMinusOne) {
  CDialog dlg(4242);
  EXPECT_EQ(-1, dlg.DoModal());
}

}  // namespace
