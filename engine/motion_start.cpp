#include "engine/motion_start.h"

#include "engine/frame_timer.h"
#include "engine/motion_codes.h"
#include "engine/window_calls.h"
#include "parse/name_text.h"
#include "parse/number_text.h"
#include "parse/pair_text.h"
#include "plugin/host_texts.h"
#include "plugin/object_lookup.h"

namespace zel {
namespace {

// A window animated before gets its first size back, unrotated and opaque.
void ResetWindow(HWND window, const InitialSize& initial) {
  const Placement current = GetCurrentPlacement(window);
  if (current.Width != initial.InitialWidth || current.Height != initial.InitialHeight)
    PlaceWindow(window, current.X, current.Y, initial.InitialWidth, initial.InitialHeight);
  SendRotation(window, 0);
  SendOpacity(window, 255);
}

// Integer divisions truncate toward zero; 64 bits keep sums from overflowing.
int32_t Midpoint(int32_t from, int32_t to) { return static_cast<int32_t>((static_cast<int64_t>(from) + to) / 2); }

int32_t Thirds(int32_t from, int32_t to, int thirds) {
  return static_cast<int32_t>(from + thirds * (static_cast<int64_t>(to) - from) / 3);
}

// The control points from PathData, or false when it does not give them.
bool ReadControlPoints(int32_t pathType, std::wstring_view pathData, MotionPlan& plan) {
  int32_t x1, y1, x2, y2;
  if (pathType == kQuadBezier && ParseIntPair(pathData, x1, y1)) {
    plan.Control1 = {x1, y1};
    return true;
  }
  if (pathType == kCubicBezier && ParsePathData(pathData, x1, y1, x2, y2)) {
    plan.Control1 = {x1, y1};
    plan.Control2 = {x2, y2};
    return true;
  }
  return false;
}

// The midpoint for a quadratic path; the points at one and two thirds of the
// straight line for a cubic one.
void DefaultControlPoints(int32_t pathType, MotionPlan& plan) {
  const POINT from = plan.From, to = plan.To;
  if (pathType == kQuadBezier) {
    plan.Control1 = {Midpoint(from.x, to.x), Midpoint(from.y, to.y)};
  } else if (pathType == kCubicBezier) {
    plan.Control1 = {Thirds(from.x, to.x, 1), Thirds(from.y, to.y, 1)};
    plan.Control2 = {Thirds(from.x, to.x, 2), Thirds(from.y, to.y, 2)};
  }
}

void ToParentClient(HWND window, POINT& point) {
  int32_t x = point.x, y = point.y;
  ScreenToParentClient(window, x, y);
  point = {x, y};
}

void ControlPointsToParentClient(HWND window, int32_t pathType, MotionPlan& plan) {
  if (pathType == kQuadBezier || pathType == kCubicBezier) ToParentClient(window, plan.Control1);
  if (pathType == kCubicBezier) ToParentClient(window, plan.Control2);
}

// Works out the start, end and control points. In Screen mode the given
// points are screen points; a start point taken from the current placement is
// already in client coordinates, so it is not converted, and the default
// control points are then computed from client coordinates.
void PlanPath(HWND window, bool startGiven, std::wstring_view pathData, MotionPlan& plan) {
  const bool convert = plan.CoordMode == kScreen && plan.Parent != nullptr;
  if (convert && !startGiven) ToParentClient(window, plan.To);
  const bool controlsGiven = ReadControlPoints(plan.PathType, pathData, plan);
  if (!controlsGiven) DefaultControlPoints(plan.PathType, plan);
  if (!convert) return;
  if (startGiven) {
    ToParentClient(window, plan.From);
    ToParentClient(window, plan.To);
  }
  if (startGiven || controlsGiven) ControlPointsToParentClient(window, plan.PathType, plan);
}

}  // namespace

AnimationRecord& RecordMotion(const MotionPlan& plan, uint32_t startTick) {
  AnimationRecord& r = BeginMotionRecord(HandleKey(plan.Handle));
  r.Handle = plan.Handle;
  r.Parent = plan.Parent;
  r.TargetName = plan.TargetName;
  r.FromX = plan.From.x, r.FromY = plan.From.y, r.ToX = plan.To.x, r.ToY = plan.To.y;
  r.Ctrl1X = plan.Control1.x, r.Ctrl1Y = plan.Control1.y, r.Ctrl2X = plan.Control2.x, r.Ctrl2Y = plan.Control2.y;
  r.StartTick = startTick;
  r.DurationMs = plan.DurationMs;
  r.Easing = plan.Easing, r.PathType = plan.PathType, r.CoordMode = plan.CoordMode;
  r.BaseWidth = plan.BaseWidth, r.BaseHeight = plan.BaseHeight;
  r.DelayMs = r.Loops = r.PingPong = r.Reversed = 0;
  r.LoopsLeft = 1;
  r.OnComplete.clear();
  r.OpacityOn = r.ScaleOn = r.RotationOn = 0;
  return r;
}

int StartMotion(std::wstring_view target, std::wstring_view fromXY, std::wstring_view toXY, int32_t durationMs,
                std::wstring_view easing, std::wstring_view pathType, std::wstring_view pathData, int32_t fps,
                std::wstring_view coordMode) {
  HWND window = ResolveTarget(target);
  if (window == nullptr || !IsWindow(window)) {
    SetLastError(std::wstring(L"Target object not found or invalid: ").append(target));
    return 0;
  }
  const int32_t key = HandleKey(window);
  const bool fromGiven = !TrimSpaces(fromXY).empty();
  if (const InitialSize* initial = InitialSizeRegistry.Find(key); initial != nullptr && fromGiven)
    ResetWindow(window, *initial);
  const Placement current = GetCurrentPlacement(window);
  if (InitialSizeRegistry.Find(key) == nullptr) InitialSizeRegistry.Add(key) = {current.Width, current.Height};

  MotionPlan plan;
  plan.From = {current.X, current.Y};
  int32_t x, y;
  const bool startGiven = fromGiven && ParseIntPair(fromXY, x, y);
  if (startGiven) plan.From = {x, y};
  if (!ParseIntPair(toXY, x, y)) {
    SetLastError(std::wstring(L"Invalid ToXY coordinate: ").append(toXY));
    return 0;
  }
  plan.To = {x, y};
  plan.Handle = window;
  plan.Parent = GetParent(window);
  plan.TargetName = TrimSpaces(target);
  plan.DurationMs = durationMs;
  plan.PathType = ParsePathType(pathType);
  plan.Easing = ParseEasing(easing);
  plan.CoordMode = ParseCoordMode(coordMode);
  plan.BaseWidth = current.Width, plan.BaseHeight = current.Height;
  PlanPath(window, startGiven, pathData, plan);
  StartFrameTimer(fps);
  RecordMotion(plan, GetTickCount());
  return 0;
}

}  // namespace zel
