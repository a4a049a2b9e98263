#include <afxdlgs.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "MfcTestResources.h"
#include "WindowTestSupport.h"

namespace {

class CGeneralPage : public CPropertyPage {
  DECLARE_DYNCREATE(CGeneralPage)
 public:
  CGeneralPage() : CPropertyPage(IDD_PAGE_ONE) {}
  CString m_name = "start";
  int m_enabled = BST_CHECKED;
  BOOL m_bRefuseLeaving = FALSE;
  int m_nKillActive = 0;
  int m_nApply = 0;
  int m_nInit = 0;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_PAGE_EDIT, m_name);
    DDX_Check(pDX, IDC_PAGE_CHECK, m_enabled);
  }
  BOOL OnInitDialog() override {
    ++m_nInit;
    return CPropertyPage::OnInitDialog();
  }
  BOOL OnKillActive() override {
    ++m_nKillActive;
    return !m_bRefuseLeaving && CPropertyPage::OnKillActive();
  }
  BOOL OnApply() override {
    ++m_nApply;
    return CPropertyPage::OnApply();
  }
};

IMPLEMENT_DYNCREATE(CGeneralPage, CPropertyPage)

class CColoursPage : public CPropertyPage {
 public:
  CColoursPage() : CPropertyPage(IDD_PAGE_TWO) {}
  int m_nSetActive = 0;

 protected:
  BOOL OnSetActive() override {
    ++m_nSetActive;
    return CPropertyPage::OnSetActive();
  }
};

// A sheet that runs test steps from a timer and watches PSM_ISDIALOGMESSAGE.
class CStepSheet : public CPropertySheet {
 public:
  CStepSheet() : CPropertySheet("Preferences") {}
  std::vector<std::function<void(CStepSheet&)>> m_steps;
  int m_nCtrlTabs = 0;
  int m_nAddPage = 0;
  bool m_initAfterSystem = false;

 protected:
  BOOL OnInitDialog() override {
    BOOL bResult = CPropertySheet::OnInitDialog();
    // The system's initialisation ran first: the tab control and the first page exist.
    m_initAfterSystem = GetTabControl() != nullptr && GetActivePage() != nullptr;
    SetTimer(1, 40);
    return bResult;
  }
  afx_msg void OnTimer(UINT_PTR) {
    if (m_steps.empty()) return;
    auto step = m_steps.front();
    m_steps.erase(m_steps.begin());
    step(*this);
  }
  afx_msg LRESULT OnAddPage(WPARAM, LPARAM) {
    ++m_nAddPage;
    return Default();
  }
  afx_msg LRESULT OnIsDialogMessage(WPARAM wParam, LPARAM lParam) {
    MSG* pMsg = reinterpret_cast<MSG*>(lParam);
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_TAB && (::GetKeyState(VK_CONTROL) & 0x8000))
      ++m_nCtrlTabs;
    return Default();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CStepSheet, CPropertySheet)
  ON_WM_TIMER()
  ON_MESSAGE(PSM_ISDIALOGMESSAGE, OnIsDialogMessage)
  ON_MESSAGE(PSM_ADDPAGE, OnAddPage)
END_MESSAGE_MAP()

void SetControlKey(bool down) {
  BYTE keys[256];
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = down ? 0x80 : 0;
  ::SetKeyboardState(keys);
}

