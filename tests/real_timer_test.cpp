// The frame loop on the real timer and clock: only the outcome and generous
// bounds on time are checked.
#include <string>

#include "tests/engine_fixture.h"

namespace zel {
namespace {

class RealTimerTest : public EngineTest {};

TEST_F(RealTimerTest, AnimationRunsToItsEndAndStopsTheTimer) {
  HWND window = Child();
  const ULONGLONG started = GetTickCount64();
  AnimationRecord& r = Animate(window, {0, 0}, {120, 60}, 300, kEaseInOut, kLine, GetTickCount());
  r.OnComplete = L"Done";
  ASSERT_TRUE(PumpMessagesUntil([] { return !host::Host().ScriptLines.empty(); }, 5000));
  EXPECT_GE(GetTickCount64() - started, 250u);
  EXPECT_EQ(host::Host().ScriptLines, std::vector<std::string>{"GoSub \"Done\""});
  const RECT placement = PlacementOf(window);
  EXPECT_EQ(placement.left, 120);
  EXPECT_EQ(placement.top, 60);
  EXPECT_GE(PositionsOf(window).size(), 5u) << "intermediate frames at 60 frames per second";
  EXPECT_EQ(FrameTimer.TimerRunning, 0);
}

TEST_F(RealTimerTest, SeveralAnimationsShareTheOneTimer) {
  HWND slow = Child(), fast = Child();
  Animate(slow, {0, 0}, {200, 0}, 600, kLinear, kLine, GetTickCount()).OnComplete = L"Slow";
  Animate(fast, {0, 0}, {0, 200}, 200, kLinear, kLine, GetTickCount()).OnComplete = L"Fast";
  ASSERT_TRUE(PumpMessagesUntil([] { return host::Host().ScriptLines.size() == 2; }, 5000));
  EXPECT_EQ(host::Host().ScriptLines, (std::vector<std::string>{"GoSub \"Fast\"", "GoSub \"Slow\""}));
  EXPECT_EQ(PlacementOf(slow).left, 200);
  EXPECT_EQ(PlacementOf(fast).top, 200);
}

}  // namespace
}  // namespace zel
