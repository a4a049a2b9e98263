#include <gtest/gtest.h>

#include <afxdlgs.h>

#include <functional>
#include <string>
#include <vector>

#include "ServicesFixture.h"
#include "SkinFixture.h"
#include "testsupport/StepSheet.h"
#include "ui/CTreePropSheet.h"

namespace {

// A page of the test template with the caption a test gives it.
class CPathPage : public CPropertyPage {
 public:
  explicit CPathPage(const char* caption) : CPropertyPage(300), m_title(caption) {
    m_psp.dwFlags |= PSP_USETITLE;
    m_psp.dwFlags &= ~PSP_HASHELP;
    m_psp.pszTitle = m_title.c_str();
  }
  BOOL OnKillActive() override { return refuseLeaving ? FALSE : CPropertyPage::OnKillActive(); }
  bool refuseLeaving = false;

 private:
  std::string m_title;
};

// The sheet under test, with what the steps ask of it.
class CStepTreeSheet : public testsupport::StepSheet<CStepTreeSheet, CTreePropSheet> {
 public:
  CStepTreeSheet() : StepSheet("Preferences") {
    m_psh.dwFlags &= ~PSH_HASHELP;
    SetPace(60, 15000);
  }
  using CTreePropSheet::GetPageFrame;

  std::string SelectedText() {
    HTREEITEM item = GetPageTree()->GetSelectedItem();
    return item ? std::string(GetPageTree()->GetItemText(item)) : std::string();
  }
  HTREEITEM Find(const char* text, HTREEITEM from = nullptr) {
    CTreeCtrl* tree = GetPageTree();
    for (HTREEITEM item = from ? from : tree->GetRootItem(); item; item = tree->GetNextSiblingItem(item)) {
      if (tree->GetItemText(item) == text) return item;
      if (HTREEITEM child = tree->GetChildItem(item))
        if (HTREEITEM found = Find(text, child)) return found;
    }
    return nullptr;
  }
  void PressCtrlTab(bool shift) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    MSG msg = {};
    msg.hwnd = GetPageTree()->m_hWnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_TAB;
    SendMessage(PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(&msg));
    keys[VK_CONTROL] = 0;
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
  }
};

TEST(TreePropSheetPaths, FirstSegmentTable) {
  struct {
    const char* path;
    const char* segment;
    const char* rest;
  } cases[] = {
      {"Audio::Output", "Audio", "Output"},
      {"Audio", "Audio", ""},
      {"A::B::C", "A", "B::C"},
      {"A\\::B", "A::B", ""},            // one backslash escapes the separator
      {"A\\\\::B", "A\\", "B"},          // two are one literal backslash
      {"A\\\\\\::B::C", "A\\::B", "C"},  // three: a literal backslash, then an escaped separator
      {"::B", "", "B"},
      {"", "", ""},
  };
  for (auto& c : cases) {
    CString path = c.path;
    EXPECT_STREQ(c.segment, CTreePropSheet::TakeFirstPathSegment(path)) << c.path;
    EXPECT_STREQ(c.rest, path) << c.path;
  }
}

