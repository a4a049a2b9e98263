// The play list's model and view in one: a report-style list control whose
// rows show the entries (column 0 the row number, 1 the song name, 2 the
// duration; a PlayListItemData per row, held here), the current (playing) row drawn in
// its own colour, the play mode, the single-song loop, reordering by menu and
// by dragging, and the context menu. It lives in a CPlayListView, which hands
// it the list's notifications. The Preferences command and the commands the
// list does not handle go to the player host it was made with (none: they
// do nothing). UI thread only.
#pragma once

#include <afxcmn.h>

#include <memory>
#include <string>
#include <vector>

#include "app/CM3UPlayList.h"
#include "app/IPlayListModel.h"

class IPlayerHost;

class CPlayListCtrl : public CListCtrl, public IPlayListModel {
 public:
  enum Command {
    kCmdSettings = 32780,
    kCmdMoveUp = 32782,
    kCmdMoveDown = 32783,
    kCmdRemove = 32784,
    kCmdLoopThisSong = 32787
  };
  enum { kPopupMenuId = 178, kPreferencesPage = 3 };
  static const COLORREF kDefaultPlayingColor = 0x0000FFFF;

  explicit CPlayListCtrl(IPlayerHost* host) : m_playerHost(host) {}
  ~CPlayListCtrl() override;

  // IPlayListModel
  void AddEntry(const char* path, int length) override;
  void RemoveSelected() override;
  int GetCount() override { return m_hWnd ? static_cast<int>(m_records.size()) : 0; }
  PlayListItemData* GetEntry(int row) override;
  int GetCurrentIndex() override { return m_current; }
  int GetSelectedIndex() override;
  int GetNextIndex() override;
  int GetPrevIndex() override;
  int FindPath(const char* path) override;
  int GetIndexToPlay() override;
  bool SelectEntry(int row, int play) override;
  void SetPlayMode(int mode) override { m_playMode = mode; }
  int GetPlayMode() override { return m_playMode; }
  void SetSingleLoop(int flag) override { m_singleLoop = flag; }
  int GetSingleLoop() override { return m_singleLoop; }
  void SetSink(IPlayListSink* sink) override { m_sink = sink; }
  std::string GetEntryPath(int row) override;
  void SetCurrentIndex(int row) override;

  // AddEntry for each entry in order, with drawing held until all are in:
  // a long play list loads at once instead of row by row.
  void AddEntries(const std::vector<PlayListEntry>& entries);
  // Sets a row's length (seconds) and redraws the row; nothing for an invalid row.
  void SetEntryLength(int row, int seconds);
  // Takes one row out, as removing it by the menu does; nothing for an invalid row.
  void RemoveEntry(int row);

  void SetPlayingColor(COLORREF color) { m_playingColor = color; }
  COLORREF GetPlayingColor() const { return m_playingColor; }
  void SetScrollSink(IScrollSink* sink) { m_scrollSink = sink; }

  // Moves every selected row one place up (delta -1) or down (+1) as one
  // block; nothing moves when the block already touches that end.
  void MoveSelection(int delta);
  // 59 -> "59", 65 -> "1:05", 3725 -> "1:02:05"; a negative length shows empty.
  static std::string FormatDuration(int seconds);
  // The seed of the random play order; the clock's seconds by default, so a
  // test can make the order repeatable.
  typedef unsigned (*SeedSource)();
  void SetSeedSource(SeedSource source) { m_seedSource = source; }

  // Handed over by the view: the list's WM_NOTIFY codes, the drag and the
  // context menu.
  LRESULT OnListNotify(NMHDR* header);
  // The row whose number (as the first column shows it) is wanted, or starts
  // with it when partial, searching from start on (past the end to the top
  // when wrap); -1 for none.
  int FindRowByNumber(const std::string& wanted, int start, bool partial, bool wrap) const;
  bool IsDragging() const { return m_dragging; }
  void DragStep(POINT clientPoint);
  void EndDrag();
  void ShowContextMenu();
  // A menu command; true when handled here.
  bool OnMenuCommand(WPARAM wParam, LPARAM lParam);

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // One row's record and list item out; the current entry is forgotten.
  void DropRow(int row);
  // Numbers, selection and scroll range again after rows went.
  void SettleAfterRemoval();
  bool IsValidRow(int row) { return row >= 0 && row < GetCount(); }
  void AppendRecord(const char* path, int length);
  // Tells the list how many rows there are now.
  void ShowRecordCount();
  void MoveRow(int from, int to);
  void Renumber();
  void EnsureSelection();
  void UpdateScrollRange();
  void UpdateScrollPos();
  void FreeRecords();
  HWND HostParent() const;

  IPlayerHost* m_playerHost;
  int m_playMode = kLoop;
  int m_singleLoop = 0;
  IPlayListSink* m_sink = nullptr;
  IScrollSink* m_scrollSink = nullptr;
  int m_current = -1;
  int m_selected = -1;
  COLORREF m_playingColor = kDefaultPlayingColor;
  bool m_dragging = false;
  SeedSource m_seedSource = nullptr;
  // The entries in row order; the list (made with LVS_OWNERDATA) keeps only
  // their number and each row's selection.
  std::vector<std::unique_ptr<PlayListItemData>> m_records;
};
