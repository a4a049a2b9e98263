// The waveOut PCM stream against a scripted device: the test marks headers
// done and sets the position the device reports.
#include <gtest/gtest.h>

#include <vector>

#include "output/CWaveOutStream.h"

namespace {

struct FakeWaveOut {
  MMRESULT openResult = MMSYSERR_NOERROR;
  std::vector<WAVEHDR*> written;
  std::vector<std::vector<char>> chunks;  // what each header held when written
  int prepared = 0, unprepared = 0, resets = 0, pauses = 0, restarts = 0, closes = 0;
  DWORD position = 0;
  bool positionFails = false;
} g_device;

HWAVEOUT const kHandle = reinterpret_cast<HWAVEOUT>(0x1234);

MMRESULT WINAPI Open(LPHWAVEOUT out, UINT, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR, DWORD) {
  if (g_device.openResult == MMSYSERR_NOERROR) *out = kHandle;
  return g_device.openResult;
}
MMRESULT WINAPI Close(HWAVEOUT) { return ++g_device.closes, MMSYSERR_NOERROR; }
MMRESULT WINAPI Prepare(HWAVEOUT, LPWAVEHDR header, UINT) {
  header->dwFlags |= WHDR_PREPARED;
  return ++g_device.prepared, MMSYSERR_NOERROR;
}
MMRESULT WINAPI Unprepare(HWAVEOUT, LPWAVEHDR header, UINT) {
  header->dwFlags &= ~WHDR_PREPARED;
  return ++g_device.unprepared, MMSYSERR_NOERROR;
}
MMRESULT WINAPI Write(HWAVEOUT, LPWAVEHDR header, UINT) {
  g_device.written.push_back(header);
  g_device.chunks.emplace_back(header->lpData, header->lpData + header->dwBufferLength);
  return MMSYSERR_NOERROR;
}
MMRESULT WINAPI Reset(HWAVEOUT) { return ++g_device.resets, MMSYSERR_NOERROR; }
MMRESULT WINAPI Pause(HWAVEOUT) { return ++g_device.pauses, MMSYSERR_NOERROR; }
MMRESULT WINAPI Restart(HWAVEOUT) { return ++g_device.restarts, MMSYSERR_NOERROR; }
MMRESULT WINAPI GetPosition(HWAVEOUT, LPMMTIME time, UINT) {
  if (g_device.positionFails) return MMSYSERR_ERROR;
  time->wType = TIME_BYTES;
  time->u.cb = g_device.position;
  return MMSYSERR_NOERROR;
}

const WaveOutApi kFake = {&Open,  &Close, &Prepare, &Unprepare,  &Write,
                          &Reset, &Pause, &Restart, &GetPosition};

class WaveOutTest : public testing::Test {
 protected:
  void SetUp() override { g_device = FakeWaveOut(); }
  static std::vector<char> Bytes(int n, int first = 0) {
    std::vector<char> data(n);
    for (int i = 0; i < n; ++i) data[i] = static_cast<char>((first + i) * 7);
    return data;
  }
  static void MarkAllDone() {
    for (WAVEHDR* header : g_device.written) header->dwFlags |= WHDR_DONE;
  }
};

TEST_F(WaveOutTest, DefaultsGiveTheRingAndChunkSizes) {
  CWaveOutStream stream(kFake);
  WaveOutParams params;
  ASSERT_TRUE(stream.Open(params));
  EXPECT_EQ(176400, stream.RingSize());
  EXPECT_EQ(44100, stream.MaxChunk());
  EXPECT_EQ(11025, stream.LowChunk());
  EXPECT_EQ(176400, stream.GetFreeSpace());
  EXPECT_EQ(1, g_device.restarts);

  struct Case {
    int rate, channels, bits, bufferMs;
    int ring, maxChunk, lowChunk;
  } cases[] = {
      {8000, 1, 8, 10, 80, 256, 256},              // tiny ring: both chunks raised to 256
      {48000, 2, 16, 2000, 384000, 65536, 24000},  // maximum capped at 64 KiB
      {22050, 1, 16, 333, 14684, 3671, 917},       // 14,685 bytes rounded down to blocks
  };
  for (const Case& c : cases) {
    WaveOutParams p;
    p.rate = c.rate, p.channels = c.channels, p.bits = c.bits, p.bufferMs = c.bufferMs;
    ASSERT_TRUE(stream.Open(p));
    EXPECT_EQ(c.ring, stream.RingSize()) << c.rate;
    EXPECT_EQ(c.maxChunk, stream.MaxChunk()) << c.rate;
    EXPECT_EQ(c.lowChunk, stream.LowChunk()) << c.rate;
  }
}

TEST_F(WaveOutTest, AFailedOpenReportsWhyAndLeavesNothingOpen) {
  g_device.openResult = MMSYSERR_BADDEVICEID;
  CWaveOutStream stream(kFake);
  WaveOutParams params;
  EXPECT_FALSE(stream.Open(params));
  EXPECT_EQ(static_cast<MMRESULT>(MMSYSERR_BADDEVICEID), params.result);
  char byte = 0;
  EXPECT_EQ(0, stream.Write(&byte, 1));
  EXPECT_EQ(0, stream.GetPendingBytes());
  CWaveOutOutput output(kFake);
  EXPECT_FALSE(output.Open(44100, 16, 2));
  EXPECT_EQ(nullptr, output.Stream());
  EXPECT_FALSE(output.Write(&byte, 1));
  EXPECT_EQ(0, output.GetFreeSpace());
}

TEST_F(WaveOutTest, TheFirstChunkWaitsForTheLowChunkAndDrainSendsTheRestInWholeBlocks) {
  CWaveOutStream stream(kFake);
  WaveOutParams params;
  ASSERT_TRUE(stream.Open(params));
  std::vector<char> data = Bytes(11027);
  EXPECT_EQ(11025, stream.Write(data.data(), 11025));
  EXPECT_TRUE(g_device.written.empty());  // exactly the low chunk: not more
  EXPECT_EQ(2, stream.Write(data.data() + 11025, 2));
  ASSERT_EQ(1u, g_device.written.size());
  EXPECT_EQ(11024u, g_device.chunks[0].size());  // whole 4-byte blocks
  EXPECT_EQ(std::vector<char>(data.begin(), data.begin() + 11024), g_device.chunks[0]);
  EXPECT_EQ(3, stream.Buffered());

  std::vector<char> more = Bytes(1001, 5);
  stream.Write(more.data(), 1001);  // 1004 buffered: above the 256 minimum with a header in flight
  ASSERT_EQ(2u, g_device.written.size());
  EXPECT_EQ(1004u, g_device.chunks[1].size());
  stream.Write(more.data(), 7);
  stream.Drain();
  ASSERT_EQ(3u, g_device.written.size());
  EXPECT_EQ(4u, g_device.chunks[2].size());
  EXPECT_EQ(3, stream.Buffered());  // less than a block stays
  EXPECT_EQ(3, stream.HeadersInFlight());

  // Done headers are unprepared and reused; polling the free space finds them.
  MarkAllDone();
  EXPECT_EQ(176400 - 3, stream.GetFreeSpace());
  stream.Drain();
  EXPECT_EQ(3, g_device.unprepared);
  EXPECT_EQ(0, stream.InFlight());
  EXPECT_EQ(0, stream.HeadersInFlight());
}

TEST_F(WaveOutTest, AChunkCrossingTheRingsEndIsSentWholeFromTheSpillArea) {
  CWaveOutStream stream(kFake);
  WaveOutParams params;
  ASSERT_TRUE(stream.Open(params));
  std::vector<char> first = Bytes(170000);
  ASSERT_EQ(170000, stream.Write(first.data(), 170000));
  MarkAllDone();
  stream.Drain();
  EXPECT_EQ(0, stream.InFlight());
  std::vector<char> second = Bytes(40000, 3);
  ASSERT_EQ(40000, stream.Write(second.data(), 40000));
  stream.Drain();
  // The data written past the ring's end must reach the device in order.
  std::vector<char> sent;
  for (size_t i = 0; i < g_device.chunks.size(); ++i) {
    sent.insert(sent.end(), g_device.chunks[i].begin(), g_device.chunks[i].end());
  }
  std::vector<char> expected = first;
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(expected, sent);
  bool crossed = false;
  for (size_t i = 0; i < g_device.written.size(); ++i) {
    crossed |= g_device.chunks[i].size() > 176400 - 170000 && i > 0;
  }
  EXPECT_TRUE(crossed);
}

TEST_F(WaveOutTest, PauseTakesNothingAndFlushClearsIt) {
  CWaveOutStream stream(kFake);
  WaveOutParams params;
  ASSERT_TRUE(stream.Open(params));
  stream.Pause(true);
  EXPECT_EQ(1, g_device.pauses);
  char data[16] = {};
  EXPECT_EQ(0, stream.Write(data, 16));
  EXPECT_EQ(0, stream.GetFreeSpace());
  stream.Flush();
  EXPECT_EQ(1, g_device.resets);
  EXPECT_EQ(2, g_device.restarts);
  EXPECT_EQ(16, stream.Write(data, 16));
}

TEST_F(WaveOutTest, PendingBytesFollowTheDevicePositionAcrossATwentyBitWrap) {
  CWaveOutStream stream(kFake);
  WaveOutParams params;
  params.bufferMs = 10000;  // 1,764,000 bytes: room to send past 20 bits
  ASSERT_TRUE(stream.Open(params));
  std::vector<char> data(1200000);
  for (int sent = 0; sent < 1200000; sent += 100000) {
    ASSERT_EQ(100000, stream.Write(data.data() + sent, 100000));
    MarkAllDone();
  }
  stream.Drain();
  struct Step {
    DWORD reported;
    int pending;
  } steps[] = {
      {0, 1200000},
      {1000000, 200000},
      {0xFFFF0, 1200000 - 0xFFFF0},
      {0x10, 1200000 - 0x100010},  // the counter wrapped at 20 bits
      {0x20, 1200000 - 0x100020},  // and keeps counting above it
      {0x18, 1200000 - 0x100020},  // a small step back is not a wrap
  };
  for (const Step& s : steps) {
    g_device.position = s.reported;
    EXPECT_EQ(s.pending, stream.GetPendingBytes()) << s.reported;
  }
  g_device.positionFails = true;
  EXPECT_EQ(stream.Buffered(), stream.GetPendingBytes());
}

TEST_F(WaveOutTest, TheOutputTakesAWholeWriteOrNothing) {
  CWaveOutOutput output(kFake);
  ASSERT_TRUE(output.Open(44100, 16, 2));
  std::vector<char> data(176400);
  EXPECT_TRUE(output.Write(data.data(), 170000));
  EXPECT_FALSE(output.Write(data.data(), 10000));  // 6,400 free
  EXPECT_EQ(6400, output.GetFreeSpace());
  EXPECT_TRUE(output.Write(data.data(), 6400));
  EXPECT_TRUE(output.IsPlaying());
  output.Flush();
  EXPECT_FALSE(output.IsPlaying());
  EXPECT_EQ(0, output.Close());
  EXPECT_EQ(1, g_device.closes);
  EXPECT_EQ(0, output.GetFreeSpace());
}

}  // namespace
