#include "ScoreBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

#include "Rounding.h"
#include "base/MidiShort.h"

namespace {

const ScoreTimeSig kDefaultTimeSig = {0, 4, 120};

// Signatures from a damaged file can be anything; these bounds keep bar
// lengths far from overflow while admitting every real meter.
constexpr int kMaxBeats = 255;
constexpr int kMaxTicksPerBeat = 1920;

bool IsNoteOn(const ScoreNoteEvent& e) { return base::IsNoteOn(e.status, e.velocity); }
bool IsNoteOff(const ScoreNoteEvent& e) { return base::IsNoteOff(e.status, e.velocity); }

int64_t BarLength(const ScoreTimeSig& s) { return int64_t(s.beatsPerBar) * s.ticksPerBeat; }

}  // namespace

CScoreBuffer::~CScoreBuffer() { FreeAllBars(); }

void CScoreBuffer::Release() { Destroy(1); }

void CScoreBuffer::Destroy(unsigned flags) {
  if (flags & 1) {
    delete this;
    return;
  }
  Clear();
  data_ = ScoreData();
}

void CScoreBuffer::FreeBars(ScoreBar* bars) {
  if (!bars) return;
  for (ScoreBar* bar = bars; bar; bar = bar->next) {
    ScoreNoteNode* node = bar->firstNote;
    while (node) {
      ScoreNoteNode* next = node->next;
      delete node;
      node = next;
    }
    bar->firstNote = nullptr;
  }
  delete[] bars;
}

void CScoreBuffer::FreeAllBars() {
  for (ScoreBar* bars : data_.barArrays) FreeBars(bars);
  data_.barArrays.clear();
  data_.tracks.clear();
}

int CScoreBuffer::Clear() {
  if (data_.barArrays.empty()) return 0;
  FreeAllBars();
  data_.texts.clear();
  data_.lyrics.clear();
  return 0;
}

int CScoreBuffer::SetTimeSignatures(const ScoreTimeSig* sigs, int count) {
  try {
    std::vector<ScoreTimeSig> kept;
    for (int i = 0; sigs && i < count; ++i) {
      ScoreTimeSig s = sigs[i];
      // A zero numerator or a beat that truncated to 0 ticks would divide by zero later.
      if (s.beatsPerBar <= 0 || s.ticksPerBeat <= 0 || s.beatsPerBar > kMaxBeats ||
          s.ticksPerBeat > kMaxTicksPerBeat)
        continue;
      if (s.startTick < 0) s.startTick = 0;
      if (!kept.empty() && s.startTick <= kept.back().startTick) {
        // Two signatures at one bar: the later one holds. One that goes back in
        // time cannot start a region.
        if (s.startTick == kept.back().startTick) kept.back() = s;
        continue;
      }
      kept.push_back(s);
    }
    if (kept.empty()) kept.push_back(kDefaultTimeSig);
    // The first signature rules from the song's start, for snapping as for the
    // bar mapping, whatever bar the file put it on.
    kept.front().startTick = 0;
    data_.timeSigs.swap(kept);
    return 0;
  } catch (const std::bad_alloc&) {
    return 1;
  }
}

int CScoreBuffer::SetKeySignatures(const ScoreKeySig* sigs, int count) {
  try {
    std::vector<ScoreKeySig> kept;
    for (int i = 0; sigs && i < count; ++i) {
      ScoreKeySig k = sigs[i];
      if (k.key < -7 || k.key > 7) k.key = 0;
      if (k.tick < 0) k.tick = 0;
      kept.push_back(k);
    }
    data_.keySigs.swap(kept);
    return 0;
  } catch (const std::bad_alloc&) {
    return 1;
  }
}

int CScoreBuffer::SetTexts(const ScoreText* texts, int count, int track) {
  try {
    std::vector<ScoreText> kept;
    if (texts && count > 0) kept.assign(texts, texts + count);
    data_.texts.swap(kept);
    data_.textTrack = track;
    return 0;
  } catch (const std::bad_alloc&) {
    return 1;
  }
}

