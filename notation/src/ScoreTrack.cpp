// Steps both score models share: measures from bars, signatures and keys per
// measure, ties across bar lines, and the widths that signatures and lyrics ask for.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <unordered_map>

#include "IScorePart.h"
#include "KeyTable.h"
#include "MeasurePasses.h"
#include "MeasureSizes.h"
#include "Rounding.h"
#include "ScoreTrack.h"

namespace {
// The slot of a syllable that is not measured: punctuation takes no room.
constexpr size_t kUnmeasured = static_cast<size_t>(-1);
}  // namespace

CScoreTrack::CScoreTrack(IScorePart* part) : part_(part) {}

void CScoreTrack::SetFixedWidth(bool on, int width) {
  fixedWidthOn_ = on && width > 0;
  fixedWidth_ = width;
}

void CScoreTrack::SetSignatures(const std::vector<ScoreTimeSig>& timeSigs,
                                const std::vector<ScoreKeySig>& keySigs) {
  timeSigs_.clear();
  // The buffer checks its signatures; a model must not trust them anyway.
  for (const ScoreTimeSig& s : timeSigs)
    if (s.beatsPerBar > 0 && s.ticksPerBeat > 0) timeSigs_.push_back(s);
  if (timeSigs_.empty()) timeSigs_.push_back(ScoreTimeSig{0, 4, 120});
  keySigs_ = keySigs;
}

CScoreMeasure& CScoreTrack::AppendMeasure(const ScoreBar& bar, int sizeLevel, bool percussion) {
  std::unique_ptr<CScoreMeasure> m = CreateMeasure(sizeLevel, percussion);
  m->index = bar.index;
  m->fixedWidthOn = fixedWidthOn_;
  m->fixedWidth = fixedWidth_;
  measures_.push_back(std::move(m));
  return *measures_.back();
}

void CScoreTrack::AssignTimeSignatures() {
  size_t current = 0;
  int64_t running = 0;
  const CScoreMeasure* previous = nullptr;
  for (auto& m : measures_) {
    // Signature ticks are measured in bars of the buffer; the measure starts
    // are on the 30-tick grid, so a change is due from its rounded tick.
    while (current + 1 < timeSigs_.size() && running >= RoundTo30(timeSigs_[current + 1].startTick))
      ++current;
    const ScoreTimeSig& sig = timeSigs_[current];
    m->beats = sig.beatsPerBar;
    m->beatLength = sig.ticksPerBeat;
    m->startTick = static_cast<int>(std::min<int64_t>(running, INT32_MAX));
    m->timeSigChange = previous && (previous->beats != m->beats || previous->beatLength != m->beatLength);
    running += m->BarLength();
    previous = m.get();
  }
}

void CScoreTrack::AssignKeys() {
  size_t current = 0;
  const CScoreMeasure* previous = nullptr;
  for (auto& m : measures_) {
    while (current + 1 < keySigs_.size() && m->startTick >= RoundTo30(keySigs_[current + 1].tick)) ++current;
    m->key = keySigs_.empty() ? 0 : CKeyTable::ClampKey(keySigs_[current].key);
    m->keyChange = previous && previous->key != m->key;
    m->previousKey = m->keyChange ? previous->key : 0;
    previous = m.get();
  }
}

void CScoreTrack::TieAcrossBarLines(bool twoStaves) {
  for (size_t mi = 0; mi < measures_.size(); ++mi) {
    CScoreMeasure& m = *measures_[mi];
    CScoreMeasure* next = mi + 1 < measures_.size() ? measures_[mi + 1].get() : nullptr;
    const int barLength = m.BarLength();
    for (int voice : {kSingleVoice, kUpperVoice, kLowerVoice}) {
      if ((voice == kSingleVoice) == twoStaves) continue;
      NoteList& list = m.Voice(voice);
      CMeasurePasses::SortByOffset(list);
      for (ScoreNote& n : list) {
        if (n.InTuplet()) continue;
        const int e = n.notatedOffset, f = n.notatedLength;
        if (e + f - barLength <= 14) continue;
        const int cut = barLength - e;
        const int overhang = f - cut;
        n.length = cut;
        n.notatedLength = cut;
        // A long note held a little into the next bar was simply released late.
        if (cut >= 240 && overhang <= 30) continue;
        if (!next) continue;
        ScoreNote rest(n.pitch, overhang, 0, n.notatedTick + cut);
        rest.notatedLength = overhang;
        rest.notatedTick = n.notatedTick + cut;
        n.tieStart = tieCounter_;
        rest.tieEnd = tieCounter_;
        ++tieCounter_;
        if (tiedMeasures_.empty() || tiedMeasures_.back() != m.index) tiedMeasures_.push_back(m.index);
        NoteList& into = next->Voice(voice);
        auto at = std::upper_bound(into.begin(), into.end(), 0,
                                   [](int offset, const ScoreNote& x) { return offset < x.notatedOffset; });
        into.insert(at, rest);
      }
    }
  }
}

