#include <afxcmn.h>

#include <gtest/gtest.h>

#include "WindowTestSupport.h"

namespace {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        m_parent.CreateEx(0, nullptr, "controls", WS_OVERLAPPEDWINDOW, CRect(0, 0, 500, 400), nullptr, 0));
  }
  void TearDown() override {
    m_parent.DestroyWindow();
    AfxDeleteTempMaps();
  }
  CWnd m_parent;
};

TEST_F(ControlsTest, ListCtrlItemsTextDataAndSelection) {
  CListCtrl list;
  ASSERT_TRUE(list.Create(WS_VISIBLE | LVS_REPORT, CRect(0, 0, 400, 300), &m_parent, 10));
  EXPECT_EQ(0, list.InsertColumn(0, "Title", LVCFMT_LEFT, 200));
  EXPECT_EQ(1, list.InsertColumn(1, "Artist", LVCFMT_LEFT, 100));
  EXPECT_EQ(2, list.GetHeaderCtrl()->GetItemCount());
  const char* titles[] = {"Moon River", "Yesterday", "Fly Me"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(i, list.InsertItem(i, titles[i]));
    list.SetItemText(i, 1, "Someone");
    list.SetItemData(i, 1000 + i);
  }
  EXPECT_EQ(3, list.GetItemCount());
  EXPECT_STREQ("Yesterday", list.GetItemText(1, 0));
  EXPECT_STREQ("Someone", list.GetItemText(2, 1));
  EXPECT_EQ(1002u, list.GetItemData(2));

  CString longTitle('x', 700);  // beyond the first buffer GetItemText tries
  list.SetItemText(0, 0, longTitle);
  EXPECT_EQ(700, list.GetItemText(0, 0).GetLength());

  list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
  list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(0, list.GetNextItem(-1, LVNI_SELECTED));
  std::vector<int> selected;
  for (POSITION pos = list.GetFirstSelectedItemPosition(); pos != nullptr;)
    selected.push_back(list.GetNextSelectedItem(pos));
  EXPECT_EQ((std::vector<int>{0, 2}), selected);
  EXPECT_TRUE(list.DeleteItem(1));
  EXPECT_EQ(2, list.GetItemCount());
}

TEST_F(ControlsTest, TreeCtrlWalksAndStoresData) {
  CTreeCtrl tree;
  ASSERT_TRUE(
      tree.CreateEx(WS_EX_CLIENTEDGE, WS_VISIBLE | TVS_HASLINES, CRect(0, 0, 200, 300), &m_parent, 0x7EEE));
  HTREEITEM hAudio = tree.InsertItem("Audio");
  HTREEITEM hOut = tree.InsertItem("Output", hAudio);
  HTREEITEM hIn = tree.InsertItem("Input", hAudio);
  HTREEITEM hSkin = tree.InsertItem("Skin");
  tree.SetItemData(hAudio, (DWORD_PTR)-1);
  tree.SetItemData(hOut, 0);
  tree.SetItemData(hIn, 1);
  EXPECT_EQ(hAudio, tree.GetRootItem());
  EXPECT_EQ(hOut, tree.GetChildItem(hAudio));
  EXPECT_EQ(hIn, tree.GetNextSiblingItem(hOut));
  EXPECT_EQ(hOut, tree.GetPrevSiblingItem(hIn));
  EXPECT_EQ(hAudio, tree.GetParentItem(hIn));
  EXPECT_EQ(hSkin, tree.GetNextSiblingItem(hAudio));
  EXPECT_TRUE(tree.ItemHasChildren(hAudio));
  EXPECT_FALSE(tree.ItemHasChildren(hSkin));
  EXPECT_STREQ("Input", tree.GetItemText(hIn));
  EXPECT_EQ((DWORD_PTR)-1, tree.GetItemData(hAudio));
  EXPECT_EQ(1u, tree.GetItemData(hIn));
  EXPECT_TRUE(tree.SelectItem(hIn));
  EXPECT_EQ(hIn, tree.GetSelectedItem());
  tree.DeleteAllItems();
  EXPECT_EQ(0u, tree.GetCount());
}

