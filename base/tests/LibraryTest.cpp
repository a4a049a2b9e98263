#include <gtest/gtest.h>

#include <windows.h>

#include <utility>

#include "base/Library.h"

namespace {

// System libraries no part of the test program loads, so whether they are in
// the process shows whether the owner's reference is the one holding them.
constexpr const char* kUnusedLibrary = "msimg32.dll";
constexpr const char* kOtherUnusedLibrary = "dciman32.dll";

bool IsLoaded(const char* name) { return GetModuleHandleA(name) != nullptr; }

using GetCurrentProcessIdFn = DWORD(WINAPI*)();

TEST(LibraryTest, FindsAnExportTypedAndAMissingOneAsNull) {
  base::Library kernel("kernel32.dll");
  ASSERT_TRUE(kernel);
  EXPECT_EQ(GetModuleHandleA("kernel32.dll"), kernel.Get());
  auto processId = kernel.Find<GetCurrentProcessIdFn>("GetCurrentProcessId");
  ASSERT_NE(nullptr, processId);
  EXPECT_EQ(GetCurrentProcessId(), processId());
  EXPECT_EQ(nullptr, kernel.Find<GetCurrentProcessIdFn>("NoSuchExportAnywhere"));

  // The wide load reaches the same module.
  base::Library wide(L"kernel32.dll");
  EXPECT_EQ(kernel.Get(), wide.Get());
}

TEST(LibraryTest, ABorrowedModuleIsSearchedWithoutAnOwner) {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  ASSERT_NE(nullptr, kernel);
  auto processId = base::FindExport<GetCurrentProcessIdFn>(kernel, "GetCurrentProcessId");
  ASSERT_NE(nullptr, processId);
  EXPECT_EQ(GetCurrentProcessId(), processId());
  EXPECT_EQ(nullptr, base::FindExport<GetCurrentProcessIdFn>(nullptr, "GetCurrentProcessId"));
}

TEST(LibraryTest, AFailedLoadHoldsNothingAndFindsNothing) {
  struct Case {
    const char* what;
    base::Library (*load)();
  };
  const Case cases[] = {
      {"narrow constructor", [] { return base::Library("no-such-library-anywhere.dll"); }},
      {"wide constructor", [] { return base::Library(L"no-such-library-anywhere.dll"); }},
      {"narrow Load",
       [] {
         base::Library library;
         EXPECT_FALSE(library.Load("no-such-library-anywhere.dll"));
         EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
         return library;
       }},
      {"wide Load",
       [] {
         base::Library library;
         EXPECT_FALSE(library.Load(L"no-such-library-anywhere.dll"));
         EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
         return library;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    base::Library library = c.load();
    EXPECT_FALSE(library);
    EXPECT_EQ(nullptr, library.Get());
    EXPECT_EQ(nullptr, library.Find<GetCurrentProcessIdFn>("GetCurrentProcessId"));
  }
}

TEST(LibraryTest, TheModuleGoesAtTheEndOfTheScopeOrOnFree) {
  ASSERT_FALSE(IsLoaded(kUnusedLibrary));
  {
    base::Library library(kUnusedLibrary);
    ASSERT_TRUE(library);
    EXPECT_TRUE(IsLoaded(kUnusedLibrary));
  }
  EXPECT_FALSE(IsLoaded(kUnusedLibrary));

  base::Library library;
  ASSERT_TRUE(library.Load(kUnusedLibrary));
  library.Free();
  EXPECT_FALSE(library);
  EXPECT_FALSE(IsLoaded(kUnusedLibrary));
  library.Free();  // nothing held: nothing to give back
  EXPECT_FALSE(IsLoaded(kUnusedLibrary));
}

TEST(LibraryTest, LoadingAgainFreesTheModuleHeldBefore) {
  ASSERT_FALSE(IsLoaded(kUnusedLibrary));
  ASSERT_FALSE(IsLoaded(kOtherUnusedLibrary));
  base::Library library(kUnusedLibrary);
  ASSERT_TRUE(library.Load(kOtherUnusedLibrary));
  EXPECT_FALSE(IsLoaded(kUnusedLibrary));
  EXPECT_TRUE(IsLoaded(kOtherUnusedLibrary));
  // A failed load leaves nothing held, not the old module.
  EXPECT_FALSE(library.Load("no-such-library-anywhere.dll"));
  EXPECT_FALSE(IsLoaded(kOtherUnusedLibrary));
}

TEST(LibraryTest, MovingHandsTheOneReferenceOn) {
  ASSERT_FALSE(IsLoaded(kUnusedLibrary));
  ASSERT_FALSE(IsLoaded(kOtherUnusedLibrary));
  base::Library first(kUnusedLibrary);
  const HMODULE module = first.Get();
  ASSERT_NE(nullptr, module);

  base::Library second(std::move(first));
  EXPECT_FALSE(first);
  EXPECT_EQ(module, second.Get());
  first.Free();
  EXPECT_TRUE(IsLoaded(kUnusedLibrary));

  // Assigning frees what the target held and takes the other's module.
  base::Library third(kOtherUnusedLibrary);
  third = std::move(second);
  EXPECT_FALSE(IsLoaded(kOtherUnusedLibrary));
  EXPECT_EQ(module, third.Get());
  EXPECT_FALSE(second);
  // Assigning an owner to itself keeps the module.
  base::Library& same = third;
  third = std::move(same);
  EXPECT_EQ(module, third.Get());
  EXPECT_TRUE(IsLoaded(kUnusedLibrary));

  third.Free();
  EXPECT_FALSE(IsLoaded(kUnusedLibrary));
}

TEST(LibraryTest, DetachAndAttachPassTheReferenceWithoutFreeing) {
  ASSERT_FALSE(IsLoaded(kUnusedLibrary));
  HMODULE module = nullptr;
  {
    base::Library library(kUnusedLibrary);
    module = library.Detach();
    EXPECT_FALSE(library);
  }
  ASSERT_NE(nullptr, module);
  EXPECT_TRUE(IsLoaded(kUnusedLibrary));
  {
    base::Library adopted;
    adopted.Attach(module);
    EXPECT_EQ(module, adopted.Get());
  }
  EXPECT_FALSE(IsLoaded(kUnusedLibrary));
}

}  // namespace
