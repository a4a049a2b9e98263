#include "ui/SliderMath.h"

#include <cstdint>

int ClampInt(int value, int low, int high) {
  if (value < low) return low;
  if (value > high) return high;
  return value;
}

int SliderThumbOffset(int trackLength, int lower, int upper, int pos) {
  if (upper <= lower || trackLength <= 0) return 0;
  return static_cast<int>(static_cast<double>(trackLength) / (static_cast<double>(upper) - lower) *
                          (static_cast<double>(pos) - lower));
}

int SliderThumbOffsetExact(int trackLength, int lower, int upper, int pos) {
  if (upper <= lower || trackLength <= 0) return 0;
  return static_cast<int>((static_cast<int64_t>(pos) - lower) * trackLength /
                          (static_cast<int64_t>(upper) - lower));
}

int SliderPosFromOffset(int offset, int lower, int upper, int trackLength) {
  if (upper <= lower || trackLength <= 0) return lower;
  return static_cast<int>(lower +
                          static_cast<int64_t>(offset) * (static_cast<int64_t>(upper) - lower) / trackLength);
}

int VolumeThumbOffset(int trackLength, int value) {
  if (trackLength <= 0) return 0;
  return static_cast<int>(trackLength * (ClampInt(value, 0, 255) / 255.0));
}

int VolumeFromOffset(int offset, int trackLength) {
  if (trackLength <= 0) return 0;
  return ClampInt(static_cast<int>(offset * (255.0 / trackLength)), 0, 255);
}
