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
  // A real program stands for the new updater: the helper itself.
  void WriteNewUpdater() { ASSERT_TRUE(CopyFileA("MelodaraUpdateHelper.exe", source.c_str(), FALSE)); }
  void ExpectTargetUntouched() {
    EXPECT_EQ(ReadWholeFile(target), "MZ old updater");
    EXPECT_EQ(GetFileAttributesA((target + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
  }

  testsupport::TempDir dir;
  std::string source, target;
};

TEST_F(UpdateHelperTest, ReplacesTheTarget) {
  WriteNewUpdater();
  EXPECT_EQ(RunHelper(Arguments()), 0u);
  EXPECT_EQ(ReadWholeFile(target), ReadWholeFile(source));
  EXPECT_EQ(GetFileAttributesA((target + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UpdateHelperTest, RefusesBadArguments) {
  WriteNewUpdater();
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

// Made from a whole program in the test: its start, as a download cut short
// leaves it, and headers that promise more than the file holds.
TEST_F(UpdateHelperTest, RefusesAProgramThatIsNotWhole) {
  const std::string whole = ReadWholeFile("MelodaraUpdateHelper.exe");
  ASSERT_GT(whole.size(), 8192u);
  const uint32_t pe = uint32_t(uint8_t(whole[0x3C])) | uint32_t(uint8_t(whole[0x3D])) << 8;
  ASSERT_EQ(whole.compare(pe, 4, std::string("PE\0\0", 4)), 0);
  auto patched = [&whole](size_t at, uint32_t value) {
    std::string bytes = whole;
    for (int i = 0; i < 4; ++i) bytes[at + i] = char(value >> (8 * i));
    return bytes;
  };
  const size_t optionalSize = uint8_t(whole[pe + 20]) | uint8_t(whole[pe + 21]) << 8;
  const size_t firstSection = pe + 24 + optionalSize;
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"the first 4,096 bytes", whole.substr(0, 4096)},
      {"all but the last byte", whole.substr(0, whole.size() - 1)},
      {"the DOS header alone", whole.substr(0, 64)},
      {"PE headers past the end", patched(0x3C, uint32_t(whole.size()))},
      {"no PE signature", patched(pe, 0x14550)},
      {"a section past the end", patched(firstSection + 20, uint32_t(whole.size()))},
      {"a section table past the end",
       patched(pe + 4, 0xFFFF0000u | uint8_t(whole[pe + 4]) | uint8_t(whole[pe + 5]) << 8)},
  };
  for (const auto& c : cases) {
    WriteWholeFile(source, c.bytes);
    EXPECT_EQ(RunHelper(Arguments()), 2u) << c.what;
    EXPECT_EQ(ReadWholeFile(target), "MZ old updater") << c.what;
  }
}

// The updater is still ending: the target is in use for a while.
TEST_F(UpdateHelperTest, WaitsForTheTargetToBeFree) {
  WriteNewUpdater();
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
  EXPECT_EQ(ReadWholeFile(target), ReadWholeFile(source));
}

TEST_F(UpdateHelperTest, GivesUpWhenTheTargetStaysInUse) {
  WriteNewUpdater();
  HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(RunHelper(Arguments("/wait:1000")), 3u);
  CloseHandle(held);
  ExpectTargetUntouched();
}

}  // namespace
