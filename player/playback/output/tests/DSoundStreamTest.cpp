// The DirectSound thread, streams and output device against a scripted device:
// the service pass is driven one pass at a time, the play cursor moved by hand.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "FakeDirectSound.h"
#include "output/CDSoundOutput.h"
#include "output/CDSoundThread.h"
#include "output/DSoundApi.h"
#include "output/OutputGlobals.h"
#include "testsupport/WaitUntil.h"

namespace {

FakeDirectSound* g_fake = nullptr;
bool g_createFails = false;
int g_creates = 0;
GUID g_lastDevice{};
bool g_lastHadDevice = false;

HRESULT WINAPI FakeCreate(LPCGUID device, LPDIRECTSOUND* out, LPUNKNOWN) {
  ++g_creates;
  g_lastHadDevice = device != nullptr;
  if (device != nullptr) g_lastDevice = *device;
  if (g_createFails) return DSERR_NODRIVER;
  g_fake->AddRef();
  *out = g_fake;
  return DS_OK;
}

class DSoundTest : public testing::Test {
 protected:
  void SetUp() override {
    g_fake = &fake;
    g_createFails = false;
    g_creates = 0;
    saved = DirectSoundCreateHook();
    DirectSoundCreateHook() = &FakeCreate;
  }
  void TearDown() override { DirectSoundCreateHook() = saved; }

  // 44.1 kHz 16-bit stereo: 176,400 bytes a second.
  static DSoundStreamParams Cd(int bufferMs = 2000) {
    DSoundStreamParams params;
    params.rate = 44100;
    params.channels = 2;
    params.bits = 16;
    params.bufferMs = bufferMs;
    return params;
  }
  static bool WriteTone(CDSoundStream* stream, int bytes) {
    std::vector<unsigned char> data(bytes, 0x11);
    return stream->Write(data.data(), bytes);
  }

