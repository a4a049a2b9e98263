// The legacy song object: building and writing (as the MIDI recorder does),
// reading, the measure view and the per-track tables.
#include <gtest/gtest.h>

#include <cstring>

#include "SongTestSupport.h"

namespace {

using namespace songtest;
using testsupport::Cat;
using testsupport::Header;
using testsupport::ReadBytes;
using testsupport::TrackBuilder;

Legacy NewLegacy() { return Legacy(CreateScrivel(1)); }

Bytes SavedLegacy(ISmfParser& song) {
  testsupport::TempDir dir;
  const std::string path = dir.File("rec.mid");
  EXPECT_EQ(song.SaveAs(path.c_str()), 0);
  return ReadBytes(path);
}

TEST(ScrivelLegacy, RecordingIsWrittenWithFullStatusesBeforeTheEndOfTrack) {
  Legacy song = NewLegacy();
  ASSERT_EQ(song->AddTrack(), 0);
  const uint8_t on[3] = {0x90, 0x3C, 0x40};
  ASSERT_EQ(song->AddEvent(0, 0, 3, on, 0), 0);
  EXPECT_EQ(SavedLegacy(*song), Cat({Header(1, 1, 120),
                                     {'M', 'T', 'r', 'k'},
                                     testsupport::Be32(8),
                                     {0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}}));
  const uint8_t off[3] = {0x90, 0x3C, 0x00};
  ASSERT_EQ(song->AddEvent(0, 0, 3, off, 480), 0);
  EXPECT_EQ(ChunkBody(SavedLegacy(*song), 0),
            (Bytes{0x00, 0x90, 0x3C, 0x40, 0x83, 0x60, 0x90, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}));
  EXPECT_EQ(song->GetTrackCount(), 1);
  EXPECT_NE(song->GetTrack(0), nullptr);
  EXPECT_EQ(song->GetTrack(1), nullptr);
  EXPECT_EQ(song->GetTrack(-1), nullptr);
  // A track that is not there changes nothing.
  EXPECT_EQ(song->AddEvent(1, 0, 3, on, 0), 1);
  EXPECT_EQ(song->GetTrack(0)->eventCount, 3u);
  testsupport::TempDir dir;
  EXPECT_EQ(song->SaveAs((dir.Path() + "\\missing\\rec.mid").c_str()), 1);
}

TEST(ScrivelLegacy, TheSongObjectHandsItsLegacyOperationsOn) {
  Song song = NewSong();
  ASSERT_EQ(song->LegacyAddTrack(), 0);
  const uint8_t on[3] = {0x90, 0x3C, 0x40};
  ASSERT_EQ(song->LegacyAddEvent(0, 0, 3, on, 0), 0);
  EXPECT_EQ(song->LegacyAddEvent(3, 0, 3, on, 0), 1);
  testsupport::TempDir dir;
  const std::string path = dir.File("legacy.mid");
  ASSERT_EQ(song->LegacySaveAs(path.c_str()), 0);
  EXPECT_EQ(ChunkBody(ReadBytes(path), 0), (Bytes{0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}));
  EXPECT_EQ(song->GetTrackCount(), 0);  // the song itself is untouched
}

Bytes LegacyFormatOneSong(const std::string& melodyName) {
  TrackBuilder conductor, melody, drums;
  conductor.Tempo(0, 500000)
      .TimeSig(0, 4, 2)
      .KeySig(0, -1, 0)
      .TimeSig(1920, 3, 2)
      .Tempo(0, 400000)
      .EndOfTrack();
  melody.Text(0, 0x03, melodyName)
      .Event(0, {0xC0, 0x05})
      .Event(0, {0xB0, 0x07, 0x64})
      .Event(0, {0xB0, 0x0A, 0x40})
      .Event(0, {0x90, 0x3C, 0x40})
      .Event(480, {0x3C, 0x00})  // running status
      .Event(480, {0x90, 0x30, 0x40})
      .Event(1440, {0x80, 0x30, 0x00})  // measure 5
      .Event(0, {0xC0, 0x06})
      .EndOfTrack();
  drums.Event(0, {0x99, 0x24, 0x64}).Event(240, {0x89, 0x24, 0x00}).EndOfTrack();
  return Cat({Header(1, 3, 240), conductor.Chunk(), melody.Chunk(), drums.Chunk()});
}

TEST(ScrivelLegacy, LoadBuildsTheMeasureViewAndTables) {
  SongFile file(LegacyFormatOneSong("Melody"));
  Legacy song = NewLegacy();
  ASSERT_EQ(song->Load(file.Path()), 0);
  EXPECT_EQ(song->GetFormat(), 1);
  EXPECT_EQ(song->GetTrackCount(), 3);
  EXPECT_EQ(song->GetTrackCount2(), 3);
  EXPECT_EQ(song->GetDrumTrack(), 2);
  EXPECT_EQ(song->GetInitialBpm(), 120);
  ASSERT_EQ(song->GetTempoList()->size(), 2u);
  EXPECT_FLOAT_EQ((*song->GetTempoList())[1].bpm, 150.0f);
  EXPECT_EQ((*song->GetTempoList())[1].tick, 960u);  // division 240 rescaled to 120
  EXPECT_EQ(song->GetKeySignature(), 0xFF);
  ASSERT_EQ(song->GetKeySignatureList()->size(), 1u);
  EXPECT_EQ((*song->GetKeySignatureList())[0].sharps, -1);

  // 4/4 for two measures (960 ticks at 120), then 3/4.
  const std::vector<SmfTimeSigEntry>* signatures = song->GetTimeSignatureList();
  ASSERT_NE(signatures, nullptr);
  ASSERT_EQ(signatures->size(), 2u);
  EXPECT_EQ((*signatures)[1].measure, 2);
  EXPECT_EQ((*signatures)[1].numerator, 3);
  uint8_t sig[2] = {};
  EXPECT_EQ(song->GetTimeSignatureAt(1, sig), 0);
  EXPECT_EQ(sig[0], 4);
  EXPECT_EQ(song->GetTimeSignatureAt(2, sig), 0);
  EXPECT_EQ(sig[0], 3);
  // The melody ends at 1200 ticks: 960 + 240 is measure 2 of 3/4 (index 2).
  EXPECT_EQ(song->GetTrackMeasureCount(1), 3);
  EXPECT_EQ(song->GetTrackMeasureCount(9), 0);
  EXPECT_EQ(song->GetMaxMeasureCount(), 3);

  std::vector<SmfTrackNameEntry> names(3);
  ASSERT_EQ(song->GetTrackNames(names.data(), 3), 1);
  EXPECT_EQ(names[1].track, 1);
  EXPECT_STREQ(names[1].name, "Melody");
  EXPECT_STREQ(names[0].name, "");
  EXPECT_EQ(song->GetTrackNames(names.data(), 2), 0);

  std::vector<SmfNumberPair> pairs(3);
  ASSERT_EQ(song->GetChannelPrograms(pairs.data(), 3), 1);
  EXPECT_EQ(pairs[1].value, 5);  // the first program of the track
  ASSERT_EQ(song->GetLowestNotes(pairs.data(), 3), 1);
  EXPECT_EQ(pairs[0].value, 0);  // no notes
  EXPECT_EQ(pairs[1].value, 0x30);
  ASSERT_EQ(song->GetHighestNotes(pairs.data(), 3), 1);
  EXPECT_EQ(pairs[1].value, 0x3C);
  EXPECT_EQ(song->GetHighestNotes(pairs.data(), 1), 0);
}

TEST(ScrivelLegacy, EventQueriesCarryTheDeltasOfSkippedEvents) {
  SongFile file(LegacyFormatOneSong("Melody"));
  Legacy song = NewLegacy();
  ASSERT_EQ(song->Load(file.Path()), 0);
  // Note-ons of measures 0..1: 90 3C 40 at 0, 90 3C 00 at 240, 90 30 40 at 480.
  EXPECT_EQ(song->CountEvents(1, 0, 1, kSmfKindChannel, kSmfTypeNoteOn, -1), 3u);
  EXPECT_EQ(song->CountEvents(1, 0, 0, kSmfKindChannel, kSmfTypeNoteOn, -1), 2u);
  EXPECT_EQ(song->CountEvents(1, 0, 2, kSmfKindChannel, kSmfTypeControl, -1), 2u);
  EXPECT_EQ(song->CountEvents(1, 0, 2, kSmfKindChannel, kSmfTypeControl, 0x0A), 1u);
  EXPECT_EQ(song->CountEvents(1, 0, 2, kSmfKindMeta, kSmfMetaTrackName, -1), 1u);
  EXPECT_EQ(song->CountEvents(1, 0, 9, kSmfAllBits, kSmfAllBits, -1), 0u);  // beyond the song
  EXPECT_EQ(song->CountEvents(7, 0, 1, kSmfAllBits, kSmfAllBits, -1), 0u);

  SmfEventNode* events = nullptr;
  ASSERT_EQ(song->GetEvents(1, 1, 2, &events, kSmfKindChannel, kSmfTypeNoteOn | kSmfTypeNoteOff, -1), 0);
  ASSERT_NE(events, nullptr);
  // 90 30 40 at 480 and 80 30 00 at 1200: the first carries everything before it.
  EXPECT_EQ(events[0].delta, 480u);
  EXPECT_EQ(events[0].data[1], 0x30);
  EXPECT_EQ(events[1].delta, 720u);
  EXPECT_EQ(events[1].data[0], 0x80);
  EXPECT_EQ(events[0].next, &events[1]);
  EXPECT_EQ(song->FreeEvents(events, 2), 1);
  EXPECT_EQ(song->FreeEvents(nullptr, 0), 0);
}

TEST(ScrivelLegacy, LongNamesAndMetaLengthsAreReadWhole) {
  const std::string longName(300, 'n');
  SongFile file(LegacyFormatOneSong(longName));
  Legacy song = NewLegacy();
  ASSERT_EQ(song->Load(file.Path()), 0);
  std::vector<SmfTrackNameEntry> names(3);
  ASSERT_EQ(song->GetTrackNames(names.data(), 3), 1);
  EXPECT_EQ(std::strlen(names[1].name), kSmfTrackNameSize - 1);
  EXPECT_EQ(names[2].track, 2);  // the record after it is intact
  // The name event keeps its two length bytes, and the song writes back as read.
  const SmfEventNode* name = song->GetTrack(1)->first;
  EXPECT_EQ(name->length, 2u + 2 + 300);
  Legacy again = NewLegacy();
  SongFile rewritten(SavedLegacy(*song));
  ASSERT_EQ(again->Load(rewritten.Path()), 0);
  EXPECT_EQ(again->GetTrack(1)->eventCount, song->GetTrack(1)->eventCount);
}

TEST(ScrivelLegacy, SplitByChannelKeepsAbsoluteTimes) {
  TrackBuilder t;
  t.TimeSig(0, 4, 2)
      .Event(0, {0x90, 0x3C, 0x40})
      .Event(100, {0x91, 0x30, 0x40})
      .Text(20, 0x01, "x")
      .Event(30, {0x80, 0x3C, 0x00})
      .Event(50, {0x81, 0x30, 0x00})
      .EndOfTrack(10);
  SongFile file(Cat({Header(0, 1, 120), t.Chunk()}));
  Legacy song = NewLegacy();
  ASSERT_EQ(song->Load(file.Path()), 0);
  EXPECT_EQ(song->GetFormat(), 0);
  ASSERT_EQ(song->SplitByChannel(), 0);
  EXPECT_EQ(song->SplitByChannel(), 1);  // no longer format 0
  EXPECT_EQ(song->GetFormat(), 1);
  ASSERT_EQ(song->GetTrackCount(), 3);
  auto absolute = [&](int track) {
    std::vector<std::pair<uint32_t, uint8_t>> out;
    uint32_t tick = 0;
    for (SmfEventNode* n = song->GetTrack(track)->first; n; n = n->next) {
      tick += n->delta;
      out.emplace_back(tick, n->data[0] == 0xFF ? n->data[1] : n->data[0]);
    }
    return out;
  };
  using Timeline = std::vector<std::pair<uint32_t, uint8_t>>;
  EXPECT_EQ(absolute(0), (Timeline{{0, 0x58}, {120, 0x01}, {210, 0x2F}}));
  EXPECT_EQ(absolute(1), (Timeline{{0, 0x90}, {150, 0x80}, {150, 0x2F}}));
  EXPECT_EQ(absolute(2), (Timeline{{100, 0x91}, {200, 0x81}, {200, 0x2F}}));
  EXPECT_EQ(song->GetTrack(1)->eventCount, 3u);
}

TEST(ScrivelLegacy, DamagedFilesFailOrLoadWhatCanBeRead) {
  const Bytes good = TrackBuilder().Event(0, {0x90, 0x3C, 0x40}).EndOfTrack().Chunk();
  const struct {
    const char* what;
    Bytes file;
    int result;
  } cases[] = {
      {"no header", good, 1},
      {"format 2", Cat({Header(2, 1, 120), good}), 1},
      {"division 0", Cat({Header(1, 1, 0), good}), 1},
      {"a control chunk", Cat({Header(1, 1, 120), testsupport::Chunk("MCtl", {0x00, 0xFF, 0x2F, 0x00})}), 1},
      {"fewer chunks than counted", Cat({Header(1, 2, 120), good}), 1},
      {"file ends inside an event",
       Cat({Header(1, 1, 120), testsupport::ChunkDeclaring("MTrk", 50, {0x00, 0x90, 0x3C, 0x40, 0x81})}), 0},
      {"meta length beyond the file",
       Cat({Header(1, 1, 120), testsupport::Chunk("MTrk", {0x00, 0xFF, 0x01, 0x8F, 0xFF, 0xFF, 0x7F})}), 0},
      {"time signature 1/512 and tempo 0",
       Cat({Header(1, 1, 120), TrackBuilder()
                                   .Meta(0, 0x58, {1, 9, 24, 8})
                                   .Meta(0, 0x51, {0, 0, 0})
                                   .Event(960, {0x90, 0x3C, 0x40})
                                   .EndOfTrack()
                                   .Chunk()}),
       0},
  };
  for (const auto& c : cases) {
    SongFile file(c.file);
    Legacy song = NewLegacy();
    EXPECT_EQ(song->Load(file.Path()), c.result) << c.what;
    song->GetMaxMeasureCount();
    EXPECT_EQ(song->GetInitialBpm(), 0) << c.what;
    if (c.result != 0) {
      EXPECT_EQ(song->GetTrackCount(), 0) << c.what;
    }
  }
}

}  // namespace
