// Measures and painters for the staff view's tests: the staff model's
// measures, written note by note (WrittenMeasure.h), and its painters.
#pragma once

#include <memory>
#include <vector>

#include "StaffPainter.h"
#include "WrittenMeasure.h"

namespace viewtest {

using scoretest::LayOut;

inline std::unique_ptr<CScoreMeasure> MakeMeasure(int index, int beats, int beatTicks,
                                                  const std::vector<scoretest::WrittenNote>& notes,
                                                  bool percussion = false) {
  return scoretest::WriteMeasure(
      percussion ? scoretest::MeasureModel::kDrums : scoretest::MeasureModel::kStaff, index, beats, beatTicks,
      notes);
}

inline std::unique_ptr<CStaffPainter> MakePainter(int kind, int track = 1) {
  std::unique_ptr<CStaffPainter> p =
      kind == 7 ? std::unique_ptr<CStaffPainter>(std::make_unique<CDrumPainter>(true))
                : std::make_unique<CStaffPainter>();
  p->Init(nullptr, track, 0, kind);
  return p;
}

}  // namespace viewtest
