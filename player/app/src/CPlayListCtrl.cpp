#include "app/CPlayListCtrl.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

#include "ui/IPlayerHost.h"

namespace {

enum Column { kIndexColumn = 0, kNameColumn = 1, kLengthColumn = 2 };

unsigned ClockSeed() { return static_cast<unsigned>(time(nullptr)); }

// The file name without folder and extension.
std::string SongName(const char* path) {
  const char* name = PathFindFileNameA(path);
  std::string text = name ? name : "";
  const size_t dot = text.rfind('.');
  if (dot != std::string::npos && dot > 0) text.erase(dot);
  return text;
}

}  // namespace

CPlayListCtrl::~CPlayListCtrl() = default;

std::string CPlayListCtrl::FormatDuration(int seconds) {
  if (seconds < 0) return std::string();
  const int hours = seconds / 3600;
  const int minutes = seconds % 3600 / 60;
  const int rest = seconds % 60;
  char text[32];
  if (hours > 0) {
    snprintf(text, sizeof(text), "%d:%02d:%02d", hours, minutes, rest);
  } else if (minutes > 0) {
    snprintf(text, sizeof(text), "%d:%02d", minutes, rest);
  } else {
    snprintf(text, sizeof(text), "%d", rest);
  }
  return text;
}

void CPlayListCtrl::AppendRecord(const char* path, int length) {
  auto record = std::make_unique<PlayListItemData>();
  record->path = path;
  record->length = length;
  record->index = static_cast<int>(m_records.size());
  m_records.push_back(std::move(record));
}

void CPlayListCtrl::ShowRecordCount() {
  // The list holds no rows of its own, only their number: it asks for the
  // texts of the rows it draws (LVN_GETDISPINFO), so a long list loads at
  // once, and the number column follows the position.
  SendMessageA(LVM_SETITEMCOUNT, m_records.size(), LVSICF_NOSCROLL);
}

void CPlayListCtrl::AddEntry(const char* path, int length) {
  if (!m_hWnd || !path) return;
  AppendRecord(path, length);
  ShowRecordCount();
  EnsureSelection();
  UpdateScrollRange();
}

void CPlayListCtrl::AddEntries(const std::vector<PlayListEntry>& entries) {
  if (!m_hWnd || entries.empty()) return;
  m_records.reserve(m_records.size() + entries.size());
  for (const PlayListEntry& entry : entries) AppendRecord(entry.path.c_str(), entry.length);
  ShowRecordCount();
  EnsureSelection();
  UpdateScrollRange();
  Invalidate();
}

void CPlayListCtrl::SetEntryLength(int row, int seconds) {
  PlayListItemData* record = GetEntry(row);
  if (!record) return;
  record->length = seconds;
  // The list asks for the row's texts again when it draws it.
  RedrawItems(row, row);
}

