// The play-list control's host: a plain "STATIC" child of the play-list
// window holding the list, whose notifications it receives (through the
// subclass manager) and hands to the control. The list is wider than the
// host by a scroll bar's width, so its own scroll bar is hidden and the
// window's skinned one stands in its place. Files dropped on it go on to the
// host's parent unchanged. The list acts on the player host it is given.
#pragma once

#include <windows.h>

#include "app/CPlayListCtrl.h"
#include "ui/CSubclassManager.h"

class CPlayListView : public ISubclassHandler {
 public:
  enum { kHostStyle = 0x52000000, kListStyle = 0x50004009, kDefaultControlId = 11 };

  explicit CPlayListView(IPlayerHost* host) : m_list(host) {}
  virtual ~CPlayListView();
  CPlayListView(const CPlayListView&) = delete;
  CPlayListView& operator=(const CPlayListView&) = delete;

  // Only when not yet created; false on failure.
  bool Create(HWND parent, const RECT& rect, UINT id);
  void Destroy();
  void Move(const RECT& rect);
  RECT GetRect() const { return m_rect; }
  HWND GetHwnd() const { return m_host; }
  // Null before Create.
  IPlayListModel* GetPlayList() { return m_host ? &m_list : nullptr; }
  CPlayListCtrl& GetListCtrl() { return m_list; }
  void SetBkColor(COLORREF color);
  void SetTextColor(COLORREF color);
  int GetItemCount() { return m_list.GetCount(); }
  int GetCountPerPage() { return m_list.m_hWnd ? m_list.GetCountPerPage() : 0; }
  void SetScrollSink(IScrollSink* sink) { m_list.SetScrollSink(sink); }
  // Scrolls by rows times the height of a row and repaints at once.
  void ScrollBy(int rows);

  LRESULT OnSubclassMessage(HWND hwnd, UINT msg, WPARAM* wParam, LPARAM* lParam) override;

 private:
  void SetColumnWidths();

  HWND m_host = nullptr;
  CPlayListCtrl m_list;
  RECT m_rect = {};
};
