// What the staff and the numbered view have in common behind IScoreView: one
// painter (part) per track of the score buffer, the score model that lays
// the tracks out into the painters' pages, the lines and page controller
// that show them, the option records that outlive a rebuild, and the
// forwarding of paging, cursor, highlight and lyric calls to the page
// controller. Everything happens on the caller's thread inside these calls,
// and no exception leaves them.
//
// A view says how tall a part is, how a part is made, and adds what only it
// has through the hooks below. Members are defined in PagedViewImpl.h and
// instantiated once, in the view's own source file.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "ViewOptions.h"
#include "score/IScoreView.h"
#include "score/ScoreRecords.h"

// A part to build: its track and staff kind.
struct PartSpec {
  int kind;
  int track;
};

template <class Painter, class PagerT, class Model>
class CPagedView : public IScoreView, public IOptionHost {
 public:
  explicit CPagedView(HWND window);
  virtual ~CPagedView();

  // @name IScoreView
  void Release() override { Destroy(1); }
  IScoreBuffer* SetScoreBuffer(IScoreBuffer* buffer) override;
  HWND SetWindow(HWND window) override;
  int SetRect(const RECT* rect) override;
  int SetFixedMeasureWidth(bool on, int width) override;
  int Rebuild() override;
  void SetSizeLevel(int level) override;
  void ShowTrack(int track, bool visible) override;
  int Paint(HDC dc) override;
  int NoteEvent(uint32_t message, int tick, int track) override;
  int MarkLyric(int tick, int track) override;
  int UnmarkLyrics(int tick, int track) override;
  int StepCursor(int step) override;
  void Rewind() override;
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
  std::vector<Painter*> PartList() const;
  Painter* PartOf(int track) const;
  PagerT& Pager() { return pager_; }
  int SizeLevel() const { return sizeLevel_; }
  const RECT& ViewRect() const { return viewRect_; }

 protected:
  // @name What each view says
  virtual int PartHeightOf(const PartSpec& spec, size_t index) const = 0;
  virtual std::unique_ptr<Painter> MakePart(const PartSpec& spec, size_t index) = 0;
  // The parts a rebuild makes for the buffer's tracks; true asks the model
  // to lay out an all-percussion score.
  virtual bool PlanParts(const ScoreData& data, std::vector<PartSpec>* specs) = 0;
  // @name Hooks around the shared work
  virtual void PartsBuilt() {}
  // Before the parts go: whatever points at them must go first.
  virtual void PartsReleasing() {}
  virtual void PaintUnderPage(HDC) {}
  virtual void WindowChanged(HWND) {}

  void ReleaseParts();
  void Invalidate() const;

  HWND window_;
  RECT viewRect_{};
  RECT layoutRect_{};
  int sizeLevel_ = 1;
  std::vector<std::unique_ptr<Painter>> parts_;
  Model model_;
  IScoreBuffer* buffer_ = nullptr;

 private:
  int DoRebuild();
  int DoLayout(const RECT* rect);
  void ChangeSizeLevel(int level);
  std::vector<PartSpec> CurrentSpecs() const;
  void ArrangeParts(const RECT& rect, const std::vector<PartSpec>& specs, std::vector<RECT>* out) const;
  void BuildParts(const std::vector<PartSpec>& specs);
  void StartPage(int first, int current);
  void ReapplyOptions();

  std::map<int, Painter*> partsByTrack_;
  std::map<int, OptionRecord> options_;
  bool fixedWidthOn_ = false;
  int fixedWidth_ = 0;
  PagerT pager_;
};
