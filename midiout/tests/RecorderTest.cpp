#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "VoxgateFixture.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

using Bytes = std::vector<uint8_t>;

struct Meta {
  Bytes bytes;
  uint32_t tick;
  bool operator==(const Meta& o) const { return bytes == o.bytes && tick == o.tick; }
};
struct Recorded {
  HMIDIOUT port;
  uint32_t message;
  uint32_t tick;
  bool operator==(const Recorded& o) const {
    return port == o.port && message == o.message && tick == o.tick;
  }
};

class RecorderTest : public VoxgateTest {
 protected:
  std::vector<Meta> Metas() const {
    std::vector<Meta> out;
    for (const auto& m : recorder.MetaEvents()) out.push_back({m.bytes, m.tick});
    return out;
  }
  std::vector<Recorded> Messages() const {
    std::vector<Recorded> out;
    for (const auto& m : recorder.Messages()) out.push_back({m.port, m.message, m.tick});
    return out;
  }
  // Tick of the next message a voice sends after `ms` more milliseconds.
  uint32_t TickAfter(CMidiChannel* voice, uint32_t ms) {
    milliseconds += ms;
    manager.SendShortMessage(voice, Msg(0x90, 60, 1));
    return recorder.Messages().back().tick;
  }
};

TEST_F(RecorderTest, StartRecordingKeepsTempoSignaturesAndEveryProgram) {
  manager.AddPort(kPort1);
  CMidiChannel* piano = manager.AllocChannel(-1);
  CMidiChannel* guitar = manager.AllocChannel(-1);
  manager.SetProgram(guitar, 24);
  ASSERT_NE(piano, nullptr);
  EXPECT_EQ(recorder.StartRecording(), 1);
  EXPECT_THAT(Metas(), ElementsAre(Meta{{0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}, 960},  // 500000 us per quarter
                                   Meta{{0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08}, 960},  // 4/4
                                   Meta{{0xFF, 0x59, 0x02, 0x00, 0x00}, 960}));            // C major
  EXPECT_THAT(Messages(),
              ElementsAre(Recorded{kPort1, Msg(0xC0, 0), 960}, Recorded{kPort1, Msg(0xC1, 24), 960}));
}

TEST_F(RecorderTest, ClockCountsTicksFromTheTempo) {
  struct {
    const char* what;
    int bpm;
    uint32_t ms;
    uint32_t tick;
  } const cases[] = {
      {"half a second at 120", 120, 500, 960 + 120},
      {"400 s at 120 does not overflow", 120, 400000, 960 + 96000},
      {"200 s at 240 does not overflow", 240, 200000, 960 + 96000},
      {"a minute at 60", 60, 60000, 960 + 60 * 120},
  };
  manager.AddPort(kPort1);
  CMidiChannel* voice = manager.AllocChannel(0);
  for (const auto& c : cases) {
    recorder.SetTempo(c.bpm);
    recorder.StartRecording();
    EXPECT_EQ(TickAfter(voice, c.ms), c.tick) << c.what;
  }
}

TEST_F(RecorderTest, TempoChangeContinuesFromTheCurrentTick) {
  manager.AddPort(kPort1);
  CMidiChannel* voice = manager.AllocChannel(0);
  recorder.StartRecording();
  milliseconds += 1000;  // 240 ticks at 120
  recorder.SetTempo(60);
  EXPECT_EQ(recorder.MetaEvents().back().bytes, (Bytes{0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40}));
  EXPECT_EQ(recorder.MetaEvents().back().tick, 960u + 240);
  EXPECT_EQ(TickAfter(voice, 1000), 960u + 240 + 120);
}

