#include "ui/CSubclassManager.h"
#include "base/Guarded.h"

#include <new>

namespace {

CSubclassManager* g_manager = nullptr;

// Deletes the registry at exit, restoring every window it still holds.
struct SubclassManagerCleanup {
  ~SubclassManagerCleanup() { ReleaseSubclassManager(); }
} g_cleanup;

WNDPROC ProcOf(HWND hwnd) { return reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC)); }

void SetProc(HWND hwnd, WNDPROC proc) {
  ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

}  // namespace

CSubclassManager* GetSubclassManager() {
  if (!g_manager) g_manager = new (std::nothrow) CSubclassManager();
  return g_manager;
}

void ReleaseSubclassManager() {
  CSubclassManager* manager = g_manager;
  g_manager = nullptr;
  delete manager;
}

CSubclassManager::~CSubclassManager() {
  for (auto& [hwnd, entry] : m_entries)
    if (::IsWindow(hwnd)) SetProc(hwnd, entry.oldProc);
  m_entries.clear();
}

void CSubclassManager::Subclass(HWND hwnd, ISubclassHandler* handler) {
  if (!hwnd) return;
  auto found = m_entries.find(hwnd);
  if (found != m_entries.end()) {
    found->second.handler = handler;
    return;
  }
  Entry& entry = m_entries[hwnd];
  entry.handler = handler;
  entry.oldProc = ProcOf(hwnd);
  SetProc(hwnd, &CSubclassManager::HookProc);
}

void CSubclassManager::Unsubclass(HWND hwnd) {
  auto found = m_entries.find(hwnd);
  if (found == m_entries.end()) return;
  if (::IsWindow(hwnd)) SetProc(hwnd, found->second.oldProc);
  m_entries.erase(found);
}

LRESULT CSubclassManager::CallOldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto found = m_entries.find(hwnd);
  if (found == m_entries.end() || !found->second.oldProc) return 0;
  // What GetWindowLongPtr gave may be a thunk (a Unicode procedure seen
  // through the ANSI call), never to be called directly.
  return ::CallWindowProcA(found->second.oldProc, hwnd, msg, wParam, lParam);
}

LRESULT CSubclassManager::Dispatch(HWND hwnd, UINT msg, WPARAM* wParam, LPARAM* lParam) {
  auto found = m_entries.find(hwnd);
  if (found == m_entries.end() || !found->second.handler) return 0;
  return found->second.handler->OnSubclassMessage(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CSubclassManager::HookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CSubclassManager* manager = GetSubclassManager();
  if (!manager) return 0;
  // No exception may unwind through the system's message dispatch.
  const LRESULT result =
      base::Guarded([&] { return manager->Dispatch(hwnd, msg, &wParam, &lParam); }, LRESULT(0));
  // A destroyed window's handle may be reused by the next window; an entry
  // left behind would hand that window a dead window's procedure.
  if (msg == WM_NCDESTROY && (manager = GetSubclassManager()) != nullptr) manager->m_entries.erase(hwnd);
  return result;
}
