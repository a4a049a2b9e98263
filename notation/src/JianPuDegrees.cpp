#include "JianPuDegrees.h"

#include "KeyTable.h"

namespace {

const int kTonicOffsets[15] = {-1, -6, 1, -4, 3, -2, 5, 0, -5, 2, -3, 4, -1, -6, 1};

const JianPuDegree kDegrees[12] = {
    {'1', 0}, {'2', 2}, {'2', 0}, {'3', 2}, {'3', 0}, {'4', 0},
    {'4', 1}, {'5', 0}, {'5', 1}, {'6', 0}, {'7', 2}, {'7', 0},
};

const char* const kKeyNames[15] = {"bC", "bG", "bD", "bA", "bE", "bB", "F", "C",
                                   "G",  "D",  "A",  "E",  "B",  "#F", "#C"};

}  // namespace

int CJianPuDegrees::TonicOffset(int key) { return CKeyTable::IsValidKey(key) ? kTonicOffsets[key + 7] : -10; }

JianPuDegree CJianPuDegrees::Degree(int semitones) { return kDegrees[((semitones % 12) + 12) % 12]; }

bool CJianPuDegrees::NeedsAccidental(int key, int pitch) {
  return Degree(pitch - Tonic(CKeyTable::ClampKey(key))).accidental != 0;
}

const char* CJianPuDegrees::KeyName(int key) { return CKeyTable::IsValidKey(key) ? kKeyNames[key + 7] : ""; }
