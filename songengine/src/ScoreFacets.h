#pragma once
// The player's two handles on the notation: the engine-owned score facet and
// the options pair that sets one display option on both views.
#include <memory>

#include <tunewell/ISongEngine.h>

#include <score/IScoreViewOptions.h>

#include "ViewOptionsRelay.h"

class CScoreHost;

class CScoreFacetImpl : public CScoreFacet {
 public:
  // host is the engine's field, read at each call: the host comes and goes
  // with CreateScore and DestroyScore while the facet lives on.
  explicit CScoreFacetImpl(const std::unique_ptr<CScoreHost>* host) : host_(host) {}
  virtual ~CScoreFacetImpl() = default;

  int SetScoreType(int type) override;
  int GetScoreType() override;
  int SetTrackStaffKind(int kind, int track) override;
  int GetTrackStaffKind(int* out, int track) override;
  int Layout(RECT* rect) override;
  int ScrollTo(int measure) override;
  int ScrollBy(int count) override;
  int GetPageMeasureCount(char* out) override;
  int GetLastMeasure() override;
  int PrevPage() override;
  int TickFromPoint(int x, int y) override;
  int GetMeasureCount(int track) override;
  void Destroy(unsigned flags) override;

 private:
  CScoreHost* Host() const { return host_->get(); }
  const std::unique_ptr<CScoreHost>* host_;
};

class CScoreViewPairImpl : public ViewOptionsRelay<CScoreViewPair, CScoreViewPairImpl> {
 public:
  // Takes ownership of both; either may be null.
  CScoreViewPairImpl(IScoreViewOptions* first, IScoreViewOptions* second) : first_(first), second_(second) {}
  virtual ~CScoreViewPairImpl();

  void Release() override;
  void SetLyricFont(HFONT font, int track) override {}
  HFONT GetLyricFont(int track) override { return nullptr; }
  void Destroy(unsigned flags) override;

 private:
  friend class ViewOptionsRelay<CScoreViewPair, CScoreViewPairImpl>;
  // A setting goes to both views; a reading comes from the first.
  template <class Value>
  void Set(void (IScoreViewOptions::*set)(Value, int), Value value, int track) {
    if (first_) (first_->*set)(value, track);
    if (second_) (second_->*set)(value, track);
  }
  template <class Result>
  Result Get(Result (IScoreViewOptions::*get)(int), int track) {
    return first_ ? (first_->*get)(track) : Result{};
  }

  IScoreViewOptions* first_;
  IScoreViewOptions* second_;
};
