// What the tests of the tool frames share: the shipped skin, a settings file
// of the test's own, the recording owner and player host.
#pragma once

#include <windows.h>

#include <fstream>
#include <string>

#include "FakeOwner.h"
#include "FakePlayerHost.h"
#include "SkinFixture.h"
#include "ShippedSkin.h"
#include "ui/CProfileHelper.h"
#include "ui/CSkinManager.h"

inline std::string SettingsPath() {
  std::string path;
  CProfileHelper::GetIniFilePath(path);
  return path;
}

class WindowFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { LoadShippedSkin(); }
  void SetUp() override { ::DeleteFileA(SettingsPath().c_str()); }
  void TearDown() override { ::DeleteFileA(SettingsPath().c_str()); }
  // The settings file beside the test program holds text.
  static void WriteSettings(const std::string& text) { std::ofstream(SettingsPath()) << text; }

  FakeOwnerWnd owner;
  FakePlayerHost host{owner.m_hWnd};
};
