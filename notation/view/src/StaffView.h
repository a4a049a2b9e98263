// The staff view: the shared paged view (PagedView.h) with staff painters,
// drum painters for percussion tracks, a staff kind per track, stroke widths
// and the live-note tracker. Everything happens on the caller's thread
// inside these calls.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "NoteTracker.h"
#include "PagedView.h"
#include "ScoreModel.h"
#include "StaffPager.h"

class CStaffPainter;

class CStaffView : public CPagedView<CStaffPainter, CStaffPager, CStaffScore> {
 public:
  explicit CStaffView(HWND window);
  ~CStaffView() override;

  // @name IScoreView, what only the staff view has
  int SetTrackStaffKind(int kind, int track) override;
  void SetLineWidth(int width) override;
  int GetTrackStaffKind(int* kind, int track) override;
  int ChooseClef(uint16_t lowest, uint16_t highest) override;
  void OnMidiMessage(uint32_t message, int a, int b) override;
  void ClearNoteTracker() override;

  // @name For tests and tools
  const CNoteTracker* Tracker() const { return tracker_.get(); }
  // Part height in pixels of a staff kind at a size level.
  static int PartHeightOf(int staffKind, int level);

 protected:
  int PartHeightOf(const PartSpec& spec, size_t index) const override;
  std::unique_ptr<CStaffPainter> MakePart(const PartSpec& spec, size_t index) override;
  bool PlanParts(const ScoreData& data, std::vector<PartSpec>* specs) override;
  void PartsBuilt() override;
  void PartsReleasing() override;
  void PaintUnderPage(HDC dc) override;
  void WindowChanged(HWND window) override;

 private:
  int lineWidth_ = 1;
  // Every part of the rebuild is percussion: drum parts then draw no key signature.
  bool allPercussion_ = false;
  std::unique_ptr<CNoteTracker> tracker_;
};

extern template class CPagedView<CStaffPainter, CStaffPager, CStaffScore>;

// The factory behind CreateStaffInstance: null when memory runs out.
IScoreView* NewStaffView(HWND window);
