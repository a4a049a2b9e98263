#include "JianPuView.h"

#include "JianPuPage.h"
#include "JianPuPainter.h"
#include "PagedViewImpl.h"
#include "base/Guarded.h"

template class CPagedView<CJianPuPainter, CJianPuPager, CJianPuScore>;

IScoreView* NewJianPuView(HWND window) {
  return base::Guarded([&]() -> IScoreView* { return new CJianPuView(window); },
                       static_cast<IScoreView*>(nullptr));
}

CJianPuView::CJianPuView(HWND window) : CPagedView(window) {}

// @name Parts

int CJianPuView::PartHeightOf(const PartSpec&, size_t index) const {
  // Once laid out, a part is as tall as what its pages placed.
  if (index < parts_.size()) return parts_[index]->LaidOutHeight();
  // The first part also carries the opening key and time above its digits.
  return CJianPuPainter::PartHeight(sizeLevel_, index == 0);
}

bool CJianPuView::PlanParts(const ScoreData& data, std::vector<PartSpec>* specs) {
  for (const ScoreTrackEntry& e : data.tracks) specs->push_back({0, e.track});
  return false;
}

std::unique_ptr<CJianPuPainter> CJianPuView::MakePart(const PartSpec& spec, size_t index) {
  auto painter = std::make_unique<CJianPuPainter>();
  painter->InitJianPu(window_, spec.track, sizeLevel_, index == 0);
  return painter;
}
