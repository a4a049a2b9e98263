#pragma once
// The players' tests: the sound library on its manual clock, small audio
// files written by the test, and a message-only window that collects what
// the media-file helper posts.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "fmod.h"
#include "playback/IMediaPlayer.h"
#include "testsupport/TempDir.h"
#include "testsupport/WavBuilder.h"

namespace playbacktest {

class ManualClock : public ::testing::Test {
 protected:
  void SetUp() override {
    MelFmod_SetManualClock(1);
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    MelFmod_SetCapture(1);
  }
  void TearDown() override { FSOUND_Close(); }
};

// A 16-bit stereo WAV of ms milliseconds of a quiet tone.
inline std::string ToneWav(const testsupport::TempDir& dir, const char* name, int ms) {
  testsupport::WavSpec spec;
  std::vector<float> tone = testsupport::Sine(440, 0.2, 44100, size_t(44100) * ms / 1000, 2);
  std::vector<uint8_t> bytes = testsupport::WavFile(spec, testsupport::WavSamples(spec, tone));
  std::string path = dir.File(name);
  FILE* file = std::fopen(path.c_str(), "wb");
  EXPECT_NE(file, nullptr) << path;
  if (!file) return path;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  return path;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  EXPECT_NE(file, nullptr) << path;
  if (!file) return;
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

// Records a stream's events.
struct EventLog : IMediaListener {
  std::vector<int> events;
  std::vector<int> ticks, times;
  void OnPlayerEvent(int code) override { events.push_back(code); }
  void OnPlayTime(int ms) override { times.push_back(ms); }
  void OnPlayTick(int ms) override { ticks.push_back(ms); }
};

// Records the owner's notifications.
struct NotifyLog : IPlaybackNotify {
  std::vector<int> positions;
  std::vector<std::vector<int>> beats;
  int ends = 0;
  void OnPosition(int ms) override { positions.push_back(ms); }
  void OnBeat(int beat, int beatsPerBar, int extra) override { beats.push_back({beat, beatsPerBar, extra}); }
  void OnSongEnd() override { ++ends; }
};

// A hidden message-only window and what was posted to it.
class MessageSink {
 public:
  MessageSink() {
    window_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  }
  ~MessageSink() { DestroyWindow(window_); }
  HWND Window() const { return window_; }
  struct Posted {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  std::vector<Posted> Take() {
    std::vector<Posted> out;
    MSG msg;
    while (PeekMessageA(&msg, window_, WM_USER, WM_USER + 200, PM_REMOVE))
      out.push_back(Posted{msg.message, msg.wParam, msg.lParam});
    return out;
  }

 private:
  HWND window_;
};

}  // namespace playbacktest
