#include <gtest/gtest.h>

#include "base/MidiShort.h"

namespace {

TEST(MidiShortTest, PartsOfAPackedMessage) {
  const uint32_t message = base::PackMessage(0x93, 60, 100);
  EXPECT_EQ(0x93, base::StatusOf(message));
  EXPECT_EQ(base::kNoteOn, base::KindOf(message));
  EXPECT_EQ(3, base::ChannelOf(message));
  EXPECT_EQ(60, base::Data1Of(message));
  EXPECT_EQ(100, base::Data2Of(message));
  // A stray high bit in a data byte never makes a note number past 127.
  EXPECT_EQ(0x7F, base::Data1Of(0x00FF90u));
}

// Whether a message starts a note, ends one, or is no note at all.
TEST(MidiShortTest, NoteOnAndNoteOffFollowTheVelocityRule) {
  struct Case {
    const char* what;
    uint8_t status, velocity;
    bool on, off;
  };
  const Case cases[] = {
      {"note on", 0x90, 64, true, false},
      {"note on on channel 16", 0x9F, 1, true, false},
      {"note on with velocity 0 ends the note", 0x95, 0, false, true},
      {"note off", 0x80, 64, false, true},
      {"note off with velocity 0", 0x8A, 0, false, true},
      {"control change", 0xB0, 64, false, false},
      {"program change", 0xC0, 0, false, false},
      {"system message", 0xF0, 0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.on, base::IsNoteOn(c.status, c.velocity));
    EXPECT_EQ(c.off, base::IsNoteOff(c.status, c.velocity));
    const uint32_t packed = base::PackMessage(c.status, 60, c.velocity);
    EXPECT_EQ(c.on, base::IsNoteOn(packed));
    EXPECT_EQ(c.off, base::IsNoteOff(packed));
    EXPECT_EQ(c.on || c.off, base::IsNoteMessage(packed));
  }
}

TEST(MidiShortTest, OnlyStatuses80ToEFAddressAChannel) {
  EXPECT_FALSE(base::IsChannelStatus(0x7F));
  EXPECT_TRUE(base::IsChannelStatus(0x80));
  EXPECT_TRUE(base::IsChannelStatus(0xEF));
  EXPECT_FALSE(base::IsChannelStatus(0xF0));
  EXPECT_FALSE(base::IsChannelStatus(0xFF));
}

}  // namespace
