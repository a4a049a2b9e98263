// What the tests of the module's skinned frames share under Xvfb: GDI+ and
// the default skin for the whole program, and the frame of each test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ShippedSkin.h"
#include "ui/CProfileHelper.h"
#include "ui/CSkinManager.h"
#include "ui/GdiplusSession.h"
#include "ui/IPlayerHost.h"

template <typename Frame>
class FrameFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    gdiplus_ = new GdiplusSession();
    LoadShippedSkin();
  }
  static void TearDownTestSuite() {
    delete gdiplus_;
    gdiplus_ = nullptr;
  }
  void TearDown() override { frame_.reset(); }

  static inline GdiplusSession* gdiplus_ = nullptr;
  std::unique_ptr<Frame> frame_;
};
