#include <gtest/gtest.h>

#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "net/HttpExchange.h"
#include "testsupport/MessagePump.h"
#include "testsupport/TempDir.h"
#include "testsupport/UpdateServer.h"
#include "updater/Downloader.h"

namespace {

using testsupport::UpdateServerUrl;

// Records every call, and can cancel the transfer after its first block.
class RecordingListener : public IDownloadListener {
 public:
  void OnDownloadDone(BOOL finished) override {
    std::lock_guard<std::mutex> lock(m_lock);
    done.push_back(finished);
    if (m_event) SetEvent(m_event);
  }
  void OnTextReceived(const std::string& text) override {
    std::lock_guard<std::mutex> lock(m_lock);
    texts.push_back(text);
    if (m_event) SetEvent(m_event);
  }
  void OnDataReceived(const char* data, DWORD count) override {
    std::lock_guard<std::mutex> lock(m_lock);
    blocks.push_back(count);
    received.append(data, count);
    if (throwOnData) throw std::bad_alloc();
    if (cancelAfterFirst && blocks.size() == 1) cancelAfterFirst->Cancel();
  }
  bool Wait(DWORD ms) { return WaitForSingleObject(m_event, ms) == WAIT_OBJECT_0; }

  std::vector<BOOL> done;
  std::vector<std::string> texts;
  std::vector<DWORD> blocks;
  std::string received;
  CDownloader* cancelAfterFirst = nullptr;
  bool throwOnData = false;

 private:
  std::mutex m_lock;
  HANDLE m_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
};

class DownloaderTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(UpdateServerUrl().empty()) << "run beside the update server";
    HttpLimits limits;
    limits.connectTimeoutMs = limits.receiveTimeoutMs = 1500;
    SetHttpLimits(limits);
    downloader.SetListener(&listener);
  }
  void TearDown() override {
    downloader.DetachListener();
    EXPECT_TRUE(downloader.WaitUntilIdle(15000));
    SetHttpLimits(HttpLimits());
  }
  DownloadOutcome Download(const std::string& path, const std::string& file) {
    EXPECT_TRUE(downloader.StartFileDownload(UpdateServerUrl() + path, file));
    EXPECT_TRUE(listener.Wait(15000)) << path;
    return downloader.GetOutcome();
  }

  testsupport::TempDir dir;
  RecordingListener listener;
  CDownloader downloader;
};

TEST_F(DownloaderTest, BlocksInOrderAndTheFileWhole) {
  std::string body = testsupport::PatternBytes(5000);
  testsupport::PutServerFile("five.bin", body);
  DownloadOutcome outcome = Download("/five.bin", dir.File("five.bin"));
  EXPECT_TRUE(outcome.Complete());
  ASSERT_EQ(listener.done.size(), 1u);
  EXPECT_TRUE(listener.done[0]);
  EXPECT_EQ(listener.received, body);
  for (DWORD block : listener.blocks) EXPECT_LE(block, 2048u);
  EXPECT_EQ(testsupport::ReadWholeFile(dir.File("five.bin")), body);
}

struct FileCase {
  const char* path;
  bool finished;  // the local file was created
  bool complete;
  const char* what;
};

TEST_F(DownloaderTest, WhatEachAnswerComesTo) {
  testsupport::PutServerFile("empty.bin", "");
  const FileCase cases[] = {
      {"/empty.bin", true, false, "empty body: an empty file, never whole"},
      {"/missing.bin", true, false, "404: the page is saved"},
      {"/__cut/100000/30000", true, false, "closed before the announced length"},
      {"/__stall/10000", true, false, "stalled body: time-out"},
      {"/__stallheaders", false, false, "no answer: time-out before the file"},
      {"/__gen/3000000", true, true, "large generated body"},
  };
  for (const FileCase& c : cases) {
    listener.done.clear();
    DownloadOutcome outcome = Download(c.path, dir.File("out.bin"));
    EXPECT_EQ(outcome.finished, c.finished) << c.what;
    EXPECT_EQ(outcome.Complete(), c.complete) << c.what;
    ASSERT_EQ(listener.done.size(), 1u) << c.what;
    EXPECT_EQ(listener.done[0] != FALSE, c.finished) << c.what;
  }
  EXPECT_EQ(testsupport::ReadWholeFile(dir.File("out.bin")), testsupport::PatternBytes(3000000));
  // Unreachable, and a folder that does not exist: no file, FALSE.
  listener.done.clear();
  ASSERT_TRUE(downloader.StartFileDownload("http://127.0.0.1:1/x", dir.File("x.bin")));
  ASSERT_TRUE(listener.Wait(15000));
  EXPECT_FALSE(listener.done.at(0));
  listener.done.clear();
  EXPECT_FALSE(Download("/__gen/10", dir.File("no\\such\\x.bin")).finished);
  EXPECT_FALSE(listener.done.at(0));
}

