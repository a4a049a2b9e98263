#include <gtest/gtest.h>

#include <windows.h>

#include "base/GdiHandles.h"
#include "base/Handles.h"
#include "testsupport/TempDir.h"

namespace {

TEST(HandlesTest, GdiOwnersKeepTheLiveCountExact) {
  const long before = base::GdiLiveHandleCount();
  {
    base::GdiPen pen(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
    base::GdiBrush brush(CreateSolidBrush(RGB(4, 5, 6)));
    base::ScopedMemoryDC dc;
    ASSERT_TRUE(pen && brush && dc.Get());
    EXPECT_EQ(before + 3, base::GdiLiveHandleCount());
    // Replacing deletes the old object; detaching hands it over uncounted.
    pen.Attach(CreatePen(PS_SOLID, 2, RGB(1, 2, 3)));
    EXPECT_EQ(before + 3, base::GdiLiveHandleCount());
    HBRUSH raw = brush.Detach();
    EXPECT_EQ(before + 2, base::GdiLiveHandleCount());
    EXPECT_TRUE(DeleteObject(raw));
  }
  EXPECT_EQ(before, base::GdiLiveHandleCount());
}

TEST(HandlesTest, ASelectionIsUndoneAtTheEndOfItsScope) {
  base::ScopedMemoryDC dc;
  base::GdiPen pen(CreatePen(PS_SOLID, 3, RGB(9, 9, 9)));
  HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_PEN);
  {
    base::ScopedSelect select(dc.Get(), pen.Get());
    EXPECT_EQ(pen.Get(), GetCurrentObject(dc.Get(), OBJ_PEN));
    base::ScopedSelect nothing(dc.Get(), nullptr);  // a missing object selects nothing
    EXPECT_EQ(pen.Get(), GetCurrentObject(dc.Get(), OBJ_PEN));
  }
  EXPECT_EQ(original, GetCurrentObject(dc.Get(), OBJ_PEN));
}

TEST(HandlesTest, AFileHandleIsClosedOnTheWayOut) {
  testsupport::TempDir dir;
  const std::string path = dir.File("locked.bin");
  {
    base::ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file.Valid());
    // Opened without sharing: nobody else gets it while the owner lives.
    base::ScopedHandle second(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(second.Valid());
  }
  base::ScopedHandle again(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(again.Valid());
  EXPECT_TRUE(again.Close());
  EXPECT_FALSE(again.Valid());
}

TEST(HandlesTest, ARegistryKeyOwnerClosesItsKey) {
  base::RegKey key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\MelodaraBaseTest", 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr));
  ASSERT_TRUE(key);
  const DWORD value = 42;
  EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key.Get(), "v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                          sizeof value));
  key.Close();
  EXPECT_FALSE(key);
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\MelodaraBaseTest"));
}

}  // namespace
