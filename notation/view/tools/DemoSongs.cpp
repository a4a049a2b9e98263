#include "DemoSongs.h"

#include <algorithm>

#include "testsupport/SmfBuilder.h"

namespace {

constexpr int Q = 120, E = 60, H = 240, S = 30;

// Notes one after another from a start tick: (pitch, length) pairs; pitch 0 is a rest.
void Melody(DemoTrack& t, int tick, std::initializer_list<std::pair<int, int>> notes, int gap = 10) {
  for (const auto& n : notes) {
    if (n.first > 0) t.notes.push_back({tick, n.second - gap, n.first});
    tick += n.second;
  }
}

void Lyrics(DemoTrack& t, std::initializer_list<const char*> syllables) {
  size_t i = 0;
  for (const char* s : syllables) {
    if (i >= t.notes.size()) break;
    t.lyrics.push_back({s, t.notes[i++].tick});
  }
}

DemoSong Hymn() {
  DemoSong song;
  song.name = "hymn";
  song.key = 2;  // D major
  DemoTrack t{1, 0, {}, {}};
  Melody(t, 0,
         {{66, Q}, {66, Q}, {67, Q},     {69, Q}, {69, Q}, {67, Q}, {66, Q}, {64, Q},     {62, Q}, {62, Q},
          {64, Q}, {66, Q}, {66, Q + E}, {64, E}, {64, H}, {66, Q}, {66, Q}, {67, Q},     {69, Q}, {69, Q},
          {67, Q}, {66, Q}, {64, Q},     {62, Q}, {62, Q}, {64, Q}, {66, Q}, {64, Q + E}, {62, E}, {62, H},
          {64, Q}, {64, Q}, {66, Q},     {62, Q}, {64, Q}, {66, E}, {67, E}, {66, Q},     {62, Q}, {64, Q},
          {66, E}, {67, E}, {66, Q},     {64, Q}, {62, Q}, {64, Q}, {57, H}});
  Lyrics(t, {"Joy",  "ful,",    "joy",   "ful,", "we",    "a",      "dore",   "Thee,", "God",
             "of",   "glo",     "ry,",   "Lord", "of",    "love;",  "Hearts", "un",    "fold",
             "like", "flowers", "be",    "fore", "Thee,", "Op",     "'ning",  "to",    "the",
             "sun",  "a",       "bove.", "Melt", "the",   "clouds", "of",     "sin",   "and",
             "sad",  "ness;",   "Drive", "the",  "dark",  "of",     "doubt",  "a",     "way;"});
  song.tracks.push_back(t);
  return song;
}

DemoSong Minuet() {
  DemoSong song;
  song.name = "minuet";
  song.beats = 3;
  song.key = 1;  // G major
  DemoTrack t{1, 0, {}, {}};
  // Right hand.
  Melody(t, 0,
         {{74, Q}, {67, E},     {69, E}, {71, E},    {72, E}, {74, Q}, {67, Q}, {67, Q}, {76, Q}, {72, E},
          {74, E}, {76, E},     {78, E}, {79, Q},    {67, Q}, {67, Q}, {72, Q}, {74, E}, {72, E}, {71, E},
          {69, E}, {71, Q},     {72, E}, {71, E},    {69, E}, {67, E}, {66, Q}, {67, E}, {69, E}, {71, E},
          {67, E}, {69, Q * 3}, {74, Q}, {67, E},    {69, E}, {71, E}, {72, E}, {74, Q}, {67, Q}, {67, Q},
          {76, Q}, {72, E},     {74, E}, {76, E},    {78, E}, {79, Q}, {67, Q}, {67, Q}, {72, Q}, {74, E},
          {72, E}, {71, E},     {69, E}, {71, Q},    {72, E}, {71, E}, {69, E}, {67, E}, {69, Q}, {71, E},
          {69, E}, {67, E},     {66, E}, {67, Q * 3}});
  // Left hand, a chord under the first beat of some bars.
  Melody(t, 0, {{55, H},     {57, Q}, {59, Q * 3}, {60, Q * 3}, {59, Q * 3}, {57, Q * 3},
                {55, Q * 3}, {62, H}, {59, Q},     {60, Q},     {62, Q},     {50, Q},
                {55, H},     {57, Q}, {59, Q * 3}, {60, Q * 3}, {59, Q * 3}, {57, Q * 3},
                {55, Q * 3}, {60, Q}, {62, Q},     {50, Q},     {43, Q * 3}});
  t.notes.push_back({0, H - 10, 59});
  t.notes.push_back({0, H - 10, 62});
  t.notes.push_back({8 * 360, H - 10, 59});
  song.tracks.push_back(t);
  return song;
}

DemoSong Drums() {
  DemoSong song;
  song.name = "drums";
  DemoTrack t{10, 9, {}, {}};
  const int bar = 480;
  for (int b = 0; b < 8; ++b) {
    const int at = b * bar;
    const bool fill = b % 4 == 3;
    for (int e = 0; e < (fill ? 4 : 8); ++e)
      t.notes.push_back({at + e * E, E - 10, b == 7 && e == 6 ? 46 : 42});
    t.notes.push_back({at, E - 10, 36});
    t.notes.push_back({at + H, E - 10, 36});
    if (b % 2 == 1) t.notes.push_back({at + H + E, E - 10, 36});
    t.notes.push_back({at + Q, E - 10, 38});
    if (!fill) t.notes.push_back({at + 3 * Q, E - 10, 38});
    if (b == 0 || b == 4) t.notes.push_back({at, Q - 10, 49});
    if (b % 4 == 1) t.notes.push_back({at + 3 * Q + E, E - 10, 37});
    if (fill)
      for (int s = 0; s < 8; ++s) t.notes.push_back({at + H + s * S, S - 5, s < 4 ? 48 : 45});
  }
  std::sort(t.notes.begin(), t.notes.end(),
            [](const DemoNote& a, const DemoNote& b) { return a.tick < b.tick; });
  song.tracks.push_back(t);
  return song;
}

// Ties over bar lines, triplets of eighths and quarters, syncopation,
// sixteenth runs and chromatic notes, in 4/4 and then 6/8.
DemoSong Etude() {
  DemoSong song;
  song.name = "etude";
  song.key = -1;  // F major
  DemoTrack t{1, 0, {}, {}};
  constexpr int T8 = 40, T4 = 80;
  Melody(t, 0, {{65, Q}, {69, T8},    {70, T8}, {72, T8}, {74, H},  {72, Q + E}, {71, E}, {70, E},
                {69, E}, {68, Q},     {67, T4}, {69, T4}, {70, T4}, {72, Q + E}, {0, E},  {74, S},
                {73, S}, {72, S},     {70, S},  {69, E},  {67, E},  {65, H},     {64, E}, {65, Q},
                {67, E}, {69, Q + H}, {0, Q},   {72, Q},  {0, Q},   {66, Q},     {60, Q}},
         2);  // played legato, so that the triplets read as such
  song.tracks.push_back(t);
  return song;
}

}  // namespace

