#pragma once
// The engine's link to Score.dll: loads it by name, makes the score buffer
// and the staff and numbered views, keeps one of them active in the score
// window, fills the buffer from the chosen tracks and forwards playback
// events to both views.
//
// A fill rebuilds the active view at once and the other at its first use
// (a playback event, a switch of view, a read of its options, its
// rectangle): a song plays without waiting for the layout of a view nobody
// sees, and every call that reaches that view finds it rebuilt from the same
// buffer. Options set on it meanwhile wait for that rebuild.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "base/Library.h"

class CSongData;
class IScoreBuffer;
class IScoreView;
class IScoreViewOptions;

class CScoreHost {
 public:
  explicit CScoreHost(CSongData* songData) : songData_(songData) {}
  virtual ~CScoreHost();
  CScoreHost(const CScoreHost&) = delete;
  CScoreHost& operator=(const CScoreHost&) = delete;

  // @name Objects of Score.dll, made on first request; null when missing.
  // A view is handed out rebuilt.
  IScoreView* GetStaffView();
  IScoreView* GetNumberedView();
  IScoreBuffer* GetScoreBuffer();
  IScoreView* ActiveView() const { return active_; }

  // @name Set-up and window
  int CreateScore(HWND window);
  int SetScoreType(int type);
  int GetScoreType() const { return type_; }
  HWND SetScoreWindow(HWND window);
  int DrawScore(HDC dc);
  int SetScoreRect(const RECT* rect);
  void ReleaseAll();

  // @name Contents
  int Fill(const int* tracks, int count);
  int ClearScore();
  int SetStaffKind(int kind, int track);
  int GetTrackStaffKind(int* out, int track);
  // 0 the active view's options, 1 the staff view's, 2 the numbered view's.
  IScoreViewOptions* GetViewOptions(int which);
  // Whether the view's rebuild waits for its first use.
  bool AwaitsRebuild(const IScoreView* view) const { return view && view == pending_; }
  // A setting for a view whose rebuild waits, made on its options right
  // after that rebuild (at once when this many wait).
  static constexpr size_t kMaxQueuedOptions = 64;
  void QueueOption(IScoreView* view, std::function<void(IScoreViewOptions&)> set);
  // Rebuilds the view left for its first use, if any.
  void RebuildPending();

  // @name Playback events, to both views (0, or 1 when a view is missing)
  int NoteEvent(uint32_t message, int tick, int track);
  int StepCursor(int step);
  int SeekTick(int tick);
  int MarkLyric(int tick, int track);
  int UnmarkLyrics(int tick, int track);
  int Rewind();

  // @name The active view's page
  int ScrollTo(int measure);
  int ScrollBy(int count);
  int Layout(RECT* rect);
  int GetPageMeasureCount(char* out);
  int GetLastMeasure();
  int PrevPage();
  int TickFromPoint(int x, int y);
  int GetMeasureCount(int track);

 private:
  // The export of Score.dll, loading the library when needed.
  template <class Fn>
  Fn ResolveScore(const char* exportName);
  int RebuildViews();
  // Makes the settings that waited for the view's rebuild, in their order.
  void ApplyQueuedOptions(IScoreView* view);
  void FillLyrics(int track, IScoreBuffer* buffer);
  // Staff view first; the numbered view only while a staff view exists.
  template <class Call>
  int ToBothViews(Call call);

  CSongData* songData_;
  IScoreView* staff_ = nullptr;
  IScoreView* numbered_ = nullptr;
  IScoreView* active_ = nullptr;
  // The view whose rebuild waits for its first use; null when none does.
  IScoreView* pending_ = nullptr;
  struct QueuedOption {
    IScoreView* view;
    std::function<void(IScoreViewOptions&)> set;
  };
  std::vector<QueuedOption> queuedOptions_;
  base::Library scoreLib_;
  HWND window_ = nullptr;
  IScoreBuffer* buffer_ = nullptr;
  int type_ = 0;
};