TEST(Sheet, PagesValidateOnLeavingAndApplyOnOk) {
  mfctest::QuitWatchdog::Reset();
  mfctest::QuitWatchdog watchdog(15000);
  CGeneralPage general;
  CColoursPage colours;
  CStepSheet sheet;
  sheet.m_psh.dwFlags &= ~PSH_HASHELP;
  sheet.AddPage(&general);
  sheet.AddPage(&colours);
  EXPECT_EQ(2, sheet.GetPageCount());

  struct Seen {
    CString editText;
    int indexAfterRefusal = -1;
    int indexAfterLeaving = -1;
    BOOL applyBefore = TRUE, applyAfter = FALSE;
    int indexAfterCtrlTab = -1;
    bool pageBound = false;
  } seen;
  sheet.m_steps.push_back([&](CStepSheet& s) {
    seen.pageBound = CWnd::FromHandlePermanent((HWND)s.SendMessage(PSM_GETCURRENTPAGEHWND)) == &general;
    seen.editText = "";
    general.GetDlgItemText(IDC_PAGE_EDIT, seen.editText);
    CWnd* pApply = s.GetDlgItem(0x3021);
    seen.applyBefore = pApply != nullptr && pApply->IsWindowEnabled();
    general.SetModified();
    seen.applyAfter = pApply != nullptr && pApply->IsWindowEnabled();
    // The page refuses to be left: the sheet stays where it is.
    general.m_bRefuseLeaving = TRUE;
    s.SetActivePage(1);
    seen.indexAfterRefusal = s.GetActiveIndex();
    general.m_bRefuseLeaving = FALSE;
    general.SetDlgItemText(IDC_PAGE_EDIT, "typed");
    s.SetActivePage(1);
    seen.indexAfterLeaving = s.GetActiveIndex();
    // Ctrl+Tab, through the modal loop's PreTranslateMessage and PSM_ISDIALOGMESSAGE.
    SetControlKey(true);
    HWND hFocus = ::GetFocus() != nullptr ? ::GetFocus() : s.m_hWnd;
    ::PostMessageA(hFocus, WM_KEYDOWN, VK_TAB, 1);
  });
  sheet.m_steps.push_back([&](CStepSheet& s) {
    SetControlKey(false);
    seen.indexAfterCtrlTab = s.GetActiveIndex();
    s.PressButton(PSBTN_OK);
  });
  EXPECT_EQ(IDOK, sheet.DoModal());
  SetControlKey(false);
  EXPECT_FALSE(mfctest::QuitWatchdog::Fired());

  EXPECT_TRUE(sheet.m_initAfterSystem);
  EXPECT_TRUE(seen.pageBound);
  EXPECT_EQ(1, general.m_nInit);
  EXPECT_STREQ("start", seen.editText);
  EXPECT_FALSE(seen.applyBefore);
  EXPECT_TRUE(seen.applyAfter);
  EXPECT_EQ(0, seen.indexAfterRefusal);
  EXPECT_EQ(1, seen.indexAfterLeaving);
  EXPECT_STREQ("typed", general.m_name);  // OnKillActive exchanged the data
  EXPECT_GE(general.m_nKillActive, 2);
  EXPECT_GE(colours.m_nSetActive, 1);
  EXPECT_GE(sheet.m_nCtrlTabs, 1);
  EXPECT_EQ(0, seen.indexAfterCtrlTab);  // Ctrl+Tab wrapped from the last page to the first
  EXPECT_EQ(1, general.m_nApply);
  EXPECT_EQ(nullptr, sheet.m_hWnd);
}

TEST(Sheet, PagesAddedLaterAndCancel) {
  mfctest::QuitWatchdog::Reset();
  mfctest::QuitWatchdog watchdog(10000);
  CGeneralPage general;
  CColoursPage colours;
  CStepSheet sheet;
  sheet.AddPage(&general);
  sheet.SetActivePage(0);
  int countAfterAdd = 0, countAfterRemove = 0;
  bool activeIsColours = false;
  sheet.m_steps.push_back([&](CStepSheet& s) {
    s.AddPage(&colours);  // PSM_ADDPAGE passes through the sheet's own map
    countAfterAdd = s.GetPageCount();
    s.SetActivePage(&colours);
    activeIsColours = s.GetActivePage() == &colours;
    s.SetActivePage(0);
    s.RemovePage(&colours);
    countAfterRemove = s.GetPageCount();
    s.PressButton(PSBTN_CANCEL);
  });
  EXPECT_EQ(IDCANCEL, sheet.DoModal());
  EXPECT_FALSE(mfctest::QuitWatchdog::Fired());
  EXPECT_EQ(1, sheet.m_nAddPage);
  EXPECT_EQ(2, countAfterAdd);
  EXPECT_TRUE(activeIsColours);
  EXPECT_EQ(1, countAfterRemove);
  EXPECT_EQ(0, general.m_nApply);
}

