#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "SkinFixture.h"
#include "testsupport/TempDir.h"
#include "ui/CProfileHelper.h"
#include "ui/CSkinAboutDialog.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinDialog.h"
#include "ui/CSkinManager.h"

namespace {

// A skinned dialog with one skinned OK button, as the player's dialogs have.
class TestDialog : public CSkinDialog {
 public:
  TestDialog() : CSkinDialog(200) {}
  BOOL OnInitDialog() override {
    CSkinDialog::OnInitDialog();
    CreateSkinButton(&ok, GetDialogHwnd(), kSkinOkBtn, IDOK, false, nullptr, nullptr);
    ok.MoveTo(220, 25);
    if (onInit) onInit(this);
    return TRUE;
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND) ++commands;
    if (message == WM_DRAWITEM && wParam == IDOK) {
      ok.DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    }
    return CSkinDialog::WindowProc(message, wParam, lParam);
  }
  CSkinCmdButton ok;
  int commands = 0;
  void (*onInit)(TestDialog*) = nullptr;
};

// Runs the dialog modally; the test's work happens from a timer once the
// dialog is up, and must end the dialog itself.
TestDialog* g_running = nullptr;
void (*g_work)(TestDialog*) = nullptr;

void CALLBACK RunWork(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  if (g_running && g_work) g_work(g_running);
}

INT_PTR RunModal(TestDialog& dialog, void (*work)(TestDialog*)) {
  g_work = work;
  dialog.onInit = [](TestDialog* d) {
    g_running = d;
    ::SetTimer(nullptr, 0, 30, RunWork);
  };
  // A safety net: a dialog the work forgot to end is cancelled.
  UINT_PTR guard = ::SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    if (g_running) g_running->EndDialog(IDABORT);
  });
  INT_PTR result = dialog.DoModal();
  ::KillTimer(nullptr, guard);
  g_running = nullptr;
  return result;
}

class SkinDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseSkinManager();
    WriteFlatImage(skin.File("BorderLeft.bmp"), 3, 8, 40, 1);
    WriteFlatImage(skin.File("BorderRight.bmp"), 3, 8, 41, 1);
    WriteFlatImage(skin.File("BorderBottom.bmp"), 8, 3, 43, 1);
    WriteFlatImage(skin.File("ScoreTitleActive.png"), 100, 15, 95, 1);
    WriteFlatImage(skin.File("ScoreTitleInActive.png"), 100, 15, 96, 1);
    WriteFlatImage(skin.File("Close.bmp"), 52, 13, 1, 4);
    WriteFlatImage(skin.File("OkBtn.bmp"), 256, 20, 110, 4);
    GetSkinManager()->SetSchemeFolder(skin.Path());
    GetSkinManager()->LoadSkinScheme();
    CProfileHelper::GetIniFilePath(ini);
  }
  void TearDown() override {
    ::DeleteFileA(ini.c_str());
    ReleaseSkinManager();
  }
  testsupport::TempDir skin;
  std::string ini;
};

