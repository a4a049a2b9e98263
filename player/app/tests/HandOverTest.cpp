// The single-instance hand-over: what the sender puts in each record, how
// the receiver reads any record from any process, and which entry a batch
// plays.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CFileListCommandLineInfo.h"
#include "app/FileHandOver.h"

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

}  // namespace
