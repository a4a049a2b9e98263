// Randomly damaged songs: whatever a damaged file loads as must answer every
// query, write out, and read back with the same events.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "SongTestSupport.h"

namespace {

using namespace songtest;
using testsupport::Cat;
using testsupport::Header;
using testsupport::TrackBuilder;

Bytes Damage(Bytes file, std::mt19937& rng) {
  const int kind = static_cast<int>(rng() % 4);
  const int edits = 1 + static_cast<int>(rng() % 4);
  for (int i = 0; i < edits && !file.empty(); ++i) {
    const size_t at = rng() % file.size();
    switch (kind) {
      case 0:
        file[at] = static_cast<uint8_t>(rng());
        break;  // a wrong byte
      case 1:
        file[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
        break;  // a flipped bit
      case 2:
        file.resize(at);
        break;  // cut short
      default:
        file.insert(file.begin() + at, static_cast<uint8_t>(rng()));
        break;  // a byte too many
    }
  }
  return file;
}

// A legacy song as values: per track, each node's delta, kind and bytes.
std::vector<std::vector<Ev>> Nodes(ISmfParser& song) {
  std::vector<std::vector<Ev>> tracks;
  for (int t = 0; t < song.GetTrackCount(); ++t) {
    std::vector<Ev>& nodes = tracks.emplace_back();
    for (const SmfEventNode* n = song.GetTrack(t)->first; n; n = n->next)
      nodes.push_back(Ev{n->delta, n->kind, Bytes(n->data, n->data + n->length)});
  }
  return tracks;
}

std::vector<Ev> InWriteOrder(std::vector<Ev> events) {
  std::stable_sort(events.begin(), events.end(), [](const Ev& a, const Ev& b) { return a.tick < b.tick; });
  return events;
}

TEST(ScrivelDamage, DamagedSongsRoundTripOrFailCleanly) {
  std::mt19937 rng(20261210);
  const std::vector<Bytes> seeds = SampleSongs();
  testsupport::TempDir dir;
  const std::string in = dir.File("in.mid"), out = dir.File("out.mid");
  int loaded = 0;
  for (int round = 0; round < 1500; ++round) {
    const Bytes damaged = Damage(seeds[round % seeds.size()], rng);
    ASSERT_TRUE(testsupport::WriteBytes(in, damaged));
    SCOPED_TRACE("round " + std::to_string(round));

    // The legacy parser reads the same bytes without harm, and writes what it
    // read so that it reads back the same.
    Legacy legacy(CreateScrivel(1));
    if (legacy->Load(in.c_str()) == 0) {
      SmfEventNode* nodes = nullptr;
      for (int t = 0; t < legacy->GetTrackCount(); ++t) {
        const uint32_t n =
            legacy->CountEvents(t, 0, legacy->GetMaxMeasureCount(), kSmfAllBits, kSmfAllBits, -1);
        legacy->GetEvents(t, 0, legacy->GetMaxMeasureCount(), &nodes, kSmfAllBits, kSmfAllBits, -1);
        legacy->FreeEvents(nodes, n);
      }
      ASSERT_EQ(legacy->SaveAs(out.c_str()), 0);
      Legacy again(CreateScrivel(1));
      ASSERT_EQ(again->Load(out.c_str()), 0);
      ASSERT_EQ(Nodes(*again), Nodes(*legacy));
    }

    Song first = NewSong();
    if (first->Load(in.c_str(), nullptr, 0) != kSmfLoadOk) continue;
    ++loaded;
    first->GetTimeSignatures(nullptr);
    first->GetInitialBpm();
    first->GetKeySignatures(nullptr);
    first->MeasureToTick(first->TickToMeasure(UINT32_MAX));
    ASSERT_EQ(first->SaveAs(out.c_str()), 0);
    const Bytes written = testsupport::ReadBytes(out);
    Song second = NewSong();
    ASSERT_EQ(second->Load(out.c_str(), nullptr, 0), kSmfLoadOk);
    const int tracks = first->GetTrackCount();  // SaveAs set it to the tracks held
    ASSERT_EQ(second->GetTrackCount(), tracks);
    for (int t = 0; t < tracks; ++t) {
      int16_t low, high;
      first->GetNoteRange(t, &low, &high);
      first->GetTrackProgram(t);
      first->GetTrackMeasureCount(t);
      ASSERT_EQ(EventsWithoutEnd(*second, t), InWriteOrder(EventsWithoutEnd(*first, t))) << "track " << t;
    }
    ASSERT_EQ(second->SaveAs(out.c_str()), 0);
    ASSERT_EQ(testsupport::ReadBytes(out), written);
  }
  // The damage is mild enough that many songs still load.
  EXPECT_GT(loaded, 300);
}

}  // namespace
