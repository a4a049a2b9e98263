#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <testsupport/SmfBuilder.h>
#include <testsupport/TempDir.h>

#include "FakeSongWriter.h"
#include "SmfFileReader.h"
#include "VoxgateFixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using Bytes = std::vector<uint8_t>;
using Event = FakeSongWriter::Event;
using smfcheck::TimedEvent;

class SaveTest : public VoxgateTest {
 protected:
  // Two ports with a voice on channel 0 of each and one on channel 1 of the
  // first; a short recording: programs at 960, notes at 1080, releases at
  // 1140 (the second voice's by StopRecording), markers of 200 and 300 bytes
  // at 1080.
  void RecordTwoPorts() {
    manager.AddPort(kPort1);
    manager.AddPort(kPort2);
    first = manager.AllocChannel(0);
    second = manager.AllocChannel(0);
    third = manager.AllocChannel(1);
    manager.SetProgram(second, 24);
    recorder.StartRecording();
    milliseconds += 500;
    manager.SendShortMessage(first, Msg(0x90, 60, 100));
    manager.SendShortMessage(second, Msg(0x90, 64, 80));
    recorder.AddMarker(std::string(200, 'a').c_str());
    recorder.AddMarker(std::string(300, 'b').c_str());
    milliseconds += 250;
    manager.SendShortMessage(first, Msg(0x80, 60, 0));
    recorder.StopRecording();
  }
  static Bytes Marker(const Bytes& vlq, size_t length, char fill) {
    Bytes out{0xFF, 0x06};
    out.insert(out.end(), vlq.begin(), vlq.end());
    out.insert(out.end(), length, static_cast<uint8_t>(fill));
    return out;
  }

  CMidiChannel* first = nullptr;
  CMidiChannel* second = nullptr;
  CMidiChannel* third = nullptr;
};