void CPlayListCtrl::EnsureSelection() {
  if (GetItemCount() <= 0) {
    m_selected = -1;
    m_current = -1;
    return;
  }
  if (m_selected == -1) {
    m_selected = 0;
    SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  if (m_current == -1) {
    m_current = 0;
    if (m_sink) m_sink->Open(GetEntryPath(0).c_str());
  }
}

void CPlayListCtrl::RemoveSelected() {
  if (!m_hWnd) return;
  for (UINT count = GetSelectedCount(); count > 0; --count) {
    const int row = GetNextItem(-1, LVNI_SELECTED);
    if (row < 0) break;
    DropRow(row);
  }
  SettleAfterRemoval();
}

void CPlayListCtrl::RemoveEntry(int row) {
  if (!m_hWnd || !IsValidRow(row)) return;
  DropRow(row);
  SettleAfterRemoval();
}

void CPlayListCtrl::DropRow(int row) {
  PlayListItemData* record = GetEntry(row);
  if (record && record->index == m_current) {
    const std::string path = record->path;
    m_current = -1;
    if (m_sink) m_sink->ForgetPath(path.c_str());
  }
  // The record goes first: the list may ask for the texts of the rows that
  // move up while it deletes.
  if (record) m_records.erase(m_records.begin() + row);
  DeleteItem(row);
}

void CPlayListCtrl::SettleAfterRemoval() {
  Renumber();
  const int rows = GetItemCount();
  if (rows == 0) {
    m_selected = -1;
  } else if (m_selected >= rows) {
    m_selected = 0;
  }
  // A selection that vanished with its rows is made again at the stored row.
  if (rows > 0 && m_selected >= 0 && GetSelectedCount() == 0) {
    SetItemState(m_selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  EnsureSelection();
  UpdateScrollRange();
  Invalidate();
}

PlayListItemData* CPlayListCtrl::GetEntry(int row) {
  if (!IsValidRow(row)) return nullptr;
  return m_records[static_cast<size_t>(row)].get();
}

int CPlayListCtrl::GetSelectedIndex() {
  if (!m_hWnd) return m_selected;
  const int row = GetNextItem(-1, LVNI_SELECTED);
  if (row >= 0) m_selected = row;
  return m_selected;
}

int CPlayListCtrl::GetNextIndex() {
  const int rows = GetCount();
  if (rows < 1) return -1;
  int next;
  if (m_playMode == kLoop) {
    next = (m_current + 1) % rows;
  } else if (m_playMode == kRandom) {
    srand((m_seedSource ? m_seedSource : ClockSeed)());
    next = rand() % rows;
  } else {
    next = m_current + 1;
  }
  return IsValidRow(next) ? next : -1;
}

int CPlayListCtrl::GetPrevIndex() {
  const int rows = GetCount();
  if (rows < 1) return -1;
  int prev;
  if (m_playMode == kLoop) {
    // A current row of -1 gives the last row, as going back from the start.
    prev = ((m_current + rows - 1) % rows + rows) % rows;
  } else if (m_playMode == kRandom) {
    srand((m_seedSource ? m_seedSource : ClockSeed)());
    prev = rand() % rows;
  } else {
    prev = m_current - 1;
  }
  return IsValidRow(prev) ? prev : -1;
}

int CPlayListCtrl::FindPath(const char* path) {
  if (!path) return -1;
  const int rows = GetCount();
  for (int row = 0; row < rows; ++row) {
    const PlayListItemData* record = GetEntry(row);
    if (record && record->path == path) return row;
  }
  return -1;
}

int CPlayListCtrl::GetIndexToPlay() {
  if (GetCount() < 1) return -1;
  if (m_singleLoop == 1) return IsValidRow(m_current) ? m_current : -1;
  return GetNextIndex();
}

bool CPlayListCtrl::SelectEntry(int row, int play) {
  if (!IsValidRow(row)) return false;
  SetCurrentIndex(row);
  if (m_sink) {
    const std::string path = GetEntryPath(row);
    if (play) {
      m_sink->Play(path.c_str());
    } else {
      m_sink->Open(path.c_str());
    }
  }
  return true;
}

std::string CPlayListCtrl::GetEntryPath(int row) {
  const PlayListItemData* record = GetEntry(row);
  return record ? record->path : std::string();
}

void CPlayListCtrl::SetCurrentIndex(int row) {
  m_current = row;
  if (m_hWnd) Invalidate();
}

void CPlayListCtrl::MoveRow(int from, int to) {
  if (!IsValidRow(from) || !IsValidRow(to) || from == to) return;
  // The row takes its record and its selection along; the rows between
  // shift by one towards where it came from, with theirs.
  const UINT mask = LVIS_SELECTED | LVIS_FOCUSED;
  const int low = std::min(from, to);
  const int high = std::max(from, to);
  std::vector<UINT> states;
  for (int row = low; row <= high; ++row) states.push_back(GetItemState(row, mask));
  auto first = m_records.begin() + low;
  auto last = m_records.begin() + high + 1;
  if (from < to) {
    std::rotate(first, first + 1, last);
    std::rotate(states.begin(), states.begin() + 1, states.end());
  } else {
    std::rotate(first, last - 1, last);
    std::rotate(states.begin(), states.end() - 1, states.end());
  }
  for (int row = low; row <= high; ++row) SetItemState(row, states[static_cast<size_t>(row - low)], mask);
}

void CPlayListCtrl::MoveSelection(int delta) {
  if (!m_hWnd || (delta != 1 && delta != -1)) return;
  std::vector<int> rows;
  for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED)) {
    rows.push_back(row);
  }
  if (rows.empty()) return;
  // The block moves as a whole or not at all: moving only its inner rows
  // would shuffle them past the one stuck at the end.
  if (!IsValidRow(rows.front() + delta) || !IsValidRow(rows.back() + delta)) return;
  // Rows nearest the target end go first, so no row jumps over another
  // selected row.
  if (delta > 0) std::reverse(rows.begin(), rows.end());
  for (int row : rows) MoveRow(row, row + delta);
  Renumber();
  EnsureVisible(GetNextItem(-1, LVNI_SELECTED), FALSE);
  Invalidate();
}

void CPlayListCtrl::Renumber() {
  const int rows = GetItemCount();
  bool currentFound = false;
  for (int row = 0; row < rows; ++row) {
    PlayListItemData* record = GetEntry(row);
    if (!record) continue;
    if (!currentFound && record->index == m_current) {
      m_current = row;
      currentFound = true;
    }
    record->index = row;
  }
  const int selected = GetNextItem(-1, LVNI_SELECTED);
  if (selected >= 0) m_selected = selected;
}

void CPlayListCtrl::UpdateScrollRange() {
  if (!m_scrollSink || !m_hWnd) return;
  m_scrollSink->SetScrollRange(std::max(GetItemCount() + 1 - GetCountPerPage(), 0), 0, true);
}

void CPlayListCtrl::UpdateScrollPos() {
  if (!m_scrollSink || !m_hWnd) return;
  m_scrollSink->SetScrollPos(GetTopIndex(), 0, true);
}

void CPlayListCtrl::FreeRecords() { m_records.clear(); }

HWND CPlayListCtrl::HostParent() const {
  HWND host = ::GetParent(m_hWnd);
  return host ? ::GetParent(host) : nullptr;
}

int CPlayListCtrl::FindRowByNumber(const std::string& wanted, int start, bool partial, bool wrap) const {
  const int count = GetItemCount();
  if (start < 0 || start >= count) start = 0;
  const int span = wrap ? count : count - start;
  for (int step = 0; step < span; ++step) {
    const int row = (start + step) % count;
    const std::string number = std::to_string(row + 1);
    if (partial ? number.compare(0, wanted.size(), wanted) == 0 : number == wanted) return row;
  }
  return -1;
}

LRESULT CPlayListCtrl::OnListNotify(NMHDR* header) {
  switch (header->code) {
    case LVN_BEGINDRAG: {
      const NMLISTVIEW* info = reinterpret_cast<NMLISTVIEW*>(header);
      if (IsValidRow(info->iItem)) {
        m_dragging = true;
        ::SetCapture(::GetParent(m_hWnd));
      }
      return 0;
    }
    case LVN_GETDISPINFOA: {
      NMLVDISPINFOA* info = reinterpret_cast<NMLVDISPINFOA*>(header);
      if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0) return 0;
      std::string text;
      const PlayListItemData* record = GetEntry(info->item.iItem);
      switch (info->item.iSubItem) {
        case kIndexColumn:
          text = std::to_string(info->item.iItem + 1);
          break;
        case kNameColumn:
          if (record) text = SongName(record->path.c_str());
          break;
        case kLengthColumn:
          if (record) text = FormatDuration(record->length);
          break;
        default:
          break;
      }
      lstrcpynA(info->item.pszText, text.c_str(), info->item.cchTextMax);
      return 0;
    }
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW: {
      // The list asks for its type-ahead (and LVM_FINDITEM) the row whose
      // first column, the row's number, starts with the typed text, as a
      // list holding its own items finds it. The request may come in either
      // character width whatever the list was made with.
      const NMLVFINDITEMA* find = reinterpret_cast<NMLVFINDITEMA*>(header);
      const LVFINDINFOA& what = find->lvfi;
      if (!(what.flags & (LVFI_STRING | LVFI_PARTIAL)) || !what.psz) return -1;
      std::string wanted;
      if (header->code == LVN_ODFINDITEMW) {
        for (const wchar_t* c = reinterpret_cast<const wchar_t*>(what.psz); *c; ++c)
          wanted += *c < 0x80 ? static_cast<char>(*c) : '?';
      } else {
        wanted = what.psz;
      }
      return FindRowByNumber(wanted, find->iStart, (what.flags & LVFI_PARTIAL) != 0,
                             (what.flags & LVFI_WRAP) != 0);
    }
    case NM_CLICK:
      if (GetSelectedCount() > 0) m_selected = GetNextItem(-1, LVNI_SELECTED);
      return 0;
    case NM_DBLCLK:
    case NM_RETURN:
      SelectEntry(GetSelectedIndex(), 1);
      return 0;
    case NM_RCLICK:
      ShowContextMenu();
      return 0;
    case NM_CUSTOMDRAW: {
      NMLVCUSTOMDRAW* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
      if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
      if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
          static_cast<int>(draw->nmcd.dwItemSpec) == m_current) {
        draw->clrText = m_playingColor;
      }
      return CDRF_DODEFAULT;
    }
    default:
      return 0;
  }
}