// Memory running out in the middle of a transfer: the thread survives, the
// listener hears of an unfinished download, and the file is not left open.
TEST_F(DownloaderTest, AFailureInsideTheTransferEndsItUnfinished) {
  listener.throwOnData = true;
  DownloadOutcome outcome = Download("/__gen/5000", dir.File("failed.bin"));
  EXPECT_FALSE(outcome.finished);
  EXPECT_FALSE(outcome.Complete());
  ASSERT_EQ(listener.done.size(), 1u);
  EXPECT_FALSE(listener.done[0]);
  EXPECT_EQ(listener.blocks.size(), 1u);
  EXPECT_TRUE(DeleteFileA(dir.File("failed.bin").c_str())) << "the half-written file is still held open";

  // The downloader still works afterwards.
  listener.throwOnData = false;
  listener.done.clear();
  EXPECT_TRUE(Download("/__gen/10", dir.File("after.bin")).Complete());
}

TEST_F(DownloaderTest, CancelStopsBeforeTheNextBlock) {
  listener.cancelAfterFirst = &downloader;
  DownloadOutcome outcome = Download("/__slow/20000/1000/50", dir.File("slow.bin"));
  EXPECT_TRUE(outcome.finished);
  EXPECT_TRUE(outcome.cancelled);
  EXPECT_FALSE(outcome.Complete());
  EXPECT_EQ(listener.blocks.size(), 1u);
  EXPECT_EQ(outcome.bytes, listener.received.size());
  EXPECT_LT(outcome.bytes, 20000u);

  // Still cancelled: a new file download ends at once without a call.
  listener.done.clear();
  listener.blocks.clear();
  ASSERT_TRUE(downloader.StartFileDownload(UpdateServerUrl() + "/__gen/10", dir.File("after.bin")));
  ASSERT_TRUE(downloader.WaitUntilIdle(15000));
  EXPECT_TRUE(listener.done.empty());
  EXPECT_TRUE(listener.blocks.empty());

  // A text fetch clears the flag.
  testsupport::PutServerFile("text.txt", "hello");
  ASSERT_TRUE(downloader.StartTextFetch(UpdateServerUrl() + "/text.txt"));
  ASSERT_TRUE(listener.Wait(15000));
  ASSERT_EQ(listener.texts.size(), 1u);
  EXPECT_EQ(listener.texts[0], "hello");
  listener.done.clear();
  EXPECT_TRUE(Download("/__gen/10", dir.File("again.bin")).Complete());
}

TEST_F(DownloaderTest, FailedTextFetchGivesEmptyText) {
  ASSERT_TRUE(downloader.StartTextFetch(UpdateServerUrl() + "/missing.txt"));
  ASSERT_TRUE(listener.Wait(15000));
  ASSERT_EQ(listener.texts.size(), 1u);
  EXPECT_EQ(listener.texts[0], "");
}

TEST_F(DownloaderTest, DetachedListenerIsNeverCalled) {
  const std::string path = "/__slow/8000/1000/100";
  const size_t before = testsupport::RequestsFor(path);
  ASSERT_TRUE(downloader.StartFileDownload(UpdateServerUrl() + path, dir.File("slow.bin")));
  // Detached once the server has begun its answer, which takes it 700 ms.
  ASSERT_TRUE(testsupport::PumpUntil([&] { return testsupport::RequestsFor(path) > before; }, 15000));
  downloader.DetachListener();
  size_t blocks = listener.blocks.size();
  ASSERT_TRUE(downloader.WaitUntilIdle(15000));
  EXPECT_EQ(listener.blocks.size(), blocks);
  EXPECT_TRUE(listener.done.empty());
  EXPECT_EQ(downloader.GetOutcome().bytes, 8000u);
}

// The downloader may go away while its worker still runs.
TEST_F(DownloaderTest, WorkerOutlivesTheDownloader) {
  {
    // The listener outlives the downloader, which detaches it on the way out.
    RecordingListener other;
    CDownloader shortLived;
    shortLived.SetListener(&other);
    const std::string path = "/__slow/4000/1000/100";
    const size_t before = testsupport::RequestsFor(path);
    ASSERT_TRUE(shortLived.StartFileDownload(UpdateServerUrl() + path, dir.File("gone.bin")));
    // Gone once the server has begun its answer, which takes it 400 ms.
    ASSERT_TRUE(testsupport::PumpUntil([&] { return testsupport::RequestsFor(path) > before; }, 15000));
  }
  // The worker holds the file to itself until it has written the last block.
  testsupport::PumpUntil([&] { return testsupport::ReadWholeFile(dir.File("gone.bin")).size() == 4000u; },
                         15000);
  EXPECT_EQ(testsupport::ReadWholeFile(dir.File("gone.bin")).size(), 4000u);
}

}  // namespace
