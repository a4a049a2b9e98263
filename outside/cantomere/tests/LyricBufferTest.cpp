#include <gtest/gtest.h>

#include <memory>

#include "LyricFixtures.h"
#include "base/ReleasePtr.h"

namespace {

using testsupport::Bytes;

using BufferPtr = base::ReleasePtr<ICantomereLyricBuffer>;
using LyricsPtr = base::ReleasePtr<ICantomereLyrics>;

std::vector<std::string> TokenTexts(ICantomereLyrics* lyrics) {
  std::vector<std::string> texts;
  for (int i = 0; i < lyrics->GetTokenCount(1); ++i) texts.push_back(lyrics->GetTokenText(1, i));
  return texts;
}

std::vector<std::string> TextsThroughController(ICantomereLyricBuffer* buffer) {
  LyricsPtr lyrics(CreateCantomereInstance(1));
  lyrics->SetLyrics(buffer->GetLyricData());
  return TokenTexts(lyrics.get());
}

struct MalformedLyric {
  const char* what;
  Bytes bytes;
};

TEST(LyricBuffer, MalformedLyricEventsAreSkippedAndTheRestKept) {
  const MalformedLyric cases[] = {
      {"no bytes", {}},
      {"shorter than three bytes", {0xFF, 0x05}},
      {"not a meta event", {0x90, 0x05, 0x01, 'a'}},
      {"a text event, not a lyric", {0xFF, 0x01, 0x01, 'a'}},
      {"length claims more than the event holds", {0xFF, 0x05, 0x05, 'a'}},
      {"length cut off inside its continuation byte", {0xFF, 0x05, 0x81}},
      {"length longer than four bytes", {0xFF, 0x05, 0x80, 0x80, 0x80, 0x80, 0x01, 'a'}},
  };
  for (const MalformedLyric& c : cases) {
    MetaEvents events;
    events.Raw(0, c.bytes).Lyric(120, "la");
    BufferPtr buffer(CreateLyricBufferInstance(1));
    buffer->AddLyrics(1, events.data(), events.size());
    EXPECT_EQ(TextsThroughController(buffer.get()), std::vector<std::string>{"la"}) << c.what;
    EXPECT_EQ(buffer->GetFirstLyric(1), 120) << c.what;
  }
}

TEST(LyricBuffer, TextAfterATwoByteLengthIsReadWhole) {
  // 200 bytes need a two-byte variable-length quantity (81 48).
  std::string longText(200, 'o');
  longText.front() = 'L';
  MetaEvents events;
  events.Lyric(0, longText);
  ASSERT_EQ(events.data()[0].data[2], 0x81);
  BufferPtr buffer(CreateLyricBufferInstance(1));
  buffer->AddLyrics(1, events.data(), events.size());
  EXPECT_EQ(TextsThroughController(buffer.get()), std::vector<std::string>{longText});
}

TEST(LyricBuffer, NullArraysAndMarkersWithoutAFullTagAddNothing) {
  MetaEvents markers;
  markers.Raw(0, {0xFF, 0x80, 0x03, 'W', 'D', 'O'}).Marker(240, "WDOF");
  MetaEvents lyrics;
  lyrics.Lyric(0, "a").Lyric(480, "b");
  BufferPtr buffer(CreateLyricBufferInstance(1));
  buffer->AddLyrics(1, nullptr, 3);
  buffer->AddMarkers(1, nullptr, 3);
  buffer->AddMarkers(2, markers.data(), markers.size());
  buffer->AddLyrics(1, lyrics.data(), lyrics.size());
  FakeSongEngine engine;
  LyricsPtr controller(CreateCantomereInstance(1));
  controller->SetEngine(&engine);
  controller->SetLyrics(buffer->GetLyricData());
  // Only the whole "WDOF" at 240 shortens "a"; the three-byte one at 0 is not a tag.
  EXPECT_EQ(controller->GetTokenDuration(1, 0), 240 * 5);
}

TEST(LyricBuffer, FirstLyricIsTheFirstSyllableOfTheShownTrack) {
  MetaEvents track0;  // only breaks: not a lyric track
  track0.Lyric(0, ",").Lyric(10, ".");
  MetaEvents track1;
  track1.Lyric(60, ",").Lyric(300, "").Lyric(360, "first").Lyric(480, "second");
  MetaEvents track2;
  track2.Lyric(100, "other");
  BufferPtr buffer(CreateLyricBufferInstance(1));
  EXPECT_EQ(buffer->GetFirstLyric(1), -1) << "empty buffer";
  buffer->AddLyrics(2, track2.data(), track2.size());
  buffer->AddLyrics(0, track0.data(), track0.size());
  buffer->AddLyrics(1, track1.data(), track1.size());
  EXPECT_EQ(buffer->GetFirstLyric(1), 360);
  EXPECT_EQ(buffer->GetFirstLyric(2), -1) << "only kind 1 has lyrics";
  buffer->Clear();
  EXPECT_EQ(buffer->GetFirstLyric(1), -1) << "after Clear";
}

// Texts padded with NUL bytes are read without them, and the first syllable
// is the earliest one even when the track lists it later.
TEST(LyricBuffer, FirstLyricReadsPaddedTextsAndTakesTheEarliestSyllable) {
  MetaEvents track0;
  track0.Lyric(0, std::string(",\0\0", 3)).Lyric(5, std::string("\0\0", 2));
  MetaEvents track1;
  track1.Lyric(480, "late").Lyric(240, std::string("early\0", 6)).Lyric(240, "same");
  BufferPtr buffer(CreateLyricBufferInstance(1));
  buffer->AddLyrics(0, track0.data(), track0.size());
  buffer->AddLyrics(1, track1.data(), track1.size());
  EXPECT_EQ(buffer->GetFirstLyric(1), 240);
  EXPECT_EQ(TextsThroughController(buffer.get()), (std::vector<std::string>{"same", "early", "late"}));
}

}  // namespace
