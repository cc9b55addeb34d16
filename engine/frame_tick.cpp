#include "engine/frame_tick.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "engine/frame_timer.h"
#include "engine/motion_math.h"
#include "engine/registry.h"
#include "engine/window_calls.h"
#include "plugin/host_texts.h"

namespace zel {
namespace {

bool TickInProgress = false;

// The window's rectangle for one frame: the base size, or with a scale effect
// the scaled size, centred on the unscaled window at the path point.
struct FrameBox {
  int32_t Width, Height, OffsetX, OffsetY;
};

struct FrameValues {
  int32_t X, Y;
  int32_t Opacity;
  float Rotation;
};

enum class Outcome { Keep, Finish, Drop };

FrameBox BoxAt(const AnimationRecord& r, float e) {
  if (!r.ScaleOn) return {r.BaseWidth, r.BaseHeight, 0, 0};
  float scale = static_cast<float>(r.ScaleFrom + (static_cast<double>(r.ScaleTo) - r.ScaleFrom) * e);
  if (scale < kMinScale) scale = kMinScale;
  const int32_t width = std::max(1, TruncateToInt32(static_cast<double>(r.BaseWidth) * scale));
  const int32_t height = std::max(1, TruncateToInt32(static_cast<double>(r.BaseHeight) * scale));
  return {width, height, static_cast<int32_t>((static_cast<int64_t>(r.BaseWidth) - width) / 2),
          static_cast<int32_t>((static_cast<int64_t>(r.BaseHeight) - height) / 2)};
}

FrameValues ValuesAt(const AnimationRecord& r, float e) {
  FrameValues values{};
  EvaluatePath(r, e, values.X, values.Y);
  if (r.OpacityOn) {
    const int64_t opacity =
        r.OpacityFrom + static_cast<int64_t>(TruncateToInt32((static_cast<double>(r.OpacityTo) - r.OpacityFrom) * e));
    values.Opacity = static_cast<int32_t>(std::clamp<int64_t>(opacity, 0, 255));
  }
  if (r.RotationOn)
    values.Rotation = static_cast<float>(r.RotationFrom + (static_cast<double>(r.RotationTo) - r.RotationFrom) * e);
  return values;
}

FrameValues EndValues(const AnimationRecord& r) { return {r.ToX, r.ToY, r.OpacityTo, r.RotationTo}; }

// Every window call may run the window's handlers, which can restart, stop or
// replace this very motion; the rest of the frame then belongs to a motion
// that no longer exists and is dropped.
bool IsCurrent(int32_t key, uint32_t motionSerial) { return FindMotion(key, motionSerial) != nullptr; }

// Position and size first, then opacity, then rotation. False when a handler
// replaced the motion meanwhile.
bool ShowFrame(int32_t key, const AnimationRecord& r, const FrameValues& values, const FrameBox& box) {
  const uint32_t serial = r.MotionSerial;
  if (r.ScaleOn)
    PlaceWindow(r.Handle, TruncateToInt32(static_cast<double>(values.X) + box.OffsetX),
                TruncateToInt32(static_cast<double>(values.Y) + box.OffsetY), box.Width, box.Height);
  else
    MoveWindowTo(r.Handle, values.X, values.Y);
  if (!IsCurrent(key, serial)) return false;
  if (r.OpacityOn) {
    SendOpacity(r.Handle, values.Opacity);
    if (!IsCurrent(key, serial)) return false;
  }
  if (r.RotationOn) {
    SendRotation(r.Handle, values.Rotation);
    if (!IsCurrent(key, serial)) return false;
  }
  return true;
}

// Only the first cycle waits for the delay; the overshoot past the cycle's
// end is dropped. Ping-pong swaps the start and end values.
void RestartCycle(AnimationRecord& r, uint32_t now) {
  r.StartTick = now;
  r.DelayMs = 0;
  if (r.PingPong != 1) return;
  std::swap(r.FromX, r.ToX);
  std::swap(r.FromY, r.ToY);
  if (r.OpacityOn) std::swap(r.OpacityFrom, r.OpacityTo);
  if (r.ScaleOn) std::swap(r.ScaleFrom, r.ScaleTo);
  if (r.RotationOn) std::swap(r.RotationFrom, r.RotationTo);
  r.Reversed = 1 - r.Reversed;
}

Outcome AdvanceRecord(int32_t key, AnimationRecord& r, uint32_t now) {
  if (r.Handle == nullptr || !IsWindow(r.Handle)) return Outcome::Drop;
  const int32_t elapsed = static_cast<int32_t>(now - r.StartTick);
  if (elapsed < r.DelayMs) return Outcome::Keep;
  const uint32_t serial = r.MotionSerial;
  if (r.DurationMs <= 0) {
    MoveWindowTo(r.Handle, r.ToX, r.ToY);
    return IsCurrent(key, serial) ? Outcome::Drop : Outcome::Keep;
  }
  const double active = static_cast<double>(elapsed) - r.DelayMs;
  const float t = std::clamp(static_cast<float>(active * 1.0 / r.DurationMs), 0.0f, 1.0f);
  const float e = static_cast<float>(EaseProgress(t, r.Easing));
  const FrameBox box = BoxAt(r, e);
  if (!ShowFrame(key, r, ValuesAt(r, e), box) || t < 1) return Outcome::Keep;
  // End of the cycle: snap to the end values.
  if (!ShowFrame(key, r, EndValues(r), box)) return Outcome::Keep;
  if (r.Loops == -1 || r.LoopsLeft > 1) {
    if (r.Loops != -1) --r.LoopsLeft;
    RestartCycle(r, now);
    return Outcome::Keep;
  }
  return Outcome::Finish;
}

struct EndedMotion {
  int32_t Key;
  uint32_t MotionSerial;
};

}  // namespace

int OnFrameTick() {
  // A handler that pumps messages could deliver the next timer message
  // inside this tick; that frame is skipped.
  if (TickInProgress) return 0;
  if (AnimationRegistry.Count() == 0) {
    StopFrameTimerIfIdle();
    return 0;
  }
  const uint32_t now = GetTickCount();
  std::vector<EndedMotion> ended;
  std::vector<std::wstring> completeNames;
  TickInProgress = true;
  AnimationRegistry.Walk([&](int32_t key, AnimationRecord& record) {
    const Outcome outcome = AdvanceRecord(key, record, now);
    if (outcome == Outcome::Keep) return;
    ended.push_back({key, record.MotionSerial});
    if (outcome == Outcome::Finish && !record.OnComplete.empty()) completeNames.push_back(record.OnComplete);
  });
  TickInProgress = false;
  // A handler later in the walk may have restarted an ended motion's window;
  // only the motion that ended is removed.
  for (const EndedMotion& motion : ended)
    if (IsCurrent(motion.Key, motion.MotionSerial)) AnimationRegistry.Remove(motion.Key);
  StopFrameTimerIfIdle();
  for (const std::wstring& name : completeNames) RunScript(L"GoSub \"" + name + L"\"");
  return 0;
}

}  // namespace zel