int DemoSong::BarCount() const {
  int end = 0;
  for (const DemoTrack& t : tracks)
    for (const DemoNote& n : t.notes) end = std::max(end, n.tick + n.length);
  return (end + BarTicks() - 1) / BarTicks();
}

const std::vector<DemoSong>& DemoSongs() {
  static const std::vector<DemoSong> songs{Hymn(), Minuet(), Drums(), Etude()};
  return songs;
}

const DemoSong* FindDemoSong(const std::string& name) {
  for (const DemoSong& s : DemoSongs())
    if (s.name == name) return &s;
  return nullptr;
}

std::vector<ScoreNoteEvent> DemoEvents(const DemoTrack& track) {
  std::vector<ScoreNoteEvent> events;
  const uint8_t channel = static_cast<uint8_t>(track.channel & 0x0F);
  for (const DemoNote& n : track.notes) {
    events.push_back({n.tick, static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(n.note), 90, 0});
    events.push_back(
        {n.tick + n.length, static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(n.note), 0, 0});
  }
  // Offs before ons at one tick, as a sequencer writes them.
  std::stable_sort(events.begin(), events.end(), [](const ScoreNoteEvent& a, const ScoreNoteEvent& b) {
    if (a.tick != b.tick) return a.tick < b.tick;
    return (a.status & 0xF0) < (b.status & 0xF0);
  });
  return events;
}

void FillDemo(IScoreBuffer* buffer, IScoreView* view, const DemoSong& song) {
  buffer->Clear();
  const ScoreKeySig key{0, song.key};
  buffer->SetKeySignatures(&key, 1);
  const ScoreTimeSig time{0, song.beats, 480 >> song.power};
  buffer->SetTimeSignatures(&time, 1);
  for (const DemoTrack& t : song.tracks) {
    std::vector<ScoreNoteEvent> events = DemoEvents(t);
    int low = 127, high = 0;
    for (const DemoNote& n : t.notes) low = std::min(low, n.note), high = std::max(high, n.note);
    const int kind =
        t.channel == 9 ? 7 : view->ChooseClef(static_cast<uint16_t>(low), static_cast<uint16_t>(high));
    buffer->AddTrackNotes(t.number, events.data(), static_cast<unsigned>(events.size()), song.BarCount(),
                          kind);
    buffer->SetLyrics(t.number, t.lyrics.data(), static_cast<int>(t.lyrics.size()));
  }
}

std::vector<unsigned char> DemoMidiFile(const DemoSong& song) {
  using namespace testsupport;
  TrackBuilder conductor;
  conductor.Tempo(0, 500000).TimeSig(0, static_cast<uint8_t>(song.beats), static_cast<uint8_t>(song.power));
  conductor.KeySig(0, static_cast<int8_t>(song.key), 0).EndOfTrack();
  Bytes file = Header(1, static_cast<uint16_t>(song.tracks.size() + 1), 120);
  Bytes chunk = conductor.Chunk();
  file.insert(file.end(), chunk.begin(), chunk.end());
  for (const DemoTrack& t : song.tracks) {
    // Lyrics and notes merged in time order.
    struct Item {
      int tick;
      int order;
      Bytes data;
      bool lyric;
      std::string text;
    };
    std::vector<Item> items;
    for (const ScoreLyric& l : t.lyrics) items.push_back({l.tick, 1, {}, true, l.text});
    for (const ScoreNoteEvent& e : DemoEvents(t))
      items.push_back({e.tick, (e.status & 0xF0) == 0x80 ? 0 : 2, {e.status, e.note, e.velocity}, false, {}});
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
      return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    TrackBuilder track;
    int at = 0;
    for (const Item& item : items) {
      const uint32_t delta = static_cast<uint32_t>(item.tick - at);
      if (item.lyric)
        track.Text(delta, 0x05, item.text);
      else
        track.Event(delta, item.data);
      at = item.tick;
    }
    track.EndOfTrack();
    chunk = track.Chunk();
    file.insert(file.end(), chunk.begin(), chunk.end());
  }
  return file;
}
