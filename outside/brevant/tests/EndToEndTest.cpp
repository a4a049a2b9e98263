// A song file read by the song file library, fed to a song buffer the way the
// song engine feeds it, and played through the MIDI output library's channel
// manager, with the recorder keeping what went out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>

#include <cantomere/Cantomere.h>
#include <scrivel/ISmfParser2.h>
#include <scrivel/Scrivel.h>
#include <testsupport/TempDir.h>
#include <testsupport/WaitUntil.h>
#include <voxgate/Voxgate.h>

#include "../src/BrevantPlayer.h"
#include "base/Library.h"
#include "SongFixtures.h"

namespace {

using namespace testsupport;
using ::testing::ElementsAre;

// The events of one track by kind and type mask; the data stays the parser's.
std::vector<SmfEvent> EventsOf(ISmfParser2* parser, int track, uint32_t kind, uint32_t type) {
  uint32_t n = parser->CountEvents(track, 0, 0xFFFFFFFFu, kind, type, kSmfAllBits);
  std::vector<SmfEvent> events(n);
  if (n > 0 && parser->GetEvents(track, 0, 0xFFFFFFFFu, events.data(), kind, type, kSmfAllBits) != 0)
    events.clear();
  return events;
}

// As the song engine fills its buffers for playing and for the lyrics.
void Feed(ISmfParser2* parser, IBrevantSongBuffer* song, ICantomereLyricBuffer* lyrics) {
  song->Clear();
  lyrics->Clear();
  std::vector<SmfTimeSigEntry> meters(parser->GetTimeSignatures(nullptr));
  parser->GetTimeSignatures(meters.data());
  song->SetTimeSignatures(meters.data(), int(meters.size()));
  std::vector<SmfTempoEntry> tempos(parser->GetTempos(nullptr));
  parser->GetTempos(tempos.data());
  song->SetTempos(tempos.data(), int(tempos.size()));
  for (int i = 0; i < parser->GetTrackCount(); ++i) {
    std::vector<SmfEvent> channel = EventsOf(parser, i, kSmfKindChannel, kSmfAllBits);
    if (!channel.empty()) song->AddTrackEvents(i, channel.data(), int(channel.size()));
    if (parser->GetTrackChunkId(i) == kSmfChunkMCtl) {
      std::vector<SmfEvent> markers = EventsOf(parser, i, kSmfKindMeta, kSmfMetaControl);
      song->AddMarkers(i, markers.data(), int(markers.size()));
      lyrics->AddMarkers(i, markers.data(), int(markers.size()));
    }
    std::vector<SmfEvent> sung = EventsOf(parser, i, kSmfKindMeta, kSmfMetaLyric);
    song->AddLyrics(i, sung.data(), int(sung.size()));
    lyrics->AddLyrics(i, sung.data(), int(sung.size()));
  }
}

class MovedTime final : public ITimeSource {
 public:
  double NowMs() override { return now.load(); }
  std::atomic<double> now{0};
};

struct Heard {
  static int Callback(const PlayEvent* event, void* context, int) {
    auto* self = static_cast<Heard*>(context);
    if (event->type == kPlayEventLyric) self->lyricTick.store(event->value1);
    if (event->type == kPlayEventTag) self->tagTick.store(event->value2);
    if (event->type == kPlayEventEnd) self->ended.store(true);
    return 0;
  }
  std::atomic<int> lyricTick{-1};
  std::atomic<int> tagTick{-1};
  std::atomic<bool> ended{false};
};

TEST(BrevantEndToEnd, SongFileThroughBufferPlayerAndChannelManager) {
  // Freed at the end, in the reverse order.
  base::Library scrivel(kScrivelDll);
  base::Library voxgate(kVoxgateLibrary);
  base::Library cantomere(kCantomereLibrary);
  ASSERT_NE(scrivel.Get(), nullptr);
  ASSERT_NE(voxgate.Get(), nullptr);
  ASSERT_NE(cantomere.Get(), nullptr);
  IMidiRecorder* recorder = voxgate.Find<CreateRecordCtrlFn>(kCreateRecordCtrlName)(1);
  IChannelManager* manager = voxgate.Find<CreateVoxgateFn>(kCreateVoxgateName)(1);
  ASSERT_NE(recorder, nullptr);
  ASSERT_NE(manager, nullptr);

  // 240 BPM (250 ms a quarter): a melody on channel 0 with lyrics, drums on
  // channel 9 with kit 25, and a control track with the climax marker.
  TempDir dir;
  TrackBuilder conductor;
  conductor.Tempo(0, 250000).TimeSig(0, 4, 2).EndOfTrack(0);
  TrackBuilder melody;
  melody.Event(0, {0xC0, 5})
      .Text(0, 0x05, "Hel")
      .Event(0, {0x90, 60, 100})
      .Event(120, {0x80, 60, 0})
      .Text(0, 0x05, "lo")
      .Event(0, {0x90, 62, 100})
      .Event(120, {0x80, 62, 0})
      .EndOfTrack(0);
  TrackBuilder drums;
  drums.Event(0, {0xC9, 25}).Event(120, {0x99, 36, 100}).Event(60, {0x89, 36, 0}).EndOfTrack(60);
  TrackBuilder control;
  control.Meta(120, 0x80, {'C', 'L', 'S', 'T'}).EndOfTrack(0);
  std::string path = dir.File("song.mid");
  ASSERT_TRUE(WriteBytes(path, Cat({Header(1, 4, 120), conductor.Chunk(), melody.Chunk(), drums.Chunk(),
                                    control.Chunk("MCtl")})));

  ISmfParser2* parser = scrivel.Find<CreateScrivel2Fn>("CreateScrivel2")(1);
  ASSERT_NE(parser, nullptr);
  ASSERT_EQ(parser->Load(path.c_str(), nullptr, 0), kSmfLoadOk);
  CSongBuffer buffer;
  ICantomereLyricBuffer* lyrics =
      cantomere.Find<CreateLyricBufferInstanceFn>(kCreateLyricBufferInstanceName)(1);
  ASSERT_NE(lyrics, nullptr);
  Feed(parser, &buffer, lyrics);
  parser->Release();  // the buffers keep their own copies

  EXPECT_EQ(buffer.Finish(), 500);
  EXPECT_EQ(buffer.FindTag(SmfChunkId('C', 'L', 'S', 'T')), 120);
  // The first lyric's index is a tick the song buffer turns into its time.
  int firstLyric = lyrics->GetFirstLyric(1);
  EXPECT_EQ(firstLyric, 0);
  EXPECT_EQ(buffer.GetEventTime(firstLyric), 0);
  lyrics->Release();

  HMIDIOUT fakePort = reinterpret_cast<HMIDIOUT>(intptr_t(0x4D00));  // never written: the hook is muted
  manager->AddPort(fakePort);
  int wasMuted = recorder->SetMute(1);
  recorder->StartRecording();

  MovedTime time;
  Heard heard;
  CBrevantPlayer* player = new CBrevantPlayer(&time);
  player->SetEventCallback(&Heard::Callback, &heard);
  player->SetOutput(manager);
  player->SetSongBuffer(&buffer);
  ASSERT_EQ(player->Play(), 0);
  for (int t = 0; t <= 600 && !heard.ended.load(); t += 5) {
    time.now.store(t);
    // No early return: the player must be released before what it reports to.
    if (!player->WaitUntilHandled(t, 3000)) {
      ADD_FAILURE() << "the timing thread did not handle " << t << " ms";
      break;
    }
  }
  testsupport::WaitUntil([&] { return heard.ended.load(); }, 2000);
  EXPECT_TRUE(heard.ended.load());
  EXPECT_EQ(heard.tagTick.load(), 120);
  EXPECT_EQ(heard.lyricTick.load(), 120);  // "lo", the last lyric
  player->Release();                       // gives its voices back

  recorder->StopRecording();
  std::string recorded = dir.File("recorded.mid");
  recorder->Save(recorded.c_str());
  recorder->SetMute(wasMuted);
  manager->RemovePort(fakePort);

  // What went out: the melody's two notes on channel 0, the drum note on 9.
  ISmfParser2* check = scrivel.Find<CreateScrivel2Fn>("CreateScrivel2")(1);
  ASSERT_EQ(check->Load(recorded.c_str(), nullptr, 0), kSmfLoadOk);
  std::vector<int> notesOn;
  for (int i = 0; i < check->GetTrackCount(); ++i) {
    for (const SmfEvent& e : EventsOf(check, i, kSmfKindChannel, kSmfTypeNoteOn)) {
      if (e.data[2] != 0) notesOn.push_back((e.data[0] & 0x0F) << 8 | e.data[1]);
    }
  }
  std::sort(notesOn.begin(), notesOn.end());
  EXPECT_THAT(notesOn, ElementsAre(0x003C, 0x003E, 0x0924));
  check->Release();
}

}  // namespace
