#include "JianPuView.h"

#include <new>

#include "JianPuPage.h"
#include "JianPuPainter.h"
#include "PartStack.h"

IScoreView* NewJianPuView(HWND window) {
  try {
    return new CJianPuView(window);
  } catch (...) {
    return nullptr;
  }
}

CJianPuView::CJianPuView(HWND window) : window_(window), pager_(window) {}

CJianPuView::~CJianPuView() {
  // Lines point at the painters: they go first.
  pager_.ClearLines();
  parts_.clear();
}

void CJianPuView::Destroy(unsigned flags) {
  if (flags & 1)
    delete this;
  else
    this->~CJianPuView();
}

std::vector<CJianPuPainter*> CJianPuView::PartList() const {
  std::vector<CJianPuPainter*> list;
  for (auto& p : parts_) list.push_back(p.get());
  return list;
}

std::vector<CScorePainter*> CJianPuView::OptionParts() const {
  std::vector<CScorePainter*> list;
  for (auto& p : parts_) list.push_back(p.get());
  return list;
}

CJianPuPainter* CJianPuView::PartOf(int track) const {
  auto it = partsByTrack_.find(track);
  return it == partsByTrack_.end() ? nullptr : it->second;
}

void CJianPuView::Invalidate() const {
  if (window_ && IsWindow(window_)) InvalidateRect(window_, &viewRect_, FALSE);
}

IScoreBuffer* CJianPuView::SetScoreBuffer(IScoreBuffer* buffer) {
  IScoreBuffer* old = buffer_;
  buffer_ = buffer;
  return old;
}

HWND CJianPuView::SetWindow(HWND window) {
  HWND old = window_;
  window_ = window;
  pager_.SetWindow(window);
  if (window) Invalidate();
  return old;
}

int CJianPuView::SetRect(const RECT* rect) {
  if (!rect) return 0;
  layoutRect_ = *rect;
  return Layout(rect);
}

int CJianPuView::SetFixedMeasureWidth(bool on, int width) {
  fixedWidthOn_ = on;
  if (on) fixedWidth_ = width;
  return 0;
}

// @name Parts

std::vector<int> CJianPuView::CurrentTracks() const {
  std::vector<int> tracks;
  for (auto& p : parts_) tracks.push_back(p->Track());
  return tracks;
}

void CJianPuView::ArrangeParts(const RECT& rect, const std::vector<int>& tracks, std::vector<RECT>* out) const {
  std::vector<PartHeight> heights;
  for (size_t i = 0; i < tracks.size(); ++i) heights.push_back({CJianPuPainter::PartHeight(sizeLevel_, i == 0), tracks[i]});
  std::vector<PartPlacement> placed;
  // Centred stacking always gives every part a rectangle, even in a
  // rectangle lower than the parts or before any SetRect.
  CCenteredPartStack().Arrange(rect, heights, &placed);
  out->clear();
  for (size_t i = 0; i < tracks.size(); ++i) {
    if (i < placed.size()) {
      out->push_back(placed[i].rect);
    } else {
      RECT r = rect;
      r.bottom = r.top + heights[i].height;
      out->push_back(r);
    }
  }
}

void CJianPuView::ReleaseParts() {
  pager_.ClearLines();
  parts_.clear();
  partsByTrack_.clear();
  model_.Clear();
}

void CJianPuView::BuildParts(const std::vector<int>& tracks) {
  viewRect_ = layoutRect_;
  ReleaseParts();
  std::vector<RECT> rects;
  ArrangeParts(layoutRect_, tracks, &rects);
  pager_.SetRects(layoutRect_, viewRect_);
  for (size_t i = 0; i < tracks.size(); ++i) {
    auto painter = std::make_unique<CJianPuPainter>();
    painter->InitJianPu(window_, tracks[i], sizeLevel_, i == 0);
    pager_.AddLine(std::make_unique<CJianPuLine>(painter.get(), rects[i]));
    partsByTrack_[tracks[i]] = painter.get();
    parts_.push_back(std::move(painter));
  }
}

void CJianPuView::StartPage(int first, int current) {
  pager_.ShowFromMeasure(first);
  pager_.SetCurrentMeasure(current);
  pager_.HomeCursor();
  pager_.FindWidestLine();
}

