// Easing curves, path points and the conversions to whole numbers.
#include "engine/motion_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/motion_codes.h"

namespace zel {
namespace {

struct EaseCase {
  int32_t Easing;
  float T;
  double Expected;
};

class EaseProgressTest : public testing::TestWithParam<EaseCase> {};

TEST_P(EaseProgressTest, GivesTheCurveValue) {
  const EaseCase& c = GetParam();
  EXPECT_DOUBLE_EQ(EaseProgress(c.T, c.Easing), c.Expected) << "easing " << c.Easing << " at t = " << c.T;
}

INSTANTIATE_TEST_SUITE_P(AllCurves, EaseProgressTest,
                         testing::Values(EaseCase{kLinear, 0, 0}, EaseCase{kLinear, 0.25f, 0.25},
                                         EaseCase{kLinear, 0.75f, 0.75}, EaseCase{kLinear, 1, 1},
                                         EaseCase{kEaseIn, 0.25f, 0.0625}, EaseCase{kEaseIn, 0.5f, 0.25},
                                         EaseCase{kEaseIn, 0.75f, 0.5625}, EaseCase{kEaseIn, 1, 1},
                                         EaseCase{kEaseOut, 0, 0}, EaseCase{kEaseOut, 0.25f, 0.4375},
                                         EaseCase{kEaseOut, 0.5f, 0.75}, EaseCase{kEaseOut, 0.75f, 0.9375},
                                         EaseCase{kEaseOut, 1, 1}, EaseCase{kEaseInOut, 0, 0},
                                         EaseCase{kEaseInOut, 0.25f, 0.125}, EaseCase{kEaseInOut, 0.5f, 0.5},
                                         EaseCase{kEaseInOut, 0.75f, 0.875}, EaseCase{kEaseInOut, 1, 1},
                                         // Codes that name no curve are linear.
                                         EaseCase{0, 0.25f, 0.25}, EaseCase{5, 0.75f, 0.75}, EaseCase{9, 0.5f, 0.5},
                                         EaseCase{-1, 0.25f, 0.25}));

AnimationRecord PathRecord(int32_t pathType, POINT from, POINT to, POINT control1 = {}, POINT control2 = {}) {
  AnimationRecord record;
  record.PathType = pathType;
  record.FromX = from.x, record.FromY = from.y;
  record.ToX = to.x, record.ToY = to.y;
  record.Ctrl1X = control1.x, record.Ctrl1Y = control1.y;
  record.Ctrl2X = control2.x, record.Ctrl2Y = control2.y;
  return record;
}

struct PathCase {
  const char* Name;
  AnimationRecord Record;
  float E;
  POINT Expected;
};

class EvaluatePathTest : public testing::TestWithParam<PathCase> {};

TEST_P(EvaluatePathTest, GivesThePoint) {
  const PathCase& c = GetParam();
  int32_t x = 12345, y = 12345;
  EXPECT_EQ(EvaluatePath(c.Record, c.E, x, y), 0);
  EXPECT_EQ(x, c.Expected.x) << c.Name;
  EXPECT_EQ(y, c.Expected.y) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, EvaluatePathTest,
    testing::Values(
        PathCase{"line midpoint", PathRecord(kLine, {0, 0}, {100, 0}), 0.5f, {50, 0}},
        PathCase{"quadratic midpoint", PathRecord(kQuadBezier, {0, 0}, {100, 0}, {50, 100}), 0.5f, {50, 50}},
        PathCase{"cubic midpoint", PathRecord(kCubicBezier, {0, 0}, {100, 0}, {0, 100}, {100, 100}), 0.5f, {50, 75}},
        // Truncation toward zero, never rounding: -2.5 gives -2, 12.9 gives 12.
        PathCase{"negative line truncates", PathRecord(kLine, {0, 0}, {-10, 0}), 0.25f, {-2, 0}},
        PathCase{"positive line truncates", PathRecord(kLine, {0, 0}, {129, 10}), 0.1f, {12, 1}},
        PathCase{"-0.9 becomes 0", PathRecord(kLine, {0, 0}, {-9, -15}), 0.1f, {0, -1}},
        // Exact ends on every path type.
        PathCase{"line start", PathRecord(kLine, {7, -3}, {100, 50}), 0.0f, {7, -3}},
        PathCase{"line end", PathRecord(kLine, {7, -3}, {100, 50}), 1.0f, {100, 50}},
        PathCase{"quadratic start", PathRecord(kQuadBezier, {7, -3}, {100, 50}, {-40, 90}), 0.0f, {7, -3}},
        PathCase{"quadratic end", PathRecord(kQuadBezier, {7, -3}, {100, 50}, {-40, 90}), 1.0f, {100, 50}},
        PathCase{"cubic start", PathRecord(kCubicBezier, {7, -3}, {100, 50}, {-40, 90}, {300, 1}), 0.0f, {7, -3}},
        PathCase{"cubic end", PathRecord(kCubicBezier, {7, -3}, {100, 50}, {-40, 90}, {300, 1}), 1.0f, {100, 50}},
        // The quadratic formula never reads the second control point.
        PathCase{
            "quadratic ignores P2", PathRecord(kQuadBezier, {0, 0}, {100, 0}, {50, 100}, {999, -999}), 0.5f, {50, 50}},
        // Unknown path types are straight lines.
        PathCase{"path type 0", PathRecord(0, {0, 0}, {100, 0}, {50, 100}), 0.5f, {50, 0}},
        PathCase{"path type 4", PathRecord(4, {0, 0}, {100, 0}, {50, 100}), 0.5f, {50, 0}},
        // The difference of the extreme integers does not overflow.
        PathCase{"full int32 range", PathRecord(kLine, {INT32_MIN, 0}, {INT32_MAX, 0}), 0.5f, {0, 0}}));

TEST(TruncateToInt32, TruncatesTowardZeroAndSaturates) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  struct Case {
    double Value;
    int32_t Expected;
  } cases[] = {{12.9, 12},
               {-2.5, -2},
               {-0.9, 0},
               {2147483647.9, INT32_MAX},
               {2147483648.0, INT32_MAX},
               {1e30, INT32_MAX},
               {infinity, INT32_MAX},
               {-2147483648.9, INT32_MIN},
               {-1e30, INT32_MIN},
               {-infinity, INT32_MIN},
               {nan, 0}};
  for (const Case& c : cases) EXPECT_EQ(TruncateToInt32(c.Value), c.Expected) << c.Value;
}

}  // namespace
}  // namespace zel
