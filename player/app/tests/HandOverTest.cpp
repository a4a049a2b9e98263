// The single-instance hand-over: what the sender puts in each record, how
// the receiver reads any record from any process, and which entry a batch
// plays; the command line read wide, and the files a user names that the
// player cannot take.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CFileListCommandLineInfo.h"
#include "app/FileHandOver.h"
#include "app/MediaFileCheck.h"
#include "playback/MediaKinds.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"

namespace {

struct Received {
  ULONG_PTR dwData;
  std::string bytes;
};
std::vector<Received> g_received;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    g_received.push_back(
        {record->dwData, std::string(static_cast<const char*>(record->lpData), record->cbData)});
    return TRUE;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A hidden window of its own class standing in for the running player.
class Receiver {
 public:
  Receiver() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "HandOverTestReceiver";
    RegisterClassA(&wc);
    m_hwnd =
        CreateWindowA(wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
    g_received.clear();
  }
  ~Receiver() { DestroyWindow(m_hwnd); }
  HWND hwnd() const { return m_hwnd; }

 private:
  HWND m_hwnd;
};

TEST(HandOverSender, TheLastRealFileCarriesZeroWhateverEmptyArgumentsSurroundIt) {
  struct Case {
    const char* what;
    std::vector<std::string> files;
    std::vector<Received> expected;
  };
  const Case cases[] = {
      {"one file", {"Z:\\mus\\a b\\x.mid"}, {{0, "Z:\\mus\\a b\\x.mid"}}},
      {"three files",
       {"C:\\a.mid", "C:\\b.mid", "C:\\y.mp3"},
       {{1, "C:\\a.mid"}, {1, "C:\\b.mid"}, {0, "C:\\y.mp3"}}},
      {"empty last argument", {"C:\\a.mid", "C:\\b.mid", ""}, {{1, "C:\\a.mid"}, {0, "C:\\b.mid"}}},
      {"empty in the middle", {"C:\\a.mid", "", "C:\\b.mid"}, {{1, "C:\\a.mid"}, {0, "C:\\b.mid"}}},
      {"only empty", {"", ""}, {}},
  };
  for (const Case& c : cases) {
    Receiver receiver;
    EXPECT_EQ(static_cast<int>(c.expected.size()), SendFilesToPlayer(receiver.hwnd(), c.files)) << c.what;
    ASSERT_EQ(c.expected.size(), g_received.size()) << c.what;
    for (size_t i = 0; i < c.expected.size(); ++i) {
      EXPECT_EQ(c.expected[i].dwData, g_received[i].dwData) << c.what << " " << i;
      EXPECT_EQ(c.expected[i].bytes, g_received[i].bytes) << c.what << " " << i;
    }
  }
}

TEST(HandOverReceiver, ReadsExactlyTheRecordsBytes) {
  const std::string overlong(MAX_PATH, 'x');
  char noNul[4] = {'a', '.', 'm', 'X'};  // the X lies past cbData
  char embedded[] = "C:\\a.mid\0junk";
  struct Case {
    const char* what;
    COPYDATASTRUCT record;
    bool ok;
    std::string path;
    bool last;
  };
  const Case cases[] = {
      {"no NUL: exactly cbData bytes", {0, 3, noNul}, true, "a.m", true},
      {"more to come", {1, 3, noNul}, true, "a.m", false},
      {"cut at an embedded NUL", {0, sizeof(embedded) - 1, embedded}, true, "C:\\a.mid", true},
      {"cbData 0", {0, 0, noNul}, false, "", false},
      {"no data", {0, 5, nullptr}, false, "", false},
      {"leading NUL", {0, 5, const_cast<char*>("\0abcd")}, false, "", false},
      {"longer than a path",
       {0, static_cast<DWORD>(overlong.size()), const_cast<char*>(overlong.data())},
       false,
       "",
       false},
  };
  for (const Case& c : cases) {
    std::string path = "untouched";
    bool last = false;
    EXPECT_EQ(c.ok, ReadHandOverRecord(&c.record, path, last)) << c.what;
    if (c.ok) {
      EXPECT_EQ(c.path, path) << c.what;
      EXPECT_EQ(c.last, last) << c.what;
    } else {
      EXPECT_EQ("untouched", path) << c.what;
    }
  }
  std::string path;
  bool last = false;
  EXPECT_FALSE(ReadHandOverRecord(nullptr, path, last));
}

// Each step: {last, added, index already in the list, list size after it}
// and the entry that should play (-1 none).
TEST(HandOverReceiver, ABatchPlaysItsFirstAddedFileOrTheLastFilePresent) {
  struct Step {
    bool last, added;
    int present, count, play;
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"two new files: the first new one", {{false, true, -1, 4, -1}, {true, true, -1, 5, 3}}},
      {"the last not addable: the first added still",
       {{false, true, -1, 4, -1}, {false, true, -1, 5, -1}, {true, false, -1, 5, 3}}},
      {"nothing added: nothing plays", {{false, false, -1, 3, -1}, {true, false, -1, 3, -1}}},
      {"a last file already present in the middle", {{true, false, 1, 3, 1}}},
      {"a last file already present as the last", {{true, false, 2, 3, 2}}},
      {"a batch after a batch starts counting afresh",
       {{false, true, -1, 1, -1}, {true, false, -1, 1, 0}, {true, true, -1, 2, 1}}},
  };
  for (const Case& c : cases) {
    CHandOverBatch batch;
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const Step& s = c.steps[i];
      EXPECT_EQ(s.play, batch.OnFile(s.last, s.added, s.present, s.count)) << c.what << " step " << i;
      if (s.last) {
        EXPECT_EQ(0, batch.Pending()) << c.what;
      }
    }
  }
}

