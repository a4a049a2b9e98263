#include "ui/CTreePropSheet.h"

#include <new>

IMPLEMENT_DYNAMIC(CTreePropSheet, CPropertySheet)

BEGIN_MESSAGE_MAP(CTreePropSheet, CPropertySheet)
  ON_WM_DESTROY()
  ON_MESSAGE(PSM_ADDPAGE, OnAddPage)
  ON_MESSAGE(PSM_REMOVEPAGE, OnRemovePage)
  ON_MESSAGE(PSM_SETCURSEL, OnSetCurSel)
  ON_MESSAGE(PSM_SETCURSELID, OnSetCurSelId)
  ON_MESSAGE(PSM_ISDIALOGMESSAGE, OnIsDialogMessage)
  ON_NOTIFY(TVN_SELCHANGINGA, CTreePropSheet::kTreeId, OnSelChanging)
  ON_NOTIFY(TVN_SELCHANGINGW, CTreePropSheet::kTreeId, OnSelChanging)
  ON_NOTIFY(TVN_SELCHANGEDA, CTreePropSheet::kTreeId, OnSelChanged)
  ON_NOTIFY(TVN_SELCHANGEDW, CTreePropSheet::kTreeId, OnSelChanged)
END_MESSAGE_MAP()

namespace {

// Nodes made only as path parents carry this as their page index.
constexpr DWORD_PTR kNoPage = 0xFFFFFFFF;

constexpr UINT kTabProbeId = 0x1234;

void ShiftChildren(CWnd* parent, int dx, int dy) {
  for (HWND child = ::GetWindow(parent->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    CRect r;
    ::GetWindowRect(child, &r);
    parent->ScreenToClient(&r);
    ::SetWindowPos(child, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace

CTreePropSheet::CTreePropSheet() { CommonInit(); }

CTreePropSheet::CTreePropSheet(UINT captionId, CWnd* parent, UINT selectPage)
    : CPropertySheet(captionId, parent, selectPage) {
  CommonInit();
}

CTreePropSheet::CTreePropSheet(LPCTSTR caption, CWnd* parent, UINT selectPage)
    : CPropertySheet(caption, parent, selectPage) {
  CommonInit();
}

CTreePropSheet::~CTreePropSheet() {
  delete m_pageTree;
  delete m_pageFrame;
}

void CTreePropSheet::CommonInit() {
  m_treeMode = TRUE;
  m_showPageCaption = FALSE;
  m_treeImagesOn = FALSE;
  m_treeWidth = 150;
}

// ---- Options

BOOL CTreePropSheet::SetTreeOptions(BOOL treeMode, BOOL pageCaption, BOOL treeImages) {
  if (HasWindow()) return FALSE;
  m_treeMode = treeMode;
  if (treeMode) {
    m_showPageCaption = pageCaption;
    m_treeImagesOn = treeImages;
  }
  return TRUE;
}

BOOL CTreePropSheet::SetPageTreeWidth(int width) {
  if (HasWindow()) return FALSE;
  m_treeWidth = width;
  return TRUE;
}

DWORD CTreePropSheet::SetBlankPageTextFormat(DWORD flags) {
  const DWORD old = m_pageFrame ? m_pageFrame->GetMessageFormat() : m_blankPageFormat;
  m_blankPageFormat = flags;
  if (m_pageFrame) m_pageFrame->SetMessageFormat(flags);
  return old;
}

BOOL CTreePropSheet::SetDefaultTreeImages(CImageList* images) {
  if (!images || !images->GetSafeHandle() || images->GetImageCount() != 2) return FALSE;
  m_defaultImages.DeleteImageList();
  if (!m_defaultImages.Create(images)) return FALSE;
  if (HasWindow()) RebuildPageTree();
  return TRUE;
}

BOOL CTreePropSheet::SetDefaultTreeImages(UINT bitmapId, int cx, COLORREF mask) {
  m_defaultImages.DeleteImageList();
  if (!m_defaultImages.Create(bitmapId, cx, 0, mask)) return FALSE;
  if (m_defaultImages.GetImageCount() != 2) {
    m_defaultImages.DeleteImageList();
    return FALSE;
  }
  if (HasWindow()) RebuildPageTree();
  return TRUE;
}

// ---- Page icons

BOOL CTreePropSheet::AttachPageIcon(CPropertyPage* page, HICON icon) {
  if (!page) return FALSE;
  page->m_psp.dwFlags |= PSP_USEHICON;
  page->m_psp.hIcon = icon;
  return TRUE;
}

BOOL CTreePropSheet::AttachPageIcon(CPropertyPage* page, UINT iconId) {
  HICON icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(iconId));
  return icon ? AttachPageIcon(page, icon) : FALSE;
}

BOOL CTreePropSheet::AttachPageIcon(CPropertyPage* page, CImageList& images, int index) {
  HICON icon = images.GetSafeHandle() ? images.ExtractIcon(index) : nullptr;
  return icon ? AttachPageIcon(page, icon) : FALSE;
}

BOOL CTreePropSheet::ReleasePageIcon(CPropertyPage* page) {
  if (!page || !(page->m_psp.dwFlags & PSP_USEHICON) || !page->m_psp.hIcon) return FALSE;
  ::DestroyIcon(page->m_psp.hIcon);
  page->m_psp.dwFlags &= ~PSP_USEHICON;
  page->m_psp.hIcon = nullptr;
  return TRUE;
}

// ---- Paths

CString CTreePropSheet::TakeFirstPathSegment(CString& path) {
  int from = 0;
  int split = -1;
  for (;;) {
    const int hit = path.Find("::", from);
    if (hit < 0) break;
    int slashes = 0;
    for (int i = hit - 1; i >= 0 && path[i] == '\\'; --i) ++slashes;
    if (slashes % 2 == 0) {
      split = hit;
      break;
    }
    from = hit + 1;
  }
  // The last segment is unescaped too: A, one backslash and "::B" alone make the one node "A::B".
  CString segment = split < 0 ? path : path.Left(split);
  if (split < 0)
    path.Empty();
  else
    path = path.Mid(split + 2);
  segment.Replace("\\::", "::");
  segment.Replace("\\\\", "\\");
  return segment;
}

HTREEITEM CTreePropSheet::InsertPagePath(LPCTSTR pathText, HTREEITEM parent) {
  CString path = pathText;
  const CString segment = TakeFirstPathSegment(path);
  HTREEITEM item = nullptr;
  for (HTREEITEM child = m_pageTree->GetChildItem(parent == TVI_ROOT ? nullptr : parent); child;
       child = m_pageTree->GetNextSiblingItem(child)) {
    if (m_pageTree->GetItemText(child) == segment) {
      item = child;
      break;
    }
  }
  if (!item) {
    item = m_pageTree->InsertItem(segment, parent, TVI_LAST);
    if (!item) return nullptr;
    m_pageTree->SetItemData(item, kNoPage);
    if (!path.IsEmpty() && m_treeImagesOn && m_defaultImages.GetSafeHandle()) {
      const int image = m_treeImages.GetImageCount() - 2;
      m_pageTree->SetItemImage(item, image, image);
    }
  }
  if (path.IsEmpty()) return item;
  return InsertPagePath(path, item);
}

CString CTreePropSheet::TabText(CTabCtrl* tab, int i, int* image) const {
  char text[260] = {};
  TCITEMA item = {};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = text;
  item.cchTextMax = sizeof(text);
  item.iImage = -1;
  tab->GetItem(i, &item);
  if (image) *image = item.iImage;
  return text;
}

void CTreePropSheet::RebuildPageTree() {
  if (!HasWindow() || !HasTree()) return;
  m_pageTree->DeleteAllItems();
  CTabCtrl* tab = GetTabControl();
  if (!tab || !::IsWindow(tab->m_hWnd)) return;

  if (m_treeImagesOn && m_treeImages.GetSafeHandle()) {
    m_treeImages.Remove(-1);
    if (CImageList* tabImages = tab->GetImageList(); tabImages && tabImages->GetSafeHandle()) {
      for (int i = 0; i < tabImages->GetImageCount(); ++i) {
        HICON icon = tabImages->ExtractIcon(i);
        m_treeImages.Add(icon);
        if (icon) ::DestroyIcon(icon);
      }
    }
    if (m_defaultImages.GetSafeHandle()) {
      for (int i = 0; i < 2; ++i) {
        HICON icon = m_defaultImages.ExtractIcon(i);
        if (icon) {
          m_treeImages.Add(icon);
          ::DestroyIcon(icon);
        }
      }
    }
  }
  const int count = tab->GetItemCount();
  for (int i = 0; i < count; ++i) {
    int image = -1;
    const CString text = TabText(tab, i, &image);
    HTREEITEM item = InsertPagePath(text);
    if (!item) continue;
    m_pageTree->SetItemData(item, static_cast<DWORD_PTR>(i));
    if (m_treeImagesOn) {
      const int images = m_treeImages.GetSafeHandle() ? m_treeImages.GetImageCount() : 0;
      int use = -1;
      if (image >= 0 && image < images)
        use = image;
      else if (m_defaultImages.GetSafeHandle())
        use = images - 1;
      m_pageTree->SetItemImage(item, use, use);
    }
  }
}

HTREEITEM CTreePropSheet::FindPageItem(int page, HTREEITEM start) {
  if (!HasTree()) return nullptr;
  if (start == TVI_ROOT) start = m_pageTree->GetRootItem();
  if (page < 0 || page >= GetPageCount() || !start) return nullptr;
  for (HTREEITEM item = start; item; item = m_pageTree->GetNextSiblingItem(item)) {
    if (m_pageTree->GetItemData(item) == static_cast<DWORD_PTR>(page)) return item;
    if (HTREEITEM child = m_pageTree->GetChildItem(item))
      if (HTREEITEM found = FindPageItem(page, child)) return found;
  }
  return nullptr;
}

BOOL CTreePropSheet::SelectPageItem(int page) {
  HTREEITEM item = FindPageItem(page);
  return item ? m_pageTree->SelectItem(item) : FALSE;
}

BOOL CTreePropSheet::SelectActivePageItem() {
  CTabCtrl* tab = GetTabControl();
  if (!tab || !::IsWindow(tab->m_hWnd)) return FALSE;
  return SelectPageItem(tab->GetCurSel());
}

// ---- Creation

CString CTreePropSheet::FormatBlankPageText(LPCTSTR format, LPCTSTR caption) {
  CString text;
  text.Format(format, caption);
  return text;
}

CTreeCtrl* CTreePropSheet::NewPageTree() { return new (std::nothrow) CTreeCtrl; }

CPageFrame* CTreePropSheet::NewPageFrame() { return new (std::nothrow) CPageFrameWnd; }

BOOL CTreePropSheet::OnInitDialog() {
  if (m_treeMode) {
    EnableStackedTabs(FALSE);
    int cx = 16, cy = 16;
    IMAGEINFO info = {};
    if (m_defaultImages.GetSafeHandle() && m_defaultImages.GetImageInfo(0, &info)) {
      cx = info.rcImage.right - info.rcImage.left;
      cy = info.rcImage.bottom - info.rcImage.top;
    }
    m_treeImages.DeleteImageList();
    m_treeImages.Create(cx, cy, ILC_COLOR32 | ILC_MASK, 0, 1);
  }
  const BOOL result = CPropertySheet::OnInitDialog();
  if (!m_treeMode) return result;

  CTabCtrl* tab = GetTabControl();
  if (!tab || !::IsWindow(tab->m_hWnd)) return result;

  // Both parts first: without them the sheet keeps its tabs. (An exception
  // thrown from here would unwind through the system's dialog code.)
  m_pageFrame = NewPageFrame();
  m_pageTree = NewPageTree();
  if (!m_pageFrame || !m_pageTree) {
    delete m_pageFrame;
    delete m_pageTree;
    m_pageFrame = nullptr;
    m_pageTree = nullptr;
    TRACE("CTreePropSheet: no memory for the page tree\n");
    return FALSE;
  }

  tab->ShowWindow(SW_HIDE);
  tab->EnableWindow(FALSE);
  CRect tabRect;
  tab->GetWindowRect(&tabRect);
  ScreenToClient(&tabRect);

  m_pageFrame->Create(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, tabRect, this, kFrameId);
  m_pageFrame->EnableCaption(m_showPageCaption);
  m_pageFrame->SetMessageFormat(m_blankPageFormat);

  CRect window;
  GetWindowRect(&window);
  SetWindowPos(nullptr, 0, 0, window.Width() + m_treeWidth, window.Height(),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CenterWindow();
  ShiftChildren(this, m_treeWidth, 0);

  CRect treeRect = tabRect;
  treeRect.right = tabRect.left + m_treeWidth - 5;

  // The height of one tab: the caption bar is as tall.
  int tabHeight = 0;
  {
    CTabCtrl probe;
    if (probe.Create(WS_CHILD, tabRect, this, kTabProbeId)) {
      probe.InsertItem(0, "");
      CRect item;
      if (probe.GetItemRect(0, &item)) tabHeight = item.Height();
      probe.DestroyWindow();
    }
  }
  m_pageFrame->SetCaptionHeight(tabHeight);

  if (!m_showPageCaption) {
    CWnd* frame = m_pageFrame->GetWnd();
    CRect frameRect;
    frame->GetWindowRect(&frameRect);
    ScreenToClient(&frameRect);
    frame->SetWindowPos(nullptr, frameRect.left, frameRect.top + tabHeight, frameRect.Width(),
                        frameRect.Height() - tabHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    ShiftChildren(this, 0, -tabHeight);
    treeRect.bottom -= tabHeight;
    GetWindowRect(&window);
    if (CWnd* parent = GetParent()) parent->ScreenToClient(&window);
    window.top += tabHeight / 2;
    window.bottom -= tabHeight - tabHeight / 2;
    SetWindowPos(nullptr, window.left, window.top, window.Width(), window.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }

  m_pageTree->CreateEx(WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY, WC_TREEVIEWA, "PageTree",
                       WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                           TVS_SHOWSELALWAYS | TVS_TRACKSELECT,
                       treeRect, this, kTreeId);
  if (m_treeImagesOn) {
    m_pageTree->SetImageList(&m_treeImages, TVSIL_NORMAL);
    m_pageTree->SetImageList(&m_treeImages, TVSIL_STATE);
  }
  RebuildPageTree();
  if (tab->GetCurSel() >= 0) SelectActivePageItem();
  return result;
}

void CTreePropSheet::OnDestroy() {
  CPropertySheet::OnDestroy();
  m_treeImages.DeleteImageList();
  delete m_pageTree;
  m_pageTree = nullptr;
  delete m_pageFrame;
  m_pageFrame = nullptr;
}

// ---- Sheet messages

// Adding or removing a page: the system first, then the tree is made anew.
LRESULT CTreePropSheet::OnAddPage(WPARAM, LPARAM) {
  const LRESULT result = Default();
  if (m_treeMode) {
    RebuildPageTree();
    SelectActivePageItem();
  }
  return result;
}

LRESULT CTreePropSheet::OnRemovePage(WPARAM wParam, LPARAM lParam) { return OnAddPage(wParam, lParam); }

LRESULT CTreePropSheet::OnSetCurSel(WPARAM, LPARAM) {
  const LRESULT result = Default();
  if (m_treeMode) {
    SelectActivePageItem();
    RefreshFrameCaption();
  }
  return result;
}

LRESULT CTreePropSheet::OnSetCurSelId(WPARAM wParam, LPARAM lParam) { return OnSetCurSel(wParam, lParam); }

LRESULT CTreePropSheet::OnIsDialogMessage(WPARAM, LPARAM lParam) {
  const MSG* msg = reinterpret_cast<const MSG*>(lParam);
  if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && (::GetKeyState(VK_CONTROL) & 0x8000)) {
    StepPage((::GetKeyState(VK_SHIFT) & 0x8000) == 0);
    return TRUE;
  }
  return Default();
}

HTREEITEM CTreePropSheet::LastDescendant(HTREEITEM item) const {
  for (HTREEITEM child; item && (child = m_pageTree->GetChildItem(item)) != nullptr;) {
    HTREEITEM last = child;
    for (HTREEITEM next; (next = m_pageTree->GetNextSiblingItem(last)) != nullptr;) last = next;
    item = last;
  }
  return item;
}

void CTreePropSheet::StepPage(bool forward) {
  if (!HasTree()) {
    const int count = GetPageCount();
    if (count <= 0) return;
    const int index = GetActiveIndex();
    SetActivePage(forward ? (index + 1) % count : (index + count - 1) % count);
    return;
  }
  HTREEITEM item = m_pageTree->GetSelectedItem();
  if (!item) return;
  HTREEITEM target = nullptr;
  if (forward) {
    target = m_pageTree->GetChildItem(item);
    for (HTREEITEM at = item; !target && at; at = m_pageTree->GetParentItem(at))
      target = m_pageTree->GetNextSiblingItem(at);
    if (!target) target = m_pageTree->GetRootItem();
  } else {
    if (HTREEITEM previous = m_pageTree->GetPrevSiblingItem(item))
      target = LastDescendant(previous);
    else
      target = m_pageTree->GetParentItem(item);
    if (!target) {
      HTREEITEM last = m_pageTree->GetRootItem();
      for (HTREEITEM next; last && (next = m_pageTree->GetNextSiblingItem(last)) != nullptr;) last = next;
      target = LastDescendant(last);
    }
  }
  if (target) m_pageTree->SelectItem(target);
}

// ---- Tree notifications

BOOL CTreePropSheet::DeactivateCurrentPage() {
  HWND page = reinterpret_cast<HWND>(SendMessage(PSM_GETCURRENTPAGEHWND));
  if (!page || !::IsWindow(page) || !::IsWindowVisible(page)) return TRUE;
  PSHNOTIFY notify = {};
  notify.hdr.hwndFrom = m_hWnd;
  notify.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
  notify.hdr.code = PSN_KILLACTIVE;
  notify.lParam = 0;
  if (::SendMessageA(page, WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify)) != 0)
    return FALSE;
  ::ShowWindow(page, SW_HIDE);
  return TRUE;
}

void CTreePropSheet::OnSelChanging(NMHDR* header, LRESULT* result) {
  *result = 0;
  if (m_inSelChange) return;
  m_inSelChange = TRUE;
  const NMTREEVIEWA* tv = reinterpret_cast<const NMTREEVIEWA*>(header);
  const DWORD_PTR data = m_pageTree->GetItemData(tv->itemNew.hItem);
  const int page = data == kNoPage ? -1 : static_cast<int>(data);
  if (page >= 0) {
    if (!SetActivePage(page)) *result = 1;
  } else if (!DeactivateCurrentPage()) {
    *result = 1;
  }
  // Dialogs read a notification's answer from here.
  ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, *result);
  m_pageTree->SetFocus();
  m_inSelChange = FALSE;
}

void CTreePropSheet::OnSelChanged(NMHDR*, LRESULT* result) {
  *result = 0;
  RefreshFrameCaption();
}

void CTreePropSheet::RefreshFrameCaption() {
  if (!m_pageFrame || !HasTree()) return;
  HWND page = reinterpret_cast<HWND>(SendMessage(PSM_GETCURRENTPAGEHWND));
  const bool realPage = page && ::IsWindow(page) && ::IsWindowVisible(page);
  HTREEITEM item = m_pageTree->GetSelectedItem();
  if (!item) return;
  const CString caption = m_pageTree->GetItemText(item);
  if (!realPage) m_pageFrame->SetMessageText(FormatBlankPageText(m_blankPageText, caption));
  if (!m_pageFrame->IsCaptionEnabled()) return;
  HICON icon = nullptr;
  if (m_treeImagesOn) {
    int image = -1, selected = -1;
    if (m_pageTree->GetItemImage(item, image, selected) && image >= 0 && m_treeImages.GetSafeHandle())
      icon = m_treeImages.ExtractIcon(image);
  } else if (realPage) {
    CTabCtrl* tab = GetTabControl();
    CImageList* images = tab ? tab->GetImageList() : nullptr;
    const DWORD_PTR data = m_pageTree->GetItemData(item);
    if (images && images->GetSafeHandle() && data != kNoPage)
      icon = images->ExtractIcon(static_cast<int>(data));
  }
  m_pageFrame->SetCaption(caption, icon);
  if (icon) ::DestroyIcon(icon);
}
