#include "ViewOptions.h"

#include "base/Guarded.h"
#include "ScorePainter.h"

OptionRecord OptionRecord::FromPainter(const CScorePainter& p) {
  OptionRecord r;
  r.lineColor = p.LineColor();
  r.noteColor = p.NoteColor();
  r.highlightColor = p.HighlightColor();
  r.clefColor = p.ClefColor();
  r.barIndexColor = p.BarIndexColor();
  r.signatureColor = p.SignatureColor();
  r.showBarIndex = p.ShowBarIndex();
  r.showTrackNumber = p.ShowTrackNumber();
  r.heavyEndBar = p.HeavyEndBar();
  return r;
}

void OptionRecord::ApplyTo(CScorePainter& p) const {
  p.SetLineColor(lineColor);
  p.SetNoteColor(noteColor);
  p.SetHighlightColor(highlightColor);
  p.SetClefColor(clefColor);
  p.SetBarIndexColor(barIndexColor);
  p.SetSignatureColor(signatureColor);
  p.SetShowBarIndex(showBarIndex);
  p.SetHeavyEndBar(heavyEndBar);
}

template <typename T, typename Apply>
void CViewOptions::Set(T OptionRecord::*field, T value, int track, Apply apply) {
  auto& records = view_->OptionRecords();
  if (track == -1) {
    for (auto& entry : records) entry.second.*field = value;
  } else {
    auto it = records.find(track);
    if (it != records.end()) it->second.*field = value;
  }
  base::Guarded([&] {
    // A copy: applying must not depend on the list staying as it is.
    const std::vector<CScorePainter*> parts = view_->OptionParts();
    for (CScorePainter* p : parts) {
      if (track != -1 && p->Track() != track) continue;
      apply(*p, value);
      if (track != -1) break;
    }
  });
}

template <typename T>
T CViewOptions::Get(T OptionRecord::*field, int track, T fallback) const {
  const auto& records = view_->OptionRecords();
  if (track == -1) return records.empty() ? fallback : records.begin()->second.*field;
  auto it = records.find(track);
  return it == records.end() ? fallback : it->second.*field;
}

void CViewOptions::SetLineColor(COLORREF c, int track) {
  Set(&OptionRecord::lineColor, c, track, [](CScorePainter& p, COLORREF v) { p.SetLineColor(v); });
}
COLORREF CViewOptions::GetLineColor(int track) { return Get<COLORREF>(&OptionRecord::lineColor, track, 0); }

void CViewOptions::SetNoteColor(COLORREF c, int track) {
  Set(&OptionRecord::noteColor, c, track, [](CScorePainter& p, COLORREF v) { p.SetNoteColor(v); });
}
COLORREF CViewOptions::GetNoteColor(int track) { return Get<COLORREF>(&OptionRecord::noteColor, track, 0); }

void CViewOptions::SetHighlightNoteColor(COLORREF c, int track) {
  Set(&OptionRecord::highlightColor, c, track, [](CScorePainter& p, COLORREF v) { p.SetHighlightColor(v); });
}
COLORREF CViewOptions::GetHighlightNoteColor(int track) {
  return Get<COLORREF>(&OptionRecord::highlightColor, track, 0);
}

void CViewOptions::SetClefColor(COLORREF c, int track) {
  Set(&OptionRecord::clefColor, c, track, [](CScorePainter& p, COLORREF v) { p.SetClefColor(v); });
}
COLORREF CViewOptions::GetClefColor(int track) { return Get<COLORREF>(&OptionRecord::clefColor, track, 0); }

void CViewOptions::SetSignatureColor(COLORREF c, int track) {
  Set(&OptionRecord::signatureColor, c, track, [](CScorePainter& p, COLORREF v) { p.SetSignatureColor(v); });
}
COLORREF CViewOptions::GetSignatureColor(int track) {
  return Get<COLORREF>(&OptionRecord::signatureColor, track, 0);
}

void CViewOptions::SetBarIndexColor(COLORREF c, int track) {
  Set(&OptionRecord::barIndexColor, c, track, [](CScorePainter& p, COLORREF v) { p.SetBarIndexColor(v); });
}
COLORREF CViewOptions::GetBarIndexColor(int track) {
  return Get<COLORREF>(&OptionRecord::barIndexColor, track, 0);
}

void CViewOptions::SetShowBarIndex(bool on, int track) {
  Set(&OptionRecord::showBarIndex, on, track, [](CScorePainter& p, bool v) { p.SetShowBarIndex(v); });
}
bool CViewOptions::GetShowBarIndex(int track) { return Get<bool>(&OptionRecord::showBarIndex, track, true); }

void CViewOptions::SetShowTrackNumber(bool on, int track) {
  Set(&OptionRecord::showTrackNumber, on, track, [](CScorePainter& p, bool v) { p.SetShowTrackNumber(v); });
}
bool CViewOptions::GetShowTrackNumber(int track) {
  return Get<bool>(&OptionRecord::showTrackNumber, track, true);
}

void CViewOptions::SetHeavyEndBar(bool on, int track) {
  Set(&OptionRecord::heavyEndBar, on, track, [](CScorePainter& p, bool v) { p.SetHeavyEndBar(v); });
}
bool CViewOptions::GetHeavyEndBar(int track) { return Get<bool>(&OptionRecord::heavyEndBar, track, true); }

void CViewOptions::Destroy(unsigned flags) {
  if (flags & 1)
    delete this;
  else
    this->~CViewOptions();
}
