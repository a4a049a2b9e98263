#pragma once
// The options of a view whose rebuild waits for its first use (see
// CScoreHost). Settings made meanwhile wait with it and reach the view right
// after its rebuild, in the order made, so that setting the colours of a song
// just opened lays out no view nobody sees; reading a setting rebuilds the
// view first. Once the view is rebuilt, every call goes straight through.
#include <score/IScoreViewOptions.h>

#include <functional>

class CScoreHost;
class IScoreView;

class CDeferredViewOptions final : public IScoreViewOptions {
 public:
  // Takes ownership of options, the view's own; host and view outlive this.
  CDeferredViewOptions(CScoreHost* host, IScoreView* view, IScoreViewOptions* options)
      : host_(host), view_(view), options_(options) {}
  ~CDeferredViewOptions();
  CDeferredViewOptions(const CDeferredViewOptions&) = delete;
  CDeferredViewOptions& operator=(const CDeferredViewOptions&) = delete;

  void Release() override { Destroy(1); }
  void SetLineColor(COLORREF color, int track) override;
  COLORREF GetLineColor(int track) override;
  void SetNoteColor(COLORREF color, int track) override;
  COLORREF GetNoteColor(int track) override;
  void SetHighlightNoteColor(COLORREF color, int track) override;
  COLORREF GetHighlightNoteColor(int track) override;
  void SetClefColor(COLORREF color, int track) override;
  COLORREF GetClefColor(int track) override;
  void SetSignatureColor(COLORREF color, int track) override;
  COLORREF GetSignatureColor(int track) override;
  void SetBarIndexColor(COLORREF color, int track) override;
  COLORREF GetBarIndexColor(int track) override;
  void SetShowBarIndex(bool on, int track) override;
  bool GetShowBarIndex(int track) override;
  void SetShowTrackNumber(bool on, int track) override;
  bool GetShowTrackNumber(int track) override;
  void SetHeavyEndBar(bool on, int track) override;
  bool GetHeavyEndBar(int track) override;
  void Destroy(unsigned flags) override;

 private:
  template <class Value>
  void Set(void (IScoreViewOptions::*set)(Value, int), Value value, int track);
  template <class Result>
  Result Get(Result (IScoreViewOptions::*get)(int), int track);

  CScoreHost* host_;
  IScoreView* view_;
  IScoreViewOptions* options_;
};
