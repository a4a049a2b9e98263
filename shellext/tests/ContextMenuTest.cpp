// The menu item: when it appears, where, with which id and text, and the help
// text Explorer's status bar asks for. Selections are the shell's own data
// objects for real files.
#include <gtest/gtest.h>

#include <cstring>

#include "ShellmarkTestSupport.h"

namespace shellmark_test {
namespace {

constexpr HRESULT kOneItem = MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1);
constexpr HRESULT kNoItem = MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);

TEST(ContextMenu, AnItemOnlyForSelectionsHoldingAMediaFile) {
  ASSERT_EQ(nullptr, FindWindowA(testsupport::kPlayerWindowClass, testsupport::kPlayerWindowTitle))
      << "a player window is open";
  PlayerInstall install;
  struct Case {
    std::vector<std::wstring> names;
    bool item;
  } cases[] = {
      {{L"notes.txt"}, false},
      {{L"notes.txt", L"x.MID"}, true},  // case does not matter
      {{L"a.mp3"}, true},
      {{L"b.Wma"}, true},
      {{L"c.WMV"}, true},
      {{L"d.asf"}, true},
      {{L"\u6b4c one.mp3"}, true},  // a name outside the code page
      {{L"e.midi", L"f.mp3.txt", L"g.wav"}, false},
      {{L"cover.jpg", L"notes.txt", L"last.asf"}, true},  // the match need not be first
  };
  for (const Case& c : cases) {
    std::vector<std::wstring> paths;
    for (const std::wstring& name : c.names) paths.push_back(install.File(name));
    std::string label = testsupport::ToUtf8(c.names.front());
    base::ReleasePtr<IDataObject> data = ShellSelection(paths);
    ASSERT_TRUE(data) << label;
    base::ReleasePtr<IContextMenu> extension = CreateExtension(data.get());
    ASSERT_TRUE(extension) << label;
    MenuResult menu = QueryMenu(extension.get());
    if (c.item) {
      EXPECT_EQ(kOneItem, menu.result) << label;
      EXPECT_EQ(3, menu.itemCount) << label;
      EXPECT_EQ(100u, menu.itemId) << label;
      EXPECT_EQ("Play with Melodara", menu.itemText) << label;
    } else {
      EXPECT_EQ(kNoItem, menu.result) << label;
      EXPECT_EQ(2, menu.itemCount) << label;
    }
  }
}

TEST(ContextMenu, TheItemAddsToThePlayListWhileThePlayerRuns) {
  PlayerInstall install;
  base::ReleasePtr<IDataObject> data = ShellSelection({install.File(L"song.mid")});
  base::ReleasePtr<IContextMenu> extension = CreateExtension(data.get());
  ASSERT_TRUE(extension);
  EXPECT_EQ("Play with Melodara", QueryMenu(extension.get()).itemText);

  // The fake player shows the player's main window.
  std::wstring line = L"\"" + install.ProgramPath() + L"\" --fake-window";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(
      CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  base::ScopedHandle processHandle(process.hProcess);
  base::ScopedHandle threadHandle(process.hThread);
  HWND player = testsupport::WaitForPlayerWindow(20000);
  ASSERT_NE(nullptr, player);

  MenuResult menu = QueryMenu(extension.get());
  EXPECT_EQ(kOneItem, menu.result);
  EXPECT_EQ(100u, menu.itemId);
  EXPECT_EQ("Add to Melodara PlayList", menu.itemText);

  PostMessageA(player, WM_CLOSE, 0, 0);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 20000));
  EXPECT_EQ("Play with Melodara", QueryMenu(extension.get()).itemText);
}

TEST(ContextMenu, HelpTextFitsTheBufferOrLeavesItAlone) {
  base::ReleasePtr<IContextMenu> extension = CreateExtension(nullptr);
  ASSERT_TRUE(extension);
  const std::string text = "Play the selected file(s) with Melodara!";
  struct Case {
    UINT kind;
    UINT size;
    std::string expected;  // empty: the buffer is left as it was
  } cases[] = {
      {GCS_HELPTEXTA, 30, ""},
      {GCS_HELPTEXTA, 35, ""},
      {GCS_HELPTEXTA, 36, text.substr(0, 35)},
      {GCS_HELPTEXTA, 38, text.substr(0, 37)},
      {GCS_HELPTEXTA, 41, text},
      {GCS_HELPTEXTA, 64, text},
      {GCS_HELPTEXTW, 30, ""},
      {GCS_HELPTEXTW, 38, text.substr(0, 37)},
      {GCS_HELPTEXTW, 64, text},
  };
  for (const Case& c : cases) {
    bool wide = c.kind == GCS_HELPTEXTW;
    // A guard byte pattern around the buffer shows any write past its size.
    std::vector<wchar_t> buffer(c.size + 8, L'#');
    char* name = reinterpret_cast<char*>(buffer.data());
    if (!wide) std::memset(name, '#', buffer.size() * sizeof(wchar_t));
    EXPECT_EQ(S_OK, extension->GetCommandString(0, c.kind, nullptr, name, c.size)) << c.size;
    std::string got;
    size_t untouched = 0;
    if (wide) {
      for (size_t i = 0; i < c.size && buffer[i] != L'#' && buffer[i]; ++i)
        got += static_cast<char>(buffer[i]);
      for (size_t i = c.size; i < buffer.size(); ++i) untouched += buffer[i] == L'#';
      if (c.expected.empty()) {
        EXPECT_EQ(L'#', buffer[0]) << c.size;
      }
    } else {
      for (size_t i = 0; i < c.size && name[i] != '#' && name[i]; ++i) got += name[i];
      for (size_t i = c.size; i < buffer.size() * sizeof(wchar_t); ++i) untouched += name[i] == '#';
      if (c.expected.empty()) {
        EXPECT_EQ('#', name[0]) << c.size;
      }
    }
    EXPECT_EQ(c.expected, got) << "kind " << c.kind << " size " << c.size;
    if (!c.expected.empty()) {
      bool terminated = wide ? buffer[got.size()] == L'\0' : name[got.size()] == '\0';
      EXPECT_TRUE(terminated) << "size " << c.size;
    }
    EXPECT_EQ(buffer.size() * (wide ? 1 : sizeof(wchar_t)) - c.size, untouched) << "written past the size";
  }

  char verb[64] = "untouched";
  EXPECT_EQ(E_NOTIMPL, extension->GetCommandString(0, GCS_VERBA, nullptr, verb, sizeof verb));
  EXPECT_STREQ("untouched", verb);
  EXPECT_EQ(E_NOTIMPL, extension->GetCommandString(0, GCS_VERBW, nullptr, verb, sizeof verb / 2));
  EXPECT_EQ(E_INVALIDARG, extension->GetCommandString(1, GCS_HELPTEXTA, nullptr, verb, sizeof verb));
  EXPECT_STREQ("untouched", verb);
  EXPECT_EQ(S_OK, extension->GetCommandString(0, GCS_HELPTEXTA, nullptr, nullptr, 64)) << "no buffer";
}

}  // namespace
}  // namespace shellmark_test
