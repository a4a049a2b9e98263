// Members of CPagedView, for the one source file of each view that
// instantiates it beside its painter, line and page classes.
#pragma once

#include <new>

#include "base/Guarded.h"
#include "PagedView.h"
#include "PartStack.h"

#define PAGED_VIEW_TEMPLATE template <class Painter, class PagerT, class Model>
#define PAGED_VIEW CPagedView<Painter, PagerT, Model>

PAGED_VIEW_TEMPLATE
PAGED_VIEW::CPagedView(HWND window) : window_(window), pager_(window) {}

PAGED_VIEW_TEMPLATE
PAGED_VIEW::~CPagedView() {
  // Lines point at the painters: they go first.
  pager_.ClearLines();
  parts_.clear();
}

PAGED_VIEW_TEMPLATE
void PAGED_VIEW::Destroy(unsigned flags) {
  if (flags & 1)
    delete this;
  else
    this->~CPagedView();
}

PAGED_VIEW_TEMPLATE
std::vector<Painter*> PAGED_VIEW::PartList() const {
  std::vector<Painter*> list;
  for (auto& p : parts_) list.push_back(p.get());
  return list;
}

PAGED_VIEW_TEMPLATE
std::vector<CScorePainter*> PAGED_VIEW::OptionParts() const {
  std::vector<CScorePainter*> list;
  for (auto& p : parts_) list.push_back(p.get());
  return list;
}

PAGED_VIEW_TEMPLATE
Painter* PAGED_VIEW::PartOf(int track) const {
  auto it = partsByTrack_.find(track);
  return it == partsByTrack_.end() ? nullptr : it->second;
}

PAGED_VIEW_TEMPLATE
void PAGED_VIEW::Invalidate() const {
  if (window_ && IsWindow(window_)) InvalidateRect(window_, &viewRect_, FALSE);
}

PAGED_VIEW_TEMPLATE
IScoreBuffer* PAGED_VIEW::SetScoreBuffer(IScoreBuffer* buffer) {
  IScoreBuffer* old = buffer_;
  buffer_ = buffer;
  return old;
}

PAGED_VIEW_TEMPLATE
HWND PAGED_VIEW::SetWindow(HWND window) {
  HWND old = window_;
  window_ = window;
  pager_.SetWindow(window);
  WindowChanged(window);
  if (window) Invalidate();
  return old;
}

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::SetRect(const RECT* rect) {
  if (!rect) return 0;
  layoutRect_ = *rect;
  return Layout(rect);
}

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::SetFixedMeasureWidth(bool on, int width) {
  fixedWidthOn_ = on;
  if (on) fixedWidth_ = width;
  return 0;
}

// @name Parts

PAGED_VIEW_TEMPLATE
std::vector<PartSpec> PAGED_VIEW::CurrentSpecs() const {
  std::vector<PartSpec> specs;
  for (auto& p : parts_) specs.push_back({p->StaffKind(), p->Track()});
  return specs;
}

PAGED_VIEW_TEMPLATE
void PAGED_VIEW::ArrangeParts(const RECT& rect, const std::vector<PartSpec>& specs,
                              std::vector<RECT>* out) const {
  std::vector<PartHeight> heights;
  for (size_t i = 0; i < specs.size(); ++i) heights.push_back({PartHeightOf(specs[i], i), specs[i].track});
  std::vector<PartPlacement> placed;
  // Centred stacking always gives every part a rectangle, even in a
  // rectangle lower than the parts or before any SetRect.
  CCenteredPartStack().Arrange(rect, heights, &placed);
  out->clear();
  for (size_t i = 0; i < specs.size(); ++i) {
    if (i < placed.size()) {
      out->push_back(placed[i].rect);
    } else {
      RECT r = rect;
      r.bottom = r.top + heights[i].height;
      out->push_back(r);
    }
  }
}

PAGED_VIEW_TEMPLATE
void PAGED_VIEW::ReleaseParts() {
  PartsReleasing();
  pager_.ClearLines();
  parts_.clear();
  partsByTrack_.clear();
  model_.Clear();
}

PAGED_VIEW_TEMPLATE
void PAGED_VIEW::BuildParts(const std::vector<PartSpec>& specs) {
  viewRect_ = layoutRect_;
  ReleaseParts();
  std::vector<RECT> rects;
  ArrangeParts(layoutRect_, specs, &rects);
  pager_.SetRects(layoutRect_, viewRect_);
  using Line = typename PagerT::LineType;
  for (size_t i = 0; i < specs.size(); ++i) {
    std::unique_ptr<Painter> painter = MakePart(specs[i], i);
    pager_.AddLine(std::make_unique<Line>(painter.get(), rects[i]));
    partsByTrack_[specs[i].track] = painter.get();
    parts_.push_back(std::move(painter));
  }
  PartsBuilt();
}

PAGED_VIEW_TEMPLATE
void PAGED_VIEW::StartPage(int first, int current) {
  pager_.ShowFromMeasure(first);
  pager_.SetCurrentMeasure(current);
  pager_.HomeCursor();
  pager_.FindWidestLine();
}

