// A view attached to the real lyric controller (Cantomere.dll) on a fake song
// engine's clock: tests hand it the song's lyric events.
#pragma once

#include <cantomere/Cantomere.h>

#include "LyricFixtures.h"
#include "ViewFixture.h"

class ControllerFixture : public ViewFixture {
 protected:
  void SetUp() override {
    ViewFixture::SetUp();
    lyrics_ = CreateCantomereInstance(1);
    buffer_ = CreateLyricBufferInstance(1);
    ASSERT_TRUE(lyrics_ && buffer_);
    lyrics_->SetEngine(&engine_);
  }
  void TearDown() override {
    if (lyrics_) {
      lyrics_->DetachView(1, view_);
      lyrics_->Release();
    }
    if (buffer_) buffer_->Release();
    ViewFixture::TearDown();
  }
  // The song's lyric events go to the controller, which shows them in the view.
  void Attach(const MetaEvents& events) {
    buffer_->AddLyrics(1, events.data(), events.size());
    lyrics_->SetLyrics(buffer_->GetLyricData());
    lyrics_->AttachView(1, view_);
  }

  FakeSongEngine engine_;
  ICantomereLyrics* lyrics_ = nullptr;
  ICantomereLyricBuffer* buffer_ = nullptr;
};
