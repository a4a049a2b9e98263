#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "app/RegValues.h"
#include "app/UpdateNoticeThread.h"

namespace {

const char kTagPath[] = "Software\\Melodara\\Tests\\UpdateInfoTag";
const char kHome[] = "http://127.0.0.1:1";

struct Posted {
  UINT message;
  WPARAM wParam;
  std::string text;
};

// Runs the thread against canned replies until `rounds` news fetches were
// made, then collects what it posted to a message-only window.
class NoticeRun {
 public:
  std::string softwareReply;  // empty: the software fetch fails
  std::string newsReply;
  int rounds = 1;
  std::string version = "1.0.0.1";
  std::vector<std::string> urls;

  std::vector<Posted> Run(DWORD softwareWait = 10, DWORD newsWait = 10) {
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    HANDLE stop = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<int> newsFetches{0};
    UpdateNoticeConfig config;
    config.window = window;
    config.stopEvent = stop;
    config.homeUrl = kHome;
    config.version = version;
    config.tagPath = kTagPath;
    config.softwareNoticeWaitMs = softwareWait;
    config.newsIntervalMs = newsWait;
    config.fetch = [&](const std::string& url, std::string& out) {
      urls.push_back(url);
      if (url.find("softwareupdateinfo") != std::string::npos) {
        out = softwareReply;
        return softwareReply.empty() ? 2 : 0;
      }
      if (++newsFetches >= rounds) SetEvent(stop);
      out = newsReply;
      return 0;
    };
    HANDLE thread = CreateThread(nullptr, 0, UpdateNoticeThreadProc, &config, 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(thread);
    CloseHandle(stop);
    std::vector<Posted> posted;
    MSG msg;
    while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_PLAYER_NOTICE_TEXT)
        posted.push_back({msg.message, msg.wParam, *TakeNoticeText(msg.lParam)});
      else if (msg.message == WM_PLAYER_SHOW_NOTICE)
        posted.push_back({msg.message, msg.wParam, ""});
    }
    DestroyWindow(window);
    return posted;
  }
};

void StoreTag(DWORD tag) {
  CRegValue value(kTagPath, 0);
  value.Set(tag);
  value.Write();
}

DWORD StoredTag() { return CRegValue(kTagPath, 0, TRUE).Get(); }

const char kMarker[] = "<!DOCTYPE html PUBLIC \"-//W3C//DTD\">";

TEST(UpdateNoticeThread, SoftwareNoticeBeforeTheMarkerIsShownOnce) {
  StoreTag(5);
  NoticeRun run;
  run.softwareReply = std::string("Version 2 is out\n\n") + kMarker;
  run.newsReply = "5:old news";
  const std::vector<Posted> posted = run.Run();
  ASSERT_GE(posted.size(), 2u);
  EXPECT_EQ(posted[0].message, WM_PLAYER_NOTICE_TEXT);
  EXPECT_EQ(posted[0].text, "Version 2 is out");
  EXPECT_EQ(posted[1].message, WM_PLAYER_SHOW_NOTICE);
  EXPECT_EQ(posted[1].wParam, 1u);
  ASSERT_GE(run.urls.size(), 2u);
  EXPECT_EQ(run.urls[0], std::string(kHome) + "/softwareupdateinfo.aspx?lan=En-US&ver=1.0.0.1");
  EXPECT_EQ(run.urls[1], std::string(kHome) + "/updateinfo.aspx?lan=En-US");
}

TEST(UpdateNoticeThread, SoftwareRepliesWithoutAUsableMarkerShowNothing) {
  const std::string replies[] = {"no marker at all", std::string(kMarker) + "text after", "",
                                 std::string("\n\n") + kMarker, std::string("a\0b", 3) + kMarker};
  for (const std::string& reply : replies) {
    StoreTag(7);
    NoticeRun run;
    run.softwareReply = reply;
    run.newsReply = "7:same";
    // A long software wait would fail the 5 s join if it were entered.
    const std::vector<Posted> posted = run.Run(60000, 10);
    for (const Posted& p : posted) EXPECT_NE(p.wParam, 1u) << reply;
  }
}

