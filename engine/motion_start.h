// Starting a motion: the action zelAnimate.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/registry.h"

namespace zel {

// A motion worked out in the coordinates SetWindowPos takes for the window.
struct MotionPlan {
  HWND Handle = nullptr;
  HWND Parent = nullptr;
  std::wstring TargetName;
  POINT From{}, To{}, Control1{}, Control2{};
  int32_t DurationMs = 0;
  int32_t Easing = 0, PathType = 0, CoordMode = 0;
  int32_t BaseWidth = 0, BaseHeight = 0;
};

// Writes a motion into the window's record, new or reused: one cycle from
// startTick, no delay, loops or effects. The six effect values stay as they
// were; they are read only once an effect switches on again.
AnimationRecord& RecordMotion(const MotionPlan& plan, uint32_t startTick);

// Resolves the target, works out the path and starts the frame timer; the
// first tick moves the window. Failures go to the error variable.
int StartMotion(std::wstring_view target, std::wstring_view fromXY, std::wstring_view toXY, int32_t durationMs,
                std::wstring_view easing, std::wstring_view pathType, std::wstring_view pathData, int32_t fps,
                std::wstring_view coordMode);

}  // namespace zel