void CPlayListCtrl::DragStep(POINT clientPoint) {
  LVHITTESTINFO hit = {};
  hit.pt = clientPoint;
  const int row = HitTest(&hit);
  if (row < 0) return;
  EnsureVisible(row, FALSE);
  const int selected = GetNextItem(-1, LVNI_SELECTED);
  if (selected < 0) return;
  if (selected < row) {
    MoveSelection(1);
  } else if (selected > row) {
    MoveSelection(-1);
  }
}

void CPlayListCtrl::EndDrag() {
  if (!m_dragging) return;
  m_dragging = false;
  ::ReleaseCapture();
}

void CPlayListCtrl::ShowContextMenu() {
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kPopupMenuId));
  if (!menu) return;
  HMENU popup = GetSubMenu(menu, 0);
  if (popup) {
    const UINT greyed = GetSelectedCount() == 0 ? MF_GRAYED : MF_ENABLED;
    EnableMenuItem(popup, kCmdMoveUp, MF_BYCOMMAND | greyed);
    EnableMenuItem(popup, kCmdMoveDown, MF_BYCOMMAND | greyed);
    EnableMenuItem(popup, kCmdRemove, MF_BYCOMMAND | greyed);
    CheckMenuItem(popup, kCmdLoopThisSong, MF_BYCOMMAND | (m_singleLoop == 1 ? MF_CHECKED : MF_UNCHECKED));
    POINT cursor = {};
    GetCursorPos(&cursor);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_hWnd, nullptr);
  }
  DestroyMenu(menu);
}

