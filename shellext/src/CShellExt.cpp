#include "CShellExt.h"

#include <cstring>

#include "CShellRegReader.h"
#include "DropFiles.h"
#include "PlayerCommand.h"
#include "ShellmarkModule.h"
#include "base/Guarded.h"
#include "base/Handles.h"
#include "shellmark/Shellmark.h"

namespace shellmark {

namespace {

constexpr char kPlayItem[] = "Play with Melodara";
constexpr char kAddItem[] = "Add to Melodara PlayList";
constexpr char kHelpText[] = "Play the selected file(s) with Melodara!";
constexpr wchar_t kHelpTextW[] = L"Play the selected file(s) with Melodara!";
// Shorter help buffers are left alone rather than given a stub of the text.
constexpr UINT kMinHelpBuffer = 36;

// The running player's main window: the first window class its window base
// registers, with the program's title.
constexpr char kPlayerWindowClass[] = "MelodaraBmpWnd0";
constexpr char kPlayerWindowTitle[] = "Melodara";

constexpr HRESULT Items(USHORT count) { return MAKE_HRESULT(SEVERITY_SUCCESS, 0, count); }

class ScopedMedium {
 public:
  ScopedMedium() { std::memset(&m_medium, 0, sizeof m_medium); }
  ~ScopedMedium() {
    if (m_medium.tymed != TYMED_NULL) ReleaseStgMedium(&m_medium);
  }
  ScopedMedium(const ScopedMedium&) = delete;
  ScopedMedium& operator=(const ScopedMedium&) = delete;

  STGMEDIUM* Receive() { return &m_medium; }
  const STGMEDIUM& Get() const { return m_medium; }
  // After a failed GetData the medium holds nothing of ours to release,
  // whatever a faulty data object left in it.
  void Forget() { std::memset(&m_medium, 0, sizeof m_medium); }

 private:
  STGMEDIUM m_medium;
};

template <class Char>
void CopyHelpText(Char* buffer, UINT size, const Char* text, size_t length) {
  if (!buffer || size < kMinHelpBuffer) return;
  size_t count = length < size ? length : size - 1;
  std::memcpy(buffer, text, count * sizeof(Char));
  buffer[count] = Char(0);
}

}  // namespace

CShellExt::CShellExt() { AddModuleObject(); }

CShellExt::~CShellExt() { RemoveModuleObject(); }

HRESULT STDMETHODCALLTYPE CShellExt::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IShellExtInit)) {
    *object = static_cast<IShellExtInit*>(this);
  } else if (IsEqualIID(iid, IID_IContextMenu)) {
    *object = static_cast<IContextMenu*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE CShellExt::AddRef() { return InterlockedIncrement(&m_refs); }

ULONG STDMETHODCALLTYPE CShellExt::Release() {
  LONG refs = InterlockedDecrement(&m_refs);
  if (refs == 0) delete this;
  return refs;
}

HRESULT STDMETHODCALLTYPE CShellExt::Initialize(PCIDLIST_ABSOLUTE, IDataObject* data, HKEY) {
  if (data) data->AddRef();
  m_data.reset(data);
  m_mediaFiles.clear();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CShellExt::QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last, UINT) {
  HRESULT hr = base::Guarded([&] { return AddMenuItem(menu, index, first, last); }, E_OUTOFMEMORY);
  if (hr != Items(1)) m_mediaFiles.clear();
  return hr;
}

HRESULT CShellExt::AddMenuItem(HMENU menu, UINT index, UINT first, UINT last) {
  m_mediaFiles.clear();
  // An id past the range we were given could be another handler's command.
  if (first > last || !m_data) return Items(0);

  FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  std::vector<std::wstring> names;
  {
    ScopedMedium medium;
    if (FAILED(m_data->GetData(&format, medium.Receive()))) {
      medium.Forget();
      return Items(0);
    }
    if (medium.Get().tymed != TYMED_HGLOBAL) return Items(0);
    names = ReadDropFiles(medium.Get().hGlobal);
  }
  for (std::wstring& name : names) {
    if (IsMediaFile(name)) m_mediaFiles.push_back(std::move(name));
  }
  if (m_mediaFiles.empty() || !IsMenu(menu)) return Items(0);

  bool running = FindWindowA(kPlayerWindowClass, kPlayerWindowTitle) != nullptr;
  if (!InsertMenuA(menu, index, MF_BYPOSITION | MF_STRING, first, running ? kAddItem : kPlayItem))
    return Items(0);
  return Items(1);
}

HRESULT STDMETHODCALLTYPE CShellExt::InvokeCommand(CMINVOKECOMMANDINFO* info) {
  if (!info || info->cbSize < sizeof(CMINVOKECOMMANDINFO)) return E_INVALIDARG;
  // A string verb, or an offset other than our one item.
  if (!IS_INTRESOURCE(info->lpVerb) || LOWORD(reinterpret_cast<ULONG_PTR>(info->lpVerb)) != 0)
    return E_INVALIDARG;
  HWND owner = info->hwnd;
  return base::Guarded([&] { return StartPlayer(owner); }, E_OUTOFMEMORY);
}

HRESULT CShellExt::StartPlayer(HWND owner) {
  // Without a menu of ours (no QueryContextMenu, or one that found no media
  // file) there is nothing to play.
  if (m_mediaFiles.empty()) return E_UNEXPECTED;

  CShellRegReader installPath(HKEY_CURRENT_USER, std::wstring(kPlayerKey) + L"\\" + kInstallPathValue);
  CShellRegReader appName(HKEY_CURRENT_USER, std::wstring(kPlayerKey) + L"\\" + kAppNameValue);
  installPath.Read();
  appName.Read();
  std::wstring line;
  switch (BuildPlayerCommandLine(installPath.GetText(), appName.GetText(), m_mediaFiles, &line)) {
    case CommandStatus::kOk:
      break;
    case CommandStatus::kNoPlayer:
      return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    case CommandStatus::kNoFiles:
      return E_UNEXPECTED;
    case CommandStatus::kTooLong:
      // CreateProcess would refuse it, and the box below would blame a
      // missing player.
      return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
  }

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    MessageBoxA(owner, "Error creating process: Check if Melodara is in your path!", "shellmark.dll error",
                MB_OK);
    return S_OK;
  }
  base::ScopedHandle processHandle(process.hProcess);
  base::ScopedHandle threadHandle(process.hThread);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CShellExt::GetCommandString(UINT_PTR command, UINT kind, UINT*, CHAR* name,
                                                      UINT size) {
  if (command != 0) return E_INVALIDARG;
  switch (kind) {
    case GCS_HELPTEXTA:
      CopyHelpText(name, size, kHelpText, sizeof kHelpText - 1);
      return S_OK;
    case GCS_HELPTEXTW:
      CopyHelpText(reinterpret_cast<wchar_t*>(name), size, kHelpTextW,
                   sizeof kHelpTextW / sizeof(wchar_t) - 1);
      return S_OK;
    case GCS_VERBA:
    case GCS_VERBW:
      // No language-independent verb: a caller must not take an untouched
      // buffer for one.
      return E_NOTIMPL;
    default:
      return S_OK;
  }
}

}  // namespace shellmark
