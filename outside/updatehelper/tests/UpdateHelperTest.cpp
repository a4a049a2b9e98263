#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>

#include "testsupport/TempDir.h"
#include "testsupport/UpdateServer.h"

namespace {

using testsupport::ReadWholeFile;
using testsupport::WriteWholeFile;

// Runs the helper with the given parameters and returns its exit code.
DWORD RunHelper(const std::string& parameters) {
  std::string command = "MelodaraUpdateHelper.exe " + parameters;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  // Wine can fail to start a process now and then on a loaded machine; one
  // more try tells that apart from a helper that is really missing.
  bool started = false;
  for (int attempt = 0; attempt < 2 && !started; ++attempt) {
    started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    if (!started) {
      std::fprintf(stderr, "cannot start the helper (error %lu)\n", GetLastError());
      Sleep(500);
    }
  }
  if (!started) return 999;
  CloseHandle(pi.hThread);
  DWORD code = 998;
  if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  return code;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

class UpdateHelperTest : public testing::Test {
 protected:
  void SetUp() override {
    source = dir.File("Temp-MelodaraUpdate.exe");
    target = dir.File("MelodaraUpdate.exe");
    WriteWholeFile(target, "MZ old updater");
  }
  std::string Arguments(const std::string& wait = "") const {
    return Quoted(source) + " " + Quoted(target) + (wait.empty() ? "" : " " + wait);
  }
  void ExpectTargetUntouched() {
    EXPECT_EQ(ReadWholeFile(target), "MZ old updater");
    EXPECT_EQ(GetFileAttributesA((target + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
  }

  testsupport::TempDir dir;
  std::string source, target;
};

TEST_F(UpdateHelperTest, ReplacesTheTarget) {
  WriteWholeFile(source, "MZ new updater");
  EXPECT_EQ(RunHelper(Arguments()), 0u);
  EXPECT_EQ(ReadWholeFile(target), "MZ new updater");
  EXPECT_EQ(GetFileAttributesA((target + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UpdateHelperTest, RefusesBadArguments) {
  WriteWholeFile(source, "MZ new updater");
  for (const std::string& parameters :
       {std::string(), Quoted(source), Arguments("/other"), Quoted(target) + " " + Quoted(target),
        Quoted(source) + " \"\"", Arguments("/wait:1") + " extra"})
    EXPECT_EQ(RunHelper(parameters), 1u) << parameters;
  ExpectTargetUntouched();
}

TEST_F(UpdateHelperTest, RefusesABadSource) {
  EXPECT_EQ(RunHelper(Arguments()), 2u);  // missing
  WriteWholeFile(source, "");
  EXPECT_EQ(RunHelper(Arguments()), 2u);
  WriteWholeFile(source, "<html>404</html>");
  EXPECT_EQ(RunHelper(Arguments()), 2u);
  WriteWholeFile(source, "M");
  EXPECT_EQ(RunHelper(Arguments()), 2u);
  ExpectTargetUntouched();
}

// The updater is still ending: the target is in use for a while.
TEST_F(UpdateHelperTest, WaitsForTheTargetToBeFree) {
  WriteWholeFile(source, "MZ new updater");
  HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::thread release([held] {
    Sleep(2000);
    CloseHandle(held);
  });
  DWORD start = GetTickCount();
  EXPECT_EQ(RunHelper(Arguments("/wait:10000")), 0u);
  release.join();
  EXPECT_GE(GetTickCount() - start, 1500u);
  EXPECT_EQ(ReadWholeFile(target), "MZ new updater");
}

TEST_F(UpdateHelperTest, GivesUpWhenTheTargetStaysInUse) {
  WriteWholeFile(source, "MZ new updater");
  HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(RunHelper(Arguments("/wait:1000")), 3u);
  CloseHandle(held);
  ExpectTargetUntouched();
}

}  // namespace
