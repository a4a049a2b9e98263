// The options face of the staff and the numbered view: colours and display
// flags per track, kept in the view's option records and applied at once to
// the painters. A numbered part draws neither staff lines nor clefs: its
// line and clef colours live in the records only.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "score/IScoreViewOptions.h"

class CScorePainter;

// The options of one part, as the view keeps them across rebuilds.
struct OptionRecord {
  COLORREF lineColor = 0;
  COLORREF noteColor = 0;
  COLORREF highlightColor = 0;
  COLORREF clefColor = 0;
  COLORREF barIndexColor = 0;
  COLORREF signatureColor = 0;
  bool showBarIndex = true;
  bool showTrackNumber = true;
  bool heavyEndBar = true;

  static OptionRecord FromPainter(const CScorePainter& p);
  // Colours and the bar-index and heavy-end flags; a new part keeps its own
  // track-number flag.
  void ApplyTo(CScorePainter& p) const;
};

// What the options work on: the view's records, which outlive a rebuild,
// and its current painters.
class IOptionHost {
 public:
  virtual std::map<int, OptionRecord>& OptionRecords() = 0;
  virtual std::vector<CScorePainter*> OptionParts() const = 0;

 protected:
  ~IOptionHost() = default;
};

class CViewOptions : public IScoreViewOptions {
 public:
  explicit CViewOptions(IOptionHost* view) : view_(view) {}
  virtual ~CViewOptions() = default;

  void Release() override { Destroy(1); }
  void SetLineColor(COLORREF color, int track) override;
  COLORREF GetLineColor(int track) override;
  void SetNoteColor(COLORREF color, int track) override;
  COLORREF GetNoteColor(int track) override;
  void SetHighlightNoteColor(COLORREF color, int track) override;
  COLORREF GetHighlightNoteColor(int track) override;
  void SetClefColor(COLORREF color, int track) override;
  COLORREF GetClefColor(int track) override;
  void SetSignatureColor(COLORREF color, int track) override;
  COLORREF GetSignatureColor(int track) override;
  void SetBarIndexColor(COLORREF color, int track) override;
  COLORREF GetBarIndexColor(int track) override;
  void SetShowBarIndex(bool on, int track) override;
  bool GetShowBarIndex(int track) override;
  void SetShowTrackNumber(bool on, int track) override;
  bool GetShowTrackNumber(int track) override;
  void SetHeavyEndBar(bool on, int track) override;
  bool GetHeavyEndBar(int track) override;
  void Destroy(unsigned flags) override;

 private:
  template <typename T, typename Apply>
  void Set(T OptionRecord::*field, T value, int track, Apply apply);
  template <typename T>
  T Get(T OptionRecord::*field, int track, T fallback) const;

  IOptionHost* view_;
};
