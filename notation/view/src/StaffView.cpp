#include "StaffView.h"

#include <algorithm>
#include <new>

#include "PartStack.h"
#include "StaffPainter.h"
#include "StaffSizes.h"

namespace {

// No exception leaves the library: an entry point that ran out of memory
// returns its "failed" value and leaves the view as far as it got.
template <typename F, typename R>
R Guarded(F f, R failed) {
  try {
    return f();
  } catch (...) {
    return failed;
  }
}

template <typename F>
void Guarded(F f) {
  try {
    f();
  } catch (...) {
  }
}

}  // namespace

IScoreView* NewStaffView(HWND window) {
  try {
    return new CStaffView(window);
  } catch (...) {
    return nullptr;
  }
}

CStaffView::CStaffView(HWND window) : window_(window), pager_(window) {}

CStaffView::~CStaffView() {
  // Lines point at the painters: they go first.
  tracker_.reset();
  pager_.ClearLines();
  parts_.clear();
}

void CStaffView::Destroy(unsigned flags) {
  if (flags & 1)
    delete this;
  else
    this->~CStaffView();
}

int CStaffView::PartHeightOf(int staffKind, int level) {
  level = StaffSizes::Level(level);
  return staffKind == kGrandStaff ? StaffSizes::kTwoStaffHeight[level] : StaffSizes::kOneStaffHeight[level];
}

std::vector<CStaffPainter*> CStaffView::PartList() const {
  std::vector<CStaffPainter*> list;
  for (auto& p : parts_) list.push_back(p.get());
  return list;
}

std::vector<CScorePainter*> CStaffView::OptionParts() const {
  std::vector<CScorePainter*> list;
  for (auto& p : parts_) list.push_back(p.get());
  return list;
}

CStaffPainter* CStaffView::PartOf(int track) const {
  auto it = partsByTrack_.find(track);
  return it == partsByTrack_.end() ? nullptr : it->second;
}

void CStaffView::Invalidate() const {
  if (window_ && IsWindow(window_)) InvalidateRect(window_, &viewRect_, FALSE);
}

IScoreBuffer* CStaffView::SetScoreBuffer(IScoreBuffer* buffer) {
  IScoreBuffer* old = buffer_;
  buffer_ = buffer;
  return old;
}

HWND CStaffView::SetWindow(HWND window) {
  HWND old = window_;
  window_ = window;
  pager_.SetWindow(window);
  if (tracker_) tracker_->SetWindow(window);
  if (window) Invalidate();
  return old;
}

int CStaffView::SetRect(const RECT* rect) {
  if (!rect) return 0;
  layoutRect_ = *rect;
  return Layout(rect);
}

int CStaffView::SetFixedMeasureWidth(bool on, int width) {
  fixedWidthOn_ = on;
  if (on) fixedWidth_ = width;
  return 0;
}

// @name Parts

std::vector<CStaffView::Pair> CStaffView::CurrentPairs() const {
  std::vector<Pair> pairs;
  for (auto& p : parts_) pairs.push_back({p->StaffKind(), p->Track()});
  return pairs;
}

int CStaffView::GetPartsHeight(const std::vector<Pair>& pairs) const {
  int total = 0;
  for (const Pair& p : pairs) total += PartHeightOf(p.kind, sizeLevel_);
  return total;
}

void CStaffView::ArrangeParts(const RECT& rect, const std::vector<Pair>& pairs, std::vector<RECT>* out) const {
  std::vector<PartHeight> heights;
  for (const Pair& p : pairs) heights.push_back({PartHeightOf(p.kind, sizeLevel_), p.track});
  std::vector<PartPlacement> placed;
  // Centred stacking always gives every part a rectangle, even in a
  // rectangle lower than the parts or before any SetRect.
  CCenteredPartStack().Arrange(rect, heights, &placed);
  out->clear();
  for (size_t i = 0; i < pairs.size(); ++i) {
    if (i < placed.size()) {
      out->push_back(placed[i].rect);
    } else {
      RECT r = rect;
      r.bottom = r.top + heights[i].height;
      out->push_back(r);
    }
  }
}

void CStaffView::ReleaseParts() {
  // The tracker and the lines refer to the painters: they go with them.
  tracker_.reset();
  pager_.ClearLines();
  parts_.clear();
  partsByTrack_.clear();
  model_.Clear();
}

void CStaffView::BuildParts(const std::vector<Pair>& pairs, bool allPercussion) {
  viewRect_ = layoutRect_;
  ReleaseParts();
  std::vector<RECT> rects;
  ArrangeParts(layoutRect_, pairs, &rects);
  pager_.SetRects(layoutRect_, viewRect_);
  for (size_t i = 0; i < pairs.size(); ++i) {
    std::unique_ptr<CStaffPainter> painter;
    if (pairs[i].kind == kPercussionStaff)
      painter = std::make_unique<CDrumPainter>(allPercussion);
    else
      painter = std::make_unique<CStaffPainter>();
    painter->Init(window_, pairs[i].track, sizeLevel_, pairs[i].kind);
    painter->SetStrokeThickness(lineWidth_);
    pager_.AddLine(std::make_unique<CStaffLine>(painter.get(), rects[i]));
    partsByTrack_[pairs[i].track] = painter.get();
    parts_.push_back(std::move(painter));
  }
  if (!parts_.empty()) tracker_ = std::make_unique<CNoteTracker>(window_, parts_.front().get());
}

void CStaffView::StartPage(int first, int current) {
  pager_.ShowFromMeasure(first);
  pager_.SetCurrentMeasure(current);
  pager_.HomeCursor();
  pager_.FindWidestLine();
}

