#include "NoteValues.h"

#include "ScoreNote.h"

bool CNoteValues::ClassifyLength(ScoreNote& note, int length) {
  int valueClass;
  bool dotted = false;
  switch (length) {
    case 30:
      valueClass = kSixteenthNote;
      break;
    case 60:
      valueClass = kEighthNote;
      break;
    case 90:
      valueClass = kEighthNote;
      dotted = true;
      break;
    case 120:
      valueClass = kQuarterNote;
      break;
    case 180:
      valueClass = kQuarterNote;
      dotted = true;
      break;
    case 240:
      valueClass = kHalfNote;
      break;
    case 360:
      valueClass = kHalfNote;
      dotted = true;
      break;
    case 480:
      valueClass = kWholeNote;
      break;
    // Bars of 6/4 or 12/8 keep 720-tick notes whole; they are dotted wholes.
    case 720:
      valueClass = kWholeNote;
      dotted = true;
      break;
    default:
      return false;
  }
  note.valueClass = valueClass;
  note.dotted = dotted;
  return true;
}

bool CNoteValues::ClassifyTripletLength(ScoreNote& note, int length) {
  int valueClass;
  switch (length) {
    case 20:
      valueClass = kSixteenthNote;
      break;
    case 40:
      valueClass = kEighthNote;
      break;
    case 80:
      valueClass = kQuarterNote;
      break;
    case 160:
      valueClass = kHalfNote;
      break;
    default:
      return false;
  }
  note.valueClass = valueClass;
  note.dotted = false;
  return true;
}
