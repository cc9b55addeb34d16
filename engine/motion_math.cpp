#include "engine/motion_math.h"

#include <cmath>
#include <limits>

#include "engine/motion_codes.h"

namespace zel {

int32_t TruncateToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  if (value >= 2147483648.0) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

double EaseProgress(float t, int32_t easing) {
  const double x = t;
  switch (easing) {
    case kEaseIn:
      return x * x;
    case kEaseOut:
      return x * (2 - x);
    case kEaseInOut:
      return x < 0.5 ? (x * 2) * x : (4 - x * 2) * x - 1;
    default:
      return x;
  }
}

namespace {

// Each term multiplies the float factors first and the coordinate last.
float QuadraticPoint(float e, int32_t from, int32_t control, int32_t to) {
  const float u = static_cast<float>(1.0 - e);
  return static_cast<float>((static_cast<double>(u) * u * from + 2.0 * u * e * control) +
                            static_cast<double>(e) * e * to);
}

float CubicPoint(float e, int32_t from, int32_t control1, int32_t control2, int32_t to) {
  const float u = static_cast<float>(1.0 - e);
  const float u2 = static_cast<float>(static_cast<double>(u) * u);
  const float u3 = static_cast<float>(static_cast<double>(u2) * u);
  const float e2 = static_cast<float>(static_cast<double>(e) * e);
  const float e3 = static_cast<float>(static_cast<double>(e2) * e);
  return static_cast<float>(((static_cast<double>(u3) * from + 3.0 * u2 * e * control1) + 3.0 * u * e2 * control2) +
                            static_cast<double>(e3) * to);
}

float LinePoint(float e, int32_t from, int32_t to) {
  // The difference is taken between the integers, wide enough not to overflow.
  return static_cast<float>(from + static_cast<double>(static_cast<int64_t>(to) - from) * e);
}

}  // namespace

int EvaluatePath(const AnimationRecord& r, float e, int32_t& x, int32_t& y) {
  float pointX, pointY;
  switch (r.PathType) {
    case kQuadBezier:
      pointX = QuadraticPoint(e, r.FromX, r.Ctrl1X, r.ToX);
      pointY = QuadraticPoint(e, r.FromY, r.Ctrl1Y, r.ToY);
      break;
    case kCubicBezier:
      pointX = CubicPoint(e, r.FromX, r.Ctrl1X, r.Ctrl2X, r.ToX);
      pointY = CubicPoint(e, r.FromY, r.Ctrl1Y, r.Ctrl2Y, r.ToY);
      break;
    default:
      pointX = LinePoint(e, r.FromX, r.ToX);
      pointY = LinePoint(e, r.FromY, r.ToY);
      break;
  }
  x = TruncateToInt32(pointX);
  y = TruncateToInt32(pointY);
  return 0;
}

}  // namespace zel
