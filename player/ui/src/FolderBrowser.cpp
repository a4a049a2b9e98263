#include "ui/FolderBrowser.h"

#include <shellapi.h>
#include <io.h>

#include <cstring>
#include <string>

namespace {

// The identifier list goes back through the shell's own allocator.
void FreeIdList(PIDLIST_ABSOLUTE list) {
  if (!list) return;
  IMalloc* allocator = nullptr;
  if (SUCCEEDED(::SHGetMalloc(&allocator)) && allocator) {
    allocator->Free(list);
    allocator->Release();
  }
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data) {
  switch (message) {
    case BFFM_INITIALIZED: {
      ::SetWindowLongA(dialog, GWL_STYLE, ::GetWindowLongA(dialog, GWL_STYLE) & ~DS_CONTEXTHELP);
      ::SetWindowLongA(dialog, GWL_EXSTYLE, ::GetWindowLongA(dialog, GWL_EXSTYLE) & ~WS_EX_CONTEXTHELP);
      ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
      LayoutFolderBrowserDialog(dialog);
      break;
    }
    case BFFM_SELCHANGED: {
      char path[520] = {};
      const auto item = reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam);
      bool ok = item && ::SHGetPathFromIDListA(item, path);
      bool link = false;
      if (ok) {
        SHFILEINFOA info = {};
        if (::SHGetFileInfoA(reinterpret_cast<LPCSTR>(item), 0, &info, sizeof(info),
                             SHGFI_PIDL | SHGFI_ATTRIBUTES))
          link = (info.dwAttributes & SFGAO_LINK) != 0;
      }
      if (!ok || !IsSelectableFolderPath(path, link)) ::SendMessageA(dialog, BFFM_ENABLEOK, 0, FALSE);
      break;
    }
    default:
      break;
  }
  return 0;
}

}  // namespace

bool IsSelectableFolderPath(const char* path, bool isLink) {
  if (!path || !*path || isLink) return false;
  return _access(path, 0) == 0;
}

void LayoutFolderBrowserDialog(HWND dialog) {
  HWND tree = ::FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
  if (!tree) return;
  RECT window;
  ::GetWindowRect(dialog, &window);
  ::SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + 40, window.bottom - window.top + 30,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  ::GetClientRect(dialog, &client);
  const int W = client.right, H = client.bottom;
  const UINT quiet = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW;

  int buttonW = 0, buttonH = 0, cancelLeft = W - 5;
  if (HWND cancel = ::GetDlgItem(dialog, IDCANCEL)) {
    RECT r;
    ::GetWindowRect(cancel, &r);
    buttonW = r.right - r.left;
    buttonH = r.bottom - r.top;
    cancelLeft = W - 5 - buttonW;
    ::SetWindowPos(cancel, nullptr, cancelLeft, H - 5 - buttonH, buttonW, buttonH, quiet);
  }
  int treeBottom = H - 5;
  if (HWND ok = ::GetDlgItem(dialog, IDOK)) {
    if (buttonW == 0) {
      RECT r;
      ::GetWindowRect(ok, &r);
      buttonW = r.right - r.left;
      buttonH = r.bottom - r.top;
    }
    const int okTop = H - 5 - buttonH;
    ::SetWindowPos(ok, nullptr, cancelLeft - 10 - buttonW, okTop, buttonW, buttonH, quiet);
    treeBottom = okTop - 5;
  }
  ::SetWindowPos(tree, nullptr, 5, 5, W - 10, treeBottom - 5, quiet);
}

BOOL BrowseForFolder(HWND owner, LPCSTR initialFolder, LPSTR out, UINT outSize) {
  if (!out || outSize < MAX_PATH) return FALSE;
  out[0] = '\0';
  char start[520] = {};
  if (initialFolder && *initialFolder)
    strncpy(start, initialFolder, 518);
  else
    ::GetCurrentDirectoryA(518, start);

  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = &BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(start);
  PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderA(&info);
  BOOL result = FALSE;
  if (chosen) {
    char path[MAX_PATH] = {};
    if (::SHGetPathFromIDListA(chosen, path)) {
      memset(out, 0, outSize);
      strncpy(out, path, outSize - 1);
      result = TRUE;
    }
  }
  FreeIdList(chosen);
  return result;
}

CFolderBrowser::CFolderBrowser() {
  memset(m_displayName, 0, sizeof(m_displayName));
  memset(m_title, 0, sizeof(m_title));
}

DWORD CFolderBrowser::ModifyFlags(DWORD add, DWORD remove) {
  m_flags = (m_flags & ~remove) | add;
  return m_flags;
}

void CFolderBrowser::SetTitle(LPCSTR title) {
  if (!title) return;
  strncpy(m_title, title, sizeof(m_title) - 1);
  m_title[sizeof(m_title) - 1] = '\0';
}

int CFolderBrowser::Browse(HWND owner, LPSTR outPath) {
  if (!outPath) return 1;
  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.pidlRoot = m_root;
  info.pszDisplayName = m_displayName;
  info.lpszTitle = m_title;
  info.ulFlags = m_flags;
  PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderA(&info);
  if (!chosen) return 0;
  const int result = ::SHGetPathFromIDListA(chosen, outPath) ? 2 : 1;
  FreeIdList(chosen);
  return result;
}
