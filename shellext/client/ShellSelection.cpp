#include "ShellSelection.h"

#include <shlobj.h>

#include <memory>

#include "base/ReleasePtr.h"

namespace shellmark {

namespace {

struct ItemListDeleter {
  void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using ItemList = std::unique_ptr<ITEMIDLIST, ItemListDeleter>;

void SplitPath(const std::wstring& path, std::wstring* folder, std::wstring* name) {
  size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) {
    folder->clear();
    *name = path;
    return;
  }
  // "C:\x" has the folder "C:\", not "C:".
  *folder = path.substr(0, slash == 2 && path[1] == L':' ? slash + 1 : slash);
  *name = path.substr(slash + 1);
}

}  // namespace

HRESULT CreateShellSelection(const std::vector<std::wstring>& paths, IDataObject** data) {
  if (!data) return E_POINTER;
  *data = nullptr;
  if (paths.empty()) return E_INVALIDARG;
  std::wstring folderPath;
  std::vector<std::wstring> names;
  for (const std::wstring& path : paths) {
    std::wstring folder, name;
    SplitPath(path, &folder, &name);
    if (folder.empty() || name.empty()) return E_INVALIDARG;
    if (names.empty()) folderPath = folder;
    if (CompareStringOrdinal(folder.c_str(), -1, folderPath.c_str(), -1, TRUE) != CSTR_EQUAL)
      return E_INVALIDARG;
    names.push_back(name);
  }

  IShellFolder* raw = nullptr;
  HRESULT hr = SHGetDesktopFolder(&raw);
  if (FAILED(hr)) return hr;
  base::ReleasePtr<IShellFolder> desktop(raw);

  ITEMIDLIST* rawList = nullptr;
  hr = desktop->ParseDisplayName(nullptr, nullptr, &folderPath[0], nullptr, &rawList, nullptr);
  if (FAILED(hr)) return hr;
  ItemList folderList(rawList);
  raw = nullptr;
  hr = desktop->BindToObject(folderList.get(), nullptr, IID_IShellFolder, reinterpret_cast<void**>(&raw));
  if (FAILED(hr)) return hr;
  base::ReleasePtr<IShellFolder> folder(raw);

  std::vector<ItemList> items;
  std::vector<LPCITEMIDLIST> itemPointers;
  for (std::wstring& name : names) {
    rawList = nullptr;
    hr = folder->ParseDisplayName(nullptr, nullptr, &name[0], nullptr, &rawList, nullptr);
    if (FAILED(hr)) return hr;
    items.emplace_back(rawList);
    itemPointers.push_back(rawList);
  }
  return folder->GetUIObjectOf(nullptr, static_cast<UINT>(itemPointers.size()), itemPointers.data(),
                               IID_IDataObject, nullptr, reinterpret_cast<void**>(data));
}

}  // namespace shellmark
