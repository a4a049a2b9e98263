#include "ScoreFacets.h"

#include <score/IScoreView.h>

#include "CScoreHost.h"

// @name Score facet

int CScoreFacetImpl::SetScoreType(int type) { return Host() ? Host()->SetScoreType(type) : 1; }
int CScoreFacetImpl::GetScoreType() { return Host() ? Host()->GetScoreType() : 0; }
int CScoreFacetImpl::SetTrackStaffKind(int kind, int track) {
  return Host() ? Host()->SetStaffKind(kind, track) : 1;
}
int CScoreFacetImpl::GetTrackStaffKind(int* out, int track) {
  return Host() && out ? Host()->GetTrackStaffKind(out, track) : 1;
}
int CScoreFacetImpl::Layout(RECT* rect) { return Host() ? Host()->Layout(rect) : 0; }
int CScoreFacetImpl::ScrollTo(int measure) { return Host() ? Host()->ScrollTo(measure) : 1; }
int CScoreFacetImpl::ScrollBy(int count) { return Host() ? Host()->ScrollBy(count) : 0; }
int CScoreFacetImpl::GetPageMeasureCount(char* out) { return Host() ? Host()->GetPageMeasureCount(out) : 0; }
int CScoreFacetImpl::GetLastMeasure() { return Host() ? Host()->GetLastMeasure() : -1; }
int CScoreFacetImpl::PrevPage() { return Host() ? Host()->PrevPage() : -1; }
int CScoreFacetImpl::TickFromPoint(int x, int y) { return Host() ? Host()->TickFromPoint(x, y) : -1; }
int CScoreFacetImpl::GetMeasureCount(int track) { return Host() ? Host()->GetMeasureCount(track) : 0; }

void CScoreFacetImpl::Destroy(unsigned flags) {
  this->~CScoreFacetImpl();
  if (flags & 1) ::operator delete(this);
}

// @name Options pair

CScoreViewPairImpl::~CScoreViewPairImpl() {
  if (first_) first_->Release();
  if (second_) second_->Release();
}

void CScoreViewPairImpl::Release() { delete this; }

void CScoreViewPairImpl::Destroy(unsigned flags) {
  this->~CScoreViewPairImpl();
  if (flags & 1) ::operator delete(this);
}

template <class Set, class Value>
void CScoreViewPairImpl::ToBoth(Set set, Value value, int track) {
  if (first_) (first_->*set)(value, track);
  if (second_) (second_->*set)(value, track);
}

template <class Result>
Result CScoreViewPairImpl::FromFirst(Result (IScoreViewOptions::*get)(int), int track) {
  return first_ ? (first_->*get)(track) : Result{};
}

void CScoreViewPairImpl::SetLineColor(COLORREF c, int t) { ToBoth(&IScoreViewOptions::SetLineColor, c, t); }
COLORREF CScoreViewPairImpl::GetLineColor(int t) { return FromFirst(&IScoreViewOptions::GetLineColor, t); }
void CScoreViewPairImpl::SetNoteColor(COLORREF c, int t) { ToBoth(&IScoreViewOptions::SetNoteColor, c, t); }
COLORREF CScoreViewPairImpl::GetNoteColor(int t) { return FromFirst(&IScoreViewOptions::GetNoteColor, t); }
void CScoreViewPairImpl::SetHighlightNoteColor(COLORREF c, int t) {
  ToBoth(&IScoreViewOptions::SetHighlightNoteColor, c, t);
}
COLORREF CScoreViewPairImpl::GetHighlightNoteColor(int t) {
  return FromFirst(&IScoreViewOptions::GetHighlightNoteColor, t);
}
void CScoreViewPairImpl::SetClefColor(COLORREF c, int t) { ToBoth(&IScoreViewOptions::SetClefColor, c, t); }
COLORREF CScoreViewPairImpl::GetClefColor(int t) { return FromFirst(&IScoreViewOptions::GetClefColor, t); }
void CScoreViewPairImpl::SetSignatureColor(COLORREF c, int t) {
  ToBoth(&IScoreViewOptions::SetSignatureColor, c, t);
}
COLORREF CScoreViewPairImpl::GetSignatureColor(int t) {
  return FromFirst(&IScoreViewOptions::GetSignatureColor, t);
}
void CScoreViewPairImpl::SetBarIndexColor(COLORREF c, int t) {
  ToBoth(&IScoreViewOptions::SetBarIndexColor, c, t);
}
COLORREF CScoreViewPairImpl::GetBarIndexColor(int t) {
  return FromFirst(&IScoreViewOptions::GetBarIndexColor, t);
}
void CScoreViewPairImpl::SetShowBarIndex(bool on, int t) {
  ToBoth(&IScoreViewOptions::SetShowBarIndex, on, t);
}
bool CScoreViewPairImpl::GetShowBarIndex(int t) { return FromFirst(&IScoreViewOptions::GetShowBarIndex, t); }
void CScoreViewPairImpl::SetShowTrackNumber(bool on, int t) {
  ToBoth(&IScoreViewOptions::SetShowTrackNumber, on, t);
}
bool CScoreViewPairImpl::GetShowTrackNumber(int t) {
  return FromFirst(&IScoreViewOptions::GetShowTrackNumber, t);
}
void CScoreViewPairImpl::SetHeavyEndBar(bool on, int t) { ToBoth(&IScoreViewOptions::SetHeavyEndBar, on, t); }
bool CScoreViewPairImpl::GetHeavyEndBar(int t) { return FromFirst(&IScoreViewOptions::GetHeavyEndBar, t); }
