#include <gtest/gtest.h>

#include "JianPuDegrees.h"
#include "KeyTable.h"

namespace {

struct SpellingCase {
  int key;
  int pitch;
  int step;
  int accidental;
};

TEST(KeyTable, SpellsPitchClassesPerKey) {
  const SpellingCase cases[] = {
      {0, 6, 3, kSharp},           // F sharp
      {-1, 6, 4, kFlat},           // G flat
      {7, 0, -1, kNoAccidental},   // B sharp of the octave below, from the signature
      {-7, 11, 7, kNoAccidental},  // C flat of the octave above
      {0, 1, 1, kFlat},            // D flat
      {1, 1, 0, kSharp},           // C sharp
      {6, 2, 0, kDoubleSharp},    {-7, 0, 1, kDoubleFlat}, {-6, 0, 0, kNatural},
  };
  for (const SpellingCase& c : cases) {
    const KeyEntry e = CKeyTable::Lookup(c.key, c.pitch);
    EXPECT_EQ(e.step, c.step) << "key " << c.key << " pitch " << c.pitch;
    EXPECT_EQ(e.accidental, c.accidental) << "key " << c.key << " pitch " << c.pitch;
  }
}

// Every row spells the scale of its key on seven consecutive steps, with no
// printed accidental: the signature supplies them.
TEST(KeyTable, EveryKeyScaleNeedsNoAccidental) {
  const int majorScale[7] = {0, 2, 4, 5, 7, 9, 11};
  for (int key = -7; key <= 7; ++key) {
    const int tonicClass = ((key * 7) % 12 + 12) % 12;  // a fifth per sharp
    int firstStep = 0;
    for (int degree = 0; degree < 7; ++degree) {
      const int pitch = 60 + tonicClass + majorScale[degree];
      int step = 0, acc = 0;
      ASSERT_TRUE(CKeyTable::PitchToStaffStep(0, pitch, key, &step, &acc));
      EXPECT_EQ(acc, kNoAccidental) << "key " << key << " degree " << degree;
      if (degree == 0) firstStep = step;
      EXPECT_EQ(step, firstStep + degree) << "key " << key << " degree " << degree;
    }
  }
}

TEST(KeyTable, SignatureAltersAsManyStepsAsTheKeySays) {
  for (int key = -7; key <= 7; ++key) {
    int altered = 0;
    for (int step = 0; step < 7; ++step) {
      const int a = CKeyTable::KeyAccidentalForStep(key, step);
      if (a != 0) ++altered;
      EXPECT_TRUE(a == 0 || a == (key > 0 ? 1 : -1)) << key << "/" << step;
    }
    EXPECT_EQ(altered, key < 0 ? -key : key);
  }
}

TEST(KeyTable, KeyAccidentalForStepWrapsAnyStep) {
  struct Case {
    int key, step, expected;
  };
  const Case cases[] = {
      {-6, 0, -1},  {-6, 3, 0},  // C flat in the signature, F plain
      {2, 7, 1},                 // step 7 is C
      {-1, -1, -1},              // step -1 is B
      {-1, 13, -1},              // step 13 is B
      {1, 3, 1},    {1, 10, 1}, {1, -4, 1}, {0, 5, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CKeyTable::KeyAccidentalForStep(c.key, c.step), c.expected) << c.key << "/" << c.step;
}

TEST(KeyTable, KeysOutsideTheTableReadAsCMajor) {
  for (int key : {-128, -8, 8, 127}) {
    EXPECT_EQ(CKeyTable::ClampKey(key), 0);
    const KeyEntry e = CKeyTable::Lookup(key, 61);
    EXPECT_EQ(e.step, 1);
    EXPECT_EQ(e.accidental, kFlat);
    EXPECT_EQ(CKeyTable::KeyAccidentalForStep(key, 3), 0);
    EXPECT_EQ(CJianPuDegrees::TonicOffset(key), -10);
    EXPECT_STREQ(CJianPuDegrees::KeyName(key), "");
  }
}

TEST(KeyTable, PitchToStaffStepPerStaffKind) {
  struct Case {
    int kind, pitch, key, step, accidental;
  };
  const Case cases[] = {
      {0, 60, 0, 0, kNoAccidental},  {0, 61, 0, 1, kFlat},
      {0, 61, 1, 0, kSharp},         {0, 59, 7, -1, kNatural},  // floor, not truncation, below the reference
      {0, 47, 0, -8, kNoAccidental}, {0, 72, 0, 7, kNoAccidental},
      {1, 48, 0, 7, kNoAccidental},  {6, 36, 0, 0, kNoAccidental},
      {2, 59, 0, 13, kNoAccidental},  // lower staff of two: reference 36
      {2, 60, 0, 0, kNoAccidental},  {3, 62, 0, 1, kNoAccidental},
      {7, 61, 5, 1, kFlat},  // percussion ignores the key
  };
  for (const Case& c : cases) {
    int step = 99, acc = 99;
    ASSERT_TRUE(CKeyTable::PitchToStaffStep(c.kind, c.pitch, c.key, &step, &acc));
    EXPECT_EQ(step, c.step) << "kind " << c.kind << " pitch " << c.pitch << " key " << c.key;
    EXPECT_EQ(acc, c.accidental) << "kind " << c.kind << " pitch " << c.pitch << " key " << c.key;
  }
}

TEST(KeyTable, UnknownStaffKindLeavesOutputsAlone) {
  for (int kind : {-1, 8, 100}) {
    int step = 42, acc = 43;
    EXPECT_FALSE(CKeyTable::PitchToStaffStep(kind, 60, 0, &step, &acc));
    EXPECT_EQ(step, 42);
    EXPECT_EQ(acc, 43);
  }
}

TEST(JianPuDegrees, TonicsAndKeyNames) {
  const int offsets[15] = {-1, -6, 1, -4, 3, -2, 5, 0, -5, 2, -3, 4, -1, -6, 1};
  const char* names[15] = {"bC", "bG", "bD", "bA", "bE", "bB", "F", "C", "G", "D", "A", "E", "B", "#F", "#C"};
  for (int key = -7; key <= 7; ++key) {
    EXPECT_EQ(CJianPuDegrees::TonicOffset(key), offsets[key + 7]) << key;
    EXPECT_STREQ(CJianPuDegrees::KeyName(key), names[key + 7]) << key;
    // The tonic's pitch class is the key's: a fifth per sharp.
    EXPECT_EQ(((CJianPuDegrees::Tonic(key) % 12) + 12) % 12, ((key * 7) % 12 + 12) % 12) << key;
  }
}

TEST(JianPuDegrees, DegreesAndTheirAccidentals) {
  struct Case {
    int key, pitch;
    char digit;
    int accidental;
  };
  const Case cases[] = {
      {0, 61, '2', 2}, {0, 66, '4', 1}, {0, 72, '1', 0}, {0, 59, '7', 0},
      {1, 55, '1', 0}, {2, 62, '1', 0}, {2, 66, '3', 0}, {2, 61, '7', 0},
  };
  for (const Case& c : cases) {
    const JianPuDegree d = CJianPuDegrees::Degree(c.pitch - CJianPuDegrees::Tonic(c.key));
    EXPECT_EQ(d.digit, c.digit) << c.key << "/" << c.pitch;
    EXPECT_EQ(d.accidental, c.accidental) << c.key << "/" << c.pitch;
    EXPECT_EQ(CJianPuDegrees::NeedsAccidental(c.key, c.pitch), c.accidental != 0);
  }
}

}  // namespace
