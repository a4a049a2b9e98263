#include "app/CPlayListWnd.h"

#include <cderr.h>

#include <algorithm>
#include <string>

#include "ui/CSettings.h"
#include "ui/CSkinImage.h"
#include "ui/CSkinManager.h"
#include "ui/IPlayerHost.h"
#include "ui/SkinImageIds.h"

namespace {

enum : UINT {
  kStrClose = 102,
  kStrAddSongs = 115,
  kStrRemoveSongs = 116,
  kStrExportList = 117,
  kStrImportList = 118,
};

CPlayListWnd::FileDialogFunction g_saveDialog = GetSaveFileNameA;
CPlayListWnd::FileDialogFunction g_openDialog = GetOpenFileNameA;
CPlayListWnd::MessageBoxFunction g_messageBox = MessageBoxA;
CPlayListWnd::DialogErrorFunction g_dialogError = CommDlgExtendedError;

// Filters are pairs of NUL-ended texts ended by one more NUL.
const char kSaveFilter[] =
    "Melodara Player Play List File Format (*.mpl)\0*.mpl\0"
    "Winamp Player Play List File Format (*.m3u)\0*.m3u\0";
const char kOpenFilter[] = "Play List File (*.mpl,*.m3u)\0*.mpl;*.m3u\0";

}  // namespace

CPlayListWnd::FileDialogFunction CPlayListWnd::SetSaveDialogFunction(FileDialogFunction function) {
  const FileDialogFunction previous = g_saveDialog;
  g_saveDialog = function ? function : GetSaveFileNameA;
  return previous;
}

CPlayListWnd::FileDialogFunction CPlayListWnd::SetOpenDialogFunction(FileDialogFunction function) {
  const FileDialogFunction previous = g_openDialog;
  g_openDialog = function ? function : GetOpenFileNameA;
  return previous;
}

CPlayListWnd::MessageBoxFunction CPlayListWnd::SetMessageBoxFunction(MessageBoxFunction function) {
  const MessageBoxFunction previous = g_messageBox;
  g_messageBox = function ? function : MessageBoxA;
  return previous;
}

CPlayListWnd::DialogErrorFunction CPlayListWnd::SetDialogErrorFunction(DialogErrorFunction function) {
  const DialogErrorFunction previous = g_dialogError;
  g_dialogError = function ? function : CommDlgExtendedError;
  return previous;
}

CPlayListWnd::CPlayListWnd(HWND owner, IPlayerHost* host)
    : CToolFrame(owner, ChildWndId::kPlayList), m_playerHost(host), m_view(host), m_add(host) {
  SetBkColor(CSettings::GetColorSetting("PLAYLIST_BKCOLOR"));
  SetCaptionLayout(this, kCaptionClose);
  SetCaptionButton(SchemeImage(kSkinPlayListCloseBtn), kCaptionBtnClose, true,
                   LoadPlayerString(kStrClose).c_str(), nullptr);
  SetIconImage(SchemeImage(kSkinPlayListIcon));
  SetUpFrame({kSkinPlayListLeftBorder, kSkinPlayListRightBorder, kSkinPlayListTopBorder,
              kSkinPlayListBottomBorder, kSkinPlayListTopLeft, kSkinPlayListTopRight, kSkinPlayListBottomLeft,
              kSkinPlayListBottomRight, kSkinPlaylistTitleActive, kSkinPlaylistTitleInActive},
             CSettings::GetPlayListWndRect());
  CreateFrame();
}

CPlayListWnd::~CPlayListWnd() {
  m_scrollBar.reset();
  m_view.Destroy();
  DestroyOwnWindow();
}