bool CPlayListCtrl::OnMenuCommand(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case kCmdMoveUp:
      MoveSelection(-1);
      return true;
    case kCmdMoveDown:
      MoveSelection(1);
      return true;
    case kCmdRemove:
      RemoveSelected();
      return true;
    case kCmdLoopThisSong:
      m_singleLoop = m_singleLoop == 1 ? 0 : 1;
      return true;
    case kCmdSettings:
      if (m_playerHost) m_playerHost->ShowPreferences(kPreferencesPage);
      return true;
    default:
      // Everything else (the singer commands among them) is the main window's.
      if (m_playerHost) {
        if (HWND owner = m_playerHost->GetHostWindow()) ::SendMessageA(owner, WM_COMMAND, wParam, lParam);
      }
      return true;
  }
}

LRESULT CPlayListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      FreeRecords();
      break;
    case WM_KILLFOCUS:
      // The list keeps drawing its selection as focused.
      return 0;
    case WM_KEYDOWN: {
      if (wParam == 'A' && (GetKeyState(VK_CONTROL) & 0x8000)) {
        SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
      }
      if (HWND window = HostParent()) ::PostMessageA(window, WM_KEYDOWN, wParam, lParam);
      const LRESULT result = CListCtrl::WindowProc(message, wParam, lParam);
      switch (wParam) {
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_UP:
        case VK_DOWN:
          UpdateScrollPos();
          break;
        default:
          break;
      }
      return result;
    }
    case WM_KEYUP:
      if (wParam == VK_DELETE) RemoveSelected();
      break;
    case WM_LBUTTONUP:
      EndDrag();
      break;
    case WM_COMMAND:
      if (OnMenuCommand(wParam, lParam)) return 0;
      break;
    case WM_MOUSEWHEEL: {
      const LRESULT result = CListCtrl::WindowProc(message, wParam, lParam);
      UpdateScrollPos();
      return result;
    }
    case WM_SIZE: {
      const LRESULT result = CListCtrl::WindowProc(message, wParam, lParam);
      UpdateScrollRange();
      return result;
    }
    default:
      break;
  }
  return CListCtrl::WindowProc(message, wParam, lParam);
}
