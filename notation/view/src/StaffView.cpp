#include "StaffView.h"

#include <algorithm>

#include "PagedViewImpl.h"
#include "StaffPainter.h"
#include "StaffSizes.h"
#include "base/MidiShort.h"
#include "base/Guarded.h"

template class CPagedView<CStaffPainter, CStaffPager, CStaffScore>;

IScoreView* NewStaffView(HWND window) {
  return base::Guarded([&]() -> IScoreView* { return new CStaffView(window); },
                       static_cast<IScoreView*>(nullptr));
}

CStaffView::CStaffView(HWND window) : CPagedView(window) {}

CStaffView::~CStaffView() {
  // The tracker refers to the first painter: it goes before the parts.
  tracker_.reset();
}

int CStaffView::PartHeightOf(int staffKind, int level) {
  level = StaffSizes::Level(level);
  return staffKind == kGrandStaff ? StaffSizes::kTwoStaffHeight[level] : StaffSizes::kOneStaffHeight[level];
}

// @name Parts

int CStaffView::PartHeightOf(const PartSpec& spec, size_t index) const {
  // Once laid out, a part is as tall as what its pages placed.
  if (index < parts_.size() && parts_[index]->StaffKind() == spec.kind) return parts_[index]->LaidOutHeight();
  return PartHeightOf(spec.kind, sizeLevel_);
}

bool CStaffView::PlanParts(const ScoreData& data, std::vector<PartSpec>* specs) {
  allPercussion_ = true;
  for (const ScoreTrackEntry& e : data.tracks) {
    specs->push_back({IsValidStaffKind(e.staffKind) ? e.staffKind : kTrebleStaff, e.track});
    allPercussion_ = allPercussion_ && e.staffKind == kPercussionStaff;
  }
  return allPercussion_;
}

std::unique_ptr<CStaffPainter> CStaffView::MakePart(const PartSpec& spec, size_t) {
  std::unique_ptr<CStaffPainter> painter;
  if (spec.kind == kPercussionStaff)
    painter = std::make_unique<CDrumPainter>(allPercussion_);
  else
    painter = std::make_unique<CStaffPainter>();
  painter->Init(window_, spec.track, sizeLevel_, spec.kind);
  painter->SetStrokeThickness(lineWidth_);
  return painter;
}

void CStaffView::PartsBuilt() {
  if (!parts_.empty()) tracker_ = std::make_unique<CNoteTracker>(window_, parts_.front().get());
}

void CStaffView::PartsReleasing() {
  // The tracker refers to the painters: it goes with them.
  tracker_.reset();
}

void CStaffView::WindowChanged(HWND window) {
  if (tracker_) tracker_->SetWindow(window);
}

int CStaffView::SetTrackStaffKind(int kind, int track) {
  if (!IsValidStaffKind(kind) || !buffer_) return 1;
  ScoreData* data = buffer_->GetData();
  if (!data) return 1;
  auto entry = std::find_if(data->tracks.begin(), data->tracks.end(),
                            [track](const ScoreTrackEntry& e) { return e.track == track; });
  if (entry == data->tracks.end() || entry->staffKind == kind) return 1;
  entry->staffKind = kind;
  ReleaseParts();
  return Rebuild();  // guarded itself
}

void CStaffView::SetLineWidth(int width) {
  lineWidth_ = width < 3 ? width : 2;
  for (auto& p : parts_) p->SetStrokeThickness(lineWidth_);
}

int CStaffView::GetTrackStaffKind(int* kind, int track) {
  CStaffPainter* p = PartOf(track);
  if (!p || !kind) return 1;
  *kind = p->StaffKind();
  return 0;
}

int CStaffView::ChooseClef(uint16_t lowest, uint16_t highest) {
  if (lowest < 52 && highest >= 68) return kGrandStaff;
  if (lowest > 64 && highest > 86) return kTrebleOctaveStaff;
  if (lowest >= 52 && highest > 60) return kTrebleStaff;
  if (highest <= 55 && lowest < 35) return kBassOctaveStaff;
  return kBassStaff;
}

// @name Live notes

void CStaffView::PaintUnderPage(HDC dc) {
  if (tracker_) tracker_->Paint(dc);
}

void CStaffView::OnMidiMessage(uint32_t message, int a, int b) {
  if (!tracker_) return;
  if (!base::IsNoteMessage(message)) return;
  const int note = base::Data1Of(message);
  base::Guarded([&] {
    if (base::IsNoteOn(message))
      tracker_->Add(note, a, b);
    else
      tracker_->Remove(note);
  });
}

void CStaffView::ClearNoteTracker() {
  if (!tracker_) return;
  tracker_->Clear();
  Invalidate();
}