void CJianPuView::ReapplyOptions() {
  // Saved records go to the new parts by position, in ascending order of
  // their old tracks.
  std::vector<OptionRecord> saved;
  for (auto& entry : options_) saved.push_back(entry.second);
  options_.clear();
  for (size_t i = 0; i < parts_.size(); ++i) {
    CJianPuPainter& p = *parts_[i];
    if (i < saved.size()) {
      saved[i].ApplyTo(p);
      options_[p.Track()] = saved[i];
    } else {
      options_[p.Track()] = OptionRecord::FromPainter(p);
    }
  }
}

int CJianPuView::Rebuild() {
  try {
    return DoRebuild();
  } catch (...) {
    ReleaseParts();
    return 1;
  }
}

int CJianPuView::DoRebuild() {
  // No buffer is an empty buffer.
  const ScoreData* data = buffer_ ? buffer_->GetData() : nullptr;
  if (!data || data->tracks.empty()) {
    ReleaseParts();
    Invalidate();
    return 1;
  }
  std::vector<int> tracks;
  for (const ScoreTrackEntry& e : data->tracks) tracks.push_back(e.track);
  BuildParts(tracks);
  if (CJianPuPainter* p = PartOf(data->textTrack)) p->SetTexts(data->texts);
  if (CJianPuPainter* p = PartOf(data->lyricTrack)) p->SetLyrics(data->lyrics);

  std::vector<IScorePart*> parts;
  for (auto& p : parts_) parts.push_back(p.get());
  model_.SetFixedWidth(fixedWidthOn_, fixedWidth_);
  const int result = model_.Build(parts, data->tracks, data->keySigs, data->timeSigs, false);
  StartPage(0, 0);
  ReapplyOptions();
  Invalidate();
  return result;
}

void CJianPuView::SetSizeLevel(int level) {
  if (level < 0 || level > 3 || level == sizeLevel_) return;
  sizeLevel_ = level;
  if (parts_.empty()) return;
  // Measure widths come from the model at the part's size: lay out again.
  const int first = pager_.GetFirstMeasure();
  Rebuild();
  if (first > 0) pager_.ScrollTo(first, 0);
}

void CJianPuView::ShowTrack(int track, bool visible) {
  if (CJianPuPainter* p = PartOf(track)) p->SetVisible(visible);
}

int CJianPuView::GetTrackStaffKind(int* kind, int) {
  if (kind) *kind = 0;
  return 1;
}

// @name Drawing and playback

int CJianPuView::Paint(HDC dc) {
  if (!dc) return 0;
  try {
    return pager_.Paint(dc);
  } catch (...) {
    return 0;
  }
}

int CJianPuView::NoteEvent(uint32_t message, int tick, int track) {
  pager_.NoteEvent(message, tick, track);
  return 0;
}

int CJianPuView::MarkLyric(int tick, int track) {
  pager_.MarkLyric(tick, track);
  return 0;
}

int CJianPuView::UnmarkLyrics(int tick, int track) {
  pager_.UnmarkLyrics(tick, track);
  return 0;
}

int CJianPuView::StepCursor(int step) {
  pager_.StepCursor(step);
  return 0;
}

void CJianPuView::Rewind() {
  for (auto& p : parts_) p->ClearHighlights();
  pager_.ShowFromMeasure(0);
  pager_.SetCurrentMeasure(0);
  pager_.HomeCursor();
  Invalidate();
}

IScoreViewOptions* CJianPuView::GetOptions(int version) {
  if (version != 1) return nullptr;
  return new (std::nothrow) CViewOptions(this);
}

// @name Paging

int CJianPuView::ScrollTo(int measure, int mode) { return pager_.ScrollTo(measure, mode); }

int CJianPuView::Layout(const RECT* rect) {
  if (!rect) return 0;
  const std::vector<int> tracks = CurrentTracks();
  std::vector<RECT> rects;
  ArrangeParts(*rect, tracks, &rects);
  for (size_t i = 0; i < tracks.size(); ++i) pager_.SetLineRect(tracks[i], rects[i]);
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

int CJianPuView::GetPageMeasureCount(char* fits) {
  bool f = false;
  const int n = pager_.GetPageMeasureCount(&f);
  if (fits) *fits = f ? 1 : 0;
  return n;
}

int CJianPuView::TickFromPoint(int x, int y) { return pager_.TickFromPoint(x, y); }

int CJianPuView::GetMeasureCount(int track) { return pager_.GetMeasureCount(track); }

int CJianPuView::SeekTick(int tick) {
  pager_.SeekTick(tick);
  return 0;
}

int CJianPuView::GetLastMeasure() { return pager_.GetLastMeasure(); }

int CJianPuView::PrevPage() { return pager_.PrevPage(); }
