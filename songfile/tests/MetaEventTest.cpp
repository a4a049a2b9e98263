// Lyric text out of meta events: the header's length is a variable-length
// quantity, so long syllables (or whole lyric lines) keep their first bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/Library.h"
#include "scrivel/Scrivel.h"
#include "scrivel/SmfMetaEvent.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"

namespace {

using testsupport::Bytes;
using testsupport::Cat;
using testsupport::Vlq;

Bytes Meta(uint8_t type, const std::string& text) {
  return Cat({{0xFF, type}, Vlq(static_cast<uint32_t>(text.size())), Bytes(text.begin(), text.end())});
}

TEST(MetaText, DecodesTheLengthWhateverItsSize) {
  const std::string line(200, 'a');
  const std::string huge = "Begin" + std::string(20000, 'x');
  struct Case {
    const char* what;
    Bytes bytes;
    std::string text;
  } cases[] = {
      {"a short syllable", Meta(0x05, "Joy"), "Joy"},
      {"an empty one", {0xFF, 0x05, 0x00}, ""},
      {"a two-byte length", Meta(0x05, "Hearts " + line), "Hearts " + line},
      {"a three-byte length", Meta(0x05, huge), huge},
      {"a length claiming more than is there", {0xFF, 0x05, 0x81, 0x00, 'a', 'b'}, "ab"},
      {"a length that never ends", {0xFF, 0x05, 0x80, 0x80}, ""},
      {"five length bytes", {0xFF, 0x05, 0x80, 0x80, 0x80, 0x80, 0x01, 'a'}, ""},
      {"no length at all", {0xFF, 0x05}, ""},
      {"not a meta event", {0x90, 0x3C, 0x40}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(SmfMetaText(c.bytes.data(), c.bytes.size()), c.text) << c.what;
  EXPECT_EQ(SmfMetaText(nullptr, 5), "");
}

// The sequencer and the lyric controller take a payload only when the event
// is whole and of the type they ask for.
TEST(MetaText, APayloadIsTakenOnlyWholeAndOfItsType) {
  const Bytes lyric = Meta(0x05, "la");
  const Bytes overclaiming = {0xFF, 0x05, 0x03, 'a', 'b'};
  const SmfEvent whole{0, 0, static_cast<uint32_t>(lyric.size()), lyric.data()};
  const SmfEvent cut{0, 0, static_cast<uint32_t>(overclaiming.size()), overclaiming.data()};
  SmfMetaPayload payload;
  ASSERT_TRUE(SmfReadMetaPayload(whole, 0x05, &payload));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(payload.data), payload.length), "la");
  EXPECT_FALSE(SmfReadMetaPayload(whole, 0x06, &payload));
  EXPECT_FALSE(SmfReadMetaPayload(cut, 0x05, &payload));
  EXPECT_EQ(SmfMetaText(overclaiming.data(), overclaiming.size()), "ab");
}

// The bytes as Scrivel hands a lyric over, read back from a file.
TEST(MetaText, ReadsLyricsAsScrivelKeepsThem) {
  base::Library scrivel(kScrivelDll);
  ASSERT_TRUE(scrivel);
  auto create = scrivel.Find<CreateScrivel2Fn>("CreateScrivel2");
  ASSERT_NE(create, nullptr);
  const std::string longLine =
      "Joyful, joyful, we adore Thee, God of glory, Lord of love; hearts unfold like flowers "
      "before Thee, opening to the sun above. Melt the clouds of sin and sadness.";
  ASSERT_GT(longLine.size(), 127u);
  testsupport::TrackBuilder track;
  track
      .Text(0, 0x05, "Joy")          // lyric with a one-byte length
      .Event(0, {0x90, 0x3C, 0x40})  // note on
      .Text(120, 0x05, longLine)     // lyric with a two-byte length
      .Event(0, {0x80, 0x3C, 0x00})  // note off
      .EndOfTrack();
  const testsupport::TempDir dir;
  const std::string path = dir.File("lyrics.mid");
  ASSERT_TRUE(testsupport::WriteBytes(path, Cat({testsupport::Header(0, 1, 120), track.Chunk()})));

  ISmfParser2* song = create(1);
  ASSERT_NE(song, nullptr);
  ASSERT_EQ(song->Load(path.c_str(), nullptr, 0), kSmfLoadOk);
  const uint32_t n = song->CountEvents(0, 0, 0xFFFFFFFFu, kSmfKindMeta, kSmfMetaLyric, kSmfAllBits);
  ASSERT_EQ(n, 2u);
  SmfEvent events[2];
  ASSERT_EQ(song->GetEvents(0, 0, 0xFFFFFFFFu, events, kSmfKindMeta, kSmfMetaLyric, kSmfAllBits), 0);
  EXPECT_EQ(SmfMetaText(events[0].data, events[0].length), "Joy");
  EXPECT_EQ(SmfMetaText(events[1].data, events[1].length), longLine);
  song->Release();
}

}  // namespace
