#pragma once
// The settings of a view's options, each handed on to a wrapper's two hooks:
// Set(setter, value, track) and Get(getter, track), given the view options'
// own member. A wrapper (the engine's options pair, the options of a view
// whose rebuild waits) then says once where a setting goes and where a
// reading comes from, and a new setting is listed here alone.
#include <windows.h>

#include <score/IScoreViewOptions.h>

template <class Interface, class Wrapper>
class ViewOptionsRelay : public Interface {
 public:
  void SetLineColor(COLORREF c, int t) override { Self().Set(&IScoreViewOptions::SetLineColor, c, t); }
  COLORREF GetLineColor(int t) override { return Self().Get(&IScoreViewOptions::GetLineColor, t); }
  void SetNoteColor(COLORREF c, int t) override { Self().Set(&IScoreViewOptions::SetNoteColor, c, t); }
  COLORREF GetNoteColor(int t) override { return Self().Get(&IScoreViewOptions::GetNoteColor, t); }
  void SetHighlightNoteColor(COLORREF c, int t) override {
    Self().Set(&IScoreViewOptions::SetHighlightNoteColor, c, t);
  }
  COLORREF GetHighlightNoteColor(int t) override {
    return Self().Get(&IScoreViewOptions::GetHighlightNoteColor, t);
  }
  void SetClefColor(COLORREF c, int t) override { Self().Set(&IScoreViewOptions::SetClefColor, c, t); }
  COLORREF GetClefColor(int t) override { return Self().Get(&IScoreViewOptions::GetClefColor, t); }
  void SetSignatureColor(COLORREF c, int t) override {
    Self().Set(&IScoreViewOptions::SetSignatureColor, c, t);
  }
  COLORREF GetSignatureColor(int t) override { return Self().Get(&IScoreViewOptions::GetSignatureColor, t); }
  void SetBarIndexColor(COLORREF c, int t) override {
    Self().Set(&IScoreViewOptions::SetBarIndexColor, c, t);
  }
  COLORREF GetBarIndexColor(int t) override { return Self().Get(&IScoreViewOptions::GetBarIndexColor, t); }
  void SetShowBarIndex(bool on, int t) override { Self().Set(&IScoreViewOptions::SetShowBarIndex, on, t); }
  bool GetShowBarIndex(int t) override { return Self().Get(&IScoreViewOptions::GetShowBarIndex, t); }
  void SetShowTrackNumber(bool on, int t) override {
    Self().Set(&IScoreViewOptions::SetShowTrackNumber, on, t);
  }
  bool GetShowTrackNumber(int t) override { return Self().Get(&IScoreViewOptions::GetShowTrackNumber, t); }
  void SetHeavyEndBar(bool on, int t) override { Self().Set(&IScoreViewOptions::SetHeavyEndBar, on, t); }
  bool GetHeavyEndBar(int t) override { return Self().Get(&IScoreViewOptions::GetHeavyEndBar, t); }

 private:
  Wrapper& Self() { return static_cast<Wrapper&>(*this); }
};
