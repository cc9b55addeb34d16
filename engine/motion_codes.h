// The codes that the parameter names turn into. Every unrecognised name gives
// code 1.
#pragma once

#include <cstdint>

namespace zel {

enum EasingCode : int32_t { kLinear = 1, kEaseIn = 2, kEaseOut = 3, kEaseInOut = 4 };
enum PathTypeCode : int32_t { kLine = 1, kQuadBezier = 2, kCubicBezier = 3 };
enum CoordModeCode : int32_t { kParentClient = 1, kScreen = 2 };

}  // namespace zel
