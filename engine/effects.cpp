#include "engine/effects.h"

#include <algorithm>
#include <string>

#include "engine/motion_math.h"
#include "engine/registry.h"
#include "engine/window_calls.h"
#include "parse/number_text.h"
#include "parse/pair_text.h"
#include "plugin/host_texts.h"
#include "plugin/object_lookup.h"

namespace zel {
namespace {

// The name goes into the host's script line between double quotes; a quote
// inside it would end the name there and run the rest as script.
bool IsSafeSubroutineName(std::wstring_view name) { return name.find(L'"') == std::wstring_view::npos; }

void SetTimingAndCompletion(AnimationRecord& r, int32_t delay, int32_t loops, int32_t pingPong,
                            std::wstring_view onComplete) {
  if (delay > 0) r.DelayMs = delay;
  if (loops != 0) r.Loops = r.LoopsLeft = loops;
  if (pingPong != 0) r.PingPong = 1;
  const std::wstring_view name = TrimSpaces(onComplete);
  if (name.empty()) return;
  if (IsSafeSubroutineName(name))
    r.OnComplete = name;
  else
    SetLastError(std::wstring(L"AnimateEx: invalid OnComplete name: ").append(onComplete));
}

}  // namespace

int ApplyEffects(std::wstring_view target, int32_t delay, int32_t loops, int32_t pingPong, std::wstring_view onComplete,
                 std::wstring_view opacity, std::wstring_view scale, std::wstring_view rotation) {
  HWND window = ResolveTarget(target);
  if (window == nullptr) {
    SetLastError(std::wstring(L"AnimateEx: target not found: ").append(target));
    return 0;
  }
  const int32_t key = HandleKey(window);
  AnimationRecord* r = AnimationRegistry.Find(key);
  if (r == nullptr) {
    SetLastError(std::wstring(L"AnimateEx: no animation for: ").append(target).append(L". Call zelAnimate first."));
    return 0;
  }
  const uint32_t serial = r->MotionSerial;
  SetTimingAndCompletion(*r, delay, loops, pingPong, onComplete);
  // Reporting a bad name runs the host's set-variable callback, which may
  // have stopped or replaced the animation.
  r = FindMotion(key, serial);
  if (r == nullptr) return 0;

  int32_t opacityFrom, opacityTo;
  if (ParseBytePair(opacity, opacityFrom, opacityTo)) {
    r->OpacityOn = 1;
    r->OpacityFrom = std::clamp(opacityFrom, 0, 255);
    r->OpacityTo = std::clamp(opacityTo, 0, 255);
    SendOpacity(window, r->OpacityFrom);
    // The window's handler may have stopped or replaced the animation.
    r = FindMotion(key, serial);
    if (r == nullptr) return 0;
  }
  float from, to;
  if (ParseFloatPair(scale, from, to)) {
    r->ScaleOn = 1;
    r->ScaleFrom = std::max(from, kMinScale);
    r->ScaleTo = std::max(to, kMinScale);
  }
  if (ParseFloatPair(rotation, from, to)) {
    r->RotationOn = 1;
    r->RotationFrom = from;
    r->RotationTo = to;
    SendRotation(window, from);
  }
  return 0;
}

}  // namespace zel