void CStaffView::ReapplyOptions() {
  // Saved records go to the new parts by position, in ascending order of
  // their old tracks.
  std::vector<OptionRecord> saved;
  for (auto& entry : options_) saved.push_back(entry.second);
  options_.clear();
  for (size_t i = 0; i < parts_.size(); ++i) {
    CStaffPainter& p = *parts_[i];
    if (i < saved.size()) {
      saved[i].ApplyTo(p);
      options_[p.Track()] = saved[i];
    } else {
      options_[p.Track()] = OptionRecord::FromPainter(p);
    }
  }
}

int CStaffView::Rebuild() {
  try {
    return DoRebuild();
  } catch (...) {
    ReleaseParts();
    return 1;
  }
}

int CStaffView::DoRebuild() {
  // No buffer is an empty buffer.
  const ScoreData* data = buffer_ ? buffer_->GetData() : nullptr;
  if (!data || data->tracks.empty()) {
    ReleaseParts();
    Invalidate();
    return 1;
  }
  std::vector<Pair> pairs;
  bool allPercussion = true;
  for (const ScoreTrackEntry& e : data->tracks) {
    pairs.push_back({IsValidStaffKind(e.staffKind) ? e.staffKind : kTrebleStaff, e.track});
    allPercussion = allPercussion && e.staffKind == kPercussionStaff;
  }
  BuildParts(pairs, allPercussion);
  if (CStaffPainter* p = PartOf(data->textTrack)) p->SetTexts(data->texts);
  if (CStaffPainter* p = PartOf(data->lyricTrack)) p->SetLyrics(data->lyrics);

  std::vector<IScorePart*> parts;
  for (auto& p : parts_) parts.push_back(p.get());
  model_.SetFixedWidth(fixedWidthOn_, fixedWidth_);
  const int result = model_.Build(parts, data->tracks, data->keySigs, data->timeSigs, allPercussion);
  StartPage(0, 0);
  ReapplyOptions();
  Invalidate();
  return result;
}

void CStaffView::SetSizeLevel(int level) {
  Guarded([&] { ChangeSizeLevel(level); });
}

void CStaffView::ChangeSizeLevel(int level) {
  if (level < 0 || level > 3 || level == sizeLevel_) return;
  sizeLevel_ = level;
  if (parts_.empty()) return;
  // Measure widths come from the model at the part's size: lay out again.
  const int first = pager_.GetFirstMeasure();
  Rebuild();
  if (first > 0) pager_.ScrollTo(first, 0);
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

void CStaffView::ShowTrack(int track, bool visible) {
  if (CStaffPainter* p = PartOf(track)) p->SetVisible(visible);
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

// @name Drawing and playback

int CStaffView::Paint(HDC dc) {
  if (!dc) return 0;
  return Guarded(
      [&] {
        if (tracker_) tracker_->Paint(dc);
        return pager_.Paint(dc);
      },
      0);
}

int CStaffView::NoteEvent(uint32_t message, int tick, int track) {
  Guarded([&] { pager_.NoteEvent(message, tick, track); });
  return 0;
}

int CStaffView::MarkLyric(int tick, int track) {
  Guarded([&] { pager_.MarkLyric(tick, track); });
  return 0;
}

int CStaffView::UnmarkLyrics(int tick, int track) {
  Guarded([&] { pager_.UnmarkLyrics(tick, track); });
  return 0;
}

int CStaffView::StepCursor(int step) {
  Guarded([&] { pager_.StepCursor(step); });
  return 0;
}

void CStaffView::Rewind() {
  Guarded([&] {
    for (auto& p : parts_) p->ClearHighlights();
    pager_.ShowFromMeasure(0);
    pager_.SetCurrentMeasure(0);
    pager_.HomeCursor();
    Invalidate();
  });
}

void CStaffView::OnMidiMessage(uint32_t message, int a, int b) {
  if (!tracker_) return;
  const uint32_t status = message & 0xF0;
  if (status != 0x90 && status != 0x80) return;
  const int note = (message >> 8) & 0xFF;
  Guarded([&] {
    if (status == 0x90 && ((message >> 16) & 0xFF) != 0)
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

IScoreViewOptions* CStaffView::GetOptions(int version) {
  if (version != 1) return nullptr;
  return new (std::nothrow) CViewOptions(this);
}

// @name Paging

int CStaffView::ScrollTo(int measure, int mode) {
  return Guarded([&] { return pager_.ScrollTo(measure, mode); }, -1);
}

int CStaffView::Layout(const RECT* rect) {
  return Guarded([&] { return DoLayout(rect); }, 0);
}

int CStaffView::DoLayout(const RECT* rect) {
  if (!rect) return 0;
  std::vector<Pair> pairs = CurrentPairs();
  std::vector<RECT> rects;
  ArrangeParts(*rect, pairs, &rects);
  for (size_t i = 0; i < pairs.size(); ++i) pager_.SetLineRect(pairs[i].track, rects[i]);
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

int CStaffView::GetPageMeasureCount(char* fits) {
  bool f = false;
  const int n = pager_.GetPageMeasureCount(&f);
  if (fits) *fits = f ? 1 : 0;
  return n;
}

int CStaffView::TickFromPoint(int x, int y) {
  return Guarded([&] { return pager_.TickFromPoint(x, y); }, -1);
}

int CStaffView::GetMeasureCount(int track) { return pager_.GetMeasureCount(track); }

int CStaffView::SeekTick(int tick) {
  Guarded([&] { pager_.SeekTick(tick); });
  return 0;
}

int CStaffView::GetLastMeasure() { return pager_.GetLastMeasure(); }

int CStaffView::PrevPage() {
  return Guarded([&] { return pager_.PrevPage(); }, -1);
}
