#include "app/CTrackSettingDlg.h"

#include <commdlg.h>
#include <listctrl/XListMessages.h>
#include <tunewell/ISongEngine.h>

#include <cstdio>
#include <cstdlib>

#include "app/CSongValueMap.h"
#include "ui/GdiplusInclude.h"
#include "ui/SkinImageIds.h"

namespace {

const int kHeaderBitmap = 154;
const COLORREF kMaskColour = RGB(255, 0, 255);
const COLORREF kGreen = 0x00FF00;
const char* const kStaffKinds[] = {"Default", "Treble", "Bass", "Treble Bass"};

// The track number a row shows (column 2, decimal).
int ParseTrack(const CString& text) { return std::atoi(text); }

}  // namespace

CTrackSettingDlg::CTrackSettingDlg(CWnd* parent) : CSkinDialog(IDD, parent) {}

CTrackSettingDlg::~CTrackSettingDlg() = default;

BOOL CTrackSettingDlg::OnInitDialog() {
  CSkinDialog::OnInitDialog();
  RegisterXListMessages();
  m_backgroundBrush.Attach(::CreateSolidBrush(m_background));
  m_noteBrush.Attach(::CreateSolidBrush(m_note));
  m_highlightBrush.Attach(::CreateSolidBrush(m_highlight));
  m_lineBrush.Attach(::CreateSolidBrush(m_line));

  // The template's combo items are filled here: the framework stand-in does
  // not read a template's initial data.
  if (m_staffKind.SubclassDlgItem(kIdStaffKind, this)) {
    for (const char* kind : kStaffKinds) m_staffKind.AddString(kind);
    m_staffKind.SetCurSel(0);
  }

  CreateList();
  FillList();
  // The song's stored colours first, so that row 0 shows them.
  if (CSongValueMap* map = CSongValueMap::GetInstance()) {
    auto it = map->Songs().find(m_songPath);
    if (it != map->Songs().end()) m_colours = it->second.colours;
  }
  if (m_list.GetItemCount() > 0) {
    m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    LoadTrack(RowTrack(0));
  }

  // The three buttons in one row under the list.
  const int top = GetCaptionHeight();
  const int width = GetLayout()->GetWidth();
  int buttonWidth = 0, buttonHeight = 0;
  CreateSkinButton(&m_ok, GetDialogHwnd(), kSkinOkBtn, IDOK, false, nullptr, nullptr);
  CreateSkinButton(&m_cancel, GetDialogHwnd(), kSkinCancelBtn, IDCANCEL, false, nullptr, nullptr);
  CreateSkinButton(&m_viewToggle, GetDialogHwnd(), kSkinAdvancedBtn, kIdViewToggle, false, nullptr, nullptr);
  m_ok.GetFrameSize(&buttonWidth, &buttonHeight);
  // From x = 170, unless the row would leave the window: then it ends 10
  // pixels inside the right edge.
  int x = 170;
  if (x + 3 * buttonWidth + 20 > width - 10) x = width - 10 - (3 * buttonWidth + 20);
  for (CSkinCmdButton* button : {&m_ok, &m_cancel, &m_viewToggle}) {
    int w = 0, h = 0;
    button->GetFrameSize(&w, &h);
    if (button->GetHwnd()) ::SetWindowPos(button->GetHwnd(), nullptr, x, top + 180, w, h, SWP_NOZORDER);
    x += w + 10;
  }
  m_viewToggle.SetCheck(!m_compact);
  if (m_compact) SetHeight(kCompactHeight);
  return TRUE;
}