TEST(Sheet, DynCreatePages) {
  CObject* pObject = RUNTIME_CLASS(CGeneralPage)->CreateObject();
  ASSERT_NE(nullptr, pObject);
  EXPECT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CPropertyPage)));
  EXPECT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CDialog)));
  delete pObject;
}

// Answers the first system dialog this thread shows with the given command,
// noting its owner.
class SystemDialogAnswerer {
 public:
  explicit SystemDialogAnswerer(WORD command) : m_id(::SetTimer(nullptr, 0, 100, &Tick)) {
    s_command = command;
    s_owner = nullptr;
    s_answered = false;
  }
  ~SystemDialogAnswerer() { ::KillTimer(nullptr, m_id); }
  static HWND Owner() { return s_owner; }
  static bool Answered() { return s_answered; }

 private:
  static BOOL CALLBACK Answer(HWND hWnd, LPARAM) {
    char className[16] = {};
    ::GetClassNameA(hWnd, className, sizeof(className));
    if (!s_answered && strcmp(className, "#32770") == 0 && ::IsWindowVisible(hWnd)) {
      s_owner = ::GetWindow(hWnd, GW_OWNER);
      s_answered = true;
      ::PostMessageA(hWnd, WM_COMMAND, s_command, 0);
    }
    return TRUE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), &Answer, 0);
  }
  UINT_PTR m_id;
  static inline WORD s_command = IDOK;
  static inline HWND s_owner = nullptr;
  static inline bool s_answered = false;
};

TEST(CommonDialogs, ColourDialogGetsTheActiveWindowAsOwner) {
  CWnd frame;
  ASSERT_TRUE(
      frame.CreateEx(0, nullptr, "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, mfctest::TestRect(), nullptr, 0));
  frame.SetActiveWindow();
  frame.SetForegroundWindow();
  ASSERT_TRUE(testsupport::PumpUntil([&] { return ::GetActiveWindow() == frame.m_hWnd; }, 3000,
                                     mfctest::PreTranslate));

  SystemDialogAnswerer answer(IDOK);
  CColorDialog dlg(RGB(10, 20, 30), CC_FULLOPEN);
  EXPECT_EQ(IDOK, dlg.DoModal());
  EXPECT_TRUE(SystemDialogAnswerer::Answered());
  EXPECT_EQ(frame.m_hWnd, SystemDialogAnswerer::Owner());  // NULL parent, still a proper owner
  EXPECT_EQ(RGB(10, 20, 30), dlg.GetColor());
  EXPECT_NE(nullptr, dlg.m_cc.lpCustColors);
  frame.DestroyWindow();
}

TEST(CommonDialogs, FileDialogFilterAndCancel) {
  CFileDialog dlg(TRUE, "txt", "lyrics.txt", OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                  "Lyrics (*.txt)|*.txt|All files (*.*)|*.*||");
  // The filter became NUL-separated pairs ending in an empty string.
  const char* p = dlg.m_ofn.lpstrFilter;
  ASSERT_NE(nullptr, p);
  EXPECT_STREQ("Lyrics (*.txt)", p);
  p += strlen(p) + 1;
  EXPECT_STREQ("*.txt", p);
  p += strlen(p) + 1;
  EXPECT_STREQ("All files (*.*)", p);
  p += strlen(p) + 1;
  EXPECT_STREQ("*.*", p);
  p += strlen(p) + 1;
  EXPECT_EQ('\0', *p);
  EXPECT_STREQ("lyrics.txt", dlg.GetPathName());
  EXPECT_STREQ("txt", dlg.GetFileExt());
  EXPECT_STREQ("lyrics", dlg.GetFileTitle());

  SystemDialogAnswerer answer(IDCANCEL);
  EXPECT_EQ(IDCANCEL, dlg.DoModal());
  EXPECT_TRUE(SystemDialogAnswerer::Answered());
}

}  // namespace
