#include "lyrics/CLyricPaneWnd.h"

#include <cantomere/Cantomere.h>

#include <algorithm>
#include <cctype>
#include <climits>

#include "ui/CLogFont.h"
#include "ui/CSettings.h"
#include "ui/IPlayerHost.h"

namespace {

int ClampProduct(long long a, long long b) {
  return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, a * b)));
}

}  // namespace

CLyricPaneWnd::~CLyricPaneWnd() {
  if (m_view) {
    if (m_lyrics) m_lyrics->DetachView(1, m_view);
    m_view->Release();
    m_view = nullptr;
  }
  DestroyOwnWindow();
}

int CLyricPaneWnd::Create(HWND parent) {
  if (CBmpWnd::Create(::GetModuleHandleA(nullptr), parent, 0, WS_CHILD | WS_CLIPCHILDREN, nullptr,
                      CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, nullptr) != 0)
    return 1;
  if (m_view) m_view->SetWindow(m_hWnd);
  return 0;
}

CLyricView* CLyricPaneWnd::GetLyricView() {
  if (m_view) return m_view;
  m_view = static_cast<CLyricView*>(CreateLyricView());
  if (!m_view) return nullptr;
  m_view->SetWindow(m_hWnd);
  if (m_lyrics) m_lyrics->AttachView(1, m_view);

  CLogFont font;
  font.FromString(CSettings::GetLyricSetting("LYRIC_NORM_FONT"));
  if (font.GetSafeHandle()) m_view->SetFont(static_cast<HFONT>(font.Detach()));
  m_view->SetColor(0, CSettings::GetColorSetting("LYRIC_NORM"));
  m_view->SetColor(1, CSettings::GetColorSetting("LYRIC_HILIGHT"));
  m_view->SetColor(2, CSettings::GetColorSetting("LYRIC_BKCOLOR"));
  std::string effect = CSettings::GetLyricEffect("LYRIC_EFFECT");
  std::transform(effect.begin(), effect.end(), effect.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  m_view->SetKaraoke(effect == "karaoke");
  return m_view;
}

void CLyricPaneWnd::SetLyrics(ICantomereLyrics* lyrics) {
  if (lyrics == m_lyrics) return;
  if (m_view && m_lyrics) m_lyrics->DetachView(1, m_view);
  m_lyrics = lyrics;
  if (m_view && m_lyrics) m_lyrics->AttachView(1, m_view);
}

void CLyricPaneWnd::MoveTo(const RECT& rect) {
  if (m_hWnd) ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
  if (CLyricView* view = GetLyricView()) {
    RECT local = {0, 0, rect.right - rect.left, rect.bottom - rect.top};
    view->SetRect(&local);
  }
}

void CLyricPaneWnd::OnSliderTrack(int pos, int code) {
  if (CLyricView* view = GetLyricView())
    view->Scroll(0, ClampProduct(pos, view->GetLineHeight()), (code & 0xFF) ? 1 : 0);
}

void CLyricPaneWnd::OnSliderSet(int pos) {
  if (CLyricView* view = GetLyricView()) view->Scroll(0, ClampProduct(pos, view->GetLineHeight()), 0);
}

void CLyricPaneWnd::OnKeyDown(WPARAM key) {
  CLyricView* view = GetLyricView();
  if (!view) return;
  const RECT* rect = view->GetRect();
  const int h = rect->bottom - rect->top, line = view->GetLineHeight();
  SIZE content = {0, 0};
  view->GetContentSize(&content);
  switch (key) {
    case VK_PRIOR:
      view->Scroll(0, -h, 1);
      break;
    case VK_NEXT:
      view->Scroll(0, h, 1);
      break;
    case VK_HOME:
      view->Scroll(0, 0, 0);
      break;
    case VK_END:
      view->Scroll(0, content.cy, 0);
      break;
    case VK_UP:
      view->Scroll(0, -line, 1);
      break;
    case VK_DOWN:
      view->Scroll(0, line, 1);
      break;
    default:
      break;
  }
}

int CLyricPaneWnd::HitTestAt(LPARAM lParam) {
  CLyricView* view = GetLyricView();
  const POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  return view ? view->HitTest(pt.x, pt.y) : -1;
}

LRESULT CLyricPaneWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(m_hWnd, &ps);
      if (CLyricView* view = GetLyricView()) view->Draw(dc);
      ::EndPaint(m_hWnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      // The view paints every pixel of its rectangle; erasing first flickers.
      return 1;
    case WM_KEYDOWN:
      OnKeyDown(wParam);
      if (HWND parent = ::GetParent(m_hWnd)) ::PostMessageA(parent, message, wParam, lParam);
      break;
    case WM_MOUSEWHEEL:
      if (CLyricView* view = GetLyricView()) {
        const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
        view->Scroll(0, ClampProduct(-view->GetLineHeight(), notches), 1);
      }
      break;
    case WM_LBUTTONDBLCLK:
      if (m_host) {
        m_host->SetClickPosition(HitTestAt(lParam));
        m_host->PlayFromClickPosition();
      }
      break;
    case WM_RBUTTONUP:
      if (m_host) {
        m_host->SetClickPosition(HitTestAt(lParam));
        if (HMENU menu = m_host->UpdatePopupMenu()) {
          POINT pt;
          ::GetCursorPos(&pt);
          ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr);
        }
      }
      break;
    case WM_COMMAND:
      if (m_host) {
        if (LOWORD(wParam) == kLyricPreferencesCommand)
          m_host->ShowPreferences(kLyricPreferencesPage);
        else if (HWND main = m_host->GetHostWindow())
          ::SendMessageA(main, WM_COMMAND, wParam, lParam);
      }
      break;
    default:
      break;
  }
  return CBmpWnd::WindowProc(message, wParam, lParam);
}
