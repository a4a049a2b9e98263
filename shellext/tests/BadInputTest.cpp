// Whatever Explorer, or a caller acting like it, hands the extension, it
// answers with a result: no item and no player for a selection it cannot use,
// never a read past what it was given.
#include <gtest/gtest.h>

#include <cstring>

#include "ShellmarkTestSupport.h"
#include "shellmark/Shellmark.h"
#include "testsupport/SmfBuilder.h"

namespace shellmark_test {
namespace {

constexpr HRESULT kOneItem = MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1);
constexpr HRESULT kNoItem = MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);

std::vector<BYTE> Bytes(const std::string& text) { return std::vector<BYTE>(text.begin(), text.end()); }

// The wide list's bytes with the last n cut off.
std::vector<BYTE> Cut(std::vector<BYTE> bytes, size_t n) {
  bytes.resize(bytes.size() - n);
  return bytes;
}

TEST(BadInput, SelectionsWithoutAUsableMediaFileGiveNoItemAndStartNothing) {
  PlayerInstall install;
  std::wstring song = install.File(L"song.mp3");
  struct Case {
    const char* what;
    bool initialize;  // false: QueryContextMenu without Initialize
    bool noData;      // Initialize with a null data object
    DataAnswer answer;
    std::vector<BYTE> block;
    HRESULT items;
  } cases[] = {
      {"no Initialize", false, false, DataAnswer::kBlock, {}, kNoItem},
      {"no data object", true, true, DataAnswer::kBlock, {}, kNoItem},
      {"no file list in the data object", true, false, DataAnswer::kFail, {}, kNoItem},
      {"the list as a stream", true, false, DataAnswer::kWrongMedium, DropBlock(WideList({song}), true),
       kNoItem},
      {"an empty list", true, false, DataAnswer::kBlock, DropBlock(WideList({}), true), kNoItem},
      {"a block shorter than its header", true, false, DataAnswer::kBlock, {1, 2, 3}, kNoItem},
      {"an empty block", true, false, DataAnswer::kBlock, {}, kNoItem},
      {"a list offset past the block", true, false, DataAnswer::kBlock,
       DropBlock(WideList({song}), true, 0x7FFFFFF0), kNoItem},
      // The name's NUL and the list's closing NUL are cut off: the name runs
      // to the end of the block.
      {"a list that runs off the block", true, false, DataAnswer::kBlock,
       DropBlock(Cut(WideList({song}), 2 * sizeof(wchar_t)), true), kNoItem},
      {"half a character at the end", true, false, DataAnswer::kBlock,
       DropBlock(Cut(WideList({song}), 2 * sizeof(wchar_t) + 1), true), kNoItem},
      {"a name with a quote", true, false, DataAnswer::kBlock,
       DropBlock(WideList({L"C:\\x\" --flag \"y.mp3"}), true), kNoItem},
      {"only other files", true, false, DataAnswer::kBlock,
       DropBlock(WideList({L"C:\\a.txt", L"C:\\b.mp4"}), true), kNoItem},
      // Control rows: the same kind of block, well formed, gives the item.
      {"a well-formed wide list", true, false, DataAnswer::kBlock, DropBlock(WideList({song}), true),
       kOneItem},
      {"an ANSI list", true, false, DataAnswer::kBlock,
       DropBlock(Bytes("C:\\a b.mid" + std::string(2, '\0')), false), kOneItem},
      {"a list after a gap", true, false, DataAnswer::kBlock,
       DropBlock(testsupport::Cat({std::vector<BYTE>(6, 0xEE), WideList({song})}), true,
                 sizeof(DROPFILES) + 6),
       kOneItem},
  };
  for (const Case& c : cases) {
    base::ReleasePtr<IContextMenu> extension;
    if (c.initialize) {
      base::ReleasePtr<IDataObject> data;
      if (!c.noData) data = MakeDataObject(c.answer, c.block);
      extension = CreateExtension(data.get());
    } else {
      IContextMenu* raw = nullptr;
      ASSERT_EQ(S_OK, CoCreateInstance(CLSID_Shellmark, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu,
                                       reinterpret_cast<void**>(&raw)));
      extension.reset(raw);
    }
    ASSERT_TRUE(extension) << c.what;
    MenuResult menu = QueryMenu(extension.get());
    EXPECT_EQ(c.items, menu.result) << c.what;
    EXPECT_EQ(c.items == kOneItem ? 3 : 2, menu.itemCount) << c.what;
    if (c.items == kNoItem) {
      BoxWatcher box;
      EXPECT_TRUE(FAILED(Invoke(extension.get()))) << c.what;
      box.Stop();
      EXPECT_FALSE(box.Seen()) << c.what;
    }
  }
  EXPECT_TRUE(install.NothingStarted());
}

