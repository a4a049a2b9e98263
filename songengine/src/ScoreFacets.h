#pragma once
// The player's two handles on the notation: the engine-owned score facet and
// the options pair that sets one display option on both views.
#include <memory>

#include <tunewell/ISongEngine.h>

class CScoreHost;
class IScoreViewOptions;

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

class CScoreViewPairImpl : public CScoreViewPair {
 public:
  // Takes ownership of both; either may be null.
  CScoreViewPairImpl(IScoreViewOptions* first, IScoreViewOptions* second) : first_(first), second_(second) {}
  virtual ~CScoreViewPairImpl();

  void Release() override;
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
  void SetLyricFont(HFONT font, int track) override {}
  HFONT GetLyricFont(int track) override { return nullptr; }
  void Destroy(unsigned flags) override;

 private:
  template <class Set, class Value>
  void ToBoth(Set set, Value value, int track);
  template <class Result>
  Result FromFirst(Result (IScoreViewOptions::*get)(int), int track);

  IScoreViewOptions* first_;
  IScoreViewOptions* second_;
};