int CScoreBuffer::SetLyrics(int track, const ScoreLyric* lyrics, int count) {
  try {
    std::vector<ScoreLyric> kept;
    if (lyrics && count > 0) kept.assign(lyrics, lyrics + count);
    data_.lyrics.swap(kept);
    data_.lyricTrack = track;
    return 0;
  } catch (const std::bad_alloc&) {
    return 1;
  }
}

ScoreData* CScoreBuffer::GetData() { return &data_; }

namespace {

// The signature regions of a song: where each starts and how many bars lie
// before it. Looking a tick up here instead of walking forward keeps an event
// that arrives out of order inside its own bar.
class CBarMapper {
 public:
  explicit CBarMapper(const std::vector<ScoreTimeSig>& sigs) {
    int64_t start = 0, barsBefore = 0;
    for (size_t i = 0; i < sigs.size(); ++i) {
      if (i > 0) {
        const int64_t next = sigs[i].startTick;
        barsBefore += (next - start) / regions_.back().barLength;
        start = next;
      }
      regions_.push_back(Region{start, barsBefore, BarLength(sigs[i])});
    }
  }

  int64_t BarOf(int64_t tick) const {
    const Region& r = RegionOf(tick);
    return r.barsBefore + (tick - r.start) / r.barLength;
  }
  int64_t OffsetOf(int64_t tick) const {
    const Region& r = RegionOf(tick);
    return (tick - r.start) % r.barLength;
  }
  // The tick of the next bar line when the tick lies in the last 14 ticks of
  // its bar, else the tick itself.
  int64_t SnapToBarEnd(int64_t tick) const {
    const Region& r = RegionOf(tick);
    const int64_t into = (tick - r.start) % r.barLength;
    if (into <= r.barLength - 15) return tick;
    return r.start + r.barLength * ((tick - r.start) / r.barLength + 1);
  }

 private:
  struct Region {
    int64_t start;
    int64_t barsBefore;
    int64_t barLength;
  };
  const Region& RegionOf(int64_t tick) const {
    // The first region starts at 0, so every tick >= 0 has one.
    auto it = std::upper_bound(regions_.begin(), regions_.end(), tick,
                               [](int64_t t, const Region& r) { return t < r.start; });
    return it == regions_.begin() ? *it : *(it - 1);
  }

  std::vector<Region> regions_;
};

}  // namespace

void CScoreBuffer::QuantizeBarEnds(const ScoreData& data, ScoreNoteEvent* events, unsigned count) {
  if (data.timeSigs.empty() || !events) return;
  const CBarMapper mapper(data.timeSigs);
  for (unsigned i = 0; i < count; ++i) {
    ScoreNoteEvent& e = events[i];
    if (e.tick == -1) break;
    if (e.tick < 0) continue;
    const int64_t snapped = mapper.SnapToBarEnd(e.tick);
    if (snapped <= INT32_MAX) e.tick = static_cast<int32_t>(snapped);
  }
}

namespace {

// The notes of one pitch still waiting for their note-off: the open nodes in
// bar order and, within a bar, in order of creation; and their note-on ticks
// in order of creation. Both are taken from the front, so a read position
// stands in for erasing, and a pitch that never sounds allocates nothing.
struct OpenPitch {
  struct Open {
    int64_t bar;
    ScoreNoteNode* node;
  };
  std::vector<Open> open;
  size_t openFront = 0;
  std::vector<int32_t> onTicks;
  size_t tickFront = 0;