TEST_F(RecorderTest, TempoOutsideItsRangeIsIgnoredOrClamped) {
  recorder.StartRecording();
  const size_t before = recorder.MetaEvents().size();
  recorder.SetTempo(0);
  recorder.SetTempo(-30);
  EXPECT_EQ(recorder.MetaEvents().size(), before) << "no tempo to divide by";
  milliseconds += 500;
  EXPECT_EQ(recorder.Clock(), 960u + 120) << "the clock still runs at 120";
  struct {
    int bpm;
    Bytes value;
  } const cases[] = {{1, {0xFF, 0xFF, 0xFF}}, {3, {0xFF, 0xFF, 0xFF}}, {4, {0xE4, 0xE1, 0xC0}}};
  for (const auto& c : cases) {
    recorder.SetTempo(c.bpm);
    const Bytes& b = recorder.MetaEvents().back().bytes;
    EXPECT_EQ(Bytes(b.begin() + 3, b.end()), c.value) << c.bpm << " BPM";
  }
}

TEST_F(RecorderTest, HookSendsUnlessMutedAndRecordsOnlyWhileRecording) {
  manager.AddPort(kPort1);
  CMidiChannel* voice = manager.AllocChannel(0);
  TakeSent();
  EXPECT_EQ(recorder.Output(kPort1, Msg(0x90, 1, 1)), 0) << "not recording";
  EXPECT_THAT(Messages(), IsEmpty());
  EXPECT_THAT(TakeSent(), ElementsAre(SentMessage{kPort1, Msg(0x90, 1, 1)}));

  recorder.StartRecording();
  EXPECT_EQ(recorder.SetMute(1), 0);
  manager.SendShortMessage(voice, Msg(0x90, 60, 100));
  EXPECT_THAT(TakeSent(), IsEmpty()) << "muted";
  EXPECT_EQ(Messages().back(), (Recorded{kPort1, Msg(0x90, 60, 100), 960}));
  EXPECT_EQ(recorder.SetMute(0), 1);
  manager.SendShortMessage(voice, Msg(0x80, 60, 0));
  EXPECT_THAT(TakeSent(), ElementsAre(SentMessage{kPort1, Msg(0x80, 60, 0)}));
}

TEST_F(RecorderTest, StopRecordingReleasesHeldNotesWithoutSendingThem) {
  manager.AddPort(kPort1);
  manager.AddPort(kPort2);
  CMidiChannel* kept = manager.AllocChannel(2);
  CMidiChannel* orphan = manager.AllocChannel(0);
  CMidiChannel* moved = manager.AllocChannel(0);
  ASSERT_EQ(orphan->Port()->Handle(), kPort1);
  ASSERT_EQ(moved->Port()->Handle(), kPort2);
  manager.SendShortMessage(kept, Msg(0x90, 60, 100));
  manager.SendShortMessage(orphan, Msg(0x90, 50, 100));
  manager.RemovePort(kPort1);  // kept and orphan lose their port
  manager.SendShortMessage(moved, Msg(0x90, 70, 90));
  recorder.StartRecording();
  EXPECT_THAT(Messages(), ElementsAre(Recorded{kPort2, Msg(0xC0, 0), 960}))
      << "only bound voices have a program";
  milliseconds += 500;
  TakeSent();
  EXPECT_EQ(recorder.StopRecording(), 1);
  EXPECT_THAT(TakeSent(), IsEmpty());
  EXPECT_EQ(Messages().back(), (Recorded{kPort2, Msg(0x80, 70, 0), 1080}));
  EXPECT_EQ(Messages().size(), 2u);
  manager.SendShortMessage(moved, Msg(0x90, 72, 90));
  EXPECT_EQ(Messages().size(), 2u) << "stopped";
}

TEST_F(RecorderTest, MarkerLengthIsAVariableLengthQuantity) {
  struct {
    size_t length;
    Bytes prefix;
    size_t kept;
  } const cases[] = {{5, {0xFF, 0x06, 0x05}, 5},
                     {127, {0xFF, 0x06, 0x7F}, 127},
                     {200, {0xFF, 0x06, 0x81, 0x48}, 200},
                     {300, {0xFF, 0x06, 0x81, 0x7F}, 255}};
  EXPECT_EQ(recorder.AddMarker("not recording"), 1);
  EXPECT_THAT(Metas(), IsEmpty());
  recorder.StartRecording();
  for (const auto& c : cases) {
    const std::string text(c.length, 'x');
    EXPECT_EQ(recorder.AddMarker(text.c_str()), 1);
    Bytes expected = c.prefix;
    expected.insert(expected.end(), c.kept, 'x');
    EXPECT_EQ(recorder.MetaEvents().back().bytes, expected) << c.length << " bytes";
  }
  const size_t count = recorder.MetaEvents().size();
  recorder.AddMarker(nullptr);
  EXPECT_EQ(recorder.MetaEvents().size(), count);
}