void CTrackSettingDlg::CreateList() {
  const int top = GetCaptionHeight();
  RECT client;
  ::GetClientRect(GetDialogHwnd(), &client);
  CRect rect(client.left + 5, top + 20, client.right - 5, top + 170);
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS;
  if (!m_list.CreateEx(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", style, rect, this, kIdList)) return;
  m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_FLATSB);
  m_list.EnableToolTips(TRUE);
  m_list.SetTextBkColor(0);
  m_list.SetBkColor(0);

  const int w = rect.Width() - 2;
  m_list.InsertColumn(0, "Show", LVCFMT_LEFT, 10 * w / 64);
  m_list.InsertColumn(1, "Mute", LVCFMT_LEFT, 10 * w / 64);
  m_list.InsertColumn(2, "Index", LVCFMT_CENTER, 8 * w / 64);
  m_list.InsertColumn(3, "Name", LVCFMT_LEFT, 18 * w / 64);
  m_list.InsertColumn(4, "Instrument", LVCFMT_LEFT,
                      w - (10 * w / 64 + 10 * w / 64 + 8 * w / 64 + 18 * w / 64) - 2);
  if (m_headerImages.Create(kHeaderBitmap, 16, 1, kMaskColour))
    m_list.m_HeaderCtrl.SetImageList(&m_headerImages);
  for (int column = 0; column < 5; ++column) m_list.SetHeaderCheckedState(column, column < 2 ? 1 : 0);
}

void CTrackSettingDlg::FillList() {
  ISongEngine* engine = m_engine;
  CSongInfo* info = engine ? engine->GetSongInfo() : nullptr;
  if (!info || !m_list.m_hWnd) return;
  m_list.SetRedraw(FALSE);
  const int count = info->Open(m_songPath.c_str()) == 0 ? info->GetTrackCount() : 0;
  if (CSongValueMap* map = CSongValueMap::GetInstance()) {
    auto it = map->Songs().find(m_songPath);
    if (it != map->Songs().end()) m_settings = it->second.settings;
  }
  for (int i = 0; i < count; ++i) {
    const int n = info->GetTrackNumber(i);
    TrackSetting& setting = m_settings[n];
    setting.track = n;
    char number[16];
    std::snprintf(number, sizeof number, "%d", n);
    const int row = m_list.InsertItemColored(i, "", kGreen, 0);
    if (row < 0) continue;
    m_list.SetItemText(row, 1, "", kGreen, 0);
    m_list.SetItemText(row, 2, number, kGreen, 0);
    const char* name = info->GetTrackName(n);
    m_list.SetItemText(row, 3, name ? name : "", kGreen, 0);
    const char* instrument = info->GetInstrumentName(n);
    m_list.SetItemText(row, 4, instrument ? instrument : "", kGreen, 0);
    m_list.SetCheckbox(row, 0, setting.show ? 1 : 0);
    m_list.SetCheckbox(row, 1, setting.mute ? 1 : 0);
    if (row == 1) {
      for (int column = 0; column < 5; ++column) {
        char tip[32];
        std::snprintf(tip, sizeof tip, "This is %d,%d", row, column);
        m_list.SetItemToolTipText(row, column, tip);
      }
    }
  }
  m_list.SetRedraw(TRUE);
  m_list.Invalidate();
}

int CTrackSettingDlg::RowTrack(int row) { return ParseTrack(m_list.GetItemText(row, 2)); }

void CTrackSettingDlg::LoadTrack(int track) {
  auto found = m_colours.find(track);
  const TrackColours colours = found != m_colours.end() ? found->second : TrackColours();
  m_note = static_cast<COLORREF>(colours.note);
  m_highlight = static_cast<COLORREF>(colours.highlight);
  m_line = static_cast<COLORREF>(colours.line);
  m_noteBrush.Attach(::CreateSolidBrush(m_note));
  m_highlightBrush.Attach(::CreateSolidBrush(m_highlight));
  m_lineBrush.Attach(::CreateSolidBrush(m_line));
  auto setting = m_settings.find(track);
  const int kind = setting != m_settings.end() ? setting->second.kind : -1;
  if (m_staffKind.m_hWnd) m_staffKind.SetCurSel(kind < 0 || kind > 2 ? 0 : kind + 1);
}

void CTrackSettingDlg::OnListClick() {
  POSITION pos = m_list.GetFirstSelectedItemPosition();
  if (!pos) return;
  const int first = m_list.GetNextSelectedItem(pos);
  LoadTrack(RowTrack(first));
  // A disabled item ends the take-over: the rows after it keep their records.
  for (int row = first; row >= 0; row = m_list.GetNextItem(row, LVNI_SELECTED)) {
    if (!m_list.GetEnabled(row)) break;
    const int track = RowTrack(row);
    TrackSetting& setting = m_settings[track];
    setting.track = track;
    setting.show = m_list.GetCheckbox(row, 0) == 1 ? 1 : 0;
    setting.mute = m_list.GetCheckbox(row, 1) == 1 ? 1 : 0;
  }
  Repaint();
}

void CTrackSettingDlg::OnStaffKind() {
  const int kind = m_staffKind.GetCurSel() - 1;
  for (int row = m_list.GetNextItem(-1, LVNI_SELECTED); row >= 0;
       row = m_list.GetNextItem(row, LVNI_SELECTED)) {
    const int track = RowTrack(row);
    TrackSetting& setting = m_settings[track];
    setting.track = track;
    setting.kind = kind;
  }
}

bool CTrackSettingDlg::ChooseColour(COLORREF& colour) {
  static COLORREF custom[16] = {};
  CHOOSECOLORA choose = {};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = GetDialogHwnd();
  choose.rgbResult = colour;
  choose.lpCustColors = custom;
  choose.Flags = CC_FULLOPEN | CC_RGBINIT;
  if (!::ChooseColorA(&choose)) return false;
  colour = choose.rgbResult;
  return true;
}

void CTrackSettingDlg::OnColour(int id) {
  const bool perTrack = id != kIdBackground;
  if (perTrack && m_list.GetSelectedCount() == 0) return;
  COLORREF* colour = id == kIdBackground  ? &m_background
                     : id == kIdNote      ? &m_note
                     : id == kIdHighlight ? &m_highlight
                                          : &m_line;
  base::GdiBrush* brush = id == kIdBackground  ? &m_backgroundBrush
                          : id == kIdNote      ? &m_noteBrush
                          : id == kIdHighlight ? &m_highlightBrush
                                               : &m_lineBrush;
  COLORREF chosen = *colour;
  if (ChooseColour(chosen) && chosen != *colour) {
    *colour = chosen;
    brush->Attach(::CreateSolidBrush(chosen));
  }
  if (perTrack) {
    for (int row = m_list.GetNextItem(-1, LVNI_SELECTED); row >= 0;
         row = m_list.GetNextItem(row, LVNI_SELECTED)) {
      const int track = RowTrack(row);
      TrackColours& colours = m_colours[track];
      colours.track = track;
      colours.note = static_cast<int>(m_note);
      colours.highlight = static_cast<int>(m_highlight);
      colours.line = static_cast<int>(m_line);
    }
  }
  if (HWND swatch = ::GetDlgItem(GetDialogHwnd(), id)) ::InvalidateRect(swatch, nullptr, TRUE);
}

void CTrackSettingDlg::EnableStaffType(bool enable) {
  if (m_staffKind.m_hWnd) m_staffKind.EnableWindow(enable);
}

void CTrackSettingDlg::SetHeight(int height) {
  RECT r;
  ::GetWindowRect(GetDialogHwnd(), &r);
  ::SetWindowPos(GetDialogHwnd(), nullptr, 0, 0, r.right - r.left, height, SWP_NOMOVE | SWP_NOZORDER);
  GetLayout()->SetHeight(height);
  Repaint();
}

void CTrackSettingDlg::ToggleView() {
  m_compact = !m_compact;
  m_viewToggle.SetCheck(!m_compact);
  SetHeight(m_compact ? kCompactHeight : kFullHeight);
}

void CTrackSettingDlg::StoreSong() {
  CSongValueMap* map = CSongValueMap::GetInstance();
  if (!map) return;
  SongValues& values = (*map)[m_songPath];
  values.settings = m_settings;
  values.colours = m_colours;
}

// The whole window with its children, at once: a hidden and shown dialog
// would flash and lose the focus.
void CTrackSettingDlg::Repaint() {
  ::RedrawWindow(GetDialogHwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

HBRUSH CTrackSettingDlg::BrushFor(int id) const {
  switch (id) {
    case kIdBackground:
      return m_backgroundBrush.Get();
    case kIdNote:
      return m_noteBrush.Get();
    case kIdHighlight:
      return m_highlightBrush.Get();
    case kIdLine:
      return m_lineBrush.Get();
    default:
      return nullptr;
  }
}

LRESULT CTrackSettingDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == kIdStaffKind && code == CBN_SELCHANGE) {
      OnStaffKind();
    } else if (code == 0 || code == STN_CLICKED) {
      switch (id) {
        case kIdBackground:
        case kIdNote:
        case kIdHighlight:
        case kIdLine:
          OnColour(id);
          break;
        case IDOK:
          StoreSong();
          break;
        case kIdList:
          OnListClick();
          break;
        case kIdViewToggle:
          ToggleView();
          break;
        default:
          break;
      }
    }
  } else if (message == WM_DRAWITEM) {
    // The skinned dialog's own handler is not virtual: the buttons are drawn here.
    OnDrawItem(wParam, lParam);
    return TRUE;
  } else if (message == WM_CTLCOLORSTATIC) {
    if (HBRUSH brush = BrushFor(::GetDlgCtrlID(reinterpret_cast<HWND>(lParam))))
      return reinterpret_cast<LRESULT>(brush);
  }
  return CSkinDialog::WindowProc(message, wParam, lParam);
}

