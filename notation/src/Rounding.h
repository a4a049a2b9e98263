// Rounding of ticks to the grids the notation uses.
#pragma once

#include <cstdint>

// a rounded to a multiple of b, a remainder of exactly half rounding up.
// Negative a and b <= 0 come back unchanged: callers never mean them.
inline int64_t RoundToMultiple(int64_t a, int64_t b) {
  if (b <= 0 || a < 0) return a;
  const int64_t r = a % b;
  if (r == 0) return a;
  return r < b / 2 ? a - r : a - r + b;
}

// The notation grid: a remainder above 14 rounds up.
inline int RoundTo30(int a) {
  if (a < 0) return a;
  const int r = a % 30;
  return r > 14 ? a - r + 30 : a - r;
}

// Ticks of a length or offset on the 10-tick grid the triplets use; a length
// of 0 (a note never closed) counts as 10.
inline int RoundLengthTo10(int length) {
  const int r = static_cast<int>(RoundToMultiple(length, 10));
  return r <= 0 ? 10 : r;
}