TEST_F(RecorderTest, TimeSignatureWithoutABarLengthSwitchesSyncOff) {
  struct {
    int numerator;
    int power;
  } const cases[] = {{0, 2}, {-3, 2}, {4, 40}, {4, -1}, {1, 9}};
  for (const auto& c : cases) {
    recorder.SetTimeSignature(c.numerator, c.power);
    recorder.StartRecording();
    const uint32_t origin = recorder.GridOrigin();
    const size_t metas = recorder.MetaEvents().size();
    for (int i = 0; i < 3; ++i) {
      milliseconds += 7000;
      recorder.SyncBeat();
    }
    EXPECT_EQ(recorder.GridOrigin(), origin) << c.numerator << "/" << c.power;
    EXPECT_EQ(recorder.MetaEvents().size(), metas) << c.numerator << "/" << c.power;
  }
}

TEST_F(RecorderTest, FirstSyncMovesTheGridOriginOntoTheBeat) {
  // 4/4 at 120: a bar is 480 ticks. 500 ms in, the clock is at 1080;
  // r = ((1080 - 960 + 120) mod 480) - 120 = 120, so the origin moves by
  // r - 480 = -360 to 600, and the grid tick becomes 1080 - (480 mod 480).
  recorder.StartRecording();
  milliseconds += 500;
  recorder.SyncBeat();
  EXPECT_EQ(recorder.GridOrigin(), 600u);
  // Within two bars of that grid tick nothing jumps.
  milliseconds += 3000;  // clock 1800
  const size_t metas = recorder.MetaEvents().size();
  recorder.SyncBeat();
  EXPECT_EQ(recorder.MetaEvents().size(), metas);
  EXPECT_EQ(recorder.Clock(), 1800u);
}

TEST_F(RecorderTest, LateSyncJumpsToTheNextBarLine) {
  recorder.StartRecording();
  milliseconds += 500;
  recorder.SyncBeat();  // origin 600, grid 1080
  // 5 s later the clock is at 2280, 1200 ticks past the grid: more than two
  // bars. r = ((2280 - 1080 + 120) mod 480) - 120 = 240, so the clock jumps by
  // 480 - 240 = 240 to 2520, a bar line of the grid from 600.
  milliseconds += 5000;
  recorder.SyncBeat();
  EXPECT_EQ(recorder.Clock(), 2520u);
  const std::vector<Meta> metas = Metas();
  ASSERT_GE(metas.size(), 2u);
  EXPECT_EQ(metas[metas.size() - 2], (Meta{{0xFF, 0x51, 0x03, 0x00, 0x00, 0x0A}, 2280}));  // 6,000,000 BPM
  EXPECT_EQ(metas.back(), (Meta{{0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}, 2520}));
  milliseconds += 500;
  EXPECT_EQ(recorder.Clock(), 2640u) << "back at 120 BPM";
}

TEST_F(RecorderTest, KeySignatureIsKeptEvenWhenNotRecording) {
  recorder.StartRecording();
  recorder.StopRecording();
  recorder.SetKeySignature(-2);
  EXPECT_EQ(recorder.MetaEvents().back().bytes, (Bytes{0xFF, 0x59, 0x02, 0xFE, 0x00}));
}

TEST_F(RecorderTest, DestroyKeepsTheStaticObjectUsable) {
  recorder.StartRecording();
  recorder.AddMarker("m");
  recorder.Destroy(1);
  EXPECT_THAT(Metas(), IsEmpty());
  EXPECT_EQ(recorder.StartRecording(), 1);
  EXPECT_EQ(recorder.MetaEvents().size(), 3u);
}

}  // namespace