  FakeDirectSound fake;
  DirectSoundCreateFn saved = nullptr;
};

TEST_F(DSoundTest, ByteFiguresFollowTheFormatAndBufferLength) {
  CDSoundThread thread(nullptr, true);
  struct Case {
    int bufferMs, maxQueued, bufferBytes, startThreshold, pad, chunk;
  } cases[] = {
      {2000, 352800, 705600, 176400, 8820, 176400},
      {3000, 529200, 882000, 264600, 8820, 176400},  // 3000 ms -> a 5000 ms buffer
      {1000, 176400, 352800, 88200, 8820, 88200},
  };
  for (const Case& c : cases) {
    CDSoundStream* stream = thread.CreateStream(Cd(c.bufferMs), 0);
    ASSERT_NE(nullptr, stream);
    EXPECT_EQ(c.maxQueued, stream->MaxQueued()) << c.bufferMs;
    EXPECT_EQ(c.bufferBytes, stream->BufferBytes()) << c.bufferMs;
    EXPECT_EQ(c.startThreshold, stream->StartThreshold()) << c.bufferMs;
    EXPECT_EQ(c.pad, stream->UnderrunPad()) << c.bufferMs;
    EXPECT_EQ(c.chunk, stream->SilenceChunk()) << c.bufferMs;
    EXPECT_EQ(44100, stream->Bytes(250));  // the default ring
  }
  EXPECT_TRUE(thread.ServicePass());
  ASSERT_EQ(3u, fake.buffers.size());
  EXPECT_EQ(705600u, fake.buffers[0]->bytes.size());
  EXPECT_EQ(static_cast<DWORD>(DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS | DSBCAPS_STICKYFOCUS |
                               DSBCAPS_CTRLVOLUME),
            fake.buffers[0]->flags);
  EXPECT_EQ(4, fake.buffers[0]->format.nBlockAlign);
  EXPECT_EQ(0, fake.buffers[0]->bytes[1000]);  // cleared to silence
  EXPECT_EQ(static_cast<DWORD>(DSSCL_PRIORITY), fake.cooperativeLevel);
  EXPECT_EQ(nullptr, thread.CreateStream(DSoundStreamParams(), 0));  // no format
}

TEST_F(DSoundTest, PlaybackStartsAfterASecondQueuedOrAtOnceAfterDrain) {
  CDSoundThread thread(nullptr, true);
  CDSoundStream* stream = thread.CreateStream(Cd(), 300000);
  ASSERT_TRUE(WriteTone(stream, 100000));
  EXPECT_TRUE(thread.ServicePass());
  EXPECT_FALSE(stream->IsActive());
  ASSERT_TRUE(WriteTone(stream, 80000));  // 180,000 > 176,400
  EXPECT_TRUE(thread.ServicePass());
  EXPECT_TRUE(stream->IsActive());
  EXPECT_TRUE(fake.buffers[0]->playing);
  EXPECT_EQ(0x11, fake.buffers[0]->bytes[179999]);
  EXPECT_EQ(0, fake.buffers[0]->bytes[180000]);

  CDSoundStream* drained = thread.CreateStream(Cd(), 0);
  ASSERT_TRUE(WriteTone(drained, 1000));
  EXPECT_TRUE(thread.ServicePass());
  EXPECT_FALSE(drained->IsActive());
  EXPECT_TRUE(drained->Drain());
  EXPECT_TRUE(thread.ServicePass());
  EXPECT_TRUE(drained->IsActive());
}

TEST_F(DSoundTest, PlayedTimeFollowsTheCursorAndARunawayCursorIsResynced) {
  CDSoundThread thread(nullptr, true);
  CDSoundStream* stream = thread.CreateStream(Cd(), 200000);
  ASSERT_TRUE(WriteTone(stream, 176400));
  ASSERT_TRUE(thread.ServicePass());
  FakeSoundBuffer* buffer = fake.buffers[0];
  ASSERT_TRUE(stream->IsActive());
  buffer->Advance(88200);
  ASSERT_TRUE(thread.ServicePass());
  EXPECT_DOUBLE_EQ(0.5, stream->GetPlayedSeconds());
  EXPECT_EQ(88200, stream->GetBufferedBytes());

  // A cursor far beyond the written data counts everything as played and is
  // put back where the stream writes.
  buffer->playCursor = 600000;
  ASSERT_TRUE(WriteTone(stream, 17640));
  ASSERT_TRUE(thread.ServicePass());
  EXPECT_EQ(1, buffer->resyncs);
  EXPECT_DOUBLE_EQ(1.0, stream->GetPlayedSeconds());
}

TEST_F(DSoundTest, AnEmptiedStreamIsFlushedAndKeptAFadingOneDeletedAndTheThreadEnds) {
  CDSoundThread thread(nullptr, true);
  CDSoundStream* stream = thread.CreateStream(Cd(), 0);
  ASSERT_TRUE(WriteTone(stream, 17640));
  stream->Drain();
  ASSERT_TRUE(thread.ServicePass());
  FakeSoundBuffer* buffer = fake.buffers[0];
  ASSERT_TRUE(stream->IsActive());
  buffer->Advance(17640 - 1000);  // close to the end, with nothing more to come
  ASSERT_TRUE(thread.ServicePass());
  EXPECT_EQ(1000, stream->GetBufferedBytes());  // no silence skipped in front of nothing
  EXPECT_EQ(0, stream->Underruns());
  buffer->Advance(1000);  // all played
  ASSERT_TRUE(thread.ServicePass());
  EXPECT_FALSE(stream->IsActive());  // flushed, waiting for more
  EXPECT_FALSE(buffer->playing);
  EXPECT_EQ(1, thread.StreamCount());

  ASSERT_TRUE(WriteTone(stream, 17640));
  stream->Drain();
  ASSERT_TRUE(thread.ServicePass());
  stream->FadeOutAndRelease(0.05);
  buffer->Advance(17640);
  bool released = false;
  buffer->released = &released;
  EXPECT_FALSE(thread.ServicePass());  // the last stream went: the worker would end
  EXPECT_TRUE(released);
  EXPECT_EQ(0, thread.StreamCount());
  EXPECT_EQ(1, fake.refs);  // the device was let go too
}

TEST_F(DSoundTest, VolumeBecomesHundredthsOfADecibelWithinTheDeviceRange) {
  struct Case {
    double volume;
    LONG level;
  } cases[] = {{1.0, 0}, {0.5, -602}, {0.0, -10000}, {-1.0, -10000}, {2.0, 0}, {1e-9, -10000}};
  for (const Case& c : cases) EXPECT_EQ(c.level, CDSoundStream::VolumeToLevel(c.volume)) << c.volume;

  CDSoundThread thread(nullptr, true);
  CDSoundStream* stream = thread.CreateStream(Cd(), 0);
  stream->SetVolume(3.0);
  ASSERT_TRUE(thread.ServicePass());
  EXPECT_EQ(0, fake.buffers[0]->volume);
  stream->SetVolume(0.5);
  ASSERT_TRUE(thread.ServicePass());
  EXPECT_EQ(-602, fake.buffers[0]->volume);
}

// Plays n bytes: moves the cursor on and runs a pass.
void Play(CDSoundThread& thread, FakeSoundBuffer* buffer, DWORD n) {
  buffer->Advance(n);
  ASSERT_TRUE(thread.ServicePass());
}

TEST_F(DSoundTest, CloseFadesLastHalfASecondAtMost) {
  CDSoundThread thread(nullptr, true);
  CDSoundStream* stream = thread.CreateStream(Cd(), 352800);
  ASSERT_TRUE(WriteTone(stream, 352800));
  ASSERT_TRUE(thread.ServicePass());
  FakeSoundBuffer* buffer = fake.buffers[0];
  stream->FadeOutAndRelease(2.0);
  Play(thread, buffer, 44100);  // 0.25 s
  EXPECT_NEAR(0.5, stream->CurrentVolume(), 1e-9);
  buffer->Advance(44100 + 4);
  EXPECT_FALSE(thread.ServicePass());
  EXPECT_EQ(0, thread.StreamCount());
}

TEST_F(DSoundTest, APauseFadeNeverOutlastsTheBufferAndResumingReturnsToTheLevel) {
  CDSoundThread thread(nullptr, true);
  CDSoundStream* stream = thread.CreateStream(Cd(), 352800);
  stream->SetVolume(0.8);
  ASSERT_TRUE(WriteTone(stream, 35280));  // 0.2 s buffered
  stream->Drain();
  ASSERT_TRUE(thread.ServicePass());
  FakeSoundBuffer* buffer = fake.buffers[0];
  ASSERT_TRUE(stream->FadePause(1.0, true));  // lowered to 0.2 s
  Play(thread, buffer, 17640);
  EXPECT_NEAR(0.4, stream->CurrentVolume(), 1e-9);
  EXPECT_TRUE(stream->FadePause(1.0, true));  // already fading to pause: no change
  Play(thread, buffer, 17640);
  ASSERT_TRUE(thread.ServicePass());
  EXPECT_TRUE(stream->Paused());
  EXPECT_FALSE(buffer->playing);
  EXPECT_TRUE(stream->FadePause(0.2, true));  // already paused: the level to return to stays 0.8

  // Resume after the fade ended: 0.0 back up to 0.8 over the whole time.
  ASSERT_TRUE(WriteTone(stream, 176400));
  ASSERT_TRUE(stream->FadePause(0.2, false));
  ASSERT_TRUE(thread.ServicePass());
  EXPECT_TRUE(buffer->playing);
  // The buffer had run dry: the data went in after 50 ms of silence, which
  // does not count as played.
  Play(thread, buffer, 8820 + 17640);
  EXPECT_NEAR(0.4, stream->CurrentVolume(), 1e-9);
  Play(thread, buffer, 17640);
  EXPECT_NEAR(0.8, stream->CurrentVolume(), 1e-9);

  // Resume halfway down: back to 0.8 in half the time.
  ASSERT_TRUE(stream->FadePause(0.2, true));
  Play(thread, buffer, 17640);
  EXPECT_NEAR(0.4, stream->CurrentVolume(), 1e-9);
  ASSERT_TRUE(stream->FadePause(0.2, false));
  Play(thread, buffer, 8820);
  EXPECT_NEAR(0.6, stream->CurrentVolume(), 1e-9);
  Play(thread, buffer, 8824);
  EXPECT_NEAR(0.8, stream->CurrentVolume(), 1e-9);
  EXPECT_FALSE(stream->Paused());
}

TEST_F(DSoundTest, ALostBufferIsRestoredAndOneThatCannotBeFailsTheStream) {
  CDSoundThread thread(nullptr, true);
  CDSoundStream* stream = thread.CreateStream(Cd(), 0);
  ASSERT_TRUE(thread.ServicePass());
  FakeSoundBuffer* buffer = fake.buffers[0];
  buffer->status = DSBSTATUS_BUFFERLOST;
  ASSERT_TRUE(thread.ServicePass());
  EXPECT_EQ(1, buffer->restores);
  EXPECT_FALSE(stream->Failed());
  buffer->status = DSBSTATUS_BUFFERLOST;
  buffer->restoreFails = true;
  ASSERT_TRUE(thread.ServicePass());
  EXPECT_TRUE(stream->Failed());
  EXPECT_EQ(0, stream->GetFreeSpace());
  EXPECT_FALSE(stream->SetVolume(0.5));

  fake.failBuffers = true;
  CDSoundStream* unbuffered = thread.CreateStream(Cd(), 0);
  EXPECT_GT(unbuffered->GetFreeSpace(), 0);
  ASSERT_TRUE(thread.ServicePass());
  EXPECT_TRUE(unbuffered->Failed());
  EXPECT_EQ(0, unbuffered->GetFreeSpace());
}

TEST_F(DSoundTest, AWorkerWithoutADeviceFailsItsStreamsAndTheNextStreamTriesAgain) {
  g_createFails = true;
  CDSoundThread thread(GetDesktopWindow());
  CDSoundStream* first = thread.CreateStream(Cd(), 0);
  ASSERT_NE(nullptr, first);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !thread.Running(); }, 5000));
  EXPECT_TRUE(first->Failed());
  EXPECT_EQ(0, first->GetFreeSpace());

  g_createFails = false;
  CDSoundStream* second = thread.CreateStream(Cd(), 0);
  ASSERT_TRUE(WriteTone(second, 1000));
  second->Drain();
  EXPECT_TRUE(testsupport::WaitUntil([&] { return second->IsActive(); }, 5000));
  EXPECT_EQ(2, g_creates);
  // A failed cooperative level fails the same way.
  fake.failCooperativeLevel = true;
  CDSoundThread other(GetDesktopWindow());
  CDSoundStream* third = other.CreateStream(Cd(), 0);
  ASSERT_TRUE(testsupport::WaitUntil([&] { return !other.Running(); }, 5000));
  EXPECT_TRUE(third->Failed());
}

