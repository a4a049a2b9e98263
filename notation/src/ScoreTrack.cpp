// Steps both score models share: measures from bars, signatures and keys per
// measure, ties across bar lines, and the widths that signatures and lyrics ask for.
#include <algorithm>
#include <cmath>

#include "IScorePart.h"
#include "KeyTable.h"
#include "MeasurePasses.h"
#include "MeasureSizes.h"
#include "Rounding.h"
#include "ScoreTrack.h"

CScoreTrack::CScoreTrack(IScorePart* part) : part_(part) {}

void CScoreTrack::SetFixedWidth(bool on, int width) {
  fixedWidthOn_ = on && width > 0;
  fixedWidth_ = width;
}

void CScoreTrack::SetSignatures(const std::vector<ScoreTimeSig>& timeSigs, const std::vector<ScoreKeySig>& keySigs) {
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
    while (current + 1 < timeSigs_.size() && running >= RoundTo30(timeSigs_[current + 1].startTick)) ++current;
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

double CScoreTrack::LyricUnitWidth(const CScoreMeasure& m, double plainWidth) {
  if (!part_) return 0;
  if (!lyricsMeasured_) {
    lyricsMeasured_ = true;
    for (const ScoreLyric& lyric : part_->PartLyrics())
      sungLyrics_.push_back(SungLyric{lyric.tick, part_->MeasureLyricWidth(lyric.text)});
    std::stable_sort(sungLyrics_.begin(), sungLyrics_.end(),
                     [](const SungLyric& a, const SungLyric& b) { return a.tick < b.tick; });
  }
  if (sungLyrics_.empty() || m.beatLength <= 0) return 0;
  const int unitsPerBeat = CMeasurePasses::FindBeatSubdivision(m);
  const int end = m.EndTick();
  auto it = std::lower_bound(sungLyrics_.begin(), sungLyrics_.end(), m.startTick,
                             [](const SungLyric& l, int tick) { return l.tick < tick; });
  double needed = 0;
  for (; it != sungLyrics_.end() && it->tick < end; ++it) {
    const int until = (it + 1 != sungLyrics_.end() && (it + 1)->tick < end) ? (it + 1)->tick : end;
    const int span = until - it->tick;
    if (span <= 0 || it->width <= 0) continue;
    // Syllables closer than one grid unit cannot be spread further apart.
    const double units = std::max(1.0, double(span) * unitsPerBeat / m.beatLength);
    needed = std::max(needed, (it->width + MeasureSizes::kLyricGap) / units);
  }
  return std::min(std::ceil(needed), plainWidth * MeasureSizes::kLyricWideningLimit);
}

int CScoreTrack::TimeSignatureExtras(const CScoreMeasure& m) {
  return m.timeSigChange ? MeasureSizes::kTimeWidth[MeasureSizes::Level(m.sizeLevel)] : 0;
}

void CScoreTrack::ApplyFixedWidth(CScoreMeasure& m) const {
  switch (m.beatLength) {
    case 60: m.unitsPerBeat = 2; break;
    case 120: m.unitsPerBeat = 4; break;
    case 240: m.unitsPerBeat = 8; break;
    default: m.unitsPerBeat = 4; break;
  }
  const double units = double(m.beats) * m.unitsPerBeat + 1;
  const int room = m.signatureExtras > 0 ? fixedWidth_ - m.signatureExtras : fixedWidth_;
  m.noteScale = std::max(1.0, room / units);
  m.width = fixedWidth_;
}
