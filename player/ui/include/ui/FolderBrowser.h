// Picking a folder with the shell's folder browser: BrowseForFolder opens it
// on a start folder, enlarged and laid out, and keeps OK disabled for
// anything that is no existing folder; CFolderBrowser keeps the browser's
// flags, title and display name for callers that want them.
#pragma once

#include <windows.h>

#include <shlobj.h>

// out (at least 260 bytes) receives the chosen folder; FALSE, with out empty,
// when it is too small, the user cancels or the choice has no path. A null
// or empty initial folder starts in the current directory.
BOOL BrowseForFolder(HWND owner, LPCSTR initialFolder, LPSTR out, UINT outSize);

// Whether the browser may accept a selection: a file-system path that exists
// and is no shortcut (isLink from the shell's attributes).
bool IsSelectableFolderPath(const char* path, bool isLink);

// Lays out the browser dialog: 40 x 30 larger, the buttons in the bottom
// right corner 5 pixels from the edges, the tree filling the rest.
void LayoutFolderBrowserDialog(HWND dialog);

class CFolderBrowser {
 public:
  CFolderBrowser();
  ~CFolderBrowser() = default;

  // flags = (flags & ~remove) | add; answers the new flags.
  DWORD ModifyFlags(DWORD add, DWORD remove);
  DWORD GetFlags() const { return m_flags; }
  // At most 259 characters are kept.
  void SetTitle(LPCSTR title);
  const char* GetTitle() const { return m_title; }
  // 0 cancelled, 1 no file-system path (or no output buffer), 2 outPath
  // (at least 260 bytes) received the path.
  int Browse(HWND owner, LPSTR outPath);

 private:
  DWORD m_flags = 0;
  char m_displayName[MAX_PATH];
  PIDLIST_ABSOLUTE m_root = nullptr;
  char m_title[MAX_PATH];
};
