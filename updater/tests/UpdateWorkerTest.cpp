#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "testsupport/FakePlayer.h"
#include "testsupport/TempDir.h"
#include "testsupport/UpdateServer.h"
#include "testsupport/WaitUntil.h"
#include "updater/UpdateWorker.h"

namespace {

using testsupport::ReadWholeFile;
using testsupport::WriteWholeFile;

class RecordingView : public IUpdateView {
 public:
  void OnCopyStep(int index) override { steps.push_back(index); }
  void ShowLine(int line, int stringId) override { lines[line] = stringId; }
  void HideLine(int line) override { lines[line] = 0; }
  void SetBar(int, int) override {}
  void MoveBar(int) override {}
  void ShowBar(bool) override {}
  void ShowCloseButton() override { closeButton = true; }
  void SetStatus(int stringId) override { status = stringId; }
  void ShowMessage(int stringId) override { messages.push_back(stringId); }

  std::vector<int> steps;
  std::map<int, int> lines;
  bool closeButton = false;
  int status = 0;
  std::vector<int> messages;
};

// Every file of the program folder but the update's own folders and list.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    std::string name = found.cFileName;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (name == "Update.xml" || name == "player.log") continue;
    files[name] = ReadWholeFile(folder + name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return files;
}

class UpdateWorkerTest : public testing::Test {
 protected:
  // The worker looks for the player by class alone, and the first skin window
  // of every other test program has the player's class: the stand-in player
  // here has a class no other program makes.
  static constexpr char kPlayerClass[] = "MelodaraUpdateWorkerTestPlayer";

  void SetUp() override {
    folder = dir.Path() + "\\";
    ASSERT_TRUE(CreateDirectoryA((folder + "Temp").c_str(), nullptr));
    ASSERT_TRUE(CopyFileA(testsupport::FakePlayerPath().c_str(), (folder + "Melodara.exe").c_str(), FALSE));
    log = folder + "player.log";
    SetEnvironmentVariableA(testsupport::kFakePlayerLogVariable, log.c_str());
    plan.programFolder = folder;
    plan.waitLimitMs = 10000;
    plan.playerClass = kPlayerClass;
  }
  void TearDown() override {
    SetEnvironmentVariableA(testsupport::kFakePlayerLogVariable, nullptr);
    if (player) {
      TerminateProcess(player, 0);
      WaitForSingleObject(player, 5000);
      CloseHandle(player);
    }
  }
  void Installed(const std::string& name, const std::string& bytes) { WriteWholeFile(folder + name, bytes); }
  void Downloaded(const std::string& name, const std::string& bytes) {
    WriteWholeFile(folder + "Temp\\" + name, bytes);
    plan.components.push_back(name);
  }
  void StartPlayer(const std::string& flags) {
    std::string command = "\"" + folder +
                          "Melodara.exe\" --fake-window --fake-class=" + std::string(kPlayerClass) + " " +
                          flags;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(
        CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi));
    CloseHandle(pi.hThread);
    player = pi.hProcess;
    ASSERT_NE(testsupport::WaitForPlayerWindow(10000, kPlayerClass), nullptr);
  }
  CUpdateWorker::Outcome Run() {
    CUpdateWorker worker(plan, view, files);
    return worker.Run();
  }
  // Players the worker started again: their start records.
  std::vector<testsupport::FakePlayerRecord> Restarts(size_t expected) {
    std::vector<testsupport::FakePlayerRecord> starts;
    for (const auto& record : testsupport::WaitForFakePlayerLog(log, expected, 10000))
      if (record.event == "start") starts.push_back(record);
    return starts;
  }

  testsupport::TempDir dir;
  std::string folder, log;
  UpdatePlan plan;
  RecordingView view;
  CFileHelper files;
  HANDLE player = nullptr;
};

TEST_F(UpdateWorkerTest, NoPlayerRunning) {
  Installed("A.dll", "old A");
  Downloaded("A.dll", "new A");
  Downloaded("N.dll", "new N");
  EXPECT_EQ(Run(), CUpdateWorker::kReplaced);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(ReadWholeFile(folder + "A.dll"), "new A");
  EXPECT_EQ(ReadWholeFile(folder + "N.dll"), "new N");
  EXPECT_EQ(ReadWholeFile(folder + "Backup\\A.dll"), "old A");
  EXPECT_EQ(GetFileAttributesA((folder + "Backup\\N.dll").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(view.steps, (std::vector<int>{0, 1}));
  EXPECT_EQ(view.lines[IUpdateView::kTopLine], 118);
  EXPECT_EQ(view.lines[IUpdateView::kMiddleLine], 116);
  EXPECT_TRUE(view.closeButton);
  // Started again by full path, in the program folder.
  auto starts = Restarts(1);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0].Field("folder") + "\\", folder);
  EXPECT_NE(starts[0].Field("cmdA").find(folder + "Melodara.exe"), std::string::npos)
      << starts[0].Field("cmdA");
}

