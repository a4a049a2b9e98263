// The drawing context of one part (track) of a view: its colours, flags,
// pens, brushes and fonts, its size level, and the part's lyrics and texts.
// The staff painter adds the staff drawing and the pages; see StaffPainter.h.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/GdiHandles.h"
#include "IScorePart.h"
#include "MusicFont.h"
#include "score/ScoreRecords.h"

// Colours and flags as the painters start with them.
struct PainterDefaults {
  static constexpr COLORREF kLine = 0xFFFFFF;
  static constexpr COLORREF kNote = 0xFFFFFF;
  static constexpr COLORREF kHighlight = 0x0000FF;
  static constexpr COLORREF kClef = 0xFFFFFF;
  static constexpr COLORREF kBarIndex = 0x969696;
  static constexpr COLORREF kSignature = 0xFFFFFF;
};

class CScorePainter : public IScorePart {
 public:
  CScorePainter();
  virtual ~CScorePainter();
  CScorePainter(const CScorePainter&) = delete;
  CScorePainter& operator=(const CScorePainter&) = delete;

  // @name Set-up
  void Init(HWND window, int track, int sizeLevel, int staffKind);
  // Levels outside 0..3 are ignored: every size table has four rows.
  virtual void SetSizeIndex(int level);
  int SizeLevel() const { return sizeLevel_; }
  int Track() const { return track_; }
  HWND Window() const { return window_; }
  virtual int StaffKind() const = 0;

  // Time-signature denominator shown for a beat length in ticks.
  static const char* DenominatorText(int beatTicks);

  // @name Header width: c + spacing × (|key| + 1) + d on a staff
  virtual int KeySignatureWidth(int key, int spacing, int c, int d) const = 0;

  // @name Colours and flags (set through the view options)
  COLORREF NoteColor() const { return noteColor_; }
  COLORREF HighlightColor() const { return highlightColor_; }
  COLORREF BarIndexColor() const { return barIndexColor_; }
  COLORREF SignatureColor() const { return signatureColor_; }
  virtual COLORREF LineColor() const { return 0; }
  virtual COLORREF ClefColor() const { return 0; }
  void SetNoteColor(COLORREF c);
  void SetHighlightColor(COLORREF c);
  void SetBarIndexColor(COLORREF c) { barIndexColor_ = c; }
  void SetSignatureColor(COLORREF c) { signatureColor_ = c; }
  // A numbered part keeps no line or clef colour: these do nothing there.
  virtual void SetLineColor(COLORREF) {}
  virtual void SetClefColor(COLORREF) {}
  bool Visible() const { return visible_; }
  void SetVisible(bool on) { visible_ = on; }
  bool ShowTrackNumber() const { return showTrackNumber_; }
  void SetShowTrackNumber(bool on) { showTrackNumber_ = on; }
  bool ShowBarIndex() const { return showBarIndex_; }
  void SetShowBarIndex(bool on) { showBarIndex_ = on; }
  bool HeavyEndBar() const { return heavyEndBar_; }
  void SetHeavyEndBar(bool on) { heavyEndBar_ = on; }

  // @name Pens, brushes and fonts
  HPEN NotePen(int width) const { return width > 1 ? notePen2_.Get() : notePen1_.Get(); }
  HPEN HighlightPen(int width) const { return width > 1 ? highlightPen2_.Get() : highlightPen1_.Get(); }
  HBRUSH NoteBrush() const { return noteBrush_.Get(); }
  HBRUSH HighlightBrush() const { return highlightBrush_.Get(); }
  HFONT TextFont() const { return textFont_.Get(); }  // bar numbers and free texts
  HFONT TrackNumberFont() const { return trackFont_.Get(); }
  HFONT LyricFont() const { return lyricFont_.Get(); }
  int LyricOffset() const { return lyricOffset_; }
  bool MusicFontAdded() const { return musicFont_.Added(); }

  // @name The part's texts and lyrics (copies of the buffer's lists)
  void SetTexts(const std::vector<ScoreText>& texts) { texts_ = texts; }
  void SetLyrics(const std::vector<ScoreLyric>& lyrics) { lyrics_ = lyrics; }
  const std::vector<ScoreText>& Texts() const { return texts_; }

  // @name What the score model asks of a part
  int PartStaffKind() const override { return StaffKind(); }
  int PartSizeLevel() const override { return sizeLevel_; }
  const std::vector<ScoreLyric>& PartLyrics() const override { return lyrics_; }
  void MeasureLyricWidths(const std::vector<std::string>& texts, std::vector<int>* widths) override;

 protected:
  virtual void SetKind(int staffKind) = 0;
  void SetLyricOffset(int offset) { lyricOffset_ = offset; }

  int sizeLevel_ = 1;
  int track_ = 0;
  HWND window_ = nullptr;

 private:
  void RefreshNotePens();
  void RefreshHighlightPens();

  std::vector<ScoreText> texts_;
  std::vector<ScoreLyric> lyrics_;
  bool visible_ = true;
  bool showTrackNumber_ = true;
  bool showBarIndex_ = true;
  bool heavyEndBar_ = true;
  int lyricOffset_ = 10;
  COLORREF barIndexColor_ = PainterDefaults::kBarIndex;
  COLORREF signatureColor_ = PainterDefaults::kSignature;
  COLORREF noteColor_ = PainterDefaults::kNote;
  COLORREF highlightColor_ = PainterDefaults::kHighlight;
  CMusicFontRef musicFont_;
  base::GdiFont textFont_, trackFont_, lyricFont_;
  base::GdiPen highlightPen1_, highlightPen2_, notePen1_, notePen2_;
  base::GdiBrush noteBrush_, highlightBrush_;
};

// A font as the painters make them: no italic, underline or strike-out,
// default precisions and quality.
HFONT CreatePainterFont(int height, int weight, BYTE charset, BYTE pitchFamily, const char* face);
