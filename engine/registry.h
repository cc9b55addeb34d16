// The engine's shared state: one record per animated window, and the size
// each window had when it was first animated.
#pragma once

#include <cstdint>
#include <string>

#include "engine/handle_table.h"

namespace zel {

struct AnimationRecord {
  HWND Handle = nullptr;
  HWND Parent = nullptr;    // informational
  std::wstring TargetName;  // informational
  int32_t FromX = 0, FromY = 0;
  int32_t ToX = 0, ToY = 0;
  int32_t Ctrl1X = 0, Ctrl1Y = 0;
  int32_t Ctrl2X = 0, Ctrl2Y = 0;
  uint32_t StartTick = 0;  // tick count at which the current cycle started
  int32_t DurationMs = 0;  // 0 or less: the next tick jumps to the end point
  int32_t Easing = 0;
  int32_t PathType = 0;
  int32_t CoordMode = 0;  // informational; conversion happens at start
  int32_t BaseWidth = 0, BaseHeight = 0;
  int32_t DelayMs = 0;  // wait before the first cycle only
  int32_t Loops = 0;    // -1: endless
  int32_t PingPong = 0;
  int32_t LoopsLeft = 0;  // cycles still to play, the current one included
  int32_t Reversed = 0;
  std::wstring OnComplete;
  int32_t OpacityOn = 0, OpacityFrom = 0, OpacityTo = 0;
  int32_t ScaleOn = 0;
  float ScaleFrom = 0, ScaleTo = 0;
  int32_t RotationOn = 0;
  float RotationFrom = 0, RotationTo = 0;
  // Identifies the motion that currently owns the record; a new one is issued
  // each time a motion starts in it. The frame tick uses it to notice that a
  // window's handler restarted or replaced the motion it is advancing.
  uint32_t MotionSerial = 0;
};

struct InitialSize {
  int32_t InitialWidth = 0, InitialHeight = 0;
};

extern HandleTable<AnimationRecord> AnimationRegistry;
extern HandleTable<InitialSize> InitialSizeRegistry;

// The record for a motion that starts now: the window's existing record,
// reused in place, or a new zero-filled one; either way with a new serial.
AnimationRecord& BeginMotionRecord(int32_t key);

// The record under key if it still belongs to the motion with that serial.
AnimationRecord* FindMotion(int32_t key, uint32_t motionSerial);

}  // namespace zel
