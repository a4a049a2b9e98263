#include "testsupport/FakePlayer.h"

#include <gtest/gtest.h>

#include "base/Handles.h"
#include "testsupport/TempDir.h"

namespace testsupport {
namespace {

// Starts the fake player with the given arguments; the process handle, or an
// empty owner when it could not start.
void Start(const std::wstring& arguments, base::ScopedHandle* process) {
  std::wstring line = L"\"" + FromUtf8(FakePlayerPath()) + L"\" " + arguments;
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  CloseHandle(pi.hThread);
  process->Attach(pi.hProcess);
}

TEST(FakePlayer, RecordsItsCommandLineToTheLogItIsGiven) {
  TempDir dir;
  std::string log = dir.File("log.txt");
  std::wstring args = L"--fake-log=\"" + FromUtf8(log) + L"\" \"C:\\a b\\caf\u00e9.mid\"";
  base::ScopedHandle process;
  Start(args, &process);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.Get(), 20000));

  std::vector<FakePlayerRecord> records = ReadFakePlayerLog(log);
  ASSERT_EQ(1u, records.size());
  EXPECT_EQ("start", records[0].event);
  std::wstring line = FromUtf8(records[0].Field("cmdW"));
  EXPECT_NE(std::wstring::npos, line.find(L"\"C:\\a b\\caf\u00e9.mid\"")) << records[0].Field("cmdW");
  EXPECT_EQ(0, _stricmp(FakePlayerPath().c_str(), records[0].Field("module").c_str()));
  EXPECT_FALSE(records[0].Field("folder").empty());
  EXPECT_NE(std::string::npos, records[0].Field("cmdA").find("--fake-log="));
}

TEST(FakePlayer, ShowsThePlayersWindowUntilItIsClosed) {
  ASSERT_EQ(nullptr, FindWindowA(kPlayerWindowClass, kPlayerWindowTitle))
      << "a player window is already open";
  TempDir dir;
  std::string log = dir.File("log.txt");
  // The log through the environment, as a program under test passes it on.
  ASSERT_TRUE(SetEnvironmentVariableA(kFakePlayerLogVariable, log.c_str()));
  base::ScopedHandle process;
  Start(L"--fake-window", &process);
  SetEnvironmentVariableA(kFakePlayerLogVariable, nullptr);

  HWND hwnd = WaitForPlayerWindow(20000);
  ASSERT_NE(nullptr, hwnd);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(process.Get(), 0));
  PostMessageA(hwnd, WM_CLOSE, 0, 0);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.Get(), 20000));

  std::vector<FakePlayerRecord> records = ReadFakePlayerLog(log);
  ASSERT_EQ(2u, records.size());
  EXPECT_EQ("start", records[0].event);
  EXPECT_EQ("close", records[1].event);
  EXPECT_EQ(nullptr, FindWindowA(kPlayerWindowClass, kPlayerWindowTitle));
}

}  // namespace
}  // namespace testsupport
