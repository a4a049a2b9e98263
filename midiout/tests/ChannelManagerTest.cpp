#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "VoxgateFixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class ChannelManagerTest : public VoxgateTest {
 protected:
  // Voices on channels 0..count-1 of the first port.
  std::vector<CMidiChannel*> Fill(int count) {
    std::vector<CMidiChannel*> out;
    for (int i = 0; i < count; ++i) out.push_back(manager.AllocChannel(-1));
    return out;
  }
  static HMIDIOUT PortOf(const CMidiChannel* voice) {
    return voice->Port() ? voice->Port()->Handle() : nullptr;
  }
};

// ---- binding

TEST_F(ChannelManagerTest, FreshVoiceSilencesResetsAndProgramsItsChannel) {
  manager.AddPort(kPort1);
  CMidiChannel* voice = manager.AllocChannel(-1);
  ASSERT_NE(voice, nullptr);
  EXPECT_EQ(voice->Channel(), 0);
  EXPECT_THAT(TakeSent(), ElementsAre(SentMessage{kPort1, Msg(0xB0, 123)},     // all notes off
                                      SentMessage{kPort1, Msg(0xB0, 121)},     // reset controllers
                                      SentMessage{kPort1, Msg(0xB0, 7, 127)},  // scaled volume
                                      SentMessage{kPort1, Msg(0xB0, 121)},     // reset once more
                                      SentMessage{kPort1, Msg(0xB0, 7, 127)},
                                      SentMessage{kPort1, Msg(0xC0, 0)}));  // the program, re-sent
  EXPECT_EQ(manager.VoiceCount(), 1);
}

