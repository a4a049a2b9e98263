#pragma once
// The context-menu handler Explorer makes for each menu on files: it adds
// "Play with Melodara" (or "Add to Melodara PlayList" while the player runs)
// when the selection holds a media file, and starts the player with the
// selection's media files when the item is chosen.
//
// Explorer calls it on the thread that shows the menu: Initialize, then
// QueryContextMenu, then InvokeCommand when the item is chosen. The selection
// is read at QueryContextMenu and kept by this object alone, so two menus open
// at once each start the player with their own files.
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "base/ReleasePtr.h"

namespace shellmark {

class CShellExt final : public IContextMenu, public IShellExtInit {
 public:
  // Starts with one reference, the creator's.
  CShellExt();
  CShellExt(const CShellExt&) = delete;
  CShellExt& operator=(const CShellExt&) = delete;

  // IUnknown: IUnknown and IShellExtInit answer with the IShellExtInit face,
  // IContextMenu with the other.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IShellExtInit: keeps the data object of the selection (none when null).
  HRESULT STDMETHODCALLTYPE Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY progIdKey) override;

  // IContextMenu
  // Reads the selection's file names and adds the one item at index with id
  // first; the result's code is the number of items added. The flags are not
  // consulted.
  HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last,
                                             UINT flags) override;
  // Command offset 0 starts the player; anything else is E_INVALIDARG. A player
  // that cannot be started is reported in a message box and still counts as
  // handled (S_OK); with no media files, no player configured or too many
  // files for one command line, nothing starts and the result is an error.
  HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override;
  // The help text for command 0; verbs are not offered.
  HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR command, UINT kind, UINT* reserved, CHAR* name,
                                             UINT size) override;

 private:
  // Deleted only through Release.
  ~CShellExt();

  HRESULT AddMenuItem(HMENU menu, UINT index, UINT first, UINT last);
  HRESULT StartPlayer(HWND owner);

  LONG volatile m_refs = 1;
  base::ReleasePtr<IDataObject> m_data;
  // The media files of the selection read by the latest QueryContextMenu, in
  // selection order.
  std::vector<std::wstring> m_mediaFiles;
};

}  // namespace shellmark