TEST_F(DSoundTest, TheOutputFadesInOnFirstOpenAndAfterACloseWithFadeOnly) {
  MainWindowFn savedWindow = MainWindowProvider();
  MainWindowProvider() = [] { return GetDesktopWindow(); };
  {
    CDSoundOutput output;
    EXPECT_EQ(0, output.GetFreeSpace());  // closed
    EXPECT_EQ(&output, g_outputList.Get(g_outputList.Count() - 1));
    ASSERT_TRUE(output.Open(44100, 16, 2, 0, 0));
    EXPECT_TRUE(output.Stream()->Fading());
    EXPECT_FALSE(g_lastHadDevice);  // "output_device" all zero: the default device
    output.ReleaseStream();
    ASSERT_TRUE(output.Open(44100, 16, 2, 0, 0));
    EXPECT_FALSE(output.Stream()->Fading());
    ASSERT_TRUE(output.Open(22050, 16, 1, 0, 0));  // cuts the open one without a fade
    EXPECT_FALSE(output.Stream()->Fading());
    EXPECT_GT(output.GetFreeSpace(), 0);
    EXPECT_TRUE(output.CloseWithFade());
    EXPECT_TRUE(output.CloseWithFade());  // also without a stream
    ASSERT_TRUE(output.Open(44100, 16, 2, 0, 0));
    EXPECT_TRUE(output.Stream()->Fading());
    output.ReleaseStream();
  }
  EXPECT_EQ(0, g_outputList.Count());
  ASSERT_TRUE(testsupport::WaitUntil([] { return g_dsoundThread->StreamCount() == 0; }, 5000));
  MainWindowProvider() = savedWindow;
}

}  // namespace