const Bytes kTempo120{0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
const Bytes kFourFour{0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08};
const Bytes kCMajor{0xFF, 0x59, 0x02, 0x00, 0x00};
const Bytes kEndOfTrack{0xFF, 0x2F, 0x00};

TEST_F(SaveTest, MetaTrackFirstThenOneTrackPerPortAndChannelInOrderOfAppearance) {
  RecordTwoPorts();
  FakeSongWriter song;
  recorder.writer = &song;
  ASSERT_TRUE(recorder.SaveRecording("song.mid"));
  ASSERT_EQ(song.tracks.size(), 4u);
  EXPECT_THAT(song.tracks[0], ElementsAre(Event{4, kTempo120, 0}, Event{4, kFourFour, 0},
                                          Event{4, kCMajor, 0}, Event{4, Marker({0x81, 0x48}, 200, 'a'), 120},
                                          Event{4, Marker({0x81, 0x7F}, 255, 'b'), 0}));
  // Deltas run from the grid origin (960); program changes are two bytes.
  EXPECT_THAT(song.tracks[1], ElementsAre(Event{1, {0xC0, 0}, 0}, Event{1, {0x90, 60, 100}, 120},
                                          Event{1, {0x80, 60, 0}, 60}))
      << "first port, channel 0";
  EXPECT_THAT(song.tracks[2], ElementsAre(Event{1, {0xC0, 24}, 0}, Event{1, {0x90, 64, 80}, 120},
                                          Event{1, {0x80, 64, 0}, 60}))
      << "second port, channel 0, released by StopRecording";
  EXPECT_THAT(song.tracks[3], ElementsAre(Event{1, {0xC1, 0}, 0})) << "first port, channel 1";
  EXPECT_THAT(song.savedTo, ElementsAre("song.mid"));
  EXPECT_EQ(song.releases, 1);

  // Saving leaves the recording as it was.
  FakeSongWriter again;
  recorder.writer = &again;
  ASSERT_TRUE(recorder.SaveRecording("again.mid"));
  EXPECT_EQ(again.tracks, song.tracks);
}

TEST_F(SaveTest, SystemMessagesAreNotWrittenAsChannelEvents) {
  manager.AddPort(kPort1);
  CMidiChannel* voice = manager.AllocChannel(2);
  recorder.StartRecording();
  manager.SendShortMessage(voice, 0xF8);  // a clock byte has no place in a track
  manager.SendShortMessage(voice, Msg(0xB0, 10, 30));
  FakeSongWriter song;
  recorder.writer = &song;
  ASSERT_TRUE(recorder.SaveRecording("song.mid"));
  ASSERT_EQ(song.tracks.size(), 2u);
  EXPECT_THAT(song.tracks[1], ElementsAre(Event{1, {0xC2, 0}, 0}, Event{1, {0xB2, 10, 30}, 0}));
}

TEST_F(SaveTest, FailedSaveIsReportedAndNeverReachesTheDiskHalfDone) {
  struct {
    const char* what;
    int saveResult;
    int failAddEventAfter;
    const char* path;
    bool reachesSaveAs;
  } const cases[] = {
      {"the file cannot be written", 1, -1, "x.mid", true},
      {"an event is refused", 0, 4, "x.mid", false},
      {"no path", 0, -1, "", false},
  };
  RecordTwoPorts();
  for (const auto& c : cases) {
    FakeSongWriter song;
    song.saveResult = c.saveResult;
    song.failAddEventAfter = c.failAddEventAfter;
    recorder.writer = &song;
    EXPECT_FALSE(recorder.SaveRecording(c.path)) << c.what;
    EXPECT_EQ(song.savedTo.size(), c.reachesSaveAs ? 1u : 0u) << c.what;
    EXPECT_EQ(song.releases, *c.path ? 1 : 0) << c.what;
  }
  recorder.writer = nullptr;
  EXPECT_FALSE(recorder.SaveRecording(nullptr));
}

TEST_F(SaveTest, MissingSongFileLibraryOrExportWritesNothing) {
  testsupport::TempDir dir;
  // kernel32.dll loads but has no CreateScrivel.
  for (const char* library : {"NoSuchScrivel.dll", "kernel32.dll"}) {
    CMidiRecorder lonely(
        voices, [](HMIDIOUT, uint32_t) {}, [this] { return milliseconds; }, library);
    lonely.StartRecording();
    const std::string path = dir.File("lonely.mid");
    EXPECT_FALSE(lonely.SaveRecording(path.c_str())) << library;
    lonely.Save(path.c_str());
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << library;
  }
}

// The whole path through Scrivel.dll's legacy writer, read back byte by byte.
TEST_F(SaveTest, SavedFileReadsBackWithEveryTrackAndMarker) {
  RecordTwoPorts();
  testsupport::TempDir dir;
  const std::string path = dir.File("recording.mid");
  const bool saved = recorder.SaveRecording(path.c_str());
  if (!ScrivelCanWrite()) {
    EXPECT_FALSE(saved);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    GTEST_SKIP() << "Scrivel.dll makes no legacy song objects yet: the save failed cleanly";
  }
  ASSERT_TRUE(saved);
  const smfcheck::SmfFile file = smfcheck::ReadSmf(testsupport::ReadBytes(path));
  ASSERT_TRUE(file.ok) << file.error;
  EXPECT_EQ(file.format, 1);
  EXPECT_EQ(file.division, 120);
  ASSERT_EQ(file.tracks.size(), 4u);
  EXPECT_THAT(file.tracks[0],
              ElementsAre(TimedEvent{0, kTempo120}, TimedEvent{0, kFourFour}, TimedEvent{0, kCMajor},
                          TimedEvent{120, Marker({0x81, 0x48}, 200, 'a')},
                          TimedEvent{120, Marker({0x81, 0x7F}, 255, 'b')}, TimedEvent{120, kEndOfTrack}));
  EXPECT_THAT(file.tracks[1], ElementsAre(TimedEvent{0, {0xC0, 0}}, TimedEvent{120, {0x90, 60, 100}},
                                          TimedEvent{180, {0x80, 60, 0}}, TimedEvent{180, kEndOfTrack}));
  EXPECT_THAT(file.tracks[2], ElementsAre(TimedEvent{0, {0xC0, 24}}, TimedEvent{120, {0x90, 64, 80}},
                                          TimedEvent{180, {0x80, 64, 0}}, TimedEvent{180, kEndOfTrack}));
  EXPECT_THAT(file.tracks[3], ElementsAre(TimedEvent{0, {0xC1, 0}}, TimedEvent{0, kEndOfTrack}));
}

// The song object the rest of the system reads with sees the same markers.
TEST_F(SaveTest, SavedFileLoadsIntoTheSongObject) {
  RecordTwoPorts();
  testsupport::TempDir dir;
  const std::string path = dir.File("recording.mid");
  if (!recorder.SaveRecording(path.c_str())) GTEST_SKIP() << "Scrivel.dll does not write yet";
  base::Library module("Scrivel.dll");
  ASSERT_TRUE(module);
  auto create = module.Find<CreateScrivel2Fn>("CreateScrivel2");
  ISmfParser2* song = create != nullptr ? create(1) : nullptr;
  if (song == nullptr) GTEST_SKIP() << "Scrivel.dll makes no song objects yet";
  EXPECT_EQ(song->Load(path.c_str(), nullptr, 0), kSmfLoadOk);
  EXPECT_EQ(song->GetTrackCount(), 4);
  const uint32_t count = song->CountEvents(0, 0, 0xFFFFFFFF, kSmfKindMeta, kSmfMetaMarker, kSmfAllBits);
  std::vector<SmfEvent> markers(count);
  if (count > 0) song->GetEvents(0, 0, 0xFFFFFFFF, markers.data(), kSmfKindMeta, kSmfMetaMarker, kSmfAllBits);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(Bytes(markers[0].data, markers[0].data + markers[0].length), Marker({0x81, 0x48}, 200, 'a'));
  EXPECT_EQ(Bytes(markers[1].data, markers[1].data + markers[1].length), Marker({0x81, 0x7F}, 255, 'b'));
  EXPECT_EQ(song->GetInitialBpm(), 120.0L);
  song->Release();
}

}  // namespace
