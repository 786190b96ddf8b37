#ifndef CORELIB_KEYINTERPOLATION_H
#define CORELIB_KEYINTERPOLATION_H

#include <cstdint>
#include <vector>

class AnimKeyC;

// The arithmetic of keyframe tracks, in single precision. Key times are int32
// ticks; differences of them are taken in 64 bits so no pair of times overflows.

// Maps the position u in [0, 1] of a segment to the eased position, with
// easing f32A at the segment's start and f32B at its end.
float ease(float f32U, float f32A, float f32B);

// The value at i64Time of the segment from pPrevious to pNext, for
// time(pPrevious) <= i64Time < time(pNext) and a previous key that is not a
// hold key: linear between two linear keys, Hermite otherwise. Writes
// i32ValueCount floats.
void interpolate_segment(AnimKeyC* pPrevious, AnimKeyC* pNext, int64_t i64Time, int32_t i32ValueCount, float* pOut);

// Sets the in and out tangents of time-sorted keys from their spline
// settings, with the track's out-range modes deciding the rules at the ends.
void prepare_tangents(const std::vector<AnimKeyC*>& rKeys, int32_t i32ValueCount, int32_t i32BeforeMode,
                      int32_t i32AfterMode);

#endif
