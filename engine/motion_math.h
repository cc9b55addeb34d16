// The pure mathematics of a motion: easing curves, path points and the
// conversion of floating values to whole pixels, tenths of a degree and
// opacity steps.
#pragma once

#include <cstdint>

#include "engine/registry.h"

namespace zel {

// The smallest scale factor (the float nearest 0.01, just below it).
constexpr float kMinScale = 0.01f;

// Truncates toward zero, saturating to the int32 range; NaN gives 0.
int32_t TruncateToInt32(double value);

// Eased progress for an easing code; unknown codes are linear. Maps [0, 1]
// onto [0, 1] with exactly 0 at 0 and exactly 1 at 1.
double EaseProgress(float t, int32_t easing);

// Writes the window position for eased progress e on the record's path
// (line, quadratic or cubic Bezier). Always returns 0.
int EvaluatePath(const AnimationRecord& record, float e, int32_t& x, int32_t& y);

}  // namespace zel
