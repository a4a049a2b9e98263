// How long a refill and rebuild of a dense song takes: 300 bars of 4/4, two
// tracks of sixteenths with chords, triplets and ties, lyrics on the first.
// The song engine refills and both views rebuild on every track change, so
// this is the pause a user sees after choosing tracks.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "IScorePart.h"
#include "ScoreBuffer.h"
#include "ScoreModel.h"

namespace {

constexpr int kBars = 300;
constexpr int kRounds = 40;

// A part that measures syllables at 7 pixels a letter and keeps nothing.
class CountingPart : public IScorePart {
 public:
  CountingPart(int kind, std::vector<ScoreLyric> lyrics) : kind_(kind), lyrics_(std::move(lyrics)) {}
  int PartStaffKind() const override { return kind_; }
  int PartSizeLevel() const override { return 0; }
  const std::vector<ScoreLyric>& PartLyrics() const override { return lyrics_; }
  void MeasureLyricWidths(const std::vector<std::string>& texts, std::vector<int>* widths) override {
    widths->clear();
    for (const std::string& text : texts) widths->push_back(int(text.size()) * 7);
  }
  int LayoutMeasures(const std::vector<CScoreMeasure*>& measures) override {
    for (const CScoreMeasure* m : measures) notes += m->notes.size();
    return 0;
  }
  size_t notes = 0;

 private:
  int kind_;
  std::vector<ScoreLyric> lyrics_;
};

struct Event {
  int tick;
  bool on;
  int pitch;
};

// Each bar: a beat of sixteenth chords, a beat of eighth triplets, a beat of
// sixteenths, and a dotted quarter held over the bar line into the next bar.
std::vector<ScoreNoteEvent> DenseTrack(int lowest, bool chords) {
  std::vector<Event> evs;
  auto note = [&](int tick, int length, int pitch) {
    evs.push_back({tick, true, pitch});
    evs.push_back({tick + length, false, pitch});
  };
  for (int bar = 0; bar < kBars; ++bar) {
    const int t = bar * 480;
    for (int i = 0; i < 4; ++i) {
      note(t + i * 30, 30, lowest + i);
      if (chords) note(t + i * 30, 30, lowest + i + 4);
    }
    for (int i = 0; i < 3; ++i) note(t + 120 + i * 40, 40, lowest + 2 * i);
    for (int i = 0; i < 4; ++i) note(t + 240 + i * 30, 28, lowest + 7 - i);
    if (bar + 1 < kBars) note(t + 420, 120, lowest + 5);  // tied into the next bar
  }
  std::stable_sort(evs.begin(), evs.end(), [](const Event& a, const Event& b) {
    return a.tick != b.tick ? a.tick < b.tick : (!a.on && b.on);
  });
  std::vector<ScoreNoteEvent> out;
  for (const Event& e : evs)
    out.push_back(
        ScoreNoteEvent{e.tick, uint8_t(e.on ? 0x90 : 0x80), uint8_t(e.pitch), uint8_t(e.on ? 100 : 0), 0});
  out.push_back(ScoreNoteEvent{-1, 0, 0, 0, 0});
  return out;
}

double Ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

struct Timing {
  double fill = 0, staff = 0, numbered = 0;
};

}  // namespace

int main() {
  const std::vector<ScoreNoteEvent> melody = DenseTrack(60, true);
  const std::vector<ScoreNoteEvent> bass = DenseTrack(40, false);
  std::vector<ScoreLyric> lyrics;
  for (int bar = 0; bar < kBars; ++bar)
    for (int i = 0; i < 8; ++i) lyrics.push_back(ScoreLyric{i % 2 ? "la" : "ding", bar * 480 + i * 30});
  const ScoreTimeSig sig = {0, 4, 120};
  const ScoreKeySig key = {0, 2};

  std::vector<Timing> runs;
  size_t notesLaidOut = 0;
  for (int round = 0; round < kRounds; ++round) {
    Timing t;
    IScoreBuffer* buffer = new CScoreBuffer();
    const auto start = std::chrono::steady_clock::now();
    buffer->Clear();
    buffer->SetKeySignatures(&key, 1);
    buffer->SetTimeSignatures(&sig, 1);
    std::vector<ScoreNoteEvent> a = melody, b = bass;  // snapping rewrites them
    buffer->AddTrackNotes(1, a.data(), unsigned(a.size()), kBars, 0);
    buffer->SetLyrics(1, lyrics.data(), int(lyrics.size()));
    buffer->AddTrackNotes(2, b.data(), unsigned(b.size()), kBars, 1);
    const auto filled = std::chrono::steady_clock::now();
    t.fill = Ms(filled - start);

    const ScoreData& d = *buffer->GetData();
    // Both views rebuild: the staff view with a treble and a bass part, the
    // numbered view with two numbered parts.
    auto build = [&](auto& model, int secondKind, size_t* laidOut) {
      CountingPart first(0, d.lyrics), second(secondKind, {});
      std::vector<IScorePart*> parts = {&first, &second};
      const auto s0 = std::chrono::steady_clock::now();
      model.Build(parts, d.tracks, d.keySigs, d.timeSigs, false);
      const double ms = Ms(std::chrono::steady_clock::now() - s0);
      if (laidOut) *laidOut = first.notes + second.notes;
      return ms;
    };
    CStaffScore staff;
    CJianPuScore numbered;
    t.staff = build(staff, 1, &notesLaidOut);
    t.numbered = build(numbered, 0, nullptr);
    buffer->Release();
    runs.push_back(t);
  }

  auto report = [&](const char* what, double Timing::*field) {
    std::vector<double> v;
    for (const Timing& t : runs) v.push_back(t.*field);
    std::sort(v.begin(), v.end());
    double sum = 0;
    for (double x : v) sum += x;
    std::printf("%-24s min %7.2f ms  median %7.2f ms  mean %7.2f ms\n", what, v.front(), v[v.size() / 2],
                sum / v.size());
  };
  std::printf("score model: %d bars, 2 tracks, %zu events, %zu lyrics, %zu staff notes laid out, %d rounds\n",
              kBars, melody.size() + bass.size() - 2, lyrics.size(), notesLaidOut, kRounds);
  report("buffer fill", &Timing::fill);
  report("staff model build", &Timing::staff);
  report("numbered model build", &Timing::numbered);
  std::vector<double> total;
  for (const Timing& t : runs) total.push_back(t.fill + t.staff + t.numbered);
  std::sort(total.begin(), total.end());
  std::printf("%-24s median %7.2f ms (target < 20 ms)\n", "full refill and rebuild", total[total.size() / 2]);
  return total[total.size() / 2] < 20.0 ? 0 : 1;
}
