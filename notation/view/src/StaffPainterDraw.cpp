// The staff painter's drawing: staves, bar lines, clefs, key and time
// signatures and the track number.
#include <cstdio>
#include <cstring>
#include <cstdlib>

#include "KeyTable.h"
#include "MusicFont.h"
#include "StaffPainter.h"
#include "StaffSizes.h"

namespace {

// Sign positions on a staff whose step 0 is C: F C G D A E B for sharps,
// B E A D G C F for flats.
constexpr int kSharpSteps[7] = {10, 7, 11, 8, 5, 9, 6};
constexpr int kFlatSteps[7] = {6, 9, 5, 8, 4, 7, 3};

void TextAt(HDC dc, int x, int y, const char* text) {
  TextOutA(dc, x, y, text, static_cast<int>(strlen(text)));
}

}  // namespace

void CStaffPainter::DrawStaffLines(HDC dc, const StaffGeometry& g, int x1, int x2) const {
  base::ScopedSelect pen(dc, linePen_.Get());
  const int tops[2] = {g.upperTop, g.lowerTop};
  const int staves = staffKind_ == kGrandStaff ? 2 : 1;
  for (int s = 0; s < staves; ++s)
    for (int line = 0; line < 5; ++line)
      for (int k = 0; k < hStroke_; ++k)
        StrokeLine(dc, x1, tops[s] + line * lineGap_ + k, x2, tops[s] + line * lineGap_ + k);
}

void CStaffPainter::DrawBarLine(HDC dc, const StaffGeometry& g, int x) const {
  base::ScopedSelect pen(dc, linePen_.Get());
  const int top = g.upperTop;
  const int bottom = (staffKind_ == kGrandStaff ? g.lowerTop : g.upperTop) + 4 * lineGap_ + hStroke_;
  for (int k = 0; k < vStroke_; ++k) StrokeLine(dc, x + k, top, x + k, bottom);
}

void CStaffPainter::DrawLineStart(HDC dc, const StaffGeometry& g, int x) const {
  if (staffKind_ == kGrandStaff) {
    // The bar that joins the two staves of one instrument.
    base::ScopedSelect pen(dc, linePen_.Get());
    const int bottom = g.lowerTop + 4 * lineGap_ + 1;
    for (int k = 0; k < 3; ++k) StrokeLine(dc, x - 5 + k, g.upperTop, x - 5 + k, bottom);
  }
  DrawBarLine(dc, g, x);
  DrawClef(dc, g, x + 5);
}

void CStaffPainter::DrawClef(HDC dc, const StaffGeometry& g, int x) const {
  if (staffKind_ == kGrandStaff) {
    DrawClefOn(dc, kTrebleStaff, g.upperRef, x);
    DrawClefOn(dc, kBassStaff, g.lowerRef, x);
  } else {
    DrawClefOn(dc, staffKind_, g.upperRef, x);
  }
}

void CStaffPainter::DrawClefOn(HDC dc, int kind, int ref, int x) const {
  const int level = StaffSizes::Level(sizeLevel_);
  if (kind == kPercussionStaff) {
    // Two bars over the middle two spaces of the staff.
    base::ScopedSelect pen(dc, NotePen(1));
    for (int bar : {x, x + 4})
      for (int k = 0; k < 2; ++k) StrokeLine(dc, bar + k, ref - 4 * lineGap_, bar + k, ref - 2 * lineGap_);
    return;
  }
  base::ScopedTextStyle style(dc, clefColor_);
  if (kind == kTrebleOctaveStaff || kind == kBassOctaveStaff) {
    const bool treble = kind == kTrebleOctaveStaff;
    base::ScopedSelect font(dc, octaveFont_.Get());
    TextAt(dc, x + (treble ? StaffSizes::kTrebleOctaveX[level] : StaffSizes::kBassOctaveX[level]),
           ref + (treble ? StaffSizes::kTrebleOctaveY[level] : StaffSizes::kBassOctaveY[level]), "8");
    kind = treble ? kTrebleStaff : kBassStaff;
  }
  // Each clef hangs from the line it names: G is the second line (step 4),
  // F the fourth line of a bass staff (step 10), and a C clef's reference
  // line is its own line.
  switch (kind) {
    case kTrebleStaff: {
      base::ScopedSelect font(dc, clefFont_.Get());
      CMusicFont::DrawSymbol(dc, '&', x, StaffGeometry::StepY(ref, 4, lineGap_),
                             ref + StaffSizes::kTrebleClefY[level]);
      break;
    }
    case kBassStaff: {
      base::ScopedSelect font(dc, clefFont_.Get());
      CMusicFont::DrawSymbol(dc, '?', x, StaffGeometry::StepY(ref, 10, lineGap_),
                             ref + StaffSizes::kBassClefY[level]);
      break;
    }
    default: {  // the C clefs
      base::ScopedSelect font(dc, cClefFont_.Get());
      CMusicFont::DrawSymbol(dc, 'A', x, ref, ref + StaffSizes::kCClefY[level]);
      break;
    }
  }
}

void CStaffPainter::DrawKeySignature(HDC dc, const StaffGeometry& g, int x, int key, bool cancel) const {
  key = CKeyTable::ClampKey(key);
  if (staffKind_ == kPercussionStaff || key == 0) return;
  DrawKeyOn(dc, g.upperRef, x, key, cancel);
  if (staffKind_ == kGrandStaff) DrawKeyOn(dc, g.lowerRef, x, key, cancel);
}

void CStaffPainter::DrawKeyOn(HDC dc, int ref, int x, int key, bool cancel) const {
  const int level = StaffSizes::Level(sizeLevel_);
  // The C clefs put middle C inside the staff: their signs sit an octave lower.
  const int shift = (staffKind_ == kAltoStaff || staffKind_ == kTenorStaff) ? -7 : 0;
  const int* steps = key > 0 ? kSharpSteps : kFlatSteps;
  const int sign = cancel ? kNatural : (key > 0 ? kSharp : kFlat);
  const SignPens pens = NoteSignPens();
  for (int i = 0; i < std::abs(key); ++i)
    CStaffSigns::Draw(dc, sign, x + i * StaffSizes::kKeyStep[level],
                      StaffGeometry::StepY(ref, steps[i] + shift, lineGap_), lineGap_, pens);
}

void CStaffPainter::DrawTimeSignature(HDC dc, const StaffGeometry& g, int x, int beats, int beatTicks) const {
  const int level = StaffSizes::Level(sizeLevel_);
  char numerator[16];
  snprintf(numerator, sizeof numerator, "%d", beats);
  const char* denominator = DenominatorText(beatTicks);
  base::ScopedSelect font(dc, signatureFont_.Get());
  base::ScopedTextStyle style(dc, SignatureColor());
  const int tops[2] = {g.upperTop, g.lowerTop};
  for (int s = 0; s < (staffKind_ == kGrandStaff ? 2 : 1); ++s) {
    const int y = tops[s] + StaffSizes::kSignatureTopY[level];
    TextAt(dc, strlen(numerator) > 1 ? x - 4 : x, y, numerator);
    TextAt(dc, strlen(denominator) > 1 ? x - 4 : x, y + 2 * lineGap_, denominator);
  }
}

void CStaffPainter::DrawTrackNumber(HDC dc, const StaffGeometry& g, int x) const {
  char text[16];
  snprintf(text, sizeof text, "%d", track_);
  base::ScopedSelect font(dc, TrackNumberFont());
  base::ScopedTextStyle style(dc, lineColor_);
  TextAt(dc, x, staffKind_ == kGrandStaff ? g.lowerRef : g.upperRef, text);
}
