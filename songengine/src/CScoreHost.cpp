#include "CScoreHost.h"

#include <cmath>
#include <vector>

#include <score/IScoreView.h>
#include <scrivel/ISmfParser2.h>
#include <scrivel/SmfMetaEvent.h>

#include "CDeferredViewOptions.h"
#include "CSongData.h"
#include "SongQueries.h"

CScoreHost::~CScoreHost() {
  ReleaseAll();
  active_ = nullptr;
}

template <class Fn>
Fn CScoreHost::ResolveScore(const char* exportName) {
  if (!scoreLib_ && !scoreLib_.Load("Score.dll")) return nullptr;
  Fn proc = scoreLib_.Find<Fn>(exportName);
  // A view or buffer already made still runs code of the library.
  if (!proc && !staff_ && !numbered_ && !buffer_) scoreLib_.Free();
  return proc;
}

IScoreView* CScoreHost::GetStaffView() {
  if (!staff_) {
    auto create = ResolveScore<CreateScoreViewFn>("CreateStaffInstance");
    if (create) staff_ = create(window_, 2);
  }
  if (staff_ == pending_) RebuildPending();
  return staff_;
}

IScoreView* CScoreHost::GetNumberedView() {
  if (!numbered_) {
    auto create = ResolveScore<CreateScoreViewFn>("CreateJianPuInstance");
    if (create) numbered_ = create(window_, 2);
  }
  if (numbered_ == pending_) RebuildPending();
  return numbered_;
}

IScoreBuffer* CScoreHost::GetScoreBuffer() {
  if (!buffer_) {
    auto create = ResolveScore<CreateScoreBufferInstanceFn>("CreateScoreBufferInstance");
    if (create) buffer_ = create(2);
  }
  return buffer_;
}

int CScoreHost::CreateScore(HWND window) {
  window_ = window;
  IScoreBuffer* buffer = GetScoreBuffer();
  if (!staff_ && GetStaffView()) staff_->SetScoreBuffer(buffer);
  if (!numbered_ && GetNumberedView()) numbered_->SetScoreBuffer(buffer);
  active_ = staff_;
  type_ = 0;
  return 0;
}

int CScoreHost::SetScoreType(int type) {
  type_ = type;
  if (active_) active_->SetWindow(nullptr);
  if (type == 0) {
    active_ = GetStaffView();
  } else if (type == 1) {
    active_ = GetNumberedView();
  }
  if (active_) active_->SetWindow(window_);
  return 0;
}

HWND CScoreHost::SetScoreWindow(HWND window) {
  window_ = window;
  return active_ ? active_->SetWindow(window) : nullptr;
}

int CScoreHost::DrawScore(HDC dc) {
  if (!active_) return 1;
  active_->Paint(dc);
  return 0;
}

int CScoreHost::SetScoreRect(const RECT* rect) {
  RebuildPending();
  if (!staff_) return 1;
  staff_->SetSizeLevel(0);
  staff_->SetRect(rect);
  if (!numbered_) return 1;
  numbered_->SetSizeLevel(0);
  numbered_->SetRect(rect);
  return 0;
}

void CScoreHost::ReleaseAll() {
  if (staff_) staff_->Release();
  if (numbered_) numbered_->Release();
  staff_ = numbered_ = active_ = pending_ = nullptr;
  queuedOptions_.clear();
  if (buffer_) {
    buffer_->Clear();
    buffer_->Release();
    buffer_ = nullptr;
  }
  scoreLib_.Free();
}

template <class Call>
int CScoreHost::ToBothViews(Call call) {
  RebuildPending();
  if (!staff_) return 1;
  call(staff_);
  if (!numbered_) return 1;
  call(numbered_);
  return 0;
}

