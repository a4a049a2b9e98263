// The numbered view: one numbered painter (part) per track of the score
// buffer, the numbered score model that lays the tracks out into the
// painters' pages, and the lines and page controller that show them.
// Staff kinds, stroke widths and live-note marks mean nothing here: those
// operations do nothing. Everything happens on the caller's thread.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "JianPuPager.h"
#include "ScoreModel.h"
#include "ViewOptions.h"
#include "score/IScoreView.h"

class CJianPuPainter;

class CJianPuView : public IScoreView, public IOptionHost {
public:
  explicit CJianPuView(HWND window);
  virtual ~CJianPuView();

  // @name IScoreView
  void Release() override { Destroy(1); }
  IScoreBuffer* SetScoreBuffer(IScoreBuffer* buffer) override;
  HWND SetWindow(HWND window) override;
  int SetRect(const RECT* rect) override;
  int SetFixedMeasureWidth(bool on, int width) override;
  int Rebuild() override;
  void SetSizeLevel(int level) override;
  int SetTrackStaffKind(int, int) override { return 1; }
  void ShowTrack(int track, bool visible) override;
  void SetLineWidth(int) override {}
  int GetTrackStaffKind(int* kind, int track) override;
  int ChooseClef(uint16_t, uint16_t) override { return 0; }
  int Paint(HDC dc) override;
  int NoteEvent(uint32_t message, int tick, int track) override;
  int MarkLyric(int tick, int track) override;
  int UnmarkLyrics(int tick, int track) override;
  int StepCursor(int step) override;
  void Rewind() override;
  void OnMidiMessage(uint32_t, int, int) override {}
  void ClearNoteTracker() override {}
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
  std::vector<CJianPuPainter*> PartList() const;
  CJianPuPainter* PartOf(int track) const;
  CJianPuPager& Pager() { return pager_; }
  int SizeLevel() const { return sizeLevel_; }
  const RECT& ViewRect() const { return viewRect_; }

private:
  int DoRebuild();
  std::vector<int> CurrentTracks() const;
  void ArrangeParts(const RECT& rect, const std::vector<int>& tracks, std::vector<RECT>* out) const;
  void ReleaseParts();
  void BuildParts(const std::vector<int>& tracks);
  void StartPage(int first, int current);
  void ReapplyOptions();
  void Invalidate() const;

  HWND window_;
  RECT viewRect_{};
  RECT layoutRect_{};
  int sizeLevel_ = 1;
  std::vector<std::unique_ptr<CJianPuPainter>> parts_;
  CJianPuScore model_;
  std::map<int, CJianPuPainter*> partsByTrack_;
  std::map<int, OptionRecord> options_;
  IScoreBuffer* buffer_ = nullptr;
  bool fixedWidthOn_ = false;
  int fixedWidth_ = 0;
  CJianPuPager pager_;
};

// The factory behind CreateJianPuInstance: null when memory runs out.
IScoreView* NewJianPuView(HWND window);
