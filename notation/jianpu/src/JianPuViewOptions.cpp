#include "JianPuViewOptions.h"

#include "JianPuPainter.h"
#include "JianPuView.h"

OptionRecord OptionRecordOf(const CScorePainter& p) {
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

void ApplyOptionRecord(const OptionRecord& r, CScorePainter& p) {
  p.SetNoteColor(r.noteColor);
  p.SetHighlightColor(r.highlightColor);
  p.SetBarIndexColor(r.barIndexColor);
  p.SetSignatureColor(r.signatureColor);
  p.SetShowBarIndex(r.showBarIndex);
  p.SetHeavyEndBar(r.heavyEndBar);
}

template <typename T, typename Apply>
void CJianPuViewOptions::Set(T OptionRecord::*field, T value, int track, Apply apply) {
  auto& records = view_->OptionRecords();
  if (track == -1) {
    for (auto& entry : records) entry.second.*field = value;
  } else {
    auto it = records.find(track);
    if (it != records.end()) it->second.*field = value;
  }
  // A copy: applying must not depend on the list staying as it is.
  const std::vector<CJianPuPainter*> parts = view_->PartList();
  for (CJianPuPainter* p : parts) {
    if (track != -1 && p->Track() != track) continue;
    apply(*p, value);
    if (track != -1) break;
  }
}

template <typename T>
T CJianPuViewOptions::Get(T OptionRecord::*field, int track, T fallback) const {
  const auto& records = view_->OptionRecords();
  if (track == -1) return records.empty() ? fallback : records.begin()->second.*field;
  auto it = records.find(track);
  return it == records.end() ? fallback : it->second.*field;
}

namespace {
void Nothing(CScorePainter&, COLORREF) {}
}  // namespace

void CJianPuViewOptions::SetLineColor(COLORREF c, int track) { Set(&OptionRecord::lineColor, c, track, Nothing); }
COLORREF CJianPuViewOptions::GetLineColor(int track) { return Get<COLORREF>(&OptionRecord::lineColor, track, 0); }

void CJianPuViewOptions::SetNoteColor(COLORREF c, int track) {
  Set(&OptionRecord::noteColor, c, track, [](CScorePainter& p, COLORREF v) { p.SetNoteColor(v); });
}
COLORREF CJianPuViewOptions::GetNoteColor(int track) { return Get<COLORREF>(&OptionRecord::noteColor, track, 0); }

void CJianPuViewOptions::SetHighlightNoteColor(COLORREF c, int track) {
  Set(&OptionRecord::highlightColor, c, track, [](CScorePainter& p, COLORREF v) { p.SetHighlightColor(v); });
}
COLORREF CJianPuViewOptions::GetHighlightNoteColor(int track) {
  return Get<COLORREF>(&OptionRecord::highlightColor, track, 0);
}

void CJianPuViewOptions::SetClefColor(COLORREF c, int track) { Set(&OptionRecord::clefColor, c, track, Nothing); }
COLORREF CJianPuViewOptions::GetClefColor(int track) { return Get<COLORREF>(&OptionRecord::clefColor, track, 0); }

void CJianPuViewOptions::SetSignatureColor(COLORREF c, int track) {
  Set(&OptionRecord::signatureColor, c, track, [](CScorePainter& p, COLORREF v) { p.SetSignatureColor(v); });
}
COLORREF CJianPuViewOptions::GetSignatureColor(int track) {
  return Get<COLORREF>(&OptionRecord::signatureColor, track, 0);
}

void CJianPuViewOptions::SetBarIndexColor(COLORREF c, int track) {
  Set(&OptionRecord::barIndexColor, c, track, [](CScorePainter& p, COLORREF v) { p.SetBarIndexColor(v); });
}
COLORREF CJianPuViewOptions::GetBarIndexColor(int track) {
  return Get<COLORREF>(&OptionRecord::barIndexColor, track, 0);
}

void CJianPuViewOptions::SetShowBarIndex(bool on, int track) {
  Set(&OptionRecord::showBarIndex, on, track, [](CScorePainter& p, bool v) { p.SetShowBarIndex(v); });
}
bool CJianPuViewOptions::GetShowBarIndex(int track) { return Get<bool>(&OptionRecord::showBarIndex, track, true); }

void CJianPuViewOptions::SetShowTrackNumber(bool on, int track) {
  Set(&OptionRecord::showTrackNumber, on, track, [](CScorePainter& p, bool v) { p.SetShowTrackNumber(v); });
}
bool CJianPuViewOptions::GetShowTrackNumber(int track) {
  return Get<bool>(&OptionRecord::showTrackNumber, track, true);
}

void CJianPuViewOptions::SetHeavyEndBar(bool on, int track) {
  Set(&OptionRecord::heavyEndBar, on, track, [](CScorePainter& p, bool v) { p.SetHeavyEndBar(v); });
}
bool CJianPuViewOptions::GetHeavyEndBar(int track) { return Get<bool>(&OptionRecord::heavyEndBar, track, true); }

void CJianPuViewOptions::Destroy(unsigned flags) {
  if (flags & 1)
    delete this;
  else
    this->~CJianPuViewOptions();
}