  bool Empty() const { return openFront == open.size(); }
  void Add(int64_t bar, ScoreNoteNode* node, int32_t tick) {
    // Notes mostly come in bar order: the new one goes last. One that comes
    // back to an earlier bar goes after the open notes of that bar.
    if (Empty() || open.back().bar <= bar) {
      open.push_back(Open{bar, node});
    } else {
      auto at = std::upper_bound(open.begin() + std::ptrdiff_t(openFront), open.end(), bar,
                                 [](int64_t b, const Open& o) { return b < o.bar; });
      open.insert(at, Open{bar, node});
    }
    onTicks.push_back(tick);
  }
  const Open& First() const { return open[openFront]; }
  int32_t FirstTick() const { return onTicks[tickFront]; }
  void DropFirst() {
    if (++openFront == open.size()) open.clear(), openFront = 0;
    if (++tickFront == onTicks.size()) onTicks.clear(), tickFront = 0;
  }
};

}  // namespace

ScoreBar* CScoreBuffer::BuildBars(ScoreNoteEvent* events, unsigned count, int barCount) {
  QuantizeBarEnds(data_, events, count);

  ScoreBar* bars = new ScoreBar[barCount];
  for (int i = 0; i < barCount; ++i)
    bars[i] = ScoreBar{i, nullptr, i + 1 < barCount ? &bars[i + 1] : nullptr};
  std::vector<ScoreNoteNode*> lastNode(barCount, nullptr);

  try {
    const bool oneSig = data_.timeSigs.size() == 1;
    const CBarMapper mapper(data_.timeSigs);
    // A note-off closes the first open note of its pitch in bar order and
    // then list order, and takes the oldest note-on tick of the pitch.
    OpenPitch pitches[128];
    int64_t bar = 0;

    for (unsigned i = 0; events && i < count; ++i) {
      const ScoreNoteEvent& e = events[i];
      if (e.tick == -1) break;
      if (e.tick < 0 || e.note > 127) continue;
      const bool on = IsNoteOn(e);
      const bool off = IsNoteOff(e);
      if (!on && !off) continue;
      const int64_t g = RoundToMultiple(e.tick, 10);
      if (oneSig || on) bar = mapper.BarOf(g);
      if (bar > barCount) continue;
      OpenPitch& pitch = pitches[e.note];
      if (on) {
        if (bar >= barCount) break;
        ScoreNoteNode* node =
            new ScoreNoteNode{e.note, 0, static_cast<int32_t>(mapper.OffsetOf(g)), e.tick, nullptr};
        if (lastNode[bar])
          lastNode[bar]->next = node;
        else
          bars[bar].firstNote = node;
        lastNode[bar] = node;
        pitch.Add(bar, node, e.tick);
        continue;
      }
      if (pitch.Empty()) continue;
      if (pitch.First().bar > std::min<int64_t>(bar, barCount - 1)) continue;
      const int64_t held = std::abs(int64_t(e.tick) - pitch.FirstTick());
      const int64_t length = RoundToMultiple(held, 10);
      pitch.First().node->length =
          length > 0 ? static_cast<int32_t>(std::min<int64_t>(length, INT32_MAX)) : 30;
      pitch.DropFirst();
    }
  } catch (...) {
    FreeBars(bars);
    throw;
  }
  return bars;
}

int CScoreBuffer::AddTrackNotes(int track, ScoreNoteEvent* events, unsigned count, int barCount,
                                int staffKind) {
  try {
    if (barCount > kMaxBars) barCount = kMaxBars;
    if (barCount <= 0) {
      data_.barArrays.push_back(nullptr);
      return 0;
    }
    if (data_.timeSigs.empty()) SetTimeSignatures(nullptr, 0);
    if (staffKind < 0 || staffKind > 7) staffKind = 0;
    data_.barArrays.reserve(data_.barArrays.size() + 1);
    data_.tracks.reserve(data_.tracks.size() + 1);
    ScoreBar* bars = BuildBars(events, events ? count : 0, barCount);
    data_.barArrays.push_back(bars);
    data_.tracks.push_back(ScoreTrackEntry{bars, track, staffKind, barCount});
    return 0;
  } catch (const std::bad_alloc&) {
    return 1;
  }
}
