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

void SortNotes(DemoTrack& t) {
  std::sort(t.notes.begin(), t.notes.end(),
            [](const DemoNote& a, const DemoNote& b) { return a.tick < b.tick; });
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
  SortNotes(t);
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

// Crowded pages: a pickup of 32nd notes, a melody reaching down to ledger
// lines below the staff and up to ones above it, chords with close
// accidentals, a second verse on the same notes, and notes held over bars
// and within one.
DemoSong Crowded() {
  DemoSong song;
  song.name = "crowded";
  DemoTrack t{1, 0, {}, {}};
  constexpr int T = 15;  // a 32nd note
  Melody(t, 4 * Q - 4 * T, {{72, T}, {74, T}, {76, T}, {77, T}}, 2);
  Melody(t, 4 * Q, {{55, Q}, {53, Q}, {52, Q}, {57, Q}, {84, Q}, {86, Q}, {81, E}, {83, E}, {88, Q}});
  const int chords = 12 * Q;
  for (int note : {61, 63, 64}) t.notes.push_back({chords, Q - 10, note});
  for (int note : {66, 70, 73}) t.notes.push_back({chords + Q, Q - 10, note});
  for (int note : {65, 68, 71, 73}) t.notes.push_back({chords + 2 * Q, H - 10, note});
  Melody(t, 16 * Q, {{67, Q}, {65, Q}, {64, Q}, {62, Q}});
  Melody(t, 20 * Q, {{72, 9 * Q}, {55, 3 * Q}}, 0);
  // Cut at the beats into pieces tied by short arcs.
  Melody(t, 32 * Q, {{0, Q + S}, {72, 3 * Q - S}}, 0);
  SortNotes(t);
  const char* first[] = {"up", "the", "low", "road", "we", "go", "high", "a", "bove"};
  for (int i = 0; i < 9; ++i) t.lyrics.push_back({first[i], 4 * Q + i * Q - (i > 6 ? (i - 6) * E : 0)});
  const char* verses[2][4] = {{"Sing", "it", "once", "more"}, {"Then", "a", "gain", "now"}};
  for (const auto& verse : verses)
    for (int i = 0; i < 4; ++i) t.lyrics.push_back({verse[i], 16 * Q + i * Q});
  std::stable_sort(t.lyrics.begin(), t.lyrics.end(),
                   [](const ScoreLyric& a, const ScoreLyric& b) { return a.tick < b.tick; });
  t.lyrics.push_back({"hold", 20 * Q});
  t.lyrics.push_back({"end", 33 * Q + S});
  song.tracks.push_back(t);
  return song;
}

// A two-staff part whose left hand goes below the bass staff, with lyrics.
DemoSong LowPiano() {
  DemoSong song;
  song.name = "lowpiano";
  DemoTrack t{1, 0, {}, {}};
  Melody(t, 0, {{72, Q}, {74, Q}, {76, Q}, {77, Q}, {79, H}, {84, H}, {88, Q}, {86, Q}, {84, H}});
  Melody(t, 0, {{36, Q}, {33, Q}, {31, Q}, {38, Q}, {29, H}, {43, H}, {28, Q}, {31, Q}, {36, H}});
  SortNotes(t);
  const char* words[] = {"deep", "be", "low", "the", "sea", "the", "whales", "are", "sing"};
  const int at[] = {0, Q, H, 3 * Q, 4 * Q, 6 * Q, 8 * Q, 9 * Q, 10 * Q};
  for (int i = 0; i < 9; ++i) t.lyrics.push_back({words[i], at[i]});
  song.tracks.push_back(t);
  return song;
}

// Cymbals above the staff on every beat, under the bar numbers.
DemoSong Cymbals() {
  DemoSong song;
  song.name = "cymbals";
  DemoTrack t{10, 9, {}, {}};
  for (int b = 0; b < 4; ++b) {
    const int at = b * 4 * Q;
    for (int q = 0; q < 4; ++q) {
      t.notes.push_back({at + q * Q, E - 10, q == 0 ? 49 : (q == 2 ? 57 : 51)});
      t.notes.push_back({at + q * Q, E - 10, q % 2 ? 38 : 36});
    }
  }
  SortNotes(t);
  song.tracks.push_back(t);
  return song;
}

// Two verses sung to the same notes, the first numbered, over a left hand
// that goes below the bass staff, with a high note tied over a bar line: the
// way a song with its verses written out together (and its lyric line pushed
// down by the bass) arrives.
DemoSong Verses() {
  DemoSong song;
  song.name = "verses";
  song.key = 1;  // G major
  DemoTrack t{1, 0, {}, {}};
  Melody(t, 0,
         {{67, Q},
          {69, Q},
          {71, Q},
          {72, Q},
          {74, Q},
          {72, Q},
          {71, Q},
          {69, Q},
          {79, Q},
          {78, Q},
          {76, Q},
          {81, 3 * Q},
          {79, Q},
          {78, Q},
          {67, 4 * Q}});
  // Nothing starts with the tied piece: the numbered view keeps one voice.
  Melody(t, 0, {{31, H}, {28, H}, {33, H}, {29, H}, {31, H}, {28, H + Q}, {36, Q}, {33, H}, {31, 4 * Q}});
  SortNotes(t);
  const std::pair<const char*, int> words[] = {
      {"1.", 0},       {"If", 0},       {"you're", Q},   {"go", H},       {"ing", 3 * Q},  {"take", 4 * Q},
      {"lock", 4 * Q}, {"some", 5 * Q}, {"your", 5 * Q}, {"cash", 6 * Q}, {"door", 6 * Q}, {"If", 7 * Q},
      {"When", 7 * Q}, {"ci", 8 * Q},   {"ci", 8 * Q},   {"ty", 9 * Q},   {"ty", 9 * Q},   {"bet", 10 * Q},
      {"ter", 11 * Q}, {"go", 13 * Q},  {"now", 14 * Q}};
  for (const auto& w : words) t.lyrics.push_back({w.first, w.second});
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
  static const std::vector<DemoSong> songs{Hymn(),    Minuet(),   Drums(),   Etude(),
                                           Crowded(), LowPiano(), Cymbals(), Verses()};
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