void CPlayListWnd::OnFrameCreated() {
  const RECT viewRect = {0, 0, 10, 20};
  m_view.Create(m_hWnd, viewRect, kViewId);
  m_view.SetBkColor(CSettings::GetColorSetting("PLAYLIST_BKCOLOR"));
  m_view.SetTextColor(CSettings::GetColorSetting("PLAYLIST_NORMTEXT_COLOR"));
  m_view.GetListCtrl().SetPlayingColor(CSettings::GetColorSetting("PLAYLIST_PLAYITEM_COLOR"));
  m_view.SetScrollSink(this);
  if (IPlayListModel* list = m_view.GetPlayList())
    list->SetSingleLoop(CSettings::GetSingleLoopPlay() ? 1 : 0);

  struct ButtonRow {
    CSkinButton* button;
    unsigned short image;
    int id;
    UINT tip;
  };
  const ButtonRow rows[] = {
      {&m_add, kSkinPlayListAddSongsBtn, kIdAdd, kStrAddSongs},
      {&m_remove, kSkinPlayListRemoveSongsBtn, kIdRemove, kStrRemoveSongs},
      {&m_import, kSkinPlayListImportSongListBtn, kIdImport, kStrImportList},
      {&m_export, kSkinPlayListExportSongListBtn, kIdExport, kStrExportList},
  };
  for (const ButtonRow& row : rows) {
    if (CreateSkinButton(row.button, m_hWnd, row.image, row.id, true, LoadPlayerString(row.tip).c_str(),
                         nullptr) == 0) {
      ::ShowWindow(row.button->GetHwnd(), SW_SHOW);
    }
  }

  m_scrollBar = std::make_unique<CSkinScrollBar>();
  m_scrollBar->CreateButtons();
  m_scrollBar->SetImages(SchemeImage(kSkinVScrollTBtn), SchemeImage(kSkinVScrollBBtn),
                         SchemeImage(kSkinVScrollHumb), SchemeImage(kSkinVScrollBk));
  m_scrollBar->SetOwner(this);
  m_scrollBar->SetSink(this);
  m_scrollBar->SetRange(0, 0);
  if (m_scrollBar->Create() == 0) m_scrollBar->Show(true);

  CreateTopMostButton(kSkinPlayListAlwaysShowBtn, CSettings::GetWndShowState(WndShowState::kPlayList));
  LayoutChildren();
}

CSkinButton* CPlayListWnd::GetButton(int id) {
  switch (id) {
    case kIdAdd:
      return &m_add;
    case kIdRemove:
      return &m_remove;
    case kIdImport:
      return &m_import;
    case kIdExport:
      return &m_export;
    default:
      return nullptr;
  }
}

void CPlayListWnd::LayoutChildren() {
  if (!m_hWnd) return;
  const CSkinFrameImages* images = GetFrameImages();
  const int width = GetLayout()->GetWidth();
  const int height = GetLayout()->GetHeight();
  RECT inner = {SkinImageWidth(images->GetLeftBorder()) + kMargin,
                SkinImageHeight(images->GetTopBorder()) + kMargin,
                width - SkinImageWidth(images->GetRightBorder()) - kMargin,
                height - SkinImageHeight(images->GetBottomBorder()) - kMargin};
  inner.right = std::max(inner.right, inner.left);
  inner.bottom = std::max(inner.bottom, inner.top);
  int barWidth = 0;
  if (m_scrollBar && m_scrollBar->GetSafeHwnd()) {
    RECT bar;
    ::GetWindowRect(m_scrollBar->GetSafeHwnd(), &bar);
    barWidth = std::min<int>(bar.right - bar.left, inner.right - inner.left);
    m_scrollBar->MoveWindow(inner.right - barWidth, inner.top, barWidth, inner.bottom - inner.top);
  }
  m_view.Move(RECT{inner.left, inner.top, inner.right - barWidth, inner.bottom});
  PlaceTopMostButton();
  int x = kFirstButtonX;
  for (CSkinButton* button : {static_cast<CSkinButton*>(&m_add), static_cast<CSkinButton*>(&m_remove),
                              static_cast<CSkinButton*>(&m_import), static_cast<CSkinButton*>(&m_export)}) {
    int w = 0, h = 0;
    button->GetFrameSize(&w, &h);
    button->MoveTo(x, height - h);
    x += w;
  }
}

void CPlayListWnd::OnSize(WPARAM wParam, LPARAM lParam) {
  CSkinWnd::OnSize(wParam, lParam);
  LayoutChildren();
}

void CPlayListWnd::OnDrawItem(WPARAM wParam, LPARAM lParam) {
  if (CSkinButton* button = GetButton(static_cast<int>(wParam))) {
    button->DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
  }
}

void CPlayListWnd::AddSong(const char* path, int seconds) {
  if (IPlayListModel* list = m_view.GetPlayList()) list->AddEntry(path, seconds);
}

void CPlayListWnd::AddSongs(const std::vector<PlayListEntry>& entries) {
  if (m_view.GetPlayList()) m_view.GetListCtrl().AddEntries(entries);
}

