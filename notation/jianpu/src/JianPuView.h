// The numbered view: the shared paged view (PagedView.h) with numbered
// painters, lines and score model. Staff kinds, stroke widths and live-note
// marks mean nothing here: those operations do nothing. Everything happens
// on the caller's thread.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "JianPuPager.h"
#include "PagedView.h"
#include "ScoreModel.h"

class CJianPuPainter;

class CJianPuView : public CPagedView<CJianPuPainter, CJianPuPager, CJianPuScore> {
 public:
  explicit CJianPuView(HWND window);

  // @name IScoreView, what a numbered view does not do
  int SetTrackStaffKind(int, int) override { return 1; }
  void SetLineWidth(int) override {}
  int GetTrackStaffKind(int* kind, int) override {
    if (kind) *kind = 0;
    return 1;
  }
  int ChooseClef(uint16_t, uint16_t) override { return 0; }
  void OnMidiMessage(uint32_t, int, int) override {}
  void ClearNoteTracker() override {}

 protected:
  int PartHeightOf(const PartSpec& spec, size_t index) const override;
  std::unique_ptr<CJianPuPainter> MakePart(const PartSpec& spec, size_t index) override;
  bool PlanParts(const ScoreData& data, std::vector<PartSpec>* specs) override;
};

extern template class CPagedView<CJianPuPainter, CJianPuPager, CJianPuScore>;

// The factory behind CreateJianPuInstance: null when memory runs out.
IScoreView* NewJianPuView(HWND window);
