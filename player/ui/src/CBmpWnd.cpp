#include "ui/CBmpWnd.h"
#include "base/Guarded.h"

#include <map>

namespace {

std::map<HWND, CBmpWnd*>& BmpWndMap() {
  static std::map<HWND, CBmpWnd*> map;
  return map;
}

// Advances on every Create, also a failed one, so no two calls share a name.
int g_bmpWndClassCounter = 0;

void Unmap(HWND hwnd) {
  if (hwnd) BmpWndMap().erase(hwnd);
}

}  // namespace

CBmpWnd::~CBmpWnd() {
  if (!m_hWnd) return;
  // Dropped before destruction: WM_DESTROY must not reach a half-destroyed object.
  Unmap(m_hWnd);
  if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  m_hWnd = nullptr;
}

int CBmpWnd::NextClassNumber() { return g_bmpWndClassCounter; }

int CBmpWnd::Create(HINSTANCE instance, HWND parent, DWORD exStyle, DWORD style, HBRUSH background,
                    UINT classStyle, HICON icon) {
  const std::string className = ClassNamePrefix() + std::to_string(g_bmpWndClassCounter++);

  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = classStyle;
  wc.lpfnWndProc = &CBmpWnd::StaticWindowProc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszClassName = className.c_str();
  wc.hIconSm = icon;
  ::RegisterClassExA(&wc);  // a failure shows as a failed creation

  m_hWnd = ::CreateWindowExA(exStyle, className.c_str(), nullptr, style, 0, 0, 1, 1, parent, nullptr,
                             instance, nullptr);
  if (!m_hWnd) return 1;
  BmpWndMap()[m_hWnd] = this;
  return 0;
}

void CBmpWnd::Show(bool show) {
  if (!m_hWnd || !::IsWindow(m_hWnd)) return;
  ::ShowWindow(m_hWnd, show ? SW_SHOW : SW_HIDE);
}

LRESULT CBmpWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

void CBmpWnd::Attach(HWND hwnd) {
  Detach();
  m_hWnd = hwnd;
  if (m_hWnd) BmpWndMap()[m_hWnd] = this;
}

void CBmpWnd::Detach() {
  if (!m_hWnd) return;
  auto it = BmpWndMap().find(m_hWnd);
  if (it != BmpWndMap().end() && it->second == this) BmpWndMap().erase(it);
  m_hWnd = nullptr;
}

void CBmpWnd::DestroyOwnWindow() {
  if (!m_hWnd) return;
  HWND hwnd = m_hWnd;
  Unmap(hwnd);
  m_hWnd = nullptr;
  if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
}

CBmpWnd* CBmpWnd::FromHandle(HWND hwnd) {
  auto it = BmpWndMap().find(hwnd);
  return it == BmpWndMap().end() ? nullptr : it->second;
}

LRESULT CALLBACK CBmpWnd::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CBmpWnd* wnd = FromHandle(hwnd);
  if (!wnd) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  // No exception may unwind through the system's message dispatch.
  return base::Guarded([&] { return wnd->WindowProc(message, wParam, lParam); }, LRESULT(0));
}
