// The options face of the numbered view: colours and display flags per
// track, kept in the view's option records and applied at once to the
// numbered painters. Line and clef colours are kept in the records only: a
// numbered part draws neither.
#pragma once

#include "ViewOptions.h"

class CJianPuView;
class CScorePainter;

OptionRecord OptionRecordOf(const CScorePainter& p);
// Colours and the bar-index and heavy-end flags; a new part keeps its own
// track-number flag.
void ApplyOptionRecord(const OptionRecord& r, CScorePainter& p);

class CJianPuViewOptions : public IScoreViewOptions {
public:
  explicit CJianPuViewOptions(CJianPuView* view) : view_(view) {}
  virtual ~CJianPuViewOptions() = default;

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
  template <typename T, typename Apply>
  void Set(T OptionRecord::*field, T value, int track, Apply apply);
  template <typename T>
  T Get(T OptionRecord::*field, int track, T fallback) const;

  CJianPuView* view_;
};