TEST_F(ChannelManagerTest, AnyChannelFillsFromTheBottomIncludingTheDrumChannel) {
  manager.AddPort(kPort1);
  std::vector<CMidiChannel*> v = Fill(10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(v[i]->Channel(), i);
  TakeSent();
  // A melodic program moves the tenth voice off the drum channel.
  manager.SetProgram(v[9], 5);
  EXPECT_EQ(v[9]->Channel(), 10);
  std::vector<SentMessage> s = TakeSent();
  ASSERT_FALSE(s.empty());
  EXPECT_EQ(s.front(), (SentMessage{kPort1, Msg(0xB9, 123)})) << "the old channel is silenced first";
  EXPECT_EQ(s.back(), (SentMessage{kPort1, Msg(0xCA, 5)}));
  EXPECT_EQ(manager.CountUsedChannels(kChannelsDrum), 0);
}

TEST_F(ChannelManagerTest, AllocRefusesBadChannelsAndFullPorts) {
  EXPECT_EQ(manager.AllocChannel(-1), nullptr) << "no port";
  manager.AddPort(kPort1);
  EXPECT_EQ(manager.AllocChannel(16), nullptr);
  EXPECT_EQ(manager.AllocChannel(-2), nullptr);
  ASSERT_NE(manager.AllocChannel(5), nullptr);
  EXPECT_EQ(manager.AllocChannel(5), nullptr) << "channel 5 taken on the only port";
  manager.AddPort(kPort2);
  CMidiChannel* second = manager.AllocChannel(5);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(PortOf(second), kPort2);
  Fill(15 + 15);
  EXPECT_EQ(manager.CountUsedChannels(kChannelsAll), 32);
  EXPECT_EQ(manager.AllocChannel(-1), nullptr) << "every channel taken";
  EXPECT_EQ(manager.VoiceCount(), 32);
}

TEST_F(ChannelManagerTest, FreeChannelSilencesReleasesAndCountsDown) {
  manager.AddPort(kPort1);
  CMidiChannel* voice = manager.AllocChannel(2);
  manager.SendShortMessage(voice, Msg(0x90, 64, 90));
  TakeSent();
  EXPECT_EQ(manager.FreeChannel(voice), 1);
  EXPECT_THAT(TakeSent(),
              ElementsAre(SentMessage{kPort1, Msg(0x82, 64, 0)}, SentMessage{kPort1, Msg(0xB2, 123)},
                          SentMessage{kPort1, Msg(0xB2, 121)}, SentMessage{kPort1, Msg(0xB2, 7, 127)}));
  EXPECT_EQ(manager.VoiceCount(), 0);
  EXPECT_EQ(manager.CountUsedChannels(kChannelsAll), 0);
  EXPECT_TRUE(voices.Voices().empty());
}

// ---- the send rule

TEST_F(ChannelManagerTest, MessagesTakeTheVoiceChannelAndKeepDataBytesInRange) {
  manager.AddPort(kPort1);
  CMidiChannel* voice = manager.AllocChannel(4);
  TakeSent();
  manager.SendShortMessage(voice, Msg(0x90, 60, 100));
  manager.SendShortMessage(voice, Msg(0x9F, 0xBC, 0xE4));  // data bytes with the high bit set
  manager.SendShortMessage(voice, 0xFF000000u | Msg(0xE0, 0, 64));
  manager.SendShortMessage(voice, 0xF8);  // a system message has no channel to rewrite
  EXPECT_THAT(TakeSent(),
              ElementsAre(SentMessage{kPort1, Msg(0x94, 60, 100)}, SentMessage{kPort1, Msg(0x94, 60, 100)},
                          SentMessage{kPort1, Msg(0xE4, 0, 64)}, SentMessage{kPort1, 0xF8}));
}

struct VolumeCase {
  const char* what;
  uint8_t volume;
  int scale;
  int master;
  int expected;
};

TEST_F(ChannelManagerTest, VolumeIsScaledByVoiceAndMasterAndKeptInADataByte) {
  const VolumeCase cases[] = {
      {"all at their defaults", 127, 100, 100, 127},
      {"100 x 50 % x 80 %", 100, 50, 80, 40},
      {"above 100 % is clamped", 100, 150, 100, 127},
      {"far above 100 % does not spill into the next byte", 127, 1000000, 1000000, 127},
      {"a negative percent gives silence", 100, -50, 100, 0},
  };
  manager.AddPort(kPort1);
  CMidiChannel* voice = manager.AllocChannel(4);
  for (const VolumeCase& c : cases) {
    manager.SetVolumeScale(voice, c.scale, nullptr);
    manager.SetMasterVolume(c.master);
    TakeSent();
    // Written for channel 0: the voice's channel replaces it.
    manager.SendShortMessage(voice, Msg(0xB0, 7, c.volume));
    EXPECT_THAT(TakeSent(), ElementsAre(SentMessage{kPort1, Msg(0xB4, 7, static_cast<uint8_t>(c.expected))}))
        << c.what;
  }
}

TEST_F(ChannelManagerTest, VolumeScaleReportsThePreviousPercent) {
  manager.AddPort(kPort1);
  CMidiChannel* voice = manager.AllocChannel(0);
  int old = -1;
  EXPECT_EQ(manager.SetVolumeScale(voice, 50, &old), 1);
  EXPECT_EQ(old, 100);
  EXPECT_EQ(manager.SetVolumeScale(voice, 70, &old), 1);
  EXPECT_EQ(old, 50);
  EXPECT_EQ(LastVolume(kPort1, 0), 127 * 70 / 100);
}

TEST_F(ChannelManagerTest, ResetAllControllersRestoresFullScaledVolume) {
  manager.AddPort(kPort1);
  CMidiChannel* voice = manager.AllocChannel(1);
  manager.SetVolumeScale(voice, 50, nullptr);
  manager.SendShortMessage(voice, Msg(0xB0, 7, 40));
  TakeSent();
  manager.SendShortMessage(voice, Msg(0xB0, 121));
  EXPECT_THAT(TakeSent(),
              ElementsAre(SentMessage{kPort1, Msg(0xB1, 121)}, SentMessage{kPort1, Msg(0xB1, 7, 63)}));
}

TEST_F(ChannelManagerTest, MasterVolumeReachesOldAndNewVoices) {
  manager.AddPort(kPort1);
  CMidiChannel* early = manager.AllocChannel(0);
  TakeSent();
  manager.SetMasterVolume(50);
  EXPECT_THAT(TakeSent(), ElementsAre(SentMessage{kPort1, Msg(0xB0, 7, 63)}));
  CMidiChannel* late = manager.AllocChannel(1);
  EXPECT_EQ(LastVolume(kPort1, 1), 63) << "a voice made after SetMasterVolume obeys it too";
  manager.SetVolumeScale(early, 100, nullptr);
  manager.SetVolumeScale(late, 100, nullptr);
  EXPECT_EQ(LastVolume(kPort1, 0), 63);
  EXPECT_EQ(LastVolume(kPort1, 1), 63);
}

TEST_F(ChannelManagerTest, AllNotesOffReleasesEachSoundingKeyOnce) {
  manager.AddPort(kPort1);
  CMidiChannel* voice = manager.AllocChannel(3);
  manager.SendShortMessage(voice, Msg(0x90, 60, 100));
  manager.SendShortMessage(voice, Msg(0x90, 62, 80));
  manager.SendShortMessage(voice, Msg(0x80, 62, 0));  // already released
  manager.SendShortMessage(voice, Msg(0x90, 64, 0));  // a note-on at velocity 0 releases too
  TakeSent();
  EXPECT_EQ(manager.AllNotesOff(voice), 1);
  EXPECT_THAT(TakeSent(), ElementsAre(SentMessage{kPort1, Msg(0x83, 60, 0)}));
  manager.AllNotesOff(voice);
  EXPECT_THAT(TakeSent(), IsEmpty());
}

// ---- moves

TEST_F(ChannelManagerTest, MovedVoiceKeepsItsVolumeAndControllers) {
  manager.AddPort(kPort1);
  std::vector<CMidiChannel*> v = Fill(10);
  CMidiChannel* voice = v[9];
  manager.SetVolumeScale(voice, 50, nullptr);
  manager.SendShortMessage(voice, Msg(0xB0, 7, 100));
  manager.SendShortMessage(voice, Msg(0xB0, 10, 20));  // pan
  ASSERT_EQ(LastVolume(kPort1, 9), 50);
  // Each move resets both channels; the volume must come back as 100 x 50 %,
  // never as the already scaled 50 scaled again.
  manager.SetProgram(voice, 5);
  ASSERT_EQ(voice->Channel(), 10);
  EXPECT_EQ(LastVolume(kPort1, 10), 50);
  EXPECT_EQ(voice->Volume(), 100);
  EXPECT_NE(std::find(sent.begin(), sent.end(), SentMessage{kPort1, Msg(0xBA, 10, 20)}), sent.end())
      << "pan follows the voice";
  manager.SetProgram(voice, 128);  // back to the drum channel
  manager.SetProgram(voice, 7);    // and off it again
  ASSERT_EQ(voice->Channel(), 9 + 1);
  EXPECT_EQ(LastVolume(kPort1, 10), 50);
  for (const SentMessage& m : sent)
    EXPECT_NE(m.message & 0xFFFFF0, Msg(0xB0, 7, 25)) << "volume scaled twice";
}

TEST_F(ChannelManagerTest, DrumKitMovesTheVoiceToChannelNine) {
  manager.AddPort(kPort1);
  CMidiChannel* voice = manager.AllocChannel(3);
  TakeSent();
  manager.SetProgram(voice, 128 + 25);
  EXPECT_EQ(voice->Channel(), 9);
  std::vector<SentMessage> s = TakeSent();
  ASSERT_FALSE(s.empty());
  EXPECT_EQ(s.back(), (SentMessage{kPort1, Msg(0xC9, 25)}));
  EXPECT_EQ(manager.CountUsedChannels(kChannelsAll), 1) << "channel 3 was given back";
}

TEST_F(ChannelManagerTest, DrumKitGoesToAnotherPortWhenChannelNineIsTaken) {
  manager.AddPort(kPort1);
  manager.AddPort(kPort2);
  CMidiChannel* drums = manager.AllocChannel(9);
  CMidiChannel* voice = manager.AllocChannel(3);
  ASSERT_EQ(PortOf(drums), kPort1);
  TakeSent();
  manager.SetProgram(voice, 128 + 25);
  EXPECT_EQ(PortOf(voice), kPort2);
  EXPECT_EQ(voice->Channel(), 9);
  std::vector<SentMessage> s = TakeSent();
  ASSERT_FALSE(s.empty());
  EXPECT_EQ(s.back(), (SentMessage{kPort2, Msg(0xC9, 25)}));
  EXPECT_EQ(manager.CountUsedChannels(kChannelsDrum), 2);
  EXPECT_EQ(manager.CountUsedChannels(kChannelsAll), 2) << "the probe and channel 3 were given back";
  EXPECT_EQ(manager.VoiceCount(), 2);
}

TEST_F(ChannelManagerTest, ProgramNoPortCanTakeLeavesTheVoiceAsItWas) {
  manager.AddPort(kPort1);
  manager.AllocChannel(9);
  CMidiChannel* voice = manager.AllocChannel(3);
  TakeSent();
  manager.SetProgram(voice, 128 + 1);
  EXPECT_EQ(voice->Channel(), 3);
  EXPECT_THAT(TakeSent(), IsEmpty());
}

TEST_F(ChannelManagerTest, MelodicVoiceLeavesAFullPortsDrumChannel) {
  manager.AddPort(kPort1);
  manager.AddPort(kPort2);
  std::vector<CMidiChannel*> v = Fill(16);
  CMidiChannel* voice = v[9];
  manager.SetProgram(voice, 40);
  EXPECT_EQ(PortOf(voice), kPort2);
  EXPECT_EQ(voice->Channel(), 0);
  EXPECT_EQ(sent.back(), (SentMessage{kPort2, Msg(0xC0, 40)}));
  EXPECT_EQ(manager.CountUsedChannels(kChannelsAll), 16);
}

TEST_F(ChannelManagerTest, ProgramNumbersOutsideTheirByteAreClamped) {
  manager.AddPort(kPort1);
  CMidiChannel* voice = manager.AllocChannel(2);
  manager.SetProgram(voice, -5);
  EXPECT_EQ(sent.back(), (SentMessage{kPort1, Msg(0xC2, 0)}));
  manager.SetProgram(voice, 300);  // a kit beyond the last one
  EXPECT_EQ(sent.back(), (SentMessage{kPort1, Msg(0xC9, 127)}));
}

// ---- counts

TEST_F(ChannelManagerTest, CapacityAndUseCountByKind) {
  manager.AddPort(kPort1);
  manager.AddPort(kPort2);
  manager.AllocChannel(9);
  manager.AllocChannel(9);  // lands on the second port
  manager.AllocChannel(0);
  struct {
    int kind;
    int64_t capacity;
    int used;
  } const cases[] = {
      {kChannelsAll, 32, 3}, {kChannelsMelodic, 30, 1}, {kChannelsDrum, 2, 2}, {3, 0, 0}, {-1, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(manager.GetChannelCapacity(c.kind), c.capacity) << "kind " << c.kind;
    EXPECT_EQ(manager.CountUsedChannels(c.kind), c.used) << "kind " << c.kind;
  }
}

// ---- removed ports

TEST_F(ChannelManagerTest, RemovedPortIsNeverTouchedAgain) {
  manager.AddPort(kPort1);
  manager.AddPort(kPort2);
  CMidiChannel* voice = manager.AllocChannel(4);
  manager.SendShortMessage(voice, Msg(0x90, 60, 100));
  ASSERT_EQ(PortOf(voice), kPort1);
  TakeSent();
  EXPECT_EQ(manager.RemovePort(kPort1), 1);
  EXPECT_THAT(TakeSent(), IsEmpty()) << "removal sends nothing: the handle is closed next";
  EXPECT_EQ(voice->Channel(), -1);
  manager.SendShortMessage(voice, Msg(0x90, 62, 100));
  manager.AllNotesOff(voice);
  manager.SetVolumeScale(voice, 20, nullptr);
  manager.SetMasterVolume(90);
  EXPECT_EQ(manager.FreeChannel(voice), 1);
  EXPECT_THAT(TakeSent(), IsEmpty());
  EXPECT_EQ(manager.VoiceCount(), 0);
  EXPECT_EQ(manager.GetChannelCapacity(kChannelsAll), 16);
  EXPECT_EQ(manager.RemovePort(kPort1), 0) << "already gone";
}

TEST_F(ChannelManagerTest, RemoveAllPortsLeavesVoicesSafeToFree) {
  manager.AddPort(kPort1);
  manager.AddPort(kPort2);
  std::vector<CMidiChannel*> v = Fill(20);
  TakeSent();
  EXPECT_EQ(manager.RemoveAllPorts(), 1);
  EXPECT_EQ(manager.GetChannelCapacity(kChannelsAll), 0);
  for (CMidiChannel* voice : v) {
    manager.SendShortMessage(voice, Msg(0x90, 60, 100));
    manager.FreeChannel(voice);
  }
  EXPECT_THAT(TakeSent(), IsEmpty());
  EXPECT_EQ(manager.VoiceCount(), 0);
}

TEST_F(ChannelManagerTest, UnboundVoiceFindsANewPortThroughItsProgram) {
  manager.AddPort(kPort1);
  CMidiChannel* voice = manager.AllocChannel(4);
  manager.SendShortMessage(voice, Msg(0xB0, 7, 90));
  manager.RemovePort(kPort1);
  manager.AddPort(kPort2);
  TakeSent();
  manager.SetProgram(voice, 12);
  EXPECT_EQ(PortOf(voice), kPort2);
  EXPECT_EQ(sent.back(), (SentMessage{kPort2, Msg(voice->Channel() | 0xC0, 12)}));
  EXPECT_EQ(LastVolume(kPort2, voice->Channel()), 90);
}

TEST_F(ChannelManagerTest, NullVoiceDoesNothing) {
  manager.AddPort(kPort1);
  int old = 7;
  EXPECT_EQ(manager.FreeChannel(nullptr), 0);
  EXPECT_EQ(manager.AllNotesOff(nullptr), 0);
  EXPECT_EQ(manager.SendShortMessage(nullptr, Msg(0x90, 60, 100)), 0);
  EXPECT_EQ(manager.SetVolumeScale(nullptr, 50, &old), 0);
  manager.SetProgram(nullptr, 5);
  manager.SetProgram(nullptr, 130);
  EXPECT_EQ(old, 7);
  EXPECT_THAT(TakeSent(), IsEmpty());
  EXPECT_EQ(manager.CountUsedChannels(kChannelsAll), 0);
}

}  // namespace