PAGED_VIEW_TEMPLATE
void PAGED_VIEW::ReapplyOptions() {
  // Saved records go to the new parts by position, in ascending order of
  // their old tracks.
  std::vector<OptionRecord> saved;
  for (auto& entry : options_) saved.push_back(entry.second);
  options_.clear();
  for (size_t i = 0; i < parts_.size(); ++i) {
    Painter& p = *parts_[i];
    if (i < saved.size()) {
      saved[i].ApplyTo(p);
      options_[p.Track()] = saved[i];
    } else {
      options_[p.Track()] = OptionRecord::FromPainter(p);
    }
  }
}

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::Rebuild() {
  try {
    return DoRebuild();
  } catch (...) {
    ReleaseParts();
    return 1;
  }
}

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::DoRebuild() {
  // No buffer is an empty buffer.
  const ScoreData* data = buffer_ ? buffer_->GetData() : nullptr;
  if (!data || data->tracks.empty()) {
    ReleaseParts();
    Invalidate();
    return 1;
  }
  std::vector<PartSpec> specs;
  const bool allPercussion = PlanParts(*data, &specs);
  BuildParts(specs);
  if (Painter* p = PartOf(data->textTrack)) p->SetTexts(data->texts);
  if (Painter* p = PartOf(data->lyricTrack)) p->SetLyrics(data->lyrics);

  std::vector<IScorePart*> parts;
  for (auto& p : parts_) parts.push_back(p.get());
  model_.SetFixedWidth(fixedWidthOn_, fixedWidth_);
  const int result = model_.Build(parts, data->tracks, data->keySigs, data->timeSigs, allPercussion);
  // Parts are as tall as their laid-out pages need: stack them again.
  std::vector<RECT> rects;
  ArrangeParts(layoutRect_, specs, &rects);
  for (size_t i = 0; i < specs.size(); ++i) pager_.SetLineRect(specs[i].track, rects[i]);
  StartPage(0, 0);
  ReapplyOptions();
  Invalidate();
  return result;
}

PAGED_VIEW_TEMPLATE
void PAGED_VIEW::SetSizeLevel(int level) {
  base::Guarded([&] { ChangeSizeLevel(level); });
}

PAGED_VIEW_TEMPLATE
void PAGED_VIEW::ChangeSizeLevel(int level) {
  if (level < 0 || level > 3 || level == sizeLevel_) return;
  sizeLevel_ = level;
  if (parts_.empty()) return;
  // Measure widths come from the model at the part's size: lay out again.
  const int first = pager_.GetFirstMeasure();
  Rebuild();
  if (first > 0) pager_.ScrollTo(first, 0);
}

PAGED_VIEW_TEMPLATE
void PAGED_VIEW::ShowTrack(int track, bool visible) {
  if (Painter* p = PartOf(track)) p->SetVisible(visible);
}

// @name Drawing and playback

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::Paint(HDC dc) {
  if (!dc) return 0;
  return base::Guarded(
      [&] {
        PaintUnderPage(dc);
        return pager_.Paint(dc);
      },
      0);
}

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::NoteEvent(uint32_t message, int tick, int track) {
  base::Guarded([&] { pager_.NoteEvent(message, tick, track); });
  return 0;
}

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::MarkLyric(int tick, int track) {
  base::Guarded([&] { pager_.MarkLyric(tick, track); });
  return 0;
}

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::UnmarkLyrics(int tick, int track) {
  base::Guarded([&] { pager_.UnmarkLyrics(tick, track); });
  return 0;
}

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::StepCursor(int step) {
  base::Guarded([&] { pager_.StepCursor(step); });
  return 0;
}

PAGED_VIEW_TEMPLATE
void PAGED_VIEW::Rewind() {
  base::Guarded([&] {
    for (auto& p : parts_) p->ClearHighlights();
    pager_.ShowFromMeasure(0);
    pager_.SetCurrentMeasure(0);
    pager_.HomeCursor();
    Invalidate();
  });
}

PAGED_VIEW_TEMPLATE
IScoreViewOptions* PAGED_VIEW::GetOptions(int version) {
  if (version != 1) return nullptr;
  return new (std::nothrow) CViewOptions(this);
}

// @name Paging

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::ScrollTo(int measure, int mode) {
  return base::Guarded([&] { return pager_.ScrollTo(measure, mode); }, -1);
}

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::Layout(const RECT* rect) {
  return base::Guarded([&] { return DoLayout(rect); }, 0);
}

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::DoLayout(const RECT* rect) {
  if (!rect) return 0;
  const std::vector<PartSpec> specs = CurrentSpecs();
  std::vector<RECT> rects;
  ArrangeParts(*rect, specs, &rects);
  for (size_t i = 0; i < specs.size(); ++i) pager_.SetLineRect(specs[i].track, rects[i]);
  viewRect_ = *rect;
  pager_.SetPageRect(*rect);
  pager_.Invalidate();
  // A resize refits the lines whatever page is shown.
  const int first = pager_.GetFirstMeasure();
  pager_.ScrollTo(first > 0 ? first : 0, 0);
  pager_.ResetCursor();
  if (window_ && IsWindow(window_)) InvalidateRect(window_, nullptr, FALSE);
  return 0;
}

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::GetPageMeasureCount(char* fits) {
  bool f = false;
  const int n = pager_.GetPageMeasureCount(&f);
  if (fits) *fits = f ? 1 : 0;
  return n;
}

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::TickFromPoint(int x, int y) {
  return base::Guarded([&] { return pager_.TickFromPoint(x, y); }, -1);
}

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::GetMeasureCount(int track) { return pager_.GetMeasureCount(track); }

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::SeekTick(int tick) {
  base::Guarded([&] { pager_.SeekTick(tick); });
  return 0;
}

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::GetLastMeasure() { return pager_.GetLastMeasure(); }

PAGED_VIEW_TEMPLATE
int PAGED_VIEW::PrevPage() {
  return base::Guarded([&] { return pager_.PrevPage(); }, -1);
}

#undef PAGED_VIEW
#undef PAGED_VIEW_TEMPLATE