TEST(UpdateNoticeThread, NewsTagsDecideWhatIsShown) {
  struct Case {
    const char* what;
    DWORD stored;
    const char* reply;
    int rounds;
    DWORD tagAfter;
    std::vector<Posted> expected;
  };
  const Case cases[] = {
      // The first equal answer still refreshes the label's text, later ones do nothing.
      {"a new tag is stored and shown once",
       11,
       "12:Big news",
       3,
       12,
       {{WM_PLAYER_NOTICE_TEXT, 0, "Big news"},
        {WM_PLAYER_SHOW_NOTICE, 0, ""},
        {WM_PLAYER_NOTICE_TEXT, 0, "Big news"}}},
      {"an equal tag gives the text once, without a pop-up",
       12,
       "12:Known",
       3,
       12,
       {{WM_PLAYER_NOTICE_TEXT, 0, "Known"}}},
      {"no colon: shown every round",
       3,
       "plain text",
       2,
       3,
       {{WM_PLAYER_NOTICE_TEXT, 0, "plain text"},
        {WM_PLAYER_SHOW_NOTICE, 0, ""},
        {WM_PLAYER_NOTICE_TEXT, 0, "plain text"},
        {WM_PLAYER_SHOW_NOTICE, 0, ""}}},
      {"colon at the start counts as none",
       3,
       ":x",
       1,
       3,
       {{WM_PLAYER_NOTICE_TEXT, 0, ":x"}, {WM_PLAYER_SHOW_NOTICE, 0, ""}}},
      {"a tag that is not a number reads 0", 0, "abc:text", 1, 0, {{WM_PLAYER_NOTICE_TEXT, 0, "text"}}},
      {"an overflowing tag saturates",
       1,
       "99999999999999999999999:huge",
       1,
       static_cast<DWORD>(LONG_MAX),
       {{WM_PLAYER_NOTICE_TEXT, 0, "huge"}, {WM_PLAYER_SHOW_NOTICE, 0, ""}}},
      {"an empty reply shows nothing", 4, "", 2, 4, {}},
  };
  for (const Case& c : cases) {
    StoreTag(c.stored);
    NoticeRun run;
    run.version = "";
    run.newsReply = c.reply;
    run.rounds = c.rounds;
    const std::vector<Posted> posted = run.Run();
    ASSERT_EQ(posted.size(), c.expected.size()) << c.what;
    for (size_t i = 0; i < posted.size(); ++i) {
      EXPECT_EQ(posted[i].message, c.expected[i].message) << c.what << " #" << i;
      EXPECT_EQ(posted[i].wParam, c.expected[i].wParam) << c.what << " #" << i;
      EXPECT_EQ(posted[i].text, c.expected[i].text) << c.what << " #" << i;
    }
    EXPECT_EQ(StoredTag(), c.tagAfter) << c.what;
    for (const std::string& url : run.urls) EXPECT_EQ(url.find("softwareupdateinfo"), std::string::npos);
  }
}

TEST(UpdateNoticeThread, TheStopEventEndsTheHourlyWaitAtOnce) {
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  HANDLE stop = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE fetched = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  UpdateNoticeConfig config;
  config.window = window;
  config.stopEvent = stop;
  config.tagPath = kTagPath;
  config.fetch = [&](const std::string&, std::string&) {
    SetEvent(fetched);
    return 2;
  };
  HANDLE thread = CreateThread(nullptr, 0, UpdateNoticeThreadProc, &config, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(fetched, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(thread, 200), static_cast<DWORD>(WAIT_TIMEOUT));  // in the hour's wait
  SetEvent(stop);
  EXPECT_EQ(WaitForSingleObject(thread, 2000), WAIT_OBJECT_0);
  CloseHandle(thread);
  CloseHandle(stop);
  CloseHandle(fetched);
  DrainNoticeTexts(window);
  DestroyWindow(window);
}

TEST(UpdateNoticeThread, AFailingFetchEndsOnlyTheThread) {
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  HANDLE stop = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  UpdateNoticeConfig config;
  config.window = window;
  config.stopEvent = stop;
  config.tagPath = kTagPath;
  config.fetch = [](const std::string&, std::string&) -> int { throw std::bad_alloc(); };
  HANDLE thread = CreateThread(nullptr, 0, UpdateNoticeThreadProc, &config, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeThread(thread, &code);
  EXPECT_EQ(code, 1u);
  CloseHandle(thread);
  CloseHandle(stop);
  DestroyWindow(window);
}

}  // namespace

#include "app/CUpdateNotices.h"

namespace {

TEST(UpdateNotices, StartsAndStopsPromptlyAndKeepsTheTextOnTheUiThread) {
  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  CUpdateNotices notices;
  // A refused local port: every fetch fails at once and the worker waits.
  ASSERT_TRUE(notices.Start(window, "http://127.0.0.1:1", ""));
  EXPECT_TRUE(notices.Running());
  ::Sleep(100);
  const DWORD before = ::GetTickCount();
  notices.Stop(5000);
  EXPECT_LT(::GetTickCount() - before, 3000u);
  EXPECT_FALSE(notices.Running());

  notices.OnNoticeText(reinterpret_cast<LPARAM>(new std::string("line one\nline two\r\n\n")));
  EXPECT_EQ(notices.GetNoticeText(), "line one\nline two");
  notices.OnNoticeText(0);
  EXPECT_EQ(notices.GetNoticeText(), "line one\nline two");
  DestroyWindow(window);
}

}  // namespace
