#include "ShellmarkTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

#include <windows.h>
#include <tlhelp32.h>

#include "ShellSelection.h"
#include "shellmark/Shellmark.h"
#include "testsupport/WaitUntil.h"

namespace shellmark_test {

namespace {

// The decoy: the fake player under a name that starts like the player's.
constexpr const wchar_t* kDecoyName = L"Mel.exe";

// Whether a copy of the fake player (under the program's name or the decoy's)
// that this program started still runs.
bool FakePlayerChildRuns() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  bool runs = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !runs;
       more = Process32NextW(snapshot, &entry)) {
    runs = entry.th32ParentProcessID == GetCurrentProcessId() &&
           (lstrcmpiW(entry.szExeFile, PlayerInstall::kAppName) == 0 ||
            lstrcmpiW(entry.szExeFile, kDecoyName) == 0);
  }
  CloseHandle(snapshot);
  return runs;
}

std::wstring Wide(const std::string& ansi) {
  int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(size, L'\0');
  if (size > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], size);
  return wide;
}

// A program just started may still be ending when its folder goes.
void DeleteWhenFree(const std::wstring& path) {
  for (int attempt = 0; attempt < 250; ++attempt) {
    if (DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) return;
    Sleep(20);
  }
}

class TestDataObject final : public IDataObject {
 public:
  TestDataObject(DataAnswer answer, const std::vector<BYTE>& block) : m_answer(answer), m_block(block) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDataObject)) return E_NOINTERFACE;
    *object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_refs); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0) delete this;
    return refs;
  }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    std::memset(medium, 0, sizeof *medium);
    if (m_answer == DataAnswer::kFail || format->cfFormat != CF_HDROP) return DV_E_FORMATETC;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, m_block.size());
    if (!block) return E_OUTOFMEMORY;
    if (!m_block.empty()) {
      std::memcpy(GlobalLock(block), m_block.data(), m_block.size());
      GlobalUnlock(block);
    }
    if (m_answer == DataAnswer::kWrongMedium) {
      // The same bytes, but as a stream: not a block to read names from.
      IStream* stream = nullptr;
      if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        return E_OUTOFMEMORY;
      }
      medium->tymed = TYMED_ISTREAM;
      medium->pstm = stream;
      return S_OK;
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override {
    *out = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
  }

 private:
  ~TestDataObject() = default;

  LONG volatile m_refs = 1;
  DataAnswer m_answer;
  std::vector<BYTE> m_block;
};

}  // namespace

std::wstring OutFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring ShellmarkPath() { return OutFolder() + L"\\Shellmark.dll"; }

int RunRegsvr32(bool unregister) {
  std::wstring line =
      std::wstring(L"regsvr32.exe /s ") + (unregister ? L"/u " : L"") + L"\"" + ShellmarkPath() + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return -1;
  base::ScopedHandle processHandle(process.hProcess);
  base::ScopedHandle threadHandle(process.hThread);
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  return static_cast<int>(code);
}

ScopedUserValue::ScopedUserValue(const std::wstring& name) : m_name(name) {
  base::RegKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, shellmark::kPlayerKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
    return;
  DWORD size = 0;
  if (RegQueryValueExW(key.Get(), m_name.c_str(), nullptr, &m_type, nullptr, &size) != ERROR_SUCCESS) return;
  m_data.resize(size);
  if (RegQueryValueExW(key.Get(), m_name.c_str(), nullptr, &m_type, m_data.data(), &size) != ERROR_SUCCESS)
    return;
  m_data.resize(size);
  m_existed = true;
}

ScopedUserValue::~ScopedUserValue() {
  if (m_existed) {
    SetRaw(m_type, m_data.data(), m_data.size());
  } else {
    Delete();
  }
}

