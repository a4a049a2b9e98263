#pragma once
// A karaoke view on a hidden window, with a crisp font (no smoothing, so
// pixels are exactly the text or highlight colour) and GDI+ started.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "FakeLyricSource.h"
#include "lyrics/CLyricView.h"
#include "ui/GdiplusSession.h"

inline HFONT CrispFont(int height = 20) {
  return ::CreateFontA(-height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Arial");
}

struct Invalidation {
  RECT rect;
  bool erase;
};

class ViewFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ =
        ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    view_ = static_cast<CLyricView*>(CreateLyricView());
    ASSERT_NE(view_, nullptr);
    view_->SetWindow(window_);
    RECT rect = {0, 0, 400, 300};
    view_->SetRect(&rect);
    view_->SetFont(CrispFont());
    view_->SetInvalidateObserver(
        [](void* context, const RECT& r, bool erase) {
          static_cast<ViewFixture*>(context)->invalidated_.push_back({r, erase});
        },
        this);
  }
  void TearDown() override {
    if (view_) view_->Release();
    if (window_) ::DestroyWindow(window_);
  }
  // Loads the fake's tokens into the view, as the controller does.
  void Load() {
    view_->SetLyricSource(&source_);
    view_->LoadFromSong();
    invalidated_.clear();
  }
  void Tick(int times = 1) {
    for (int i = 0; i < times; ++i) view_->OnWndMessage(WM_TIMER, CLyricView::kTimerId, 0);
  }

  GdiplusSession gdiplus_;
  HWND window_ = nullptr;
  CLyricView* view_ = nullptr;
  FakeLyricSource source_;
  std::vector<Invalidation> invalidated_;
};