TEST_F(UpdateWorkerTest, BackupCopiesAreHeldUntilTheEnd) {
  Installed("A.dll", "old A");
  Downloaded("A.dll", "new A");
  std::vector<bool> backedUp;
  ASSERT_TRUE(files.BackupFiles({folder + "A.dll", folder + "Missing.dll"}, folder + "Backup", &backedUp));
  EXPECT_EQ(backedUp, (std::vector<bool>{true, false}));
  HANDLE write = CreateFileA((folder + "Backup\\A.dll").c_str(), GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(write, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  files.CloseHandles();
}

TEST_F(UpdateWorkerTest, ClosesThePlayerAndWaitsForItsProcess) {
  // The player's own program is among the components: it cannot be replaced
  // while its process still runs, well after its window has gone.
  std::string oldPlayer = ReadWholeFile(folder + "Melodara.exe");
  StartPlayer("--fake-linger=1500");
  std::string newPlayer = oldPlayer + "new";
  Downloaded("Melodara.exe", newPlayer);
  Installed("A.dll", "old A");
  Downloaded("A.dll", "new A");
  EXPECT_EQ(Run(), CUpdateWorker::kReplaced);
  EXPECT_EQ(view.messages, std::vector<int>{156});
  EXPECT_EQ(WaitForSingleObject(player, 0), WAIT_OBJECT_0);
  EXPECT_EQ(ReadWholeFile(folder + "Melodara.exe"), newPlayer);
  EXPECT_EQ(ReadWholeFile(folder + "A.dll"), "new A");
  EXPECT_EQ(ReadWholeFile(folder + "Backup\\Melodara.exe"), oldPlayer);
}

TEST_F(UpdateWorkerTest, PlayerThatStaysOpenReplacesNothing) {
  StartPlayer("--fake-ignore-close");
  Installed("A.dll", "old A");
  Downloaded("A.dll", "new A");
  auto before = Snapshot(folder);
  plan.waitLimitMs = 1000;
  DWORD start = GetTickCount();
  EXPECT_EQ(Run(), CUpdateWorker::kPlayerNotClosed);
  EXPECT_LT(GetTickCount() - start, 5000u);
  EXPECT_EQ(view.messages, std::vector<int>{156});
  EXPECT_EQ(view.status, 114);
  EXPECT_EQ(view.lines[IUpdateView::kTopLine], 123);
  EXPECT_TRUE(view.closeButton);
  EXPECT_EQ(Snapshot(folder), before);
}

TEST_F(UpdateWorkerTest, DuplicateNameFailsTheBackup) {
  Installed("A.dll", "old A");
  Downloaded("A.dll", "new A");
  Downloaded("A.dll", "new A");
  auto before = Snapshot(folder);
  EXPECT_EQ(Run(), CUpdateWorker::kBackupFailed);
  EXPECT_EQ(view.status, 120);
  EXPECT_EQ(view.lines[IUpdateView::kMiddleLine], 120);
  EXPECT_EQ(view.lines[IUpdateView::kBottomLine], 159);
  EXPECT_EQ(Snapshot(folder), before);
  EXPECT_TRUE(Restarts(0).empty());
}

TEST_F(UpdateWorkerTest, FailedCopyPutsBackEverythingChanged) {
  Installed("A.dll", "old A");
  Installed("B.dll", "old B");
  Installed("C.dll", "old C");
  Downloaded("A.dll", "new A");
  Downloaded("N.dll", "new N");  // not installed before: removed again
  Downloaded("B.dll", "new B");
  Downloaded("C.dll", "new C");
  auto before = Snapshot(folder);
  // B is in use, as a loaded library is: readable, not writable.
  HANDLE lock = CreateFileA((folder + "B.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Run(), CUpdateWorker::kReplaceFailed);
  CloseHandle(lock);
  EXPECT_EQ(view.status, 157);
  EXPECT_EQ(view.lines[IUpdateView::kTopLine], 157);
  EXPECT_EQ(view.lines[IUpdateView::kMiddleLine], 162);
  EXPECT_EQ(Snapshot(folder), before);
  EXPECT_TRUE(Restarts(0).empty());
}

TEST_F(UpdateWorkerTest, FailedRestoreGoesOnAndSays158) {
  Installed("A.dll", "old A");
  Installed("B.dll", "old B");
  Installed("C.dll", "old C");
  Downloaded("A.dll", "new A");
  Downloaded("B.dll", "new B");
  Downloaded("C.dll", "new C");
  // C's copy fails part-way; restoring A from the backup fails too.
  files.SetCopyFunction([this](const char* source, const char* target, BOOL failIfExists) -> BOOL {
    std::string from = source, to = target;
    if (from == folder + "Temp\\C.dll") {
      WriteWholeFile(to, "half");
      SetLastError(ERROR_DISK_FULL);
      return FALSE;
    }
    if (from == folder + "Backup\\A.dll") {
      SetLastError(ERROR_DISK_FULL);
      return FALSE;
    }
    return CopyFileA(source, target, failIfExists);
  });
  EXPECT_EQ(Run(), CUpdateWorker::kRestoreFailed);
  EXPECT_EQ(view.status, 158);
  EXPECT_EQ(ReadWholeFile(folder + "A.dll"), "new A");
  EXPECT_EQ(ReadWholeFile(folder + "B.dll"), "old B");
  EXPECT_EQ(ReadWholeFile(folder + "C.dll"), "old C");
}

TEST_F(UpdateWorkerTest, HelperHandOver) {
  // A stand-in helper that records its command line.
  ASSERT_TRUE(
      CopyFileA(testsupport::FakePlayerPath().c_str(), (folder + "MelodaraUpdateHelper.exe").c_str(), FALSE));
  ASSERT_TRUE(StartUpdateHelper(folder));
  auto starts = Restarts(1);
  ASSERT_EQ(starts.size(), 1u);
  std::string expected = "\"" + folder + "Temp\\MelodaraUpdate.exe\" \"" + folder + "MelodaraUpdate.exe\"";
  EXPECT_NE(starts[0].Field("cmdA").find(expected), std::string::npos) << starts[0].Field("cmdA");
  // The stand-in ends just after it has recorded its start; until then its
  // program file cannot be deleted.
  const std::string helper = folder + "MelodaraUpdateHelper.exe";
  testsupport::WaitUntil([&] { return DeleteFileA(helper.c_str()) != FALSE; }, 10000, 20);
  ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(helper.c_str()));
  EXPECT_FALSE(StartUpdateHelper(folder));
}

}  // namespace
