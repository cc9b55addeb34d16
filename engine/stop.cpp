#include "engine/stop.h"

#include "engine/frame_timer.h"
#include "engine/registry.h"
#include "engine/window_calls.h"
#include "plugin/object_lookup.h"

namespace zel {
namespace {

void JumpToEnd(const AnimationRecord& r) {
  PlaceWindow(r.Handle, r.ToX, r.ToY, r.BaseWidth, r.BaseHeight);
  if (r.OpacityOn) SendOpacity(r.Handle, r.OpacityTo);
  if (r.RotationOn) SendRotation(r.Handle, r.RotationTo);
}

// A scaled window keeps its top-left corner and gets its base size back.
void StopInPlace(const AnimationRecord& r) {
  if (r.ScaleOn) {
    const Placement current = GetCurrentPlacement(r.Handle);
    PlaceWindow(r.Handle, current.X, current.Y, r.BaseWidth, r.BaseHeight);
  }
  if (r.RotationOn) SendRotation(r.Handle, 0);
  if (r.OpacityOn) SendOpacity(r.Handle, 255);
}

}  // namespace

int StopMotion(std::wstring_view target, int32_t jumpToEnd) {
  HWND window = ResolveTarget(target);
  if (window == nullptr) return 0;
  const int32_t key = HandleKey(window);
  const AnimationRecord* found = AnimationRegistry.Find(key);
  if (found != nullptr && !IsWindow(found->Handle)) {
    AnimationRegistry.Remove(key);
  } else if (found != nullptr) {
    // A copy: the window's handlers run inside these calls and may stop,
    // restart or replace the animation. Only the stopped motion is removed.
    const AnimationRecord stopped = *found;
    if (jumpToEnd != 0)
      JumpToEnd(stopped);
    else
      StopInPlace(stopped);
    if (FindMotion(key, stopped.MotionSerial) != nullptr) AnimationRegistry.Remove(key);
  }
  StopFrameTimerIfIdle();
  return 0;
}

}  // namespace zel