void CPlayListWnd::SetSongLength(int row, int seconds) {
  if (m_view.GetPlayList()) m_view.GetListCtrl().SetEntryLength(row, seconds);
}

void CPlayListWnd::RemoveSong(int row) {
  if (m_view.GetPlayList()) m_view.GetListCtrl().RemoveEntry(row);
}

void CPlayListWnd::RemoveSelected() {
  if (IPlayListModel* list = m_view.GetPlayList()) list->RemoveSelected();
}

void CPlayListWnd::SetPlayListSink(IPlayListSink* sink) {
  if (IPlayListModel* list = m_view.GetPlayList()) list->SetSink(sink);
}

void CPlayListWnd::SetPlayingColor(COLORREF color) {
  m_view.GetListCtrl().SetPlayingColor(color);
  Redraw();
}

void CPlayListWnd::SetTextColor(COLORREF color) {
  m_view.SetTextColor(color);
  Redraw();
}

void CPlayListWnd::SetListBkColor(COLORREF color) {
  SetBkColor(color);
  m_view.SetBkColor(color);
  Redraw();
}

void CPlayListWnd::Redraw() {
  if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
  if (m_view.GetListCtrl().m_hWnd) ::InvalidateRect(m_view.GetListCtrl().m_hWnd, nullptr, TRUE);
}

void CPlayListWnd::OnSliderTrack(int value, int code) {
  // The scroll bar reports rows moved (steps and thumb drags); it sends no
  // absolute positions.
  if (code == 1) m_view.ScrollBy(value);
}

void CPlayListWnd::SetScrollRange(int upper, int lower, bool apply) {
  if (apply && m_scrollBar) m_scrollBar->SetRange(upper, lower);
}

void CPlayListWnd::SetScrollPos(int pos, int, bool apply) {
  if (apply && m_scrollBar) m_scrollBar->SetPos(pos);
}

std::string CPlayListWnd::RunFileDialog(bool save) {
  char path[MAX_PATH] = "";
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = GetOwner();
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrFilter = save ? kSaveFilter : kOpenFilter;
  dialog.nFilterIndex = 1;
  dialog.Flags = save ? kSaveFlags : kOpenFlags;
  if (save) dialog.lpstrDefExt = "mpl";
  if ((save ? g_saveDialog : g_openDialog)(&dialog)) {
    path[MAX_PATH - 1] = '\0';
    return path;
  }
  if (g_dialogError() == FNERR_BUFFERTOOSMALL) {
    g_messageBox(GetOwner(), LoadPlayerString(kPathTooLongString).c_str(), "Melodara",
                 MB_OK | MB_ICONWARNING);
  }
  return std::string();
}

void CPlayListWnd::ExportList() {
  IPlayListModel* list = m_view.GetPlayList();
  if (!list || list->GetCount() == 0) return;
  const std::string path = RunFileDialog(true);
  if (path.empty()) return;
  if (m_playerHost && !m_playerHost->SavePlayListFile(path.c_str())) {
    const std::string text = "The play list could not be saved to \"" + path + "\".";
    g_messageBox(GetOwner(), text.c_str(), "Melodara", MB_OK | MB_ICONERROR);
  }
}

void CPlayListWnd::ImportList() {
  const std::string path = RunFileDialog(false);
  if (path.empty()) return;
  if (m_playerHost) m_playerHost->LoadPlayListFile(path.c_str());
}

LRESULT CPlayListWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kIdRemove:
          RemoveSelected();
          return 0;
        case kIdExport:
          ExportList();
          return 0;
        case kIdImport:
          ImportList();
          return 0;
        default:
          break;
      }
      break;
    case WM_DROPFILES:
      // The play list hands drops over at once; the other frames post them.
      if (GetOwner()) ::SendMessageA(GetOwner(), message, wParam, lParam);
      return 0;
    case WM_KEYDOWN:
      if (GetOwner()) ::PostMessageA(GetOwner(), message, wParam, lParam);
      break;
    case WM_SETFOCUS:
      if (m_view.GetListCtrl().m_hWnd) ::SetFocus(m_view.GetListCtrl().m_hWnd);
      break;
    case WM_LBUTTONDBLCLK:
      // No maximize button here: a double click goes to the elements (the
      // caption icon closes the frame on one).
      return CSkinWnd::WindowProc(message, wParam, lParam);
    default:
      break;
  }
  return CToolFrame::WindowProc(message, wParam, lParam);
}