int CScoreHost::RebuildViews() {
  pending_ = nullptr;
  if (!staff_ || !numbered_ || (active_ != staff_ && active_ != numbered_)) {
    return ToBothViews([this](IScoreView* view) {
      view->Rebuild();
      ApplyQueuedOptions(view);
    });
  }
  active_->Rebuild();
  ApplyQueuedOptions(active_);
  // Settings still waiting for the other view wait on for its next rebuild.
  pending_ = active_ == staff_ ? numbered_ : staff_;
  return 0;
}

void CScoreHost::RebuildPending() {
  IScoreView* view = pending_;
  // Cleared first: a rebuild that fails is not tried again at every
  // playback event.
  pending_ = nullptr;
  if (!view) return;
  view->Rebuild();
  ApplyQueuedOptions(view);
}

void CScoreHost::QueueOption(IScoreView* view, std::function<void(IScoreViewOptions&)> set) {
  queuedOptions_.push_back({view, std::move(set)});
  // Songs opened one after another, none of them played, would pile up their
  // settings: past a few songs' worth the view is rebuilt and takes them.
  if (queuedOptions_.size() >= kMaxQueuedOptions) RebuildPending();
}

void CScoreHost::ApplyQueuedOptions(IScoreView* view) {
  std::vector<QueuedOption> waiting, others;
  for (QueuedOption& queued : queuedOptions_)
    (queued.view == view ? waiting : others).push_back(std::move(queued));
  queuedOptions_.swap(others);
  if (waiting.empty()) return;
  IScoreViewOptions* options = view->GetOptions(1);
  if (!options) return;
  for (const QueuedOption& queued : waiting) queued.set(*options);
  options->Release();
}

int CScoreHost::Fill(const int* tracks, int count) {
  if (!active_ || !buffer_) return 1;
  buffer_->Clear();
  ISmfParser2* parser = songData_ ? songData_->GetParser() : nullptr;
  if (!parser) return 1;

  std::vector<SmfKeySigEntry> keys(parser->GetKeySignatures(nullptr));
  if (!keys.empty()) parser->GetKeySignatures(keys.data());
  std::vector<ScoreKeySig> scoreKeys;
  for (const SmfKeySigEntry& key : keys)
    scoreKeys.push_back({static_cast<int32_t>(key.tick), static_cast<int8_t>(key.sharps & 0xFF)});
  buffer_->SetKeySignatures(scoreKeys.data(), static_cast<int>(scoreKeys.size()));

  std::vector<SmfTimeSigEntry> sigs(parser->GetTimeSignatures(nullptr));
  if (!sigs.empty()) parser->GetTimeSignatures(sigs.data());
  std::vector<ScoreTimeSig> scoreSigs;
  for (const SmfTimeSigEntry& sig : sigs) {
    const int ticksPerBeat = static_cast<int>(480.0 / std::pow(2.0, sig.power));
    scoreSigs.push_back(
        {static_cast<int32_t>(parser->MeasureToTick(sig.measure)), sig.numerator, ticksPerBeat});
  }
  buffer_->SetTimeSignatures(scoreSigs.data(), static_cast<int>(scoreSigs.size()));

  for (int i = 0; i < count; ++i) {
    const int track = tracks[i];
    int measures = 0;
    const NotePair* notes = nullptr;
    unsigned noteCount = 0;
    songData_->GetTrackNotes(&measures, &notes, &noteCount, track);
    if (!notes) {
      RebuildViews();
      return 1;
    }
    std::vector<ScoreNoteEvent> records(noteCount);
    for (unsigned n = 0; n < noteCount; ++n) {
      const uint32_t message = static_cast<uint32_t>(notes[n].message);
      records[n] = {notes[n].tick, static_cast<uint8_t>(message), static_cast<uint8_t>(message >> 8),
                    static_cast<uint8_t>(message >> 16), 0};
    }
    int16_t low = 0, high = 0;
    parser->GetNoteRange(track, &low, &high);
    const int kind = active_->ChooseClef(static_cast<uint16_t>(low), static_cast<uint16_t>(high));
    buffer_->AddTrackNotes(track, records.data(), noteCount, measures, kind);
    FillLyrics(track, buffer_);
  }
  return RebuildViews();
}