TEST(BadInput, AMenuThatCannotTakeTheItemGetsNoneAndTheCommandStartsNothing) {
  PlayerInstall install;
  base::ReleasePtr<IDataObject> data = ShellSelection({install.File(L"song.mid")});
  base::ReleasePtr<IContextMenu> extension = CreateExtension(data.get());
  ASSERT_TRUE(extension);

  HMENU menu = CreatePopupMenu();
  EXPECT_EQ(kNoItem, extension->QueryContextMenu(menu, 0, 200, 100, CMF_NORMAL)) << "first id past the last";
  EXPECT_EQ(0, GetMenuItemCount(menu));
  EXPECT_TRUE(FAILED(Invoke(extension.get())));
  EXPECT_EQ(kOneItem, extension->QueryContextMenu(menu, 0, 100, 100, CMF_NORMAL)) << "a range of one id";
  DestroyMenu(menu);
  EXPECT_EQ(kNoItem, extension->QueryContextMenu(menu, 0, 100, 200, CMF_NORMAL)) << "a destroyed menu";
  EXPECT_EQ(kNoItem, extension->QueryContextMenu(nullptr, 0, 100, 200, CMF_NORMAL)) << "no menu";
  EXPECT_TRUE(FAILED(Invoke(extension.get())));
  EXPECT_TRUE(install.NothingStarted());
}

TEST(BadInput, ASelectionTooLongForOneCommandLineStartsNothingAndShowsNoBox) {
  PlayerInstall install;
  // 3000 names of about 120 characters: a command line of some 360,000.
  std::vector<std::wstring> names;
  for (int i = 0; i < 3000; ++i) {
    names.push_back(L"C:\\Music\\A rather long folder name for karaoke songs\\" + std::wstring(50, L'x') +
                    std::to_wstring(i) + L".mp3");
  }
  base::ReleasePtr<IDataObject> data = MakeDataObject(DataAnswer::kBlock, DropBlock(WideList(names), true));
  base::ReleasePtr<IContextMenu> extension = CreateExtension(data.get());
  ASSERT_TRUE(extension);
  EXPECT_EQ(kOneItem, QueryMenu(extension.get()).result);
  BoxWatcher box;
  EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE), Invoke(extension.get()));
  box.Stop();
  EXPECT_FALSE(box.Seen()) << "the player is there; the selection is too long";
  EXPECT_TRUE(install.NothingStarted());

  // Just within the limit, it starts: the check is the system's limit, not a
  // smaller one of ours.
  std::wstring program = L"\"" + install.ProgramPath() + L"\"";
  std::wstring folder = L"C:\\M\\";
  size_t room = 32766 - program.size() - 3 - folder.size() - 4;
  std::wstring longest = folder + std::wstring(room, L'y') + L".mid";
  data = MakeDataObject(DataAnswer::kBlock, DropBlock(WideList({longest}), true));
  extension = CreateExtension(data.get());
  ASSERT_TRUE(extension);
  EXPECT_EQ(kOneItem, QueryMenu(extension.get()).result);
  EXPECT_EQ(S_OK, Invoke(extension.get()));
  std::vector<testsupport::FakePlayerRecord> starts = install.WaitForStarts(1);
  ASSERT_EQ(1u, starts.size());
  EXPECT_EQ(32766u, testsupport::FromUtf8(starts[0].Field("cmdW")).size());
}

}  // namespace
}  // namespace shellmark_test
