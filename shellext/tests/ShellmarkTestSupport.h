#pragma once
// What the extension's tests share: registration through regsvr32 in the
// build's Wine prefix, registry values put back as they were, data objects as
// Explorer and as a misbehaving caller hand them over, a program folder with
// the fake player, and a watcher for the extension's error box.
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <thread>
#include <vector>

#include "base/ReleasePtr.h"
#include "base/Handles.h"
#include "testsupport/FakePlayer.h"
#include "testsupport/TempDir.h"

namespace shellmark_test {

// The folder the tests run from, where Shellmark.dll and fake_player.exe are.
std::wstring OutFolder();
std::wstring ShellmarkPath();

// Runs regsvr32 /s (and /u) on Shellmark.dll; its exit code, or -1 when it
// could not run or did not end in time.
int RunRegsvr32(bool unregister);

// A registry value under HKEY_CURRENT_USER\Software\Melodara, put back as it
// was (or deleted when it was missing) at the end of the scope.
class ScopedUserValue {
 public:
  explicit ScopedUserValue(const std::wstring& name);
  ~ScopedUserValue();
  ScopedUserValue(const ScopedUserValue&) = delete;
  ScopedUserValue& operator=(const ScopedUserValue&) = delete;

  void SetText(const std::wstring& text) {
    SetRaw(REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  }
  void SetRaw(DWORD type, const void* data, size_t bytes);
  void Delete();

 private:
  std::wstring m_name;
  bool m_existed = false;
  DWORD m_type = 0;
  std::vector<BYTE> m_data;
};

// A registry text value, or none when the key or value is missing.
bool ReadText(HKEY root, const std::wstring& key, const wchar_t* name, std::wstring* text);
bool KeyExists(HKEY root, const std::wstring& key);

// The shell's own data object for files in one folder.
base::ReleasePtr<IDataObject> ShellSelection(const std::vector<std::wstring>& paths);

// A CF_HDROP block as a caller may build it: a DROPFILES header whose list
// starts at listOffset, followed by the given list bytes as they stand.
std::vector<BYTE> DropBlock(const std::vector<BYTE>& list, bool wide, DWORD listOffset = sizeof(DROPFILES));
// A well-formed list of names (each with its NUL, then the closing NUL).
std::vector<BYTE> WideList(const std::vector<std::wstring>& names);

// A data object that answers GetData(CF_HDROP) as told.
enum class DataAnswer { kBlock, kFail, kWrongMedium };
base::ReleasePtr<IDataObject> MakeDataObject(DataAnswer answer, const std::vector<BYTE>& block = {});

// The extension made through COM and given the data object (null allowed).
base::ReleasePtr<IContextMenu> CreateExtension(IDataObject* data);

// QueryContextMenu on a fresh menu that holds two items, asking for index 1
// with the ids 100..200; the result code and the inserted item's text.
struct MenuResult {
  HRESULT result = E_FAIL;
  int itemCount = 0;  // the menu's items afterwards
  UINT itemId = 0;    // id of the item at index 1
  std::string itemText;
};
MenuResult QueryMenu(IContextMenu* extension);

// InvokeCommand for command offset 0, owned by the given window.
HRESULT Invoke(IContextMenu* extension, HWND owner = nullptr);

// A program folder with blanks holding the fake player, with a decoy program
// where an unquoted command line would find one, the player's registry values
// pointing at it, a log named through the environment the extension's child
// inherits, and a folder with blanks for selections.
class PlayerInstall {
 public:
  PlayerInstall();
  ~PlayerInstall();
  PlayerInstall(const PlayerInstall&) = delete;
  PlayerInstall& operator=(const PlayerInstall&) = delete;

  const std::wstring& ProgramFolder() const { return m_programFolder; }
  std::wstring ProgramPath() const { return m_programFolder + L"\\" + kAppName; }
  std::wstring DecoyPath() const;
  const std::string& Log() const { return m_log; }
  ScopedUserValue& InstallPath() { return m_installPath; }
  ScopedUserValue& AppName() { return m_appName; }

  // Creates an empty file in the selection folder; its full path.
  std::wstring File(const std::wstring& name) const;
  // Records of the fake player: waits for count of them, or checks that none
  // came once every copy the extension started has ended.
  std::vector<testsupport::FakePlayerRecord> WaitForStarts(size_t count) const;
  bool NothingStarted() const;

  static constexpr const wchar_t* kAppName = L"fake player.exe";

 private:
  testsupport::TempDir m_dir;
  std::wstring m_root;
  std::wstring m_programFolder;
  std::wstring m_selectionFolder;
  std::string m_log;
  ScopedUserValue m_installPath;
  ScopedUserValue m_appName;
};

// Watches for the extension's error box ("shellmark.dll error") on another
// thread, notes its text and owner, and closes it, so a test that shows it
// never hangs on it.
class BoxWatcher {
 public:
  BoxWatcher();
  ~BoxWatcher();
  BoxWatcher(const BoxWatcher&) = delete;
  BoxWatcher& operator=(const BoxWatcher&) = delete;

  // Stops watching; afterwards the results below are final.
  void Stop();
  bool Seen() const { return m_seen; }
  const std::string& Text() const { return m_text; }
  HWND Owner() const { return m_owner; }

 private:
  void Watch();

  base::ScopedHandle m_stop;
  std::thread m_thread;
  bool m_seen = false;
  std::string m_text;
  HWND m_owner = nullptr;
};

// A hidden top-level window, for owning the extension's box.
class HiddenWindow {
 public:
  HiddenWindow();
  ~HiddenWindow();
  HiddenWindow(const HiddenWindow&) = delete;
  HiddenWindow& operator=(const HiddenWindow&) = delete;
  HWND Get() const { return m_hwnd; }

 private:
  HWND m_hwnd;
};

}  // namespace shellmark_test
