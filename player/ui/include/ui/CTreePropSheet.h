// A property sheet that shows its pages in a tree instead of a row of tabs.
// Each page's tab caption is a path ("Audio::Output"); the tree shows the
// paths as nested nodes, and choosing a leaf shows its page in a page frame
// with a caption bar. The tab control stays, hidden and disabled, as the
// source of captions, images and the current selection.
#pragma once

#include <afxdlgs.h>

#include "ui/CPageFrame.h"

class CTreePropSheet : public CPropertySheet {
  DECLARE_DYNAMIC(CTreePropSheet)
 public:
  CTreePropSheet();
  explicit CTreePropSheet(UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);
  explicit CTreePropSheet(LPCTSTR caption, CWnd* parent = nullptr, UINT selectPage = 0);
  ~CTreePropSheet() override;

  // ---- Options, before the window exists (FALSE once it does)
  // The page caption and tree image flags are only taken in tree mode.
  BOOL SetTreeOptions(BOOL treeMode, BOOL pageCaption = FALSE, BOOL treeImages = FALSE);
  BOOL SetTreeViewMode(BOOL treeMode, BOOL pageCaption = FALSE, BOOL treeImages = FALSE) {
    return SetTreeOptions(treeMode, pageCaption, treeImages);
  }
  BOOL SetPageTreeWidth(int width);
  BOOL SetTreeWidth(int width) { return SetPageTreeWidth(width); }
  // The message for a node without page; %s receives the node's text.
  void SetBlankPageText(LPCTSTR text) { m_blankPageText = text; }
  void SetEmptyPageText(LPCTSTR text) { SetBlankPageText(text); }
  // DrawText flags of that message; answers the previous ones. Kept by the
  // sheet until the frame exists.
  DWORD SetBlankPageTextFormat(DWORD flags);
  // Two images: nodes without page, pages without an image of their own.
  BOOL SetDefaultTreeImages(CImageList* images);
  BOOL SetDefaultTreeImages(UINT bitmapId, int cx, COLORREF mask);
  CTreeCtrl* GetPageTree() { return m_pageTree; }
  CPageFrame* GetPageFrame() { return m_pageFrame; }

  // ---- Page icons (on the page's sheet-page header)
  static BOOL AttachPageIcon(CPropertyPage* page, HICON icon);
  static BOOL AttachPageIcon(CPropertyPage* page, UINT iconId);
  static BOOL AttachPageIcon(CPropertyPage* page, CImageList& images, int index);
  static BOOL ReleasePageIcon(CPropertyPage* page);

  // Splits the first "::"-separated segment off path. A "::" after an odd
  // number of backslashes is escaped; in the segment the escaping
  // backslashes go and doubled backslashes become one.
  static CString TakeFirstPathSegment(CString& path);

  BOOL OnInitDialog() override;

  // Ids of the windows the sheet adds.
  static constexpr UINT kTreeId = 0x7EEE;
  static constexpr UINT kFrameId = 0xFFFF;

 protected:
  virtual CString FormatBlankPageText(LPCTSTR format, LPCTSTR caption);
  virtual CTreeCtrl* NewPageTree();
  virtual CPageFrame* NewPageFrame();

  void RebuildPageTree();
  HTREEITEM InsertPagePath(LPCTSTR path, HTREEITEM parent = TVI_ROOT);
  HTREEITEM FindPageItem(int page, HTREEITEM start = TVI_ROOT);
  BOOL SelectPageItem(int page);
  BOOL SelectActivePageItem();
  // Hides the current page unless it refuses to be left (FALSE then).
  BOOL DeactivateCurrentPage();
  void RefreshFrameCaption();
  void StepPage(bool forward);

  afx_msg void OnDestroy();
  afx_msg LRESULT OnAddPage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnRemovePage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetCurSel(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetCurSelId(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnIsDialogMessage(WPARAM wParam, LPARAM lParam);
  afx_msg void OnSelChanging(NMHDR* header, LRESULT* result);
  afx_msg void OnSelChanged(NMHDR* header, LRESULT* result);
  DECLARE_MESSAGE_MAP()

 private:
  void CommonInit();
  bool HasWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
  bool HasTree() const { return m_pageTree && ::IsWindow(m_pageTree->m_hWnd); }
  HTREEITEM LastDescendant(HTREEITEM item) const;
  // The caption text of the tab control's page i.
  CString TabText(CTabCtrl* tab, int i, int* image) const;

  BOOL m_treeMode = TRUE;
  CTreeCtrl* m_pageTree = nullptr;
  CPageFrame* m_pageFrame = nullptr;
  BOOL m_inSelChange = FALSE;
  BOOL m_showPageCaption = FALSE;
  BOOL m_treeImagesOn = FALSE;
  CImageList m_treeImages;
  CImageList m_defaultImages;
  CString m_blankPageText;
  int m_treeWidth = 150;
  DWORD m_blankPageFormat = CPageFrame::kDefaultMessageFormat;
};
