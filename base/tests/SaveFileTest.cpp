#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/SaveFile.h"
#include "testsupport/TempDir.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int FilesIn(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return count;
}

TEST(SaveFileTest, ReplacesTheTargetAndLeavesNoTemporary) {
  testsupport::TempDir dir;
  const std::string path = dir.File("list.m3u");
  ASSERT_TRUE(base::SaveFileReplacing(path.c_str(), std::vector<uint8_t>{'o', 'l', 'd'}));
  ASSERT_TRUE(base::SaveFileReplacing(path.c_str(), "new!", 4));
  EXPECT_EQ("new!", ReadAll(path));
  EXPECT_EQ(1, FilesIn(dir.Path()));
}

TEST(SaveFileTest, AFailedSaveKeepsTheOldFile) {
  testsupport::TempDir dir;
  const std::string path = dir.File("list.m3u");
  ASSERT_TRUE(base::SaveFileReplacing(path.c_str(), "old", 3));
  {
    // The target held open without delete sharing: the move over it fails.
    HANDLE held =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(base::SaveFileReplacing(path.c_str(), "new", 3));
    CloseHandle(held);
  }
  EXPECT_EQ("old", ReadAll(path));
  EXPECT_EQ(1, FilesIn(dir.Path()));
  EXPECT_FALSE(base::SaveFileReplacing(dir.File("no such folder\\list.m3u").c_str(), "x", 1));
  EXPECT_FALSE(base::SaveFileReplacing(nullptr, "x", 1));
  EXPECT_FALSE(base::SaveFileReplacing("", "x", 1));
}

}  // namespace
