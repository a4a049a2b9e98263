// Choosing the item: the fake player stands in the program folder the registry
// names and records the command line it was started with.
#include <gtest/gtest.h>

#include "ShellmarkTestSupport.h"

namespace shellmark_test {
namespace {

constexpr HRESULT kOneItem = MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1);

std::string Ansi(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                 nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
  return out;
}

bool SamePath(const std::string& utf8, const std::wstring& path) {
  return CompareStringOrdinal(testsupport::FromUtf8(utf8).c_str(), -1, path.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The extension for a shell selection of these files, its menu queried.
base::ReleasePtr<IContextMenu> MenuFor(const std::vector<std::wstring>& paths) {
  base::ReleasePtr<IDataObject> data = ShellSelection(paths);
  if (!data) return nullptr;
  base::ReleasePtr<IContextMenu> extension = CreateExtension(data.get());
  if (extension) {
    EXPECT_EQ(kOneItem, QueryMenu(extension.get()).result);
  }
  return extension;
}

TEST(InvokeCommand, StartsThePlayerWithOnlyTheMediaFilesQuotedInSelectionOrder) {
  PlayerInstall install;
  std::wstring txt = install.File(L"notes.txt");
  std::wstring cafe = install.File(L"caf\u00e9 song.MID");
  std::wstring chinese = install.File(L"\u6b4c one.mp3");
  std::wstring wma = install.File(L"a b.wma");
  base::ReleasePtr<IContextMenu> extension = MenuFor({txt, cafe, chinese, wma});
  ASSERT_TRUE(extension);

  BoxWatcher box;
  EXPECT_EQ(S_OK, Invoke(extension.get()));
  std::vector<testsupport::FakePlayerRecord> starts = install.WaitForStarts(1);
  box.Stop();
  EXPECT_FALSE(box.Seen());
  ASSERT_EQ(1u, starts.size());
  // The quoted program path: an unquoted one would have started the decoy
  // "Mel.exe" beside the folder "Mel dir".
  EXPECT_TRUE(SamePath(starts[0].Field("module"), install.ProgramPath())) << starts[0].Field("module");
  std::wstring expected =
      L"\"" + install.ProgramPath() + L"\" \"" + cafe + L"\" \"" + chinese + L"\" \"" + wma + L"\"";
  EXPECT_EQ(testsupport::ToUtf8(expected), starts[0].Field("cmdW"));
  // A player reading the ANSI line gets what the code page can say.
  EXPECT_EQ(Ansi(expected), starts[0].Field("cmdA"));
}

TEST(InvokeCommand, EachMenuStartsThePlayerWithItsOwnSelection) {
  PlayerInstall install;
  std::wstring first = install.File(L"first.mp3");
  std::wstring second = install.File(L"second.mid");
  base::ReleasePtr<IContextMenu> one = MenuFor({first});
  base::ReleasePtr<IContextMenu> two = MenuFor({second});
  ASSERT_TRUE(one && two);

  EXPECT_EQ(S_OK, Invoke(one.get()));
  std::vector<testsupport::FakePlayerRecord> starts = install.WaitForStarts(1);
  ASSERT_EQ(1u, starts.size());
  EXPECT_EQ(testsupport::ToUtf8(L"\"" + install.ProgramPath() + L"\" \"" + first + L"\""),
            starts[0].Field("cmdW"));
  EXPECT_EQ(S_OK, Invoke(two.get()));
  starts = install.WaitForStarts(2);
  ASSERT_EQ(2u, starts.size());
  EXPECT_EQ(testsupport::ToUtf8(L"\"" + install.ProgramPath() + L"\" \"" + second + L"\""),
            starts[1].Field("cmdW"));
}

TEST(InvokeCommand, APlayerThatCannotStartIsReportedInABoxOwnedByTheCommandsWindow) {
  PlayerInstall install;
  install.AppName().SetText(L"missing.exe");
  base::ReleasePtr<IContextMenu> extension = MenuFor({install.File(L"song.mid")});
  ASSERT_TRUE(extension);
  HiddenWindow owner;
  ASSERT_NE(nullptr, owner.Get());

  BoxWatcher box;
  EXPECT_EQ(S_OK, Invoke(extension.get(), owner.Get())) << "handled, though it failed";
  box.Stop();
  EXPECT_TRUE(box.Seen());
  EXPECT_EQ("Error creating process: Check if Melodara is in your path!", box.Text());
  EXPECT_EQ(owner.Get(), box.Owner());
  EXPECT_TRUE(install.NothingStarted()) << "neither the decoy nor anything else";
}

TEST(InvokeCommand, PlayerValuesAreReadAsTheyWereStored) {
  PlayerInstall install;
  std::wstring song = install.File(L"song.mid");
  std::wstring folder = install.ProgramFolder();
  struct Case {
    const char* what;
    DWORD type;
    std::wstring data;  // written without its terminating NUL when unterminated
    bool terminated;
  } cases[] = {
      {"with a trailing backslash", REG_SZ, folder + L"\\", true},
      {"without its terminating NUL", REG_SZ, folder, false},
      {"as an expandable text", REG_EXPAND_SZ, L"%SHELLMARK_TEST_ROOT%\\Mel dir", true},
  };
  size_t folderEnd = folder.rfind(L"\\Mel dir");
  SetEnvironmentVariableW(L"SHELLMARK_TEST_ROOT", folder.substr(0, folderEnd).c_str());
  size_t expectedStarts = 0;
  for (const Case& c : cases) {
    size_t bytes = (c.data.size() + (c.terminated ? 1 : 0)) * sizeof(wchar_t);
    install.InstallPath().SetRaw(c.type, c.data.c_str(), bytes);
    base::ReleasePtr<IContextMenu> extension = MenuFor({song});
    ASSERT_TRUE(extension) << c.what;
    EXPECT_EQ(S_OK, Invoke(extension.get())) << c.what;
    std::vector<testsupport::FakePlayerRecord> starts = install.WaitForStarts(++expectedStarts);
    ASSERT_EQ(expectedStarts, starts.size()) << c.what;
    EXPECT_EQ(testsupport::ToUtf8(L"\"" + install.ProgramPath() + L"\" \"" + song + L"\""),
              starts.back().Field("cmdW"))
        << c.what;
  }
  SetEnvironmentVariableW(L"SHELLMARK_TEST_ROOT", nullptr);
}

TEST(InvokeCommand, PlayerValuesThatNameNoPlayerStartNothing) {
  const DWORD number = 7;
  struct Case {
    const char* what;
    bool installPath;  // which value is spoiled
    DWORD type;        // REG_NONE: the value is deleted
    std::wstring text;
  } cases[] = {
      {"no InstallPath", true, REG_NONE, L""},
      {"no AppName", false, REG_NONE, L""},
      {"an empty InstallPath", true, REG_SZ, L""},
      {"an empty AppName", false, REG_SZ, L""},
      {"a number for InstallPath", true, REG_DWORD, L""},
      {"a number for AppName", false, REG_DWORD, L""},
      {"a quote in AppName", false, REG_SZ, L"fake player.exe\" \"C:\\other.mid"},
      {"a folder for AppName", false, REG_SZ, L"sub\\"},
  };
  PlayerInstall install;
  std::wstring song = install.File(L"song.mid");
  for (const Case& c : cases) {
    ScopedUserValue& value = c.installPath ? install.InstallPath() : install.AppName();
    if (c.type == REG_NONE) {
      value.Delete();
    } else if (c.type == REG_DWORD) {
      value.SetRaw(REG_DWORD, &number, sizeof number);
    } else {
      value.SetText(c.text);
    }
    base::ReleasePtr<IContextMenu> extension = MenuFor({song});
    ASSERT_TRUE(extension) << c.what;
    BoxWatcher box;
    EXPECT_TRUE(FAILED(Invoke(extension.get()))) << c.what;
    box.Stop();
    EXPECT_FALSE(box.Seen()) << c.what;
    // Put the value back for the next row.
    if (c.installPath) {
      install.InstallPath().SetText(install.ProgramFolder());
    } else {
      install.AppName().SetText(PlayerInstall::kAppName);
    }
  }
  EXPECT_TRUE(install.NothingStarted());
}

TEST(InvokeCommand, CommandsOtherThanTheItemAreRefused) {
  PlayerInstall install;
  base::ReleasePtr<IContextMenu> extension = MenuFor({install.File(L"song.mid")});
  ASSERT_TRUE(extension);
  EXPECT_EQ(E_INVALIDARG, extension->InvokeCommand(nullptr));
  struct Case {
    const char* what;
    LPCSTR verb;
    DWORD size;
  } cases[] = {
      {"offset 1", MAKEINTRESOURCEA(1), sizeof(CMINVOKECOMMANDINFO)},
      {"a string verb", "open", sizeof(CMINVOKECOMMANDINFO)},
      {"an empty string verb", "", sizeof(CMINVOKECOMMANDINFO)},
      {"a short record", MAKEINTRESOURCEA(0), sizeof(CMINVOKECOMMANDINFO) / 2},
  };
  for (const Case& c : cases) {
    CMINVOKECOMMANDINFO info = {};
    info.cbSize = c.size;
    info.lpVerb = c.verb;
    EXPECT_EQ(E_INVALIDARG, extension->InvokeCommand(&info)) << c.what;
  }
  EXPECT_TRUE(install.NothingStarted());
}

}  // namespace
}  // namespace shellmark_test