void ScopedUserValue::SetRaw(DWORD type, const void* data, size_t bytes) {
  base::RegKey key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, shellmark::kPlayerKey, 0, nullptr, 0,
                                           KEY_SET_VALUE, nullptr, key.Receive(), nullptr));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key.Get(), m_name.c_str(), 0, type, static_cast<const BYTE*>(data),
                                          static_cast<DWORD>(bytes)));
}

void ScopedUserValue::Delete() {
  base::RegKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, shellmark::kPlayerKey, 0, KEY_SET_VALUE, key.Receive()) ==
      ERROR_SUCCESS)
    RegDeleteValueW(key.Get(), m_name.c_str());
}

bool ReadText(HKEY root, const std::wstring& keyPath, const wchar_t* name, std::wstring* text) {
  base::RegKey key;
  if (RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return false;
  wchar_t buffer[1024] = {};
  DWORD size = sizeof buffer - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return false;
  *text = buffer;
  return true;
}

bool KeyExists(HKEY root, const std::wstring& keyPath) {
  base::RegKey key;
  return RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

base::ReleasePtr<IDataObject> ShellSelection(const std::vector<std::wstring>& paths) {
  IDataObject* data = nullptr;
  HRESULT hr = shellmark::CreateShellSelection(paths, &data);
  EXPECT_EQ(S_OK, hr) << "no shell data object for the selection";
  return base::ReleasePtr<IDataObject>(data);
}

std::vector<BYTE> DropBlock(const std::vector<BYTE>& list, bool wide, DWORD listOffset) {
  DROPFILES header = {};
  header.pFiles = listOffset;
  header.fWide = wide;
  std::vector<BYTE> block(sizeof header + list.size());
  std::memcpy(block.data(), &header, sizeof header);
  if (!list.empty()) std::memcpy(block.data() + sizeof header, list.data(), list.size());
  return block;
}

std::vector<BYTE> WideList(const std::vector<std::wstring>& names) {
  std::wstring text;
  for (const std::wstring& name : names) text += name + L'\0';
  text += L'\0';
  const BYTE* bytes = reinterpret_cast<const BYTE*>(text.data());
  return std::vector<BYTE>(bytes, bytes + text.size() * sizeof(wchar_t));
}

base::ReleasePtr<IDataObject> MakeDataObject(DataAnswer answer, const std::vector<BYTE>& block) {
  return base::ReleasePtr<IDataObject>(new TestDataObject(answer, block));
}

base::ReleasePtr<IContextMenu> CreateExtension(IDataObject* data) {
  IShellExtInit* rawInit = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_Shellmark, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit,
                                reinterpret_cast<void**>(&rawInit));
  EXPECT_EQ(S_OK, hr) << "CoCreateInstance";
  if (FAILED(hr)) return nullptr;
  base::ReleasePtr<IShellExtInit> init(rawInit);
  EXPECT_EQ(S_OK, init->Initialize(nullptr, data, nullptr));
  IContextMenu* menu = nullptr;
  EXPECT_EQ(S_OK, init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu)));
  return base::ReleasePtr<IContextMenu>(menu);
}

MenuResult QueryMenu(IContextMenu* extension) {
  MenuResult out;
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 1, "First");
  AppendMenuA(menu, MF_STRING, 2, "Last");
  out.result = extension->QueryContextMenu(menu, 1, 100, 200, CMF_NORMAL);
  out.itemCount = GetMenuItemCount(menu);
  out.itemId = GetMenuItemID(menu, 1);
  char text[256] = {};
  GetMenuStringA(menu, 1, text, sizeof text, MF_BYPOSITION);
  out.itemText = text;
  DestroyMenu(menu);
  return out;
}

HRESULT Invoke(IContextMenu* extension, HWND owner) {
  CMINVOKECOMMANDINFO info = {};
  info.cbSize = sizeof info;
  info.hwnd = owner;
  info.lpVerb = MAKEINTRESOURCEA(0);
  info.nShow = SW_SHOWNORMAL;
  return extension->InvokeCommand(&info);
}

