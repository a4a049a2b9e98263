// Takes over the window procedure of chosen windows and routes each of their
// messages to a handler object. One registry serves the whole process, so a
// window is subclassed once however many objects care about it, and whatever
// is still subclassed at exit gets its own procedure back.
#pragma once

#include <windows.h>

#include <map>

class ISubclassHandler {
 public:
  // The handler may read or replace the parameters before it passes the
  // message on (CSubclassManager::CallOldProc); its result is what the
  // window procedure returns.
  virtual LRESULT OnSubclassMessage(HWND hwnd, UINT msg, WPARAM* wParam, LPARAM* lParam) = 0;

 protected:
  ~ISubclassHandler() = default;
};

class CSubclassManager {
 public:
  CSubclassManager() = default;
  // Gives every window still held its previous procedure back.
  ~CSubclassManager();
  CSubclassManager(const CSubclassManager&) = delete;
  CSubclassManager& operator=(const CSubclassManager&) = delete;

  // A second call for the same window only replaces the handler: recording
  // our own hook as the "previous" procedure would make CallOldProc recurse.
  void Subclass(HWND hwnd, ISubclassHandler* handler);
  // Windows not held (null among them) are ignored.
  void Unsubclass(HWND hwnd);
  // The previous procedure's answer; 0 for a window not held.
  LRESULT CallOldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // The handler's answer; 0 for a window not held or without a handler.
  LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM* wParam, LPARAM* lParam);

  bool IsSubclassed(HWND hwnd) const { return m_entries.count(hwnd) != 0; }

  static LRESULT CALLBACK HookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  struct Entry {
    WNDPROC oldProc = nullptr;
    ISubclassHandler* handler = nullptr;
  };
  std::map<HWND, Entry> m_entries;
};

// The process's registry, made on first use; null only when that fails.
CSubclassManager* GetSubclassManager();
// Deletes the registry now (it is deleted at exit otherwise); tests use it to
// start from an empty one.
void ReleaseSubclassManager();
