#include "CDeferredViewOptions.h"

#include "CScoreHost.h"

CDeferredViewOptions::~CDeferredViewOptions() { options_->Release(); }

void CDeferredViewOptions::Destroy(unsigned flags) {
  this->~CDeferredViewOptions();
  if (flags & 1) ::operator delete(this);
}

template <class Value>
void CDeferredViewOptions::Set(void (IScoreViewOptions::*set)(Value, int), Value value, int track) {
  if (host_->AwaitsRebuild(view_)) {
    host_->QueueOption(view_,
                       [set, value, track](IScoreViewOptions& options) { (options.*set)(value, track); });
  } else {
    (options_->*set)(value, track);
  }
}

template <class Result>
Result CDeferredViewOptions::Get(Result (IScoreViewOptions::*get)(int), int track) {
  if (host_->AwaitsRebuild(view_)) host_->RebuildPending();
  return (options_->*get)(track);
}

void CDeferredViewOptions::SetLineColor(COLORREF c, int t) { Set(&IScoreViewOptions::SetLineColor, c, t); }
COLORREF CDeferredViewOptions::GetLineColor(int t) { return Get(&IScoreViewOptions::GetLineColor, t); }
void CDeferredViewOptions::SetNoteColor(COLORREF c, int t) { Set(&IScoreViewOptions::SetNoteColor, c, t); }
COLORREF CDeferredViewOptions::GetNoteColor(int t) { return Get(&IScoreViewOptions::GetNoteColor, t); }
void CDeferredViewOptions::SetHighlightNoteColor(COLORREF c, int t) {
  Set(&IScoreViewOptions::SetHighlightNoteColor, c, t);
}
COLORREF CDeferredViewOptions::GetHighlightNoteColor(int t) {
  return Get(&IScoreViewOptions::GetHighlightNoteColor, t);
}
void CDeferredViewOptions::SetClefColor(COLORREF c, int t) { Set(&IScoreViewOptions::SetClefColor, c, t); }
COLORREF CDeferredViewOptions::GetClefColor(int t) { return Get(&IScoreViewOptions::GetClefColor, t); }
void CDeferredViewOptions::SetSignatureColor(COLORREF c, int t) {
  Set(&IScoreViewOptions::SetSignatureColor, c, t);
}
COLORREF CDeferredViewOptions::GetSignatureColor(int t) {
  return Get(&IScoreViewOptions::GetSignatureColor, t);
}
void CDeferredViewOptions::SetBarIndexColor(COLORREF c, int t) {
  Set(&IScoreViewOptions::SetBarIndexColor, c, t);
}
COLORREF CDeferredViewOptions::GetBarIndexColor(int t) {
  return Get(&IScoreViewOptions::GetBarIndexColor, t);
}
void CDeferredViewOptions::SetShowBarIndex(bool on, int t) {
  Set(&IScoreViewOptions::SetShowBarIndex, on, t);
}
bool CDeferredViewOptions::GetShowBarIndex(int t) { return Get(&IScoreViewOptions::GetShowBarIndex, t); }
void CDeferredViewOptions::SetShowTrackNumber(bool on, int t) {
  Set(&IScoreViewOptions::SetShowTrackNumber, on, t);
}
bool CDeferredViewOptions::GetShowTrackNumber(int t) {
  return Get(&IScoreViewOptions::GetShowTrackNumber, t);
}
void CDeferredViewOptions::SetHeavyEndBar(bool on, int t) { Set(&IScoreViewOptions::SetHeavyEndBar, on, t); }
bool CDeferredViewOptions::GetHeavyEndBar(int t) { return Get(&IScoreViewOptions::GetHeavyEndBar, t); }