TEST_F(ControlsTest, ImageListOwnsItsImages) {
  HIMAGELIST hList = nullptr;
  {
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 1));
    HICON hIcon = ::LoadIcon(nullptr, IDI_APPLICATION);
    EXPECT_EQ(0, images.Add(hIcon));
    EXPECT_EQ(1, images.Add(hIcon));
    CImageList copy;
    ASSERT_TRUE(copy.Create(&images));
    EXPECT_EQ(2, copy.GetImageCount());
    EXPECT_TRUE(images.Remove(-1));
    EXPECT_EQ(0, images.GetImageCount());
    EXPECT_EQ(2, copy.GetImageCount());
    hList = copy.Detach();
  }
  CImageList* pTemp = CImageList::FromHandle(hList);
  EXPECT_EQ(2, pTemp->GetImageCount());
  AfxDeleteTempMaps();  // the temporary leaves the list alone
  EXPECT_EQ(2, ImageList_GetImageCount(hList));
  ImageList_Destroy(hList);
}

TEST_F(ControlsTest, SmallControlsAnswerTheirState) {
  CProgressCtrl progress;
  ASSERT_TRUE(progress.Create(WS_VISIBLE | PBS_SMOOTH, CRect(0, 0, 200, 10), &m_parent, 20));
  progress.SetRange(0, 50);
  progress.SetPos(20);
  EXPECT_EQ(20, progress.GetPos());

  CSliderCtrl slider;
  ASSERT_TRUE(slider.Create(WS_VISIBLE, CRect(0, 20, 200, 50), &m_parent, 21));
  slider.SetRange(0, 10);
  slider.SetPos(7);
  EXPECT_EQ(7, slider.GetPos());
  EXPECT_EQ(10, slider.GetRangeMax());

  CComboBox combo;
  ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST, CRect(0, 60, 200, 200), &m_parent, 22));
  combo.AddString("one");
  combo.AddString("two");
  combo.SetCurSel(1);
  CString text;
  combo.GetLBText(combo.GetCurSel(), text);
  EXPECT_STREQ("two", text);

  CListBox listBox;
  ASSERT_TRUE(listBox.Create(WS_VISIBLE | LBS_NOTIFY, CRect(210, 0, 400, 200), &m_parent, 23));
  listBox.AddString("alpha");
  listBox.AddString("beta");
  EXPECT_EQ(1, listBox.FindStringExact(-1, "beta"));
  listBox.GetText(0, text);
  EXPECT_STREQ("alpha", text);
  BOOL bOutside = TRUE;
  EXPECT_EQ(0u, listBox.ItemFromPoint(CPoint(5, 2), bOutside));
  EXPECT_FALSE(bOutside);

  CTabCtrl tabs;
  ASSERT_TRUE(tabs.Create(WS_VISIBLE, CRect(0, 210, 300, 300), &m_parent, 24));
  tabs.InsertItem(0, "");
  CRect item;
  EXPECT_TRUE(tabs.GetItemRect(0, &item));
  EXPECT_GT(item.Height(), 10);

  AfxInitRichEdit();
  CRichEditCtrl rich;
  ASSERT_TRUE(rich.Create(WS_VISIBLE | ES_MULTILINE, CRect(0, 300, 300, 390), &m_parent, 25));
  rich.SetWindowText("karaoke lyrics");
  rich.SetSel(8, 14);
  EXPECT_STREQ("lyrics", rich.GetSelText());
  rich.ReplaceSel("songs", TRUE);
  CString all;
  rich.GetWindowText(all);
  EXPECT_STREQ("karaoke songs", all);
  EXPECT_EQ(13, rich.GetTextLength());
}

}  // namespace
