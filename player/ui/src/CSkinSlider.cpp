#include "ui/CSkinSlider.h"

#include <algorithm>

#include "base/Library.h"
#include "ui/CSkinImage.h"
#include "ui/CSkinElement.h"
#include "ui/CSkinFrame.h"
#include "ui/SliderMath.h"

HCURSOR LoadThumbCursor() {
  HCURSOR cursor = nullptr;
  char windows[MAX_PATH];
  UINT n = ::GetWindowsDirectoryA(windows, MAX_PATH);
  if (n > 0 && n < MAX_PATH - 16) {
    std::string path = std::string(windows) + "\\winhlp32.exe";
    if (base::Library help(path.c_str()); help) {
      // A copy: the cursor loaded from the program goes with it.
      if (HCURSOR hand = ::LoadCursorA(help.Get(), MAKEINTRESOURCEA(106)))
        cursor = reinterpret_cast<HCURSOR>(::CopyIcon(reinterpret_cast<HICON>(hand)));
    }
  }
  // The help program is gone from current systems (and from Wine).
  if (!cursor) {
    if (HCURSOR hand = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)))
      cursor = reinterpret_cast<HCURSOR>(::CopyIcon(reinterpret_cast<HICON>(hand)));
  }
  return cursor;
}

CSkinSliderBase::CSkinSliderBase(bool vertical, int thumbId, int backId, int forwardId)
    : m_bkBrush(::CreateSolidBrush(RGB(0, 0, 0))),
      m_thumb(vertical ? static_cast<CSkinThumb*>(new CSkinVThumb) : new CSkinHThumb),
      m_vertical(vertical),
      m_thumbId(thumbId),
      m_backId(backId),
      m_forwardId(forwardId) {}

CSkinSliderBase::~CSkinSliderBase() {
  delete m_thumb;
  delete m_back;
  delete m_forward;
  // The thumb window is gone, so nothing shows this cursor any more.
  if (m_thumbCursor) ::DestroyCursor(m_thumbCursor);
  DestroyOwnWindow();
}

void CSkinSliderBase::CreateButtons() {
  if (!m_back) m_back = new CSkinArrowButton;
  if (!m_forward) m_forward = new CSkinArrowButton;
}

void CSkinSliderBase::SetImages(CSkinImage* back, CSkinImage* forward, CSkinImage* thumb, CSkinImage* track) {
  if (m_back) m_back->SetImage(back);
  if (m_forward) m_forward->SetImage(forward);
  m_thumb->SetImage(thumb);
  m_trackImage = track;
}

ISliderSink* CSkinSliderBase::SetSink(ISliderSink* sink) {
  ISliderSink* old = m_sink;
  m_sink = sink;
  return old;
}

