#include "StaffPainter.h"

#include <algorithm>
#include <cstdlib>

#include "DrumStaffPage.h"
#include "KeyTable.h"
#include "PageLyrics.h"
#include "ScoreMeasure.h"
#include "StaffPage.h"
#include "StaffSizes.h"

CStaffPainter::CStaffPainter() {
  SetLineColor(PainterDefaults::kLine);
  RecreateFonts();
  metrics_ = StaffGeometry::Around(staffKind_, PartHeight() / 2, lineGap_);
}

CStaffPainter::~CStaffPainter() = default;

void CStaffPainter::SetKind(int kind) {
  if (!IsValidStaffKind(kind)) return;
  staffKind_ = kind;
  metrics_ = StaffGeometry::Around(staffKind_, PartHeight() / 2, lineGap_);
}

void CStaffPainter::SetSizeIndex(int level) {
  if (level < 0 || level > 3) return;
  CScorePainter::SetSizeIndex(level);
  lineGap_ = StaffSizes::kLineGap[level];
  RecreateFonts();
  metrics_ = StaffGeometry::Around(staffKind_, PartHeight() / 2, lineGap_);
}

int CStaffPainter::PartHeight() const {
  const int level = StaffSizes::Level(sizeLevel_);
  return staffKind_ == kGrandStaff ? StaffSizes::kTwoStaffHeight[level] : StaffSizes::kOneStaffHeight[level];
}

int CStaffPainter::LaidOutHeight() const { return PartHeight() + growAbove_ + growBelow_; }

int CStaffPainter::StaffShift() const { return PartHeight() / 2 + growAbove_ - LaidOutHeight() / 2; }

void CStaffPainter::MeasureGrowth() {
  const int height = PartHeight();
  const StaffGeometry& s = metrics_;
  const int lyricRef = staffKind_ == kGrandStaff ? s.lowerRef : s.upperRef;
  // A pixel of room at either edge keeps the ink off the neighbouring part.
  constexpr int kEdge = 1;
  // A row puts its lyric lines under its lowest measure, and any measure
  // may share a row with the one that has the most lines.
  int top = kEdge, lyricTop = LyricOffset(), lines = 0;
  for (const auto& page : pages_) {
    top = std::min(top, s.upperRef + page->BarNumberTop());
    if (page->HasTexts()) top = std::min(top, s.upperRef + page->TextTop());
    // Just below the measure's lowest ink, lyrics or not.
    lyricTop = std::max(lyricTop, page->LyricTop());
    lines = std::max(lines, LyricLinesUsed(page->Lyrics()));
  }
  const int bottom = lyricRef + lyricTop + lines * kLyricLineHeight;
  growAbove_ = std::max(0, kEdge - top);
  growBelow_ = std::max(0, bottom - (height - kEdge));
}

void CStaffPainter::RecreateFonts() {
  const int level = StaffSizes::Level(sizeLevel_);
  signatureFont_.Attach(CreatePainterFont(StaffSizes::kSignatureFontHeight[level], FW_SEMIBOLD,
                                          DEFAULT_CHARSET, FF_SWISS, "Arial"));
  octaveFont_.Attach(CreatePainterFont(StaffSizes::kOctaveFontHeight[level], FW_MEDIUM, DEFAULT_CHARSET,
                                       FF_SWISS, "Arial Bold Italic"));
  clefFont_.Attach(CreatePainterFont(StaffSizes::kClefFontHeight[level], FW_MEDIUM, SYMBOL_CHARSET, 0,
                                     CMusicFont::kFaceName));
  cClefFont_.Attach(CreatePainterFont(StaffSizes::kCClefFontHeight[level], FW_MEDIUM, SYMBOL_CHARSET, 0,
                                      CMusicFont::kFaceName));
  symbolFont_.Attach(CreatePainterFont(StaffSizes::kSymbolFontHeight[level], FW_MEDIUM, SYMBOL_CHARSET, 0,
                                       CMusicFont::kFaceName));
}

