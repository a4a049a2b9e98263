// The staff view: one painter (part) per track of the score buffer, the
// score model that lays the tracks out into the painters' pages, the lines
// and page controller that show them, and the live-note tracker. Everything
// happens on the caller's thread inside these calls.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "NoteTracker.h"
#include "ScoreModel.h"
#include "StaffPager.h"
#include "ViewOptions.h"
#include "score/IScoreView.h"

class CStaffPainter;

class CStaffView : public IScoreView, public IOptionHost {
public:
  explicit CStaffView(HWND window);
  virtual ~CStaffView();

  // @name IScoreView
  void Release() override { Destroy(1); }
  IScoreBuffer* SetScoreBuffer(IScoreBuffer* buffer) override;
  HWND SetWindow(HWND window) override;
  int SetRect(const RECT* rect) override;
  int SetFixedMeasureWidth(bool on, int width) override;
  int Rebuild() override;
  void SetSizeLevel(int level) override;
  int SetTrackStaffKind(int kind, int track) override;
  void ShowTrack(int track, bool visible) override;
  void SetLineWidth(int width) override;
  int GetTrackStaffKind(int* kind, int track) override;
  int ChooseClef(uint16_t lowest, uint16_t highest) override;
  int Paint(HDC dc) override;
  int NoteEvent(uint32_t message, int tick, int track) override;
  int MarkLyric(int tick, int track) override;
  int UnmarkLyrics(int tick, int track) override;
  int StepCursor(int step) override;
  void Rewind() override;
  void OnMidiMessage(uint32_t message, int a, int b) override;
  void ClearNoteTracker() override;
  IScoreViewOptions* GetOptions(int version) override;
  void Reserved(int) override {}
  int ScrollTo(int measure, int mode) override;
  int Layout(const RECT* rect) override;
  int GetPageMeasureCount(char* fits) override;
  int TickFromPoint(int x, int y) override;
  int GetMeasureCount(int track) override;
  int SeekTick(int tick) override;
  int GetLastMeasure() override;
  int PrevPage() override;
  void Destroy(unsigned flags) override;

  // @name For the options object, tests and tools
  std::map<int, OptionRecord>& OptionRecords() override { return options_; }
  std::vector<CScorePainter*> OptionParts() const override;
  std::vector<CStaffPainter*> PartList() const;
  CStaffPainter* PartOf(int track) const;
  CStaffPager& Pager() { return pager_; }
  int SizeLevel() const { return sizeLevel_; }
  const RECT& ViewRect() const { return viewRect_; }
  const CNoteTracker* Tracker() const { return tracker_.get(); }
  // Part height in pixels of a staff kind at a size level.
  static int PartHeightOf(int staffKind, int level);

private:
  struct Pair {
    int kind;
    int track;
  };
  int DoRebuild();
  int DoLayout(const RECT* rect);
  void ChangeSizeLevel(int level);
  std::vector<Pair> CurrentPairs() const;
  int GetPartsHeight(const std::vector<Pair>& pairs) const;
  void ArrangeParts(const RECT& rect, const std::vector<Pair>& pairs, std::vector<RECT>* out) const;
  void ReleaseParts();
  void BuildParts(const std::vector<Pair>& pairs, bool allPercussion);
  void StartPage(int first, int current);
  void ReapplyOptions();
  void Invalidate() const;

  HWND window_;
  RECT viewRect_{};
  RECT layoutRect_{};
  int sizeLevel_ = 1;
  int lineWidth_ = 1;
  std::vector<std::unique_ptr<CStaffPainter>> parts_;
  CStaffScore model_;
  std::map<int, CStaffPainter*> partsByTrack_;
  std::map<int, OptionRecord> options_;
  IScoreBuffer* buffer_ = nullptr;
  bool fixedWidthOn_ = false;
  int fixedWidth_ = 0;
  CStaffPager pager_;
  std::unique_ptr<CNoteTracker> tracker_;
};

// The factory behind CreateStaffInstance: null when memory runs out.
IScoreView* NewStaffView(HWND window);
