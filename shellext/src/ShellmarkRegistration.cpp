#include "ShellmarkRegistration.h"

#include <olectl.h>

#include <string>

#include "CShellRegReader.h"
#include "base/Handles.h"
#include "shellmark/Shellmark.h"

namespace shellmark {

namespace {

std::wstring ModulePath(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD got = GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
    if (got == 0) return {};
    if (got < path.size()) {
      path.resize(got);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::wstring FolderOf(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
  DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) ==
         ERROR_SUCCESS;
}

// Creates (or opens) root\path and sets its default value and, when given, one
// named value.
bool WriteKey(HKEY root, const std::wstring& path, const std::wstring& defaultText,
              const wchar_t* name = nullptr, const std::wstring& text = std::wstring()) {
  base::RegKey key;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Receive(), nullptr) !=
      ERROR_SUCCESS)
    return false;
  if (!SetText(key.Get(), nullptr, defaultText)) return false;
  return !name || SetText(key.Get(), name, text);
}

bool ValueExists(HKEY key, const wchar_t* name) {
  return RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) != ERROR_FILE_NOT_FOUND;
}

bool Gone(LONG rc) { return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND; }

// Deletes the player's value when it still holds what registration writes.
bool DeleteUserValueIf(const wchar_t* name, const std::wstring& written) {
  CShellRegReader reader(HKEY_CURRENT_USER, std::wstring(kPlayerKey) + L"\\" + name);
  if (!reader.Read() ||
      CompareStringOrdinal(reader.GetText().c_str(), -1, written.c_str(), -1, TRUE) != CSTR_EQUAL)
    return true;
  base::RegKey key;
  LONG rc = RegOpenKeyExW(HKEY_CURRENT_USER, kPlayerKey, 0, KEY_SET_VALUE, key.Receive());
  if (rc != ERROR_SUCCESS) return Gone(rc);
  return Gone(RegDeleteValueW(key.Get(), name));
}

}  // namespace

HRESULT RegisterShellmark(HMODULE module) {
  std::wstring path = ModulePath(module);
  std::wstring folder = FolderOf(path);
  if (folder.empty()) return SELFREG_E_CLASS;

  bool ok = WriteKey(HKEY_CLASSES_ROOT, kClassKey, L"Shellmark") &&
            WriteKey(HKEY_CLASSES_ROOT, std::wstring(kClassKey) + L"\\InprocServer32", path,
                     L"ThreadingModel", L"Apartment") &&
            WriteKey(HKEY_CLASSES_ROOT, kHandlerKey, kClassIdText);
  base::RegKey key;
  bool wroteInstallPath = false;
  bool wroteAppName = false;
  if (ok) {
    ok = RegCreateKeyExW(HKEY_CURRENT_USER, kPlayerKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                         nullptr, key.Receive(), nullptr) == ERROR_SUCCESS;
  }
  if (ok && !ValueExists(key.Get(), kInstallPathValue)) {
    ok = SetText(key.Get(), kInstallPathValue, folder);
    wroteInstallPath = ok;
  }
  if (ok && !ValueExists(key.Get(), kAppNameValue)) {
    ok = SetText(key.Get(), kAppNameValue, kDefaultAppName);
    wroteAppName = ok;
  }
  if (!ok) {
    // Only what this call wrote goes: values that were there stay.
    if (wroteInstallPath) RegDeleteValueW(key.Get(), kInstallPathValue);
    if (wroteAppName) RegDeleteValueW(key.Get(), kAppNameValue);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kHandlerKey);
    return SELFREG_E_CLASS;
  }
  return S_OK;
}

HRESULT UnregisterShellmark(HMODULE module) {
  bool ok = Gone(RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey));

  CShellRegReader handler(HKEY_CLASSES_ROOT, std::wstring(kHandlerKey) + L"\\");
  if (handler.Read() &&
      CompareStringOrdinal(handler.GetText().c_str(), -1, kClassIdText, -1, TRUE) == CSTR_EQUAL)
    ok = Gone(RegDeleteTreeW(HKEY_CLASSES_ROOT, kHandlerKey)) && ok;

  std::wstring folder = FolderOf(ModulePath(module));
  if (!folder.empty()) ok = DeleteUserValueIf(kInstallPathValue, folder) && ok;
  ok = DeleteUserValueIf(kAppNameValue, kDefaultAppName) && ok;
  return ok ? S_OK : SELFREG_E_CLASS;
}

}  // namespace shellmark
