// Value mappings of the skinned sliders, apart from any window so they can be
// tested as tables. A range with upper equal to lower, or a track no longer
// than the thumb, maps everything to the start and the lower bound.
#pragma once

// Thumb offset from the track start for pos: trackLength / (upper - lower) *
// (pos - lower), computed in double and truncated.
int SliderThumbOffset(int trackLength, int lower, int upper, int pos);
// The same in integer arithmetic: (pos - lower) * trackLength / (upper - lower).
int SliderThumbOffsetExact(int trackLength, int lower, int upper, int pos);
// Position of a thumb dragged to offset: lower + offset * (upper - lower) / trackLength.
int SliderPosFromOffset(int offset, int lower, int upper, int trackLength);
int ClampInt(int value, int low, int high);

// The volume slider: value 0..255 (clamped) to a thumb offset and back.
int VolumeThumbOffset(int trackLength, int value);
int VolumeFromOffset(int offset, int trackLength);
