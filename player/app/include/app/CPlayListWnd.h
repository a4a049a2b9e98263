// The play-list window: a skinned, snapping tool frame around the play-list
// control, with a skinned scroll bar, the Add, Remove, Import and Export
// buttons along its bottom, an always-visible toggle and a close button. The
// main window makes it once and keeps it: closing it (the close button,
// WM_SKIN_HIDE_CHILD or WM_SKIN_CLOSE, Alt+F4) only asks the owner to hide it, so the songs are
// never lost with the window. The Add button, the list and the play-list
// files act on the player host it was made with (the main window).
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <memory>

#include "app/CPlayListView.h"
#include "app/CTransportButtons.h"
#include "ui/CSkinSlider.h"
#include "ui/CToolFrame.h"

// Sent as WM_COMMAND (id, BN_CLICKED) to the window on release.
class CRemoveSongsButton : public CSkinCmdButton {};
class CExportListButton : public CSkinCmdButton {};
class CImportListButton : public CSkinCmdButton {};

class CPlayListWnd : public CToolFrame, public ISliderSink, public IScrollSink {
 public:
  enum { kIdAdd = 108, kIdRemove = 109, kIdExport = 111, kIdImport = 112 };
  enum { kViewId = CPlayListView::kDefaultControlId, kMargin = 4, kFirstButtonX = 10 };
  enum { kSaveFlags = 0x80803, kOpenFlags = 0x81803, kPathTooLongString = 103 };

  // The file dialogs and the message box, replaceable so that tests can
  // answer them.
  typedef BOOL(WINAPI* FileDialogFunction)(OPENFILENAMEA* dialog);
  typedef int(WINAPI* MessageBoxFunction)(HWND owner, const char* text, const char* caption, UINT type);
  // Each returns the previous function; null restores the system's own.
  static FileDialogFunction SetSaveDialogFunction(FileDialogFunction function);
  static FileDialogFunction SetOpenDialogFunction(FileDialogFunction function);
  static MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function);
  // Why the last file dialog failed (CommDlgExtendedError).
  typedef DWORD(WINAPI* DialogErrorFunction)();
  static DialogErrorFunction SetDialogErrorFunction(DialogErrorFunction function);

  // Builds the frame from the skin and the settings and creates it hidden.
  CPlayListWnd(HWND owner, IPlayerHost* host);
  ~CPlayListWnd() override;

  void AddSong(const char* path, int seconds);
  // Every entry of a loaded play list, in order, drawn once.
  void AddSongs(const std::vector<PlayListEntry>& entries);
  // A row's length found later (seconds), shown at once.
  void SetSongLength(int row, int seconds);
  void RemoveSong(int row);
  void RemoveSelected();
  void SetPlayListSink(IPlayListSink* sink);
  // Null before the window exists.
  IPlayListModel* GetPlayList() { return m_view.GetPlayList(); }
  CPlayListView* GetView() { return &m_view; }
  CSkinScrollBar* GetScrollBar() { return m_scrollBar.get(); }
  CSkinButton* GetButton(int id);
  void SetPlayingColor(COLORREF color);
  void SetTextColor(COLORREF color);
  void SetListBkColor(COLORREF color);
  void Redraw();

  // The file commands of the buttons.
  void ExportList();
  void ImportList();

  bool IsTopmost() { return IsTopMost(); }
  void SetTopmost(bool topMost) { SetTopMost(topMost); }

  // ISliderSink: the scroll bar scrolls the list by rows.
  void OnSliderTrack(int value, int code) override;
  void OnSliderSet(int) override {}
  int GetSliderValue() override { return 0; }
  int GetSliderBackValue() override { return -1; }

  // IScrollSink: the list tells the scroll bar its range and top row.
  void SetScrollRange(int upper, int lower, bool apply) override;
  void SetScrollPos(int pos, int unused, bool apply) override;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnSize(WPARAM wParam, LPARAM lParam) override;
  void OnDrawItem(WPARAM wParam, LPARAM lParam) override;

 private:
  void OnFrameCreated() override;
  void LayoutChildren();
  // The chosen path, or empty when the dialog was cancelled or failed.
  std::string RunFileDialog(bool save);

  IPlayerHost* m_playerHost;
  CPlayListView m_view;
  CAddSongsButton m_add;
  CRemoveSongsButton m_remove;
  CImportListButton m_import;
  CExportListButton m_export;
  std::unique_ptr<CSkinScrollBar> m_scrollBar;
};