TEST(TreePropSheet, CaptionsBecomeATreeWalkedByCtrlTabInDepthFirstOrder) {
  CPathPage output("Audio::Output"), input("Audio::Input"), video("Video"), audio("Audio");
  CStepTreeSheet sheet;
  EXPECT_TRUE(sheet.SetTreeViewMode(TRUE, TRUE, FALSE));
  EXPECT_TRUE(sheet.SetTreeWidth(120));
  sheet.SetEmptyPageText("Please select a child item of '%s'.");
  sheet.AddPage(&output);
  sheet.AddPage(&input);
  sheet.AddPage(&video);
  sheet.AddPage(&audio);

  struct {
    std::vector<std::string> roots, audioChildren;
    DWORD_PTR audioData = 0, outputData = 99;
    bool tabHidden = false;
    std::string first, frameCaption;
    std::vector<std::string> walk;
    BOOL lateOptions = TRUE, lateWidth = TRUE;
  } seen;
  sheet.steps.push_back([&](CStepTreeSheet& s) {
    CTreeCtrl* tree = s.GetPageTree();
    for (HTREEITEM i = tree->GetRootItem(); i; i = tree->GetNextSiblingItem(i))
      seen.roots.push_back(std::string(tree->GetItemText(i)));
    HTREEITEM audioItem = s.Find("Audio");
    seen.audioData = tree->GetItemData(audioItem);
    for (HTREEITEM i = tree->GetChildItem(audioItem); i; i = tree->GetNextSiblingItem(i))
      seen.audioChildren.push_back(std::string(tree->GetItemText(i)));
    seen.outputData = tree->GetItemData(s.Find("Output"));
    seen.tabHidden = !s.GetTabControl()->IsWindowVisible();
    seen.first = s.SelectedText();
    CString caption;
    s.GetPageFrame()->GetCaption(caption);
    seen.frameCaption = caption;
    seen.lateOptions = s.SetTreeOptions(FALSE);
    seen.lateWidth = s.SetPageTreeWidth(10);
  });
  // A step later, once everything has painted: a picture for a person.
  sheet.steps.push_back(
      [&](CStepTreeSheet& s) { CaptureWindowPng(s.m_hWnd, ShotPath("tree_property_sheet.png")); });
  sheet.steps.push_back([&](CStepTreeSheet& s) {
    for (bool shift : {false, false, false, false, true, true}) {
      s.PressCtrlTab(shift);
      seen.walk.push_back(s.SelectedText());
    }
  });
  sheet.RunSteps();

  EXPECT_EQ((std::vector<std::string>{"Audio", "Video"}), seen.roots);
  EXPECT_EQ((std::vector<std::string>{"Output", "Input"}), seen.audioChildren);
  EXPECT_EQ(3u, seen.audioData);  // the page captioned "Audio" took over its node
  EXPECT_EQ(0u, seen.outputData);
  EXPECT_TRUE(seen.tabHidden);
  EXPECT_EQ("Output", seen.first);
  EXPECT_EQ("Output", seen.frameCaption);
  EXPECT_FALSE(seen.lateOptions);
  EXPECT_FALSE(seen.lateWidth);
  EXPECT_EQ((std::vector<std::string>{"Input", "Video", "Audio", "Output", "Audio", "Video"}), seen.walk);
}

TEST(TreePropSheet, ANodeWithoutPageShowsTheBlankTextAndARefusingPageKeepsTheSelection) {
  CPathPage a("Group::A"), b("Group::B");
  CStepTreeSheet sheet;
  sheet.SetTreeOptions(TRUE, TRUE);
  sheet.SetBlankPageText("Please select a child item of '%s'.");
  EXPECT_EQ(CPageFrame::kDefaultMessageFormat, sheet.SetBlankPageTextFormat(DT_CENTER | DT_SINGLELINE));
  sheet.AddPage(&a);
  sheet.AddPage(&b);
  struct {
    DWORD_PTR groupData = 0;
    std::string onGroup, message;
    bool pageHidden = false;
    DWORD format = 0;
    std::string afterRefusal;
    int activeAfterRefusal = -1;
  } seen;
  sheet.steps.push_back([&](CStepTreeSheet& s) {
    HTREEITEM group = s.Find("Group");
    seen.groupData = s.GetPageTree()->GetItemData(group);
    s.GetPageTree()->SelectItem(group);
    seen.onGroup = s.SelectedText();
    seen.message = s.GetPageFrame()->GetMessageText();
    seen.pageHidden = !::IsWindowVisible(a.m_hWnd);
    seen.format = s.GetPageFrame()->GetMessageFormat();
  });
  sheet.steps.push_back([&](CStepTreeSheet& s) {
    s.GetPageTree()->SelectItem(s.Find("B"));
    b.refuseLeaving = true;
    s.GetPageTree()->SelectItem(s.Find("A"));
    seen.afterRefusal = s.SelectedText();
    seen.activeAfterRefusal = s.GetActiveIndex();
    b.refuseLeaving = false;
  });
  sheet.RunSteps();
  EXPECT_EQ(0xFFFFFFFFu, seen.groupData);
  EXPECT_EQ("Group", seen.onGroup);
  EXPECT_EQ("Please select a child item of 'Group'.", seen.message);
  EXPECT_TRUE(seen.pageHidden);
  EXPECT_EQ(static_cast<DWORD>(DT_CENTER | DT_SINGLELINE), seen.format);
  EXPECT_EQ("B", seen.afterRefusal);
  EXPECT_EQ(1, seen.activeAfterRefusal);
}

