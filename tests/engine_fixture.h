// A fresh plug-in state linked into the test, recording child windows of the
// stage, the reference host's script processor, and a steerable clock.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "engine/frame_tick.h"
#include "engine/frame_timer.h"
#include "engine/motion_codes.h"
#include "engine/motion_start.h"
#include "engine/registry.h"
#include "engine/window_calls.h"
#include "host/reference_host.h"
#include "plugin/exports.h"
#include "plugin/lifecycle.h"
#include "tests/support/fake_clock.h"
#include "tests/support/test_windows.h"

namespace zel {

class EngineTest : public testing::Test {
 protected:
  static constexpr uint32_t kStart = 100000;

  void SetUp() override {
    AttachPlugIn(GetModuleHandleW(nullptr));
    host::ResetHost();
    nbRegisterPlugIn(nullptr, 0, 0, host::SetVariable);
    nbRegisterInterfaceAccess(host::AccessInterface);
    nbRegisterScriptProcessor(host::ProcessScriptLine);
    ASSERT_TRUE(IsWindow(Stage()));
  }

  void TearDown() override {
    // Handlers may capture a test's locals; the windows outlive them.
    for (const UniqueWindow& child : children_)
      if (IsWindow(child.get())) SetEventHandler(child.get(), nullptr);
    ShutdownPlugIn();
    nbRegisterPlugIn(nullptr, 0, 0, nullptr);
    nbRegisterInterfaceAccess(nullptr);
    nbRegisterScriptProcessor(nullptr);
  }

  // A recording child window of the stage, its creation events cleared.
  HWND Child(int x = 10, int y = 20, int width = 100, int height = 50) {
    children_.push_back(CreateRecordingChild(Stage(), x, y, width, height));
    HWND window = children_.back().get();
    EventsOf(window).clear();
    return window;
  }

  // Starts a motion as motion start does: one cycle, no delay, no effects,
  // the window's current size as base size, started at `startTick`.
  AnimationRecord& Animate(HWND window, POINT from, POINT to, int32_t durationMs, int32_t easing = kLinear,
                           int32_t pathType = kLine, uint32_t startTick = kStart) {
    const Placement current = GetCurrentPlacement(window);
    MotionPlan plan;
    plan.Handle = window;
    plan.Parent = GetParent(window);
    plan.From = from, plan.To = to;
    plan.DurationMs = durationMs;
    plan.Easing = easing, plan.PathType = pathType, plan.CoordMode = kParentClient;
    plan.BaseWidth = current.Width, plan.BaseHeight = current.Height;
    StartFrameTimer(60);
    return RecordMotion(plan, startTick);
  }

  // The keys in the order in which a tick visits them.
  static std::vector<int32_t> WalkOrder() {
    std::vector<int32_t> keys;
    AnimationRegistry.Walk([&](int32_t key, AnimationRecord&) { keys.push_back(key); });
    return keys;
  }

  std::vector<UniqueWindow> children_;
};

// Engine tests at exact times: the engine's GetTickCount is steered.
class SteeredEngineTest : public EngineTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(clock_.Installed());
    EngineTest::SetUp();
  }

  void TickAt(uint32_t msAfterStart) {
    clock_.Set(kStart + msAfterStart);
    OnFrameTick();
  }

  FakeClock clock_{GetModuleHandleW(nullptr), kStart};
};

}  // namespace zel
