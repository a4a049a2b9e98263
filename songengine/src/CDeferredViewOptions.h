#pragma once
// The options of a view whose rebuild waits for its first use (see
// CScoreHost). Settings made meanwhile wait with it and reach the view right
// after its rebuild, in the order made, so that setting the colours of a song
// just opened lays out no view nobody sees; reading a setting rebuilds the
// view first. Once the view is rebuilt, every call goes straight through.
#include <score/IScoreViewOptions.h>

#include "CScoreHost.h"
#include "ViewOptionsRelay.h"

class CDeferredViewOptions final : public ViewOptionsRelay<IScoreViewOptions, CDeferredViewOptions> {
 public:
  // Takes ownership of options, the view's own; host and view outlive this.
  CDeferredViewOptions(CScoreHost* host, IScoreView* view, IScoreViewOptions* options)
      : host_(host), view_(view), options_(options) {}
  ~CDeferredViewOptions();
  CDeferredViewOptions(const CDeferredViewOptions&) = delete;
  CDeferredViewOptions& operator=(const CDeferredViewOptions&) = delete;

  void Release() override { Destroy(1); }
  void Destroy(unsigned flags) override;

 private:
  friend class ViewOptionsRelay<IScoreViewOptions, CDeferredViewOptions>;
  template <class Value>
  void Set(void (IScoreViewOptions::*set)(Value, int), Value value, int track) {
    if (host_->AwaitsRebuild(view_)) {
      host_->QueueOption(view_,
                         [set, value, track](IScoreViewOptions& options) { (options.*set)(value, track); });
    } else {
      (options_->*set)(value, track);
    }
  }
  template <class Result>
  Result Get(Result (IScoreViewOptions::*get)(int), int track) {
    if (host_->AwaitsRebuild(view_)) host_->RebuildPending();
    return (options_->*get)(track);
  }

  CScoreHost* host_;
  IScoreView* view_;
  IScoreViewOptions* options_;
};