TEST_F(SkinDialogTest, CommandButtonEndsTheDialogWithOneCommand) {
  TestDialog dialog;
  INT_PTR result = RunModal(dialog, [](TestDialog* d) {
    HWND ok = d->ok.GetHwnd();
    ::SendMessageA(ok, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(0, d->commands) << "nothing on press";
    ::SendMessageA(ok, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  });
  EXPECT_EQ(IDOK, result);
  EXPECT_EQ(1, dialog.commands);
}

TEST_F(SkinDialogTest, SkinPartDrawsBordersTitleAndTheBackgroundColour) {
  std::ofstream(ini) << "[COLOR_SETTING]\nDEFAULT_BK_COLOR=00FF000000FF\n";  // wrong length: ignored
  TestDialog dialog;
  RunModal(dialog, [](TestDialog* d) {
    EXPECT_EQ(kCaptionClose, d->GetCaptionButtons()->GetStyle());
    ASSERT_NE(nullptr, d->GetCaptionButtons()->GetButton(kCaptionBtnClose));
    EXPECT_EQ(d->GetDialogHwnd(), d->GetElementList()->GetOwner());
    const int W = d->GetLayout()->GetWidth(), H = d->GetLayout()->GetHeight();
    MemoryCanvas erase(W, H, RGB(9, 9, 9));
    ::SendMessageA(d->GetDialogHwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(erase.dc()), 0);
    EXPECT_EQ(RGB(0, 0, 0), erase.Pixel(W / 2, H / 2)) << "no colour setting: black";
    MemoryCanvas paint(W, H);
    d->PaintTo(paint.dc());
    EXPECT_EQ(ImageColour(40), paint.Pixel(0, H / 2));
    EXPECT_EQ(ImageColour(41), paint.Pixel(W - 1, H / 2));
    EXPECT_EQ(ImageColour(43), paint.Pixel(W / 2, H - 1));
    EXPECT_EQ(ImageColour(95), paint.Pixel(W / 2, 5)) << "active title (the layout starts active)";
    EXPECT_EQ(RGB(0, 0, 0), paint.Pixel(5, 2)) << "no top border in this scheme";
    EXPECT_EQ(StripColour(1, 0), paint.Pixel(W - 13 - 3, 5)) << "close button drawn";
    d->EndDialog(IDCANCEL);
  });
  std::ofstream(ini) << "[COLOR_SETTING]\nDEFAULT_BK_COLOR=FF000000FF\n";
  TestDialog red;
  RunModal(red, [](TestDialog* d) {
    MemoryCanvas erase(50, 50, RGB(9, 9, 9));
    ::SendMessageA(d->GetDialogHwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(erase.dc()), 0);
    EXPECT_EQ(RGB(255, 0, 0), erase.Pixel(20, 20));
    d->EndDialog(IDCANCEL);
  });
}

TEST_F(SkinDialogTest, TitleStripDragsTheDialog) {
  TestDialog dialog;
  RunModal(dialog, [](TestDialog* d) {
    HWND h = d->GetDialogHwnd();
    RECT before;
    ::GetWindowRect(h, &before);
    ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 16));
    EXPECT_FALSE(d->IsDragging()) << "below the 15-pixel caption";
    ::SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(40, 16));
    ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 5));
    EXPECT_TRUE(d->IsDragging());
    ::SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(52, 12));
    ::SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(52, 12));
    RECT after;
    ::GetWindowRect(h, &after);
    EXPECT_EQ(before.left + 12, after.left);
    EXPECT_EQ(before.top + 7, after.top);
    d->EndDialog(IDCANCEL);
  });
  EXPECT_EQ(nullptr, dialog.CSkinWnd::m_hWnd) << "the skin part lets go of the dialog's window";
}

// The framework's skinned about box: its skin OK button stands at (220, 25)
// and closes it.
CSkinAboutDialog* g_about = nullptr;

TEST_F(SkinDialogTest, AboutBoxClosesWithItsSkinButton) {
  CSkinAboutDialog about;
  g_about = &about;
  UINT_PTR timer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    HWND ok = g_about->GetOkButton()->GetHwnd();
    ASSERT_NE(nullptr, ok);
    RECT r;
    ::GetWindowRect(ok, &r);
    POINT p = {r.left, r.top};
    ::ScreenToClient(g_about->GetDialogHwnd(), &p);
    EXPECT_EQ(220, p.x);
    EXPECT_EQ(25, p.y);
    EXPECT_EQ(64, r.right - r.left) << "one frame of the OK strip";
    ::SendMessageA(ok, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ::SendMessageA(ok, WM_LBUTTONUP, 0, 0);
  });
  UINT_PTR guard = ::SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    g_about->EndDialog(IDABORT);
  });
  EXPECT_EQ(IDOK, about.DoModal());
  ::KillTimer(nullptr, timer);
  ::KillTimer(nullptr, guard);
  g_about = nullptr;
}

}  // namespace