TEST(CommandLine, FilesEndAtTheFirstFlag) {
  CFileListCommandLineInfo info;
  info.ParseParam("C:\\a.mid", FALSE, FALSE);
  info.ParseParam("", FALSE, FALSE);
  info.ParseParam("Z:\\long path\\b.kar", FALSE, FALSE);
  info.ParseParam("work\\song.mid", TRUE, FALSE);  // "/work/song.mid": a flag
  info.ParseParam("C:\\after.mid", FALSE, TRUE);
  const std::vector<std::string> expected = {"C:\\a.mid", "", "Z:\\long path\\b.kar"};
  EXPECT_EQ(expected, info.GetFiles());
}

TEST(CommandLine, WideFilesAreSplitAsTheFrameworkSplitsAndEndAtTheFirstFlag) {
  struct Case {
    const wchar_t* line;
    std::vector<std::wstring> files;
  } cases[] = {
      {L"Melodara.exe", {}},
      {L"\"C:\\Program Files\\Melodara.exe\" a.mid", {L"a.mid"}},
      {L"p.exe  \"C:\\long path\\\u6b4c.mid\"\tb.mp3", {L"C:\\long path\\\u6b4c.mid", L"b.mp3"}},
      {L"p.exe a.mid \"\" b.mid", {L"a.mid", L"", L"b.mid"}},
      {L"p.exe a.mid /flag b.mid", {L"a.mid"}},
      {L"p.exe -x a.mid", {}},
      {nullptr, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.files, CFileListCommandLineInfo::WideFiles(c.line));
}

std::wstring Wide(const std::string& ansi) {
  std::wstring wide(ansi.size(), L'\0');
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0],
                                    static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return wide;
}

TEST(NamedFiles, APathTheCodePageCannotSpellOpensByItsShortName) {
  testsupport::TempDir dir;
  std::string spelled;
  const std::string plain = dir.File("plain song.mid");
  EXPECT_TRUE(SpellablePath(Wide(plain), &spelled));
  EXPECT_EQ(plain, spelled) << "a spellable path stays as it is";
  // "Song" in Chinese: no Western code page spells it.
  const std::wstring chinese = Wide(dir.Path()) + L"\\\u6b4c\u66f2.mid";
  if (GetACP() == CP_UTF8 || GetACP() == 936) GTEST_SKIP() << "this code page spells Chinese";
  EXPECT_FALSE(SpellablePath(chinese, &spelled)) << "no file yet, so no short name";
  EXPECT_EQ(std::string::npos, spelled.find('\0'));
  HANDLE file =
      CreateFileW(chinese.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  DWORD written = 0;
  WriteFile(file, "MThd", 4, &written, nullptr);
  CloseHandle(file);
  ASSERT_TRUE(SpellablePath(chinese, &spelled));
  EXPECT_NE(std::string::npos, spelled.find('~')) << spelled;
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(spelled.c_str())) << "the ANSI calls open it";
  EXPECT_EQ(MediaKind::kSong, MediaKindOf(spelled)) << "the short name keeps the kind";
  EXPECT_EQ(FileRejection::kNone, CheckMediaFile(spelled));
  DeleteFileW(chinese.c_str());
}

TEST(NamedFiles, EachRefusedFileIsNamedWithItsReason) {
  testsupport::TempDir dir;
  testsupport::WriteBytes(dir.File("song.mid"), std::vector<unsigned char>{'M', 'T', 'h', 'd'});
  testsupport::WriteBytes(dir.File("empty.mid"), std::vector<unsigned char>{});
  testsupport::WriteBytes(dir.File("notes.txt"), std::vector<unsigned char>{'x'});
  CreateDirectoryA(dir.File("folder.mid").c_str(), nullptr);
  struct Case {
    std::string path;
    FileRejection why;
    std::string text;
  } cases[] = {
      {dir.File("song.mid"), FileRejection::kNone, ""},
      {dir.File("gone.mp3"), FileRejection::kMissing, "\"gone.mp3\" cannot be found."},
      {"", FileRejection::kMissing, "\"\" cannot be found."},
      {dir.File("folder.mid"), FileRejection::kFolder, "\"folder.mid\" is a folder, not a song file."},
      {dir.File("empty.mid"), FileRejection::kEmpty, "\"empty.mid\" is empty."},
      {dir.File("notes.txt"), FileRejection::kUnknownKind,
       "\"notes.txt\" is not a kind of file Melodara plays (MP3, WMA, ASF, WMV, WAV or MIDI)."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.why, CheckMediaFile(c.path)) << c.path;
    EXPECT_EQ(c.text, RejectionText(c.path, c.why)) << c.path;
  }
  EXPECT_EQ("\"x.wma\" cannot be read as a song.",
            RejectionText("C:\\a\\x.wma", FileRejection::kUnmeasurable));
  EXPECT_EQ("\"?.mid\" has a name this system cannot spell and no short name to open it by.",
            RejectionText("C:\\?.mid", FileRejection::kUnspellable));
  RemoveDirectoryA(dir.File("folder.mid").c_str());
}

}  // namespace
