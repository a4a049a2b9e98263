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
