#include "MeasurePage.h"

#include "KeyTable.h"

void CMeasurePage::SetMeasure(const CScoreMeasure& m) {
  index_ = m.index;
  beats_ = m.beats > 0 ? m.beats : 4;
  beatTicks_ = m.beatLength > 0 ? m.beatLength : 120;
  startTick_ = m.startTick;
  width_ = m.width;
  noteOffset_ = m.signatureExtras;
  showTime_ = m.timeSigChange;
  key_ = CKeyTable::ClampKey(m.key);
  previousKey_ = CKeyTable::ClampKey(m.previousKey);
  showKey_ = m.keyChange;
  scale_ = m.noteScale;
  unitsPerBeat_ = m.unitsPerBeat > 0 ? m.unitsPerBeat : 1;
  fixedTupletSpacing_ = m.fixedWidthOn;
}

int CMeasurePage::TickX(int t) const {
  const int T = beatTicks_ > 0 ? beatTicks_ : 1;
  const int perUnit = T / unitsPerBeat_ > 0 ? T / unitsPerBeat_ : 1;
  const int units = (t % T) / perUnit + unitsPerBeat_ * (t / T);
  return static_cast<int>(static_cast<double>(units) * scale_);
}
