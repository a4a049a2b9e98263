// Registration through regsvr32 in the build's Wine prefix, as a user
// registers the extension, and the process-wide set-up of these tests: the
// class stays registered while they run and goes when they end.
#include <gtest/gtest.h>

#include "ShellmarkTestSupport.h"
#include "shellmark/Shellmark.h"

namespace shellmark_test {
namespace {

const std::wstring kHandlersKey = L"*\\shellex\\ContextMenuHandlers";
const std::wstring kInprocKey = std::wstring(shellmark::kClassKey) + L"\\InprocServer32";

bool KeyIsEmpty(HKEY root, const wchar_t* path) {
  base::RegKey key;
  if (RegOpenKeyExW(root, path, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return false;
  DWORD subkeys = 0;
  DWORD values = 0;
  return RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                          nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
         subkeys == 0 && values == 0;
}

class RegisteredEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    // Explorer shows menus on a single-threaded apartment thread, so the
    // Apartment object is made in place.
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    m_playerKeyExisted = KeyExists(HKEY_CURRENT_USER, shellmark::kPlayerKey);
    ASSERT_EQ(0, RunRegsvr32(false)) << "regsvr32 Shellmark.dll";
  }
  void TearDown() override {
    EXPECT_EQ(0, RunRegsvr32(true)) << "regsvr32 /u Shellmark.dll";
    // Registration made the player's key; it goes with it while empty (other
    // tests of the prefix may have put values there meanwhile).
    if (!m_playerKeyExisted && KeyIsEmpty(HKEY_CURRENT_USER, shellmark::kPlayerKey))
      RegDeleteKeyW(HKEY_CURRENT_USER, shellmark::kPlayerKey);
    CoUninitialize();
  }

 private:
  bool m_playerKeyExisted = false;
};

::testing::Environment* const g_registered = ::testing::AddGlobalTestEnvironment(new RegisteredEnvironment);

HRESULT TryCreate() {
  IUnknown* object = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_Shellmark, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                reinterpret_cast<void**>(&object));
  if (object) object->Release();
  return hr;
}

std::wstring UserValue(const wchar_t* name) {
  std::wstring text;
  return ReadText(HKEY_CURRENT_USER, shellmark::kPlayerKey, name, &text) ? text : L"<missing>";
}

class Registration : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(0, RunRegsvr32(true)); }
  // The other tests need the class registered.
  void TearDown() override { EXPECT_EQ(0, RunRegsvr32(false)); }
};

TEST_F(Registration, WritesTheClassTheHandlerAndOnlyMissingPlayerValues) {
  ScopedUserValue installPath(shellmark::kInstallPathValue);
  ScopedUserValue appName(shellmark::kAppNameValue);
  installPath.Delete();
  appName.SetText(L"Custom.exe");
  ASSERT_EQ(REGDB_E_CLASSNOTREG, TryCreate());

  ASSERT_EQ(0, RunRegsvr32(false));
  std::wstring text;
  EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, shellmark::kClassKey, nullptr, &text));
  EXPECT_FALSE(text.empty()) << "the class has a name";
  ASSERT_TRUE(ReadText(HKEY_CLASSES_ROOT, kInprocKey, nullptr, &text));
  EXPECT_EQ(CSTR_EQUAL, CompareStringOrdinal(ShellmarkPath().c_str(), -1, text.c_str(), -1, TRUE))
      << testsupport::ToUtf8(text);
  ASSERT_TRUE(ReadText(HKEY_CLASSES_ROOT, kInprocKey, L"ThreadingModel", &text));
  EXPECT_EQ(L"Apartment", text);
  ASSERT_TRUE(ReadText(HKEY_CLASSES_ROOT, shellmark::kHandlerKey, nullptr, &text));
  EXPECT_EQ(L"{D57896F8-12A8-4C5B-91E6-3C077CDDBB66}", text);
  EXPECT_EQ(CSTR_EQUAL, CompareStringOrdinal(OutFolder().c_str(), -1,
                                             UserValue(shellmark::kInstallPathValue).c_str(), -1, TRUE));
  EXPECT_EQ(L"Custom.exe", UserValue(shellmark::kAppNameValue)) << "a value that was there stays";
  EXPECT_EQ(S_OK, TryCreate());

  ASSERT_EQ(0, RunRegsvr32(true));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, shellmark::kClassKey));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, shellmark::kHandlerKey));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kHandlersKey)) << "the shared parent key stays";
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
  EXPECT_EQ(L"<missing>", UserValue(shellmark::kInstallPathValue));
  EXPECT_EQ(L"Custom.exe", UserValue(shellmark::kAppNameValue));
  EXPECT_EQ(REGDB_E_CLASSNOTREG, TryCreate());
}

TEST_F(Registration, UnregisteringKeepsPlayerValuesChangedSince) {
  ScopedUserValue installPath(shellmark::kInstallPathValue);
  ScopedUserValue appName(shellmark::kAppNameValue);
  installPath.Delete();
  appName.Delete();

  ASSERT_EQ(0, RunRegsvr32(false));
  EXPECT_EQ(L"Melodara.exe", UserValue(shellmark::kAppNameValue));
  installPath.SetText(L"D:\\Moved\\Melodara");

  ASSERT_EQ(0, RunRegsvr32(true));
  EXPECT_EQ(L"D:\\Moved\\Melodara", UserValue(shellmark::kInstallPathValue));
  EXPECT_EQ(L"<missing>", UserValue(shellmark::kAppNameValue));
}

TEST_F(Registration, UnregisteringTwiceOrAnotherHandlersKeyIsHarmless) {
  // Someone else's handler under our key name is not ours to delete.
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, shellmark::kHandlerKey, 0, nullptr, 0,
                                           KEY_WRITE, nullptr, &key, nullptr));
  const wchar_t other[] = L"{00000000-1111-2222-3333-444444444444}";
  RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(other), sizeof other);
  RegCloseKey(key);

  EXPECT_EQ(0, RunRegsvr32(true));
  EXPECT_EQ(0, RunRegsvr32(true));
  std::wstring text;
  EXPECT_TRUE(ReadText(HKEY_CLASSES_ROOT, shellmark::kHandlerKey, nullptr, &text));
  EXPECT_EQ(other, text);
  RegDeleteKeyW(HKEY_CLASSES_ROOT, shellmark::kHandlerKey);
}

}  // namespace
}  // namespace shellmark_test