void CTrackSettingDlg::OnDrawItem(WPARAM wParam, LPARAM lParam) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (!item) return;
  for (CSkinCmdButton* button : {&m_ok, &m_cancel, &m_viewToggle})
    if (button->GetHwnd() && button->GetHwnd() == item->hwndItem) button->DrawItem(item);
  (void)wParam;
}

void CTrackSettingDlg::DrawClient(Gdiplus::Graphics* graphics) {
  CSkinDialog::DrawClient(graphics);
  HDC dc = graphics->GetHDC();
  {
    base::GdiFont font(::CreateFontA(14, 0, 0, 0, 500, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS,
                                     "Arial"));
    base::ScopedSelect select(dc, font.Get());
    const int top = GetCaptionHeight();
    auto text = [dc](int x, int y, const std::string& s) {
      ::TextOutA(dc, x, y, s.c_str(), static_cast<int>(s.size()));
    };
    {
      base::ScopedTextStyle green(dc, kGreen);
      const size_t slash = m_songPath.rfind('\\');
      if (slash != std::string::npos) text(8, top + 2, "Song: " + m_songPath.substr(slash + 1));
    }
    if (!m_compact) {
      {
        base::ScopedTextStyle black(dc, RGB(0, 0, 0));
        text(20, 215, "Staff Setting");
        std::string tracks;
        if (m_list.m_hWnd && m_list.GetSelectedCount() > 0) {
          tracks = "Track Index :";
          for (int row = m_list.GetNextItem(-1, LVNI_SELECTED); row >= 0;
               row = m_list.GetNextItem(row, LVNI_SELECTED))
            tracks += std::string(m_list.GetItemText(row, 2)) + " ";
        } else {
          tracks = "Track Setting";
        }
        text(40, 265, tracks);
      }
      base::ScopedTextStyle green(dc, kGreen);
      text(30, 245, "Background Color :");
      text(50, 292, "Note Color :");
      text(125, 292, "Normal");
      text(223, 292, "Highlight");
      text(50, 322, "Line Color :");
      text(50, 356, "Staff Type :");
    }
  }
  graphics->ReleaseHDC(dc);
}