int CSkinSliderBase::Create() {
  HWND parent = m_ownerWnd ? m_ownerWnd->m_hWnd : nullptr;
  if (CBmpWnd::Create(::GetModuleHandleA(nullptr), parent, WS_EX_TOOLWINDOW, WS_CHILD, m_bkBrush.Get(),
                      CS_HREDRAW | CS_VREDRAW, nullptr) != 0)
    return 1;
  int along = 0, across = 0;
  auto make = [&](CSkinButton* part, int id) {
    if (!part) return;
    int w = 0, h = 0;
    part->GetFrameSize(&w, &h);
    part->Create(id, m_hWnd, 0, 0, w, h);
    along += m_vertical ? h : w;
    across = std::max(across, m_vertical ? w : h);
  };
  make(m_back, m_backId);
  make(m_forward, m_forwardId);
  make(m_thumb, m_thumbId);
  if (!m_vertical) m_thumbCursor = LoadThumbCursor();
  m_thumb->SetControl(this);
  const int cx = m_vertical ? across : along, cy = m_vertical ? along : across;
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

int CSkinSliderBase::ThumbLength() const {
  int w = 0, h = 0;
  m_thumb->GetFrameSize(&w, &h);
  return m_vertical ? h : w;
}

int CSkinSliderBase::TrackStart() const {
  if (!m_back) return 0;
  int w = 0, h = 0;
  m_back->GetFrameSize(&w, &h);
  return m_vertical ? h : w;
}

int CSkinSliderBase::TrackEnd() const {
  RECT r = {};
  if (m_hWnd) ::GetClientRect(m_hWnd, &r);
  return (m_vertical ? r.bottom : r.right) - TrackStart();
}

int CSkinSliderBase::ThumbPosition() const {
  return TrackStart() + SliderThumbOffset(TrackLength(), m_lower, m_upper, m_pos);
}

void CSkinSliderBase::PlaceThumb() {
  HWND thumb = m_thumb->GetHwnd();
  if (!thumb) return;
  const int at = ThumbPosition();
  ::SetWindowPos(thumb, nullptr, m_vertical ? 0 : at, m_vertical ? at : 0, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CSkinSliderBase::SetPos(int pos) {
  if (pos == m_pos) return false;
  // Held by the user's drag, or greyed out: the caller's position waits.
  if (!m_acceptsSetPos || (m_hWnd && !::IsWindowEnabled(m_hWnd))) return true;
  m_pos = ClampInt(pos, m_lower, std::max(m_lower, m_upper));
  PlaceThumb();
  if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
  return true;
}

void CSkinSliderBase::StepBack() {
  m_pos = std::max(m_pos - 1, m_lower);
  PlaceThumb();
  if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
  if (m_sink) m_sink->OnSliderTrack(-1, 1);
}

void CSkinSliderBase::StepForward() {
  m_pos = std::min(m_pos + 1, m_upper);
  PlaceThumb();
  if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
  if (m_sink) m_sink->OnSliderTrack(1, 1);
}

void CSkinSliderBase::MoveWindow(int x, int y, int cx, int cy) {
  if (!m_hWnd) return;
  ::MoveWindow(m_hWnd, x, y, cx, cy, TRUE);
  if (m_back) m_back->MoveTo(0, 0);
  if (m_forward) {
    int w = 0, h = 0;
    m_forward->GetFrameSize(&w, &h);
    m_forward->MoveTo(m_vertical ? 0 : cx - w, m_vertical ? cy - h : 0);
  }
  // The thumb then goes where the position puts it.
  PlaceThumb();
}

void CSkinSliderBase::MoveWindow(int x, int y, int length) {
  RECT r = {};
  if (m_hWnd) ::GetClientRect(m_hWnd, &r);
  if (m_vertical)
    MoveWindow(x, y, r.right, length);
  else
    MoveWindow(x, y, length, r.bottom);
}

void CSkinSliderBase::EnableWindow(bool enable) {
  if (m_back) m_back->EnableWindow(enable);
  if (m_forward) m_forward->EnableWindow(enable);
  m_thumb->EnableWindow(enable);
  if (m_hWnd) ::EnableWindow(m_hWnd, enable ? TRUE : FALSE);
}

CSkinButton* CSkinSliderBase::GetPart(int id) {
  if (id == m_thumbId) return m_thumb;
  if (id == m_backId) return m_back;
  if (id == m_forwardId) return m_forward;
  return nullptr;
}

void CSkinSliderBase::OnCommand(WPARAM wParam, LPARAM) {
  if (HIWORD(wParam) != 0) return;
  const int id = LOWORD(wParam);
  if (id == m_backId && m_back)
    StepBack();
  else if (id == m_forwardId && m_forward)
    StepForward();
}

void CSkinSliderBase::DrawTrack(HDC dc) {
  if (!m_trackImage || !m_hWnd) return;
  RECT r;
  ::GetClientRect(m_hWnd, &r);
  const int start = TrackStart(), end = TrackEnd();
  if (m_vertical)
    StretchSkinImage(dc, m_trackImage, 0, start, r.right, end - start);
  else
    StretchSkinImage(dc, m_trackImage, start, 0, end - start, r.bottom);
}

LRESULT CSkinSliderBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_SIZE:
      return 0;
    case WM_ERASEBKGND:
      DrawTrack(reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (CSkinButton* part = GetPart(static_cast<int>(wParam))) part->DrawItem(item);
      return 0;
    }
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_MOUSEMOVE:
      return 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown(wParam, lParam);
      return 0;
    case WM_LBUTTONUP:
      return 0;
    default:
      return CBmpWnd::WindowProc(message, wParam, lParam);
  }
}

void CSkinSliderBase::OnThumbPressed() {
  if (!m_vertical) m_acceptsSetPos = false;
}

void CSkinSliderBase::OnThumbDragged(int newOffset) {
  const int start = TrackStart();
  const int at = ClampInt(newOffset, start, std::max(start, TrackEnd() - ThumbLength()));
  const int newPos = SliderPosFromOffset(at - start, m_lower, m_upper, TrackLength());
  if (newPos != m_pos) {
    const int old = m_pos;
    m_pos = ClampInt(newPos, m_lower, std::max(m_lower, m_upper));
    if (m_sink) m_sink->OnSliderTrack(m_pos - old, 1);
  }
  HWND thumb = m_thumb->GetHwnd();
  RECT r;
  ::GetWindowRect(thumb, &r);
  POINT topLeft = {r.left, r.top};
  ::ScreenToClient(m_hWnd, &topLeft);
  ::SetWindowPos(thumb, nullptr, m_vertical ? topLeft.x : at, m_vertical ? at : topLeft.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Repaint the thumb at once: the drag outruns the paint queue.
  DRAWITEMSTRUCT item = {};
  item.itemState = ODS_FOCUS;
  item.hwndItem = thumb;
  item.hDC = ::GetDC(thumb);
  ::GetClientRect(thumb, &item.rcItem);
  ::SendMessageA(m_hWnd, WM_DRAWITEM, static_cast<WPARAM>(m_thumbId), reinterpret_cast<LPARAM>(&item));
  ::ReleaseDC(thumb, item.hDC);
}

void CSkinSliderBase::OnThumbReleased() {
  if (m_sink) m_sink->OnSliderSet(m_pos);
  m_acceptsSetPos = true;
}

void CSkinSlider::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
  ISliderSink* sink = GetSink();
  if (!sink || wParam != MK_LBUTTON) return;
  const int thumbPos = TrackStart() + SliderThumbOffsetExact(TrackLength(), GetLower(), GetUpper(), GetPos());
  const int x = static_cast<short>(LOWORD(lParam));
  int newPos;
  if (x < thumbPos)
    newPos = std::max(sink->GetSliderBackValue(), 0);
  else
    newPos = sink->GetSliderValue();
  SetPos(newPos);
  sink->OnSliderTrack(GetPos(), 0);
}

LRESULT CSkinThumb::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // The hand is this window's own: the class cursor would change every
  // button of the process.
  if (message == WM_SETCURSOR && m_control && m_control->m_thumbCursor) {
    ::SetCursor(m_control->m_thumbCursor);
    return TRUE;
  }
  return CSkinButton::WindowProc(message, wParam, lParam);
}

void CSkinThumb::OnLButtonDown(LPARAM lParam) {
  CSkinButton::OnLButtonDown(lParam);
  ::SetCapture(m_hwnd);
  if (!m_vertical) {
    m_dragging = true;
    if (m_control) m_control->OnThumbPressed();
  }
  m_downPoint = PointFromLParam(lParam);
}

void CSkinThumb::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  CSkinButton::OnMouseMove(wParam, lParam);
  if (!(wParam & MK_LBUTTON) || !m_control || !m_hwnd) return;
  POINT pt = PointFromLParam(lParam);
  RECT r;
  ::GetWindowRect(m_hwnd, &r);
  POINT topLeft = {r.left, r.top};
  ::ScreenToClient(m_control->m_hWnd, &topLeft);
  if (m_vertical)
    m_control->OnThumbDragged(topLeft.y + (pt.y - m_downPoint.y));
  else
    m_control->OnThumbDragged(topLeft.x + (pt.x - m_downPoint.x));
}

void CSkinThumb::OnLButtonUp() {
  CSkinButton::OnLButtonUp();
  ::ReleaseCapture();
  m_dragging = false;
  if (m_control) m_control->OnThumbReleased();
}
