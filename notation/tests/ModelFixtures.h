// Test fixtures for the score model: a part that measures syllables at a
// fixed width per character and keeps copies of the measures it is given, and
// a small song builder that fills a real score buffer.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "IScorePart.h"
#include "ScoreBuffer.h"
#include "ScoreMeasure.h"
#include "ScoreModel.h"

// What a painter would keep of a measure: the model deletes its own.
struct MeasureCopy {
  int index, beats, beatLength, startTick, key, previousKey;
  bool keyChange, timeSigChange, twoStaves, tripletsPresent, percussion;
  std::vector<ScoreNote> notes, upper, lower;
  std::map<int, int> tupletCounts;
  std::map<int, ScorePitchRange> chordRanges, beamRanges, tupletRanges;
  double noteScale;
  int unitsPerBeat, signatureExtras, width;

  explicit MeasureCopy(const CScoreMeasure& m)
      : index(m.index),
        beats(m.beats),
        beatLength(m.beatLength),
        startTick(m.startTick),
        key(m.key),
        previousKey(m.previousKey),
        keyChange(m.keyChange),
        timeSigChange(m.timeSigChange),
        twoStaves(m.twoStaves),
        tripletsPresent(m.tripletsPresent),
        percussion(m.IsPercussion()),
        notes(m.notes),
        upper(m.upperNotes),
        lower(m.lowerNotes),
        tupletCounts(m.tupletCounts),
        chordRanges(m.chordRanges),
        beamRanges(m.beamRanges),
        tupletRanges(m.tupletRanges),
        noteScale(m.noteScale),
        unitsPerBeat(m.unitsPerBeat),
        signatureExtras(m.signatureExtras),
        width(m.width) {}
  int BarLength() const { return beats * beatLength; }
  const std::vector<ScoreNote>& Voice(int voice) const {
    return voice == kUpperVoice ? upper : voice == kLowerVoice ? lower : notes;
  }
};

class FakePart : public IScorePart {
 public:
  explicit FakePart(int kind, int level = 0) : kind_(kind), level_(level) {}
  int PartStaffKind() const override { return kind_; }
  int PartSizeLevel() const override { return level_; }
  const std::vector<ScoreLyric>& PartLyrics() const override { return lyrics; }
  void MeasureLyricWidths(const std::vector<std::string>& texts, std::vector<int>* widths) override {
    widths->clear();
    for (const std::string& text : texts) {
      ++measured;
      widths->push_back(int(text.size()) * charWidth);
    }
  }
  int LayoutMeasures(const std::vector<CScoreMeasure*>& measures) override {
    laidOut.clear();
    for (const CScoreMeasure* m : measures) laidOut.emplace_back(*m);
    return layoutResult;
  }

  std::vector<ScoreLyric> lyrics;
  int charWidth = 8;
  int measured = 0;
  int layoutResult = 0;
  std::vector<MeasureCopy> laidOut;

 private:
  int kind_, level_;
};

// A note as a test writes it: start tick, length in ticks, pitch.
struct SongNote {
  int tick;
  int length;
  int pitch;
};

struct SongTrack {
  std::vector<SongNote> notes;
  int bars;
  int kind = 0;
};

// Fills a buffer the way the song engine does: signatures, then each track's
// note-on/off events in tick order (note-offs before note-ons at one tick).
class SongBuffer {
 public:
  SongBuffer(std::vector<ScoreTimeSig> timeSigs, std::vector<ScoreKeySig> keySigs = {})
      : buffer_(new CScoreBuffer()) {
    buffer_->SetTimeSignatures(timeSigs.data(), int(timeSigs.size()));
    buffer_->SetKeySignatures(keySigs.data(), int(keySigs.size()));
  }
  ~SongBuffer() { buffer_->Release(); }
  SongBuffer(const SongBuffer&) = delete;
  SongBuffer& operator=(const SongBuffer&) = delete;

  void AddTrack(int track, const SongTrack& t) {
    struct Ev {
      int tick, order;
      ScoreNoteEvent e;
    };
    std::vector<Ev> evs;
    int order = 0;
    for (const SongNote& n : t.notes) {
      evs.push_back({n.tick, 1, ScoreNoteEvent{n.tick, 0x90, uint8_t(n.pitch), 100, 0}});
      if (n.length > 0)
        evs.push_back(
            {n.tick + n.length, 0, ScoreNoteEvent{n.tick + n.length, 0x80, uint8_t(n.pitch), 0, 0}});
      ++order;
    }
    std::stable_sort(evs.begin(), evs.end(), [](const Ev& a, const Ev& b) {
      return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::vector<ScoreNoteEvent> events;
    for (const Ev& e : evs) events.push_back(e.e);
    events.push_back(ScoreNoteEvent{-1, 0, 0, 0, 0});
    buffer_->AddTrackNotes(track, events.data(), unsigned(events.size()), t.bars, t.kind);
  }
  ScoreData& Data() { return *buffer_->GetData(); }

 private:
  CScoreBuffer* buffer_;
};

// Builds a model of `Model` kind over the buffer with one fake part per track.
template <class Model>
int BuildModel(SongBuffer& song, std::vector<std::unique_ptr<FakePart>>& parts, bool fixedOn = false,
               int fixedWidth = 0) {
  Model model;
  model.SetFixedWidth(fixedOn, fixedWidth);
  std::vector<IScorePart*> raw;
  bool allPercussion = true;
  for (auto& p : parts) {
    raw.push_back(p.get());
    allPercussion = allPercussion && p->PartStaffKind() == 7;
  }
  const ScoreData& d = song.Data();
  return model.Build(raw, d.tracks, d.keySigs, d.timeSigs, allPercussion);
}

// One track, one part: the measures the part was given.
template <class Model>
std::vector<MeasureCopy> BuildOne(const std::vector<ScoreTimeSig>& sigs, const SongTrack& track,
                                  std::vector<ScoreKeySig> keys = {}) {
  SongBuffer song(sigs, keys);
  song.AddTrack(1, track);
  std::vector<std::unique_ptr<FakePart>> parts;
  parts.push_back(std::make_unique<FakePart>(track.kind));
  BuildModel<Model>(song, parts);
  return parts[0]->laidOut;
}
