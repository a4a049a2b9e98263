#include <afx.h>

#include <gtest/gtest.h>

#include "testsupport/TempDir.h"

namespace {

TEST(CFile, WritesReadsAndSeeks) {
  testsupport::TempDir dir;
  CString path = dir.File("data.bin").c_str();
  {
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite));
    file.Write("hello world", 11);
    EXPECT_EQ(11u, file.GetLength());
  }
  CFile file(path, CFile::modeRead);
  EXPECT_EQ(11u, file.GetLength());
  char buf[16] = {};
  file.Seek(6, CFile::begin);
  EXPECT_EQ(5u, file.Read(buf, sizeof(buf)));
  EXPECT_STREQ("world", buf);
  EXPECT_EQ(0u, file.Read(buf, sizeof(buf)));
  EXPECT_STREQ("data.bin", file.GetFileName());
  file.Close();
  EXPECT_EQ(CFile::hFileNull, file.m_hFile);
}

TEST(CFile, MissingFileReportsTheCause) {
  testsupport::TempDir dir;
  CString path = dir.File("absent.txt").c_str();
  CFile file;
  CFileException error;
  EXPECT_FALSE(file.Open(path, CFile::modeRead, &error));
  EXPECT_EQ(CFileException::fileNotFound, error.m_cause);

  bool thrown = false;
  try {
    CFile opened(path, CFile::modeRead);
  } catch (CFileException* e) {
    thrown = e->m_cause == CFileException::fileNotFound;
    char text[256];
    EXPECT_TRUE(e->GetErrorMessage(text, sizeof(text)));
    EXPECT_NE(nullptr, strstr(text, "absent.txt"));
    e->Delete();
  }
  EXPECT_TRUE(thrown);
}

}  // namespace