void CScoreTrack::MeasureLyrics() {
  lyricsMeasured_ = true;
  const std::vector<ScoreLyric>& lyrics = part_->PartLyrics();
  // Songs repeat their syllables: each distinct text is measured once.
  std::unordered_map<std::string, size_t> slotOfText;
  std::vector<std::string> texts;
  std::vector<size_t> slots;
  slots.reserve(lyrics.size());
  for (const ScoreLyric& lyric : lyrics) {
    const bool punctuation = lyric.text == "," || lyric.text == ".";
    if (punctuation) {
      slots.push_back(kUnmeasured);
      continue;
    }
    // Looked up before adding: an emplace would copy the text into a new
    // entry for every syllable, only to drop it when the text is known.
    auto known = slotOfText.find(lyric.text);
    if (known == slotOfText.end()) {
      known = slotOfText.emplace(lyric.text, texts.size()).first;
      texts.push_back(lyric.text);
    }
    slots.push_back(known->second);
  }
  std::vector<int> widths;
  if (!texts.empty()) part_->MeasureLyricWidths(texts, &widths);
  sungLyrics_.reserve(sungLyrics_.size() + lyrics.size());
  for (size_t i = 0; i < lyrics.size(); ++i) {
    const int width = slots[i] < widths.size() ? widths[slots[i]] : 0;
    // A syllable wider than the widening bound asks for the bound either way;
    // clamping keeps the sums of free syllables below from overflowing.
    sungLyrics_.push_back(
        SungLyric{lyrics[i].tick, std::min(std::max(0, width), MeasureSizes::kLyricMeasureLimit)});
  }
  std::stable_sort(sungLyrics_.begin(), sungLyrics_.end(),
                   [](const SungLyric& a, const SungLyric& b) { return a.tick < b.tick; });
}

bool CScoreTrack::SyllableUnits(const CScoreMeasure& m, int tick, int unitsPerBeat, double* units,
                                bool* attached) {
  // The pages' rule: a syllable goes under the first note that starts within
  // 10 ticks of it, else it stands free at its own tick when that is at least
  // 10 ticks before the bar line.
  const double unitTicks = double(m.beatLength) / unitsPerBeat;
  for (const ScoreNote& n : m.notes) {
    if (std::abs(n.tick - tick) >= kLyricMatchTicks) continue;
    *attached = true;
    if (n.InTuplet()) {
      // Tuplet members are spaced evenly between the grid's places.
      *units = n.notatedOffset / unitTicks;
    } else {
      // Whole units, as the pages place a note: beats other than 60, 120 and
      // 240 ticks have one unit and notes inside it share its place.
      const int perUnit = std::max(1, m.beatLength / unitsPerBeat);
      const int t = std::max(0, n.notatedOffset);
      *units = (t % m.beatLength) / perUnit + unitsPerBeat * (t / m.beatLength);
    }
    return true;
  }
  if (tick > m.EndTick() - kLyricMatchTicks) return false;
  *attached = false;
  *units = std::max(0, tick - m.startTick) / unitTicks;
  return true;
}

double CScoreTrack::LyricUnitWidth(const CScoreMeasure& m, double plainWidth, double headInset) {
  if (!part_) return 0;
  if (!lyricsMeasured_) MeasureLyrics();
  if (sungLyrics_.empty() || m.beatLength <= 0 || m.beats <= 0) return 0;
  const int unitsPerBeat = CMeasurePasses::FindBeatSubdivision(m);
  const double barUnits = double(unitsPerBeat) * m.beats;
  auto it = std::lower_bound(sungLyrics_.begin(), sungLyrics_.end(), m.startTick - kLyricMatchTicks,
                             [](const SungLyric& l, int tick) { return l.tick <= tick; });
  double needed = 0;
  // Syllables drawn at one place (under one note) overlap however wide the
  // unit is; the widest of them must still clear the next place.
  int width = 0;
  double at = 0;
  auto clear = [&](double nextUnits) {
    if (width > 0 && nextUnits > at)
      needed = std::max(needed, (double(width) + MeasureSizes::kLyricGap) / (nextUnits - at));
  };
  for (; it != sungLyrics_.end() && it->tick < m.EndTick(); ++it) {
    double units = 0;
    bool attached = false;
    if (it->width <= 0 || !SyllableUnits(m, it->tick, unitsPerBeat, &units, &attached)) continue;
    if (width > 0 && !attached && units - at < 1) {
      // A free syllable this close is drawn right after the previous one.
      width += kFreeSyllableShift + it->width;
      continue;
    }
    if (width > 0 && units <= at) {
      width = std::max(width, it->width);
      continue;
    }
    clear(units);
    width = it->width;
    at = units;
  }
  // The last one ends before the bar line: a view that draws the note inside
  // its cell leaves it that much less of the last cell.
  clear(barUnits - headInset);
  if (needed <= 0) return 0;
  const double limit = std::max(plainWidth, std::floor(MeasureSizes::kLyricMeasureLimit / barUnits));
  return std::min(std::ceil(needed), limit);
}

int CScoreTrack::TimeSignatureExtras(const CScoreMeasure& m) {
  return m.timeSigChange ? MeasureSizes::kTimeWidth[MeasureSizes::Level(m.sizeLevel)] : 0;
}

void CScoreTrack::ApplyFixedWidth(CScoreMeasure& m) const {
  switch (m.beatLength) {
    case 60:
      m.unitsPerBeat = 2;
      break;
    case 120:
      m.unitsPerBeat = 4;
      break;
    case 240:
      m.unitsPerBeat = 8;
      break;
    default:
      m.unitsPerBeat = 4;
      break;
  }
  const double units = double(m.beats) * m.unitsPerBeat + 1;
  const int room = m.signatureExtras > 0 ? fixedWidth_ - m.signatureExtras : fixedWidth_;
  m.noteScale = std::max(1.0, room / units);
  m.width = fixedWidth_;
}