void CScoreHost::FillLyrics(int track, IScoreBuffer* buffer) {
  std::vector<SmfEvent> events;
  if (!QueryTrackEvents(songData_->GetParser(), track, kSmfKindMeta, kSmfMetaLyric, events) || events.empty())
    return;
  std::vector<ScoreLyric> lyrics;
  lyrics.reserve(events.size());
  for (const SmfEvent& event : events)
    lyrics.push_back({SmfMetaText(event.data, event.length), static_cast<int32_t>(event.tick)});
  buffer->SetLyrics(track, lyrics.data(), static_cast<int>(lyrics.size()));
}

int CScoreHost::ClearScore() {
  if (!buffer_) return 1;
  buffer_->Clear();
  return RebuildViews();
}

int CScoreHost::SetStaffKind(int kind, int track) {
  if (kind == -1 || !songData_) return 0;
  for (int selected : songData_->SelectedTrackNumbers()) {
    if (track != -1 && selected != track) continue;
    if (active_ && kind >= kTrebleStaff && kind <= kGrandStaff) active_->SetTrackStaffKind(kind, selected);
  }
  return 0;
}

int CScoreHost::GetTrackStaffKind(int* out, int track) {
  if (!active_) return 1;
  int kind = 0;
  if (active_->GetTrackStaffKind(&kind, track) != 0) kind = 0;
  *out = kind == kBassStaff || kind == kGrandStaff ? kind : kTrebleStaff;
  return 0;
}

IScoreViewOptions* CScoreHost::GetViewOptions(int which) {
  IScoreView* view = which == 0 ? active_ : which == 1 ? staff_ : which == 2 ? numbered_ : nullptr;
  IScoreViewOptions* options = view ? view->GetOptions(1) : nullptr;
  if (!options || !AwaitsRebuild(view)) return options;
  return new CDeferredViewOptions(this, view, options);
}

int CScoreHost::NoteEvent(uint32_t message, int tick, int track) {
  return ToBothViews([&](IScoreView* view) { view->NoteEvent(message, tick, track); });
}

int CScoreHost::StepCursor(int step) {
  return ToBothViews([&](IScoreView* view) { view->StepCursor(step); });
}

int CScoreHost::MarkLyric(int tick, int track) {
  return ToBothViews([&](IScoreView* view) { view->MarkLyric(tick, track); });
}

int CScoreHost::UnmarkLyrics(int tick, int track) {
  return ToBothViews([&](IScoreView* view) { view->UnmarkLyrics(tick, track); });
}

int CScoreHost::SeekTick(int tick) {
  RebuildPending();
  if (staff_) staff_->SeekTick(tick);
  if (numbered_) numbered_->SeekTick(tick);
  return staff_ && numbered_ ? 0 : 1;
}

int CScoreHost::Rewind() {
  RebuildPending();
  if (staff_) staff_->Rewind();
  if (numbered_) numbered_->Rewind();
  return staff_ && numbered_ ? 0 : 1;
}

int CScoreHost::ScrollTo(int measure) {
  if (!active_) return 1;
  active_->ScrollTo(measure, 0);
  return 0;
}

int CScoreHost::ScrollBy(int count) {
  if (!active_) return 1;
  active_->ScrollTo(count, 1);
  return 0;
}

int CScoreHost::Layout(RECT* rect) { return active_ ? active_->Layout(rect) : 0; }

int CScoreHost::GetPageMeasureCount(char* out) { return active_ ? active_->GetPageMeasureCount(out) : 0; }

int CScoreHost::GetLastMeasure() { return active_ ? active_->GetLastMeasure() : -1; }

int CScoreHost::PrevPage() { return active_ ? active_->PrevPage() : -1; }

int CScoreHost::TickFromPoint(int x, int y) { return active_ ? active_->TickFromPoint(x, y) : -1; }

int CScoreHost::GetMeasureCount(int track) { return active_ ? active_->GetMeasureCount(track) : 0; }
