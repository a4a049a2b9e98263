#include "app/CScoreCanvas.h"

#include <tunewell/ISongEngine.h>

#include "ui/IPlayerHost.h"

namespace {

POINT PointOf(LPARAM lParam) {
  return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

}  // namespace

CScoreCanvas::~CScoreCanvas() {
  // The engine must not paint into a window that is about to go.
  if (m_engine && m_hWnd) m_engine->SetScoreWindow(nullptr);
  DestroyOwnWindow();
}

int CScoreCanvas::Create(HWND parent) {
  return CBmpWnd::Create(::GetModuleHandleA(nullptr), parent, 0, WS_CHILD | WS_CLIPCHILDREN, nullptr,
                         CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, nullptr);
}

void CScoreCanvas::SetSongEngine(ISongEngine* engine) {
  m_engine = engine;
  if (!m_engine) return;
  m_engine->SetScoreWindow(m_hWnd);
  UpdateScoreSize();
}

CScoreFacet* CScoreCanvas::GetFacet() const { return m_engine ? m_engine->GetScoreFacet() : nullptr; }

void CScoreCanvas::UpdateScoreSize() {
  if (!m_engine || !m_hWnd) return;
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const RECT rect = {0, 0, client.right, client.bottom};
  m_engine->SetScoreRect(&rect);
}

void CScoreCanvas::OnSliderTrack(int value, int code) {
  CScoreFacet* facet = GetFacet();
  if (!facet) return;
  if (code == 0) {
    facet->ScrollTo(value);
  } else {
    facet->ScrollBy(value);
  }
  if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

int CScoreCanvas::GetSliderValue() {
  CScoreFacet* facet = GetFacet();
  return facet ? facet->GetLastMeasure() : -1;
}

int CScoreCanvas::GetSliderBackValue() {
  CScoreFacet* facet = GetFacet();
  return facet ? facet->PrevPage() : -1;
}

void CScoreCanvas::PaintTo(HDC dc) {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  if (m_bkBrush) ::FillRect(dc, &client, m_bkBrush);
  if (m_engine) m_engine->DrawScore(dc);
}

void CScoreCanvas::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(m_hWnd, &paint);
  if (!dc) return;
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  HDC memory = ::CreateCompatibleDC(dc);
  HBITMAP bitmap = memory ? ::CreateCompatibleBitmap(dc, client.right, client.bottom) : nullptr;
  if (bitmap) {
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    PaintTo(memory);
    ::BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
  } else {
    // Without memory for a buffer the score still shows, with flicker.
    PaintTo(dc);
  }
  if (memory) ::DeleteDC(memory);
  ::EndPaint(m_hWnd, &paint);
}

void CScoreCanvas::ShowPopupMenu(LPARAM lParam) {
  if (!m_host) return;
  if (CScoreFacet* facet = GetFacet()) {
    const POINT point = PointOf(lParam);
    m_host->SetClickPosition(facet->TickFromPoint(point.x, point.y));
  }
  HMENU menu = m_host->UpdatePopupMenu();
  if (!menu) return;
  POINT cursor;
  ::GetCursorPos(&cursor);
  ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_hWnd, nullptr);
}

LRESULT CScoreCanvas::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_COMMAND:
      if (m_host) {
        if (LOWORD(wParam) == kCmdSettings) {
          m_host->ShowPreferences(kPreferencesPage);
        } else if (HWND owner = m_host->GetHostWindow()) {
          ::SendMessageA(owner, WM_COMMAND, wParam, lParam);
        }
      }
      return 0;
    case WM_LBUTTONDOWN:
      // The play cursor follows a click only while the song is not playing.
      if (wParam == MK_LBUTTON && m_engine && m_engine->GetPlayerState(0) != 0) {
        if (CScoreFacet* facet = GetFacet()) {
          const POINT point = PointOf(lParam);
          facet->TickFromPoint(point.x, point.y);
          ::InvalidateRect(m_hWnd, nullptr, FALSE);
        }
      }
      break;
    case WM_LBUTTONDBLCLK:
      if (m_host) {
        if (CScoreFacet* facet = GetFacet()) {
          const POINT point = PointOf(lParam);
          m_host->SetClickPosition(facet->TickFromPoint(point.x, point.y));
          m_host->PlayFromClickPosition();
        }
      }
      break;
    case WM_RBUTTONUP:
      ShowPopupMenu(lParam);
      break;
    case WM_SIZE:
      UpdateScoreSize();
      break;
    default:
      break;
  }
  return CBmpWnd::WindowProc(message, wParam, lParam);
}
