#include <windows.h>

#include <gtest/gtest.h>

namespace {

struct Export {
  const char* name;
  WORD ordinal;
};

TEST(ScrivelExports, EachFactoryIsReachableByNameAndOrdinal) {
  HMODULE dll = LoadLibraryA("Scrivel.dll");
  ASSERT_NE(dll, nullptr);
  for (const Export& e : {Export{"CreateScrivel", 1}, Export{"CreateScrivel2", 2}, Export{"CreateScrivelHandler", 3}}) {
    FARPROC byName = GetProcAddress(dll, e.name);
    EXPECT_NE(byName, nullptr) << e.name;
    EXPECT_EQ(byName, GetProcAddress(dll, MAKEINTRESOURCEA(e.ordinal))) << e.name;
    auto create = reinterpret_cast<void* (*)(int)>(byName);
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create(2), nullptr) << e.name << " must refuse version 2";
  }
  FreeLibrary(dll);
}

}  // namespace