PlayerInstall::PlayerInstall()
    : m_root(Wide(m_dir.Path())),
      m_programFolder(m_root + L"\\Mel dir"),
      m_selectionFolder(m_root + L"\\sel dir"),
      m_log(m_dir.File("player log.txt")),
      m_installPath(shellmark::kInstallPathValue),
      m_appName(shellmark::kAppNameValue) {
  std::wstring fakePlayer = OutFolder() + L"\\fake_player.exe";
  EXPECT_TRUE(CreateDirectoryW(m_programFolder.c_str(), nullptr));
  EXPECT_TRUE(CreateDirectoryW(m_selectionFolder.c_str(), nullptr));
  EXPECT_TRUE(CopyFileW(fakePlayer.c_str(), ProgramPath().c_str(), FALSE));
  EXPECT_TRUE(CopyFileW(fakePlayer.c_str(), DecoyPath().c_str(), FALSE));
  SetEnvironmentVariableA(testsupport::kFakePlayerLogVariable, m_log.c_str());
  m_installPath.SetText(m_programFolder);
  m_appName.SetText(kAppName);
}

PlayerInstall::~PlayerInstall() {
  SetEnvironmentVariableA(testsupport::kFakePlayerLogVariable, nullptr);
  DeleteWhenFree(ProgramPath());
  DeleteWhenFree(DecoyPath());
}

std::wstring PlayerInstall::DecoyPath() const { return m_root + L"\\" + kDecoyName; }

std::wstring PlayerInstall::File(const std::wstring& name) const {
  std::wstring path = m_selectionFolder + L"\\" + name;
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, file) << testsupport::ToUtf8(path);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return path;
}

std::vector<testsupport::FakePlayerRecord> PlayerInstall::WaitForStarts(size_t count) const {
  return testsupport::WaitForFakePlayerLog(m_log, count, 20000);
}

bool PlayerInstall::NothingStarted() const {
  // The extension starts the player before its command returns, and a copy of
  // the fake player writes its record before it ends: once no copy this
  // program started runs any more, a start has left its record.
  testsupport::WaitUntil([] { return !FakePlayerChildRuns(); }, 20000, 20);
  return testsupport::ReadFakePlayerLog(m_log).empty();
}

BoxWatcher::BoxWatcher()
    : m_stop(CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_thread([this] { Watch(); }) {}

BoxWatcher::~BoxWatcher() { Stop(); }

void BoxWatcher::Stop() {
  if (!m_thread.joinable()) return;
  SetEvent(m_stop.Get());
  m_thread.join();
}

void BoxWatcher::Watch() {
  while (WaitForSingleObject(m_stop.Get(), 20) == WAIT_TIMEOUT) {
    HWND box = FindWindowA("#32770", "shellmark.dll error");
    if (!box) continue;
    m_seen = true;
    m_owner = GetWindow(box, GW_OWNER);
    m_text.clear();
    EnumChildWindows(
        box,
        [](HWND child, LPARAM param) -> BOOL {
          char className[32] = {};
          char text[512] = {};
          GetClassNameA(child, className, sizeof className);
          GetWindowTextA(child, text, sizeof text);
          if (lstrcmpiA(className, "Static") == 0 && text[0]) *reinterpret_cast<std::string*>(param) += text;
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&m_text));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    // Until it is gone, so one box is not counted twice.
    for (int i = 0; i < 250 && IsWindow(box); ++i) Sleep(20);
  }
}

HiddenWindow::HiddenWindow() {
  static ATOM atom = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ShellmarkTestOwner";
    return RegisterClassA(&wc);
  }();
  m_hwnd = CreateWindowExA(0, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(atom)), "owner", WS_OVERLAPPED,
                           0, 0, 100, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

HiddenWindow::~HiddenWindow() {
  if (m_hwnd) DestroyWindow(m_hwnd);
}

}  // namespace shellmark_test