TEST(TreePropSheet, WithoutPageCaptionsTheSheetIsOneTabHeightLower) {
  int heights[2] = {0, 0};
  int captionHeight = 0;
  for (int withCaption = 0; withCaption < 2; ++withCaption) {
    CPathPage one("One"), two("Two");
    CStepTreeSheet sheet;
    sheet.SetTreeOptions(TRUE, withCaption);
    sheet.AddPage(&one);
    sheet.AddPage(&two);
    sheet.steps.push_back([&](CStepTreeSheet& s) {
      CRect r;
      s.GetWindowRect(&r);
      heights[withCaption] = r.Height();
      captionHeight = s.GetPageFrame()->GetCaptionHeight();
    });
    sheet.RunSteps();
  }
  ASSERT_GT(captionHeight, 0);
  EXPECT_EQ(captionHeight, heights[1] - heights[0]);
}

}  // namespace

namespace {

TEST(TreePropSheet, PageIconsAttachAndRelease) {
  CPathPage page("Icons");
  EXPECT_FALSE(CTreePropSheet::ReleasePageIcon(nullptr));
  EXPECT_FALSE(CTreePropSheet::ReleasePageIcon(&page));
  EXPECT_TRUE(CTreePropSheet::AttachPageIcon(&page, MakeFlatIcon(RGB(0, 0, 255))));
  EXPECT_TRUE(page.m_psp.dwFlags & PSP_USEHICON);
  EXPECT_TRUE(CTreePropSheet::ReleasePageIcon(&page));
  EXPECT_FALSE(page.m_psp.dwFlags & PSP_USEHICON);
  EXPECT_EQ(nullptr, page.m_psp.hIcon);
  EXPECT_FALSE(CTreePropSheet::ReleasePageIcon(&page));
}

TEST(TreePropSheet, DefaultImagesMarkNodesAndPagesAndPagesAddedLaterJoinTheTree) {
  CImageList one, two;
  ASSERT_TRUE(one.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 1));
  ASSERT_TRUE(two.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 1));
  HICON node = MakeFlatIcon(RGB(255, 0, 0)), leaf = MakeFlatIcon(RGB(0, 160, 0));
  one.Add(node);
  two.Add(node);
  two.Add(leaf);
  ::DestroyIcon(node);
  ::DestroyIcon(leaf);

  CPathPage output("Audio::Output"), extra("Audio::Extra");
  CStepTreeSheet sheet;
  EXPECT_FALSE(sheet.SetDefaultTreeImages(&one));
  EXPECT_TRUE(sheet.SetDefaultTreeImages(&two));
  sheet.SetTreeOptions(TRUE, TRUE, TRUE);
  sheet.AddPage(&output);
  struct {
    int nodeImage = -9, pageImage = -9, images = 0;
    std::vector<std::string> childrenAfterAdd;
  } seen;
  sheet.steps.push_back([&](CStepTreeSheet& s) {
    int selected = 0;
    s.GetPageTree()->GetItemImage(s.Find("Audio"), seen.nodeImage, selected);
    s.GetPageTree()->GetItemImage(s.Find("Output"), seen.pageImage, selected);
    seen.images = s.GetPageTree()->GetImageList(TVSIL_NORMAL)->GetImageCount();
    s.AddPage(&extra);
    CTreeCtrl* tree = s.GetPageTree();
    for (HTREEITEM i = tree->GetChildItem(s.Find("Audio")); i; i = tree->GetNextSiblingItem(i))
      seen.childrenAfterAdd.push_back(std::string(tree->GetItemText(i)));
  });
  sheet.RunSteps();
  EXPECT_EQ(2, seen.images);
  EXPECT_EQ(0, seen.nodeImage);  // images count - 2
  EXPECT_EQ(1, seen.pageImage);  // images count - 1: the page has no image of its own
  EXPECT_EQ((std::vector<std::string>{"Output", "Extra"}), seen.childrenAfterAdd);
}

}  // namespace

namespace {

// A sheet whose frame cannot be made (out of memory).
class CNoFrameSheet : public CStepTreeSheet {
 protected:
  CPageFrame* NewPageFrame() override { return nullptr; }
};

TEST(TreePropSheet, WithoutAFrameTheSheetKeepsItsTabsInsteadOfThrowing) {
  CPathPage one("One"), two("Two");
  CNoFrameSheet sheet;
  sheet.AddPage(&one);
  sheet.AddPage(&two);
  bool ran = false, tabsVisible = false;
  CTreeCtrl* tree = reinterpret_cast<CTreeCtrl*>(1);
  sheet.steps.push_back([&](CStepTreeSheet& s) {
    ran = true;
    tree = s.GetPageTree();
    tabsVisible = s.GetTabControl()->IsWindowVisible() != FALSE;
  });
  sheet.RunSteps();
  EXPECT_TRUE(ran);
  EXPECT_EQ(nullptr, tree);
  EXPECT_TRUE(tabsVisible);
}

}  // namespace