void CStaffPainter::SetLineColor(COLORREF c) {
  lineColor_ = c;
  linePen_.Attach(CreatePen(PS_SOLID, 1, c));
}

bool CStaffPainter::PitchToStaffStep(int pitch, int key, int* step, int* accidental) const {
  return CKeyTable::PitchToStaffStep(staffKind_, pitch, key, step, accidental);
}

int CStaffPainter::MiddleStepSum(int pitch) const {
  switch (staffKind_) {
    case kBassStaff:
    case kBassOctaveStaff:
      return 16;
    case kGrandStaff:
      return pitch < 60 ? 16 : 12;
    case kAltoStaff:
      return 0;
    case kTenorStaff:
      return -4;
    default:
      return 12;
  }
}

bool CStaffPainter::StemUp(int pitch, int a, int b) const { return a + b <= MiddleStepSum(pitch); }

int CStaffPainter::KeySignatureWidth(int key, int spacing, int c, int d) const {
  return c + spacing * (std::abs(CKeyTable::ClampKey(key)) + 1) + d;
}

CStaffPage* CStaffPainter::Page(int index) const {
  if (index < 0 || index >= PageCount()) return nullptr;
  return pages_[index].get();
}

void CStaffPainter::ClearPages() {
  pages_.clear();
  growAbove_ = growBelow_ = 0;
}

void CStaffPainter::ClearHighlights() {
  for (auto& page : pages_) page->ClearHighlights();
}

std::unique_ptr<CStaffPage> CStaffPainter::CreatePage() { return std::make_unique<CStaffPage>(this); }

int CStaffPainter::LayoutMeasures(const std::vector<CScoreMeasure*>& measures) {
  ClearPages();
  pages_.reserve(measures.size());
  const int level = StaffSizes::Level(sizeLevel_);
  int x = measures.empty() ? 0
                           : KeySignatureWidth(measures.front()->key, StaffSizes::kKeyStep[level],
                                               StaffSizes::kTimeWidth[level], StaffSizes::kClefWidth[level]);
  for (const CScoreMeasure* m : measures) {
    std::unique_ptr<CStaffPage> page = CreatePage();
    page->SetMeasure(*m, x);
    for (const ScoreText& text : Texts())
      if (text.tick == m->startTick) page->AddText(text);
    // Layout may widen a crowded measure.
    page->Layout(*m);
    x += page->Width();
    pages_.push_back(std::move(page));
  }

  const bool twoStaves = staffKind_ == kGrandStaff;
  for (int voice = twoStaves ? kUpperVoice : kSingleVoice; voice <= (twoStaves ? kLowerVoice : kSingleVoice);
       ++voice) {
    for (auto& page : pages_) page->LinkTies(voice);
    LinkTiesAcrossPages(voice);
  }
  for (auto& page : pages_) page->MeasureReach();

  HandOutLyrics(PartLyrics(), pages_);
  MeasureGrowth();
  return 0;
}

void CStaffPainter::LinkTiesAcrossPages(int voice) {
  for (size_t i = 0; i + 1 < pages_.size(); ++i) pages_[i]->LinkTiesInto(*pages_[i + 1], voice);
}

CDrumPainter::CDrumPainter(bool allPercussion) {
  SetNoKeySignature(allPercussion);
  SetStaffKind(kPercussionStaff);
}

bool CDrumPainter::PitchToStaffStep(int pitch, int, int* step, int* accidental) const {
  return CKeyTable::PitchToStaffStep(kPercussionStaff, pitch, 0, step, accidental);
}

int CDrumPainter::KeySignatureWidth(int key, int spacing, int c, int d) const {
  return HasKeySignature() ? CStaffPainter::KeySignatureWidth(key, spacing, c, d) : c + d;
}

std::unique_ptr<CStaffPage> CDrumPainter::CreatePage() { return std::make_unique<CDrumStaffPage>(this); }
