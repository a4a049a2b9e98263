// HTTP MP3 streams against the loopback server the test's script starts.
#include <windows.h>

#include <atomic>
#include <string>

#include "FmodTestUtil.h"
#include "testsupport/WaitUntil.h"

namespace fmodtest {
namespace {

std::string Server() {
  char value[256] = {};
  GetEnvironmentVariableA("FMOD_TEST_SERVER", value, sizeof value);
  return value;
}

class NetStream : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Server().empty()) GTEST_SKIP() << "run through run-net-tests.sh";
    SetEnvironmentVariableA("MELODARA_AUDIO", "silent");
    MelFmod_SetManualClock(0);
    ASSERT_TRUE(FSOUND_Init(kRate, 32, 0));
  }
  void TearDown() override { FSOUND_Close(); }
};

int Status(FSOUND_STREAM* stream) {
  int status = -1;
  FSOUND_Stream_Net_GetStatus(stream, &status, nullptr, nullptr, nullptr);
  return status;
}

std::atomic<int> g_ends{0};
signed char CountEnd(FSOUND_STREAM*, void*, int, void*) {
  ++g_ends;
  return 0;
}

TEST_F(NetStream, AStreamConnectsBuffersAndPlays) {
  // Backslashes are taken for slashes; the open never waits for the network.
  std::string url = Server() + "/tone.mp3";
  url.replace(4, 3, ":\\\\");
  DWORD start = GetTickCount();
  FSOUND_STREAM* stream = FSOUND_Stream_Open(url.c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
  ASSERT_NE(stream, nullptr);
  EXPECT_LT(GetTickCount() - start, 1000u) << "a busy machine aside, the open returns at once";
  // Accepted while still on its way; it sounds once ready.
  ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, stream), 0);
  ASSERT_TRUE(
      testsupport::WaitUntil([&] { return FSOUND_Stream_GetOpenState(stream) == FSOUND_OPEN_READY; }, 10000));
  EXPECT_EQ(Status(stream), FSOUND_STREAM_NET_READY);
  EXPECT_EQ(FSOUND_Stream_GetLengthMs(stream), 0);
  EXPECT_FALSE(FSOUND_Stream_SetTime(stream, 1000)) << "a net stream cannot be positioned";
  EXPECT_TRUE(testsupport::WaitUntil([&] { return FSOUND_Stream_GetTime(stream) >= 300; }, 10000));
  EXPECT_TRUE(FSOUND_Stream_Close(stream));
}

TEST_F(NetStream, ErrorsAndNonSoundFailTheOpen) {
  for (const char* path : {"/missing.mp3", "/text"}) {
    FSOUND_STREAM* stream =
        FSOUND_Stream_Open((Server() + path).c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
    ASSERT_NE(stream, nullptr);
    EXPECT_TRUE(testsupport::WaitUntil(
        [&] { return FSOUND_Stream_GetOpenState(stream) == FSOUND_OPEN_FAILED; }, 10000))
        << path;
    EXPECT_EQ(Status(stream), FSOUND_STREAM_NET_ERROR) << path;
    EXPECT_EQ(FSOUND_Stream_Play(FSOUND_FREE, stream), -1) << path;
    FSOUND_Stream_Close(stream);
  }
  FSOUND_STREAM* nobody =
      FSOUND_Stream_Open("http://127.0.0.1:1/x.mp3", FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return FSOUND_Stream_GetOpenState(nobody) == FSOUND_OPEN_FAILED; },
                                     15000));
}

TEST_F(NetStream, ALostConnectionIsAnErrorAndTheStreamStops) {
  g_ends = 0;
  FSOUND_STREAM* stream =
      FSOUND_Stream_Open((Server() + "/drop.mp3").c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
  FSOUND_Stream_SetEndCallback(stream, CountEnd, nullptr);
  int channel = FSOUND_Stream_Play(FSOUND_FREE, stream);
  ASSERT_GE(channel, 0);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return Status(stream) == FSOUND_STREAM_NET_ERROR; }, 10000));
  // What arrived plays out (about 1.5 s), then the stream ends.
  EXPECT_TRUE(testsupport::WaitUntil([&] { return g_ends > 0; }, 10000));
  EXPECT_FALSE(FSOUND_SetVolume(channel, 10)) << "the channel is gone";
  FSOUND_Stream_Close(stream);
}

// Close never waits for the server, and a server that stops answering fails
// the stream after the time-out. The bounds are generous: a Close that
// waited for the server took minutes.
TEST_F(NetStream, AServerThatStopsAnsweringFailsTheStreamAndNeverHoldsClose) {
  g_ends = 0;
  FSOUND_STREAM* held =
      FSOUND_Stream_Open((Server() + "/hold.mp3").c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
  FSOUND_STREAM* silent =
      FSOUND_Stream_Open((Server() + "/silent").c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
  FSOUND_Stream_SetEndCallback(held, CountEnd, nullptr);
  ASSERT_GE(FSOUND_Stream_Play(FSOUND_FREE, held), 0);
  ASSERT_TRUE(
      testsupport::WaitUntil([&] { return FSOUND_Stream_GetOpenState(held) == FSOUND_OPEN_READY; }, 10000));
  EXPECT_EQ(FSOUND_Stream_GetOpenState(silent), FSOUND_OPEN_CONNECTING);
  // Streams closed while connecting, and while the read waits, return at once.
  for (const char* path : {"/hold.mp3", "/silent"}) {
    FSOUND_STREAM* stream =
        FSOUND_Stream_Open((Server() + path).c_str(), FSOUND_NORMAL | FSOUND_NONBLOCKING, 0, 0);
    if (path[1] == 'h') {
      ASSERT_TRUE(testsupport::WaitUntil(
          [&] { return FSOUND_Stream_GetOpenState(stream) == FSOUND_OPEN_READY; }, 10000));
    }
    Sleep(300);
    DWORD start = GetTickCount();
    EXPECT_TRUE(FSOUND_Stream_Close(stream)) << path;
    EXPECT_LT(GetTickCount() - start, 5000u) << path;
  }
  // The time-outs (10 s) pass: the connect fails the open, the read fails
  // the playing stream, which plays out what arrived and ends.
  EXPECT_TRUE(testsupport::WaitUntil([&] { return FSOUND_Stream_GetOpenState(silent) == FSOUND_OPEN_FAILED; },
                                     30000));
  EXPECT_EQ(Status(silent), FSOUND_STREAM_NET_ERROR);
  EXPECT_TRUE(testsupport::WaitUntil([&] { return Status(held) == FSOUND_STREAM_NET_ERROR; }, 30000));
  EXPECT_TRUE(testsupport::WaitUntil([&] { return g_ends > 0; }, 10000));
  for (FSOUND_STREAM* stream : {held, silent}) {
    DWORD start = GetTickCount();
    EXPECT_TRUE(FSOUND_Stream_Close(stream));
    EXPECT_LT(GetTickCount() - start, 5000u);
  }
}

}  // namespace
}  // namespace fmodtest
