// The frame tick at exact times on real windows: motion, size, effect
// messages, the cycle machine, removal and completion calls.
#include <algorithm>
#include <limits>
#include <string>
#include <utility>

#include "tests/engine_fixture.h"

namespace zel {
namespace {

using Events = std::vector<WindowEvent>;

class FrameTickTest : public SteeredEngineTest {};

TEST_F(FrameTickTest, EmptyRegistryStopsTheTimerWithoutReadingTheClock) {
  StartFrameTimer(60);
  ASSERT_EQ(FrameTimer.TimerRunning, 1);
  OnFrameTick();
  EXPECT_EQ(FrameTimer.TimerRunning, 0);
  EXPECT_NE(FrameTimer.TimerWindow, nullptr) << "the window stays for the next start";
  EXPECT_EQ(clock_.Reads(), 0);
}

TEST_F(FrameTickTest, MovesAlongTheEasedPathAndSnapsToTheEndPoint) {
  HWND window = Child();
  Animate(window, {0, 0}, {100, 40}, 1000, kEaseIn);
  for (uint32_t at : {0u, 500u, 999u, 1000u}) TickAt(at);
  EXPECT_EQ(EventsOf(window),
            (Events{MovedTo(0, 0), MovedTo(25, 10), MovedTo(99, 39), MovedTo(100, 40), MovedTo(100, 40)}));
  EXPECT_EQ(AnimationRegistry.Count(), 0u);
  EXPECT_EQ(FrameTimer.TimerRunning, 0);
}

TEST_F(FrameTickTest, ReadsTheClockOncePerTick) {
  Animate(Child(), {0, 0}, {100, 0}, 1000);
  Animate(Child(), {0, 0}, {100, 0}, 1000);
  TickAt(100);
  EXPECT_EQ(clock_.Reads(), 1);
}

TEST_F(FrameTickTest, SendsEffectMessagesAfterTheMoveAndTwiceInTheLastFrame) {
  HWND window = Child();
  AnimationRecord& r = Animate(window, {0, 0}, {100, 0}, 1000, kEaseIn);
  r.OpacityOn = 1, r.OpacityFrom = 0, r.OpacityTo = 255;
  r.RotationOn = 1, r.RotationFrom = -45, r.RotationTo = 45;
  TickAt(500);  // e = 0.25: 255 x 0.25 = 63.75 and -45 + 90 x 0.25 = -22.5 degrees
  TickAt(1000);
  EXPECT_EQ(EventsOf(window), (Events{MovedTo(25, 0), OpacitySent(63), RotationSent(-225),   //
                                      MovedTo(100, 0), OpacitySent(255), RotationSent(450),  //
                                      MovedTo(100, 0), OpacitySent(255), RotationSent(450)}));
}

TEST_F(FrameTickTest, RotationTravelsAsTruncatedTenthsOfTheFloatAngle) {
  HWND window = Child();
  AnimationRecord& r = Animate(window, {0, 0}, {0, 0}, 1000);
  r.RotationOn = 1, r.RotationFrom = 0.7f, r.RotationTo = 90.1f;
  TickAt(0);
  TickAt(1000);
  EXPECT_EQ(EventsOf(window)[1], RotationSent(6));    // 0.7f is 0.69999999
  EXPECT_EQ(EventsOf(window)[3], RotationSent(900));  // 90.1f is 90.0999985
}

TEST_F(FrameTickTest, OpacityIsClampedToTheByteRange) {
  HWND window = Child();
  AnimationRecord& r = Animate(window, {0, 0}, {0, 0}, 1000);
  r.OpacityOn = 1, r.OpacityFrom = -100, r.OpacityTo = 400;
  TickAt(0);
  TickAt(900);  // -100 + 450 = 350
  EXPECT_EQ(EventsOf(window)[1], OpacitySent(0));
  EXPECT_EQ(EventsOf(window)[3], OpacitySent(255));
}

struct ScaleCase {
  const char* Name;
  int Width, Height;
  float From, To;
  WindowEvent LastFrame;  // path point (0, 0)
};

class ScaleTest : public FrameTickTest, public testing::WithParamInterface<ScaleCase> {};

TEST_P(ScaleTest, ResizesAboutTheCentreOfTheUnscaledWindow) {
  const ScaleCase& c = GetParam();
  HWND window = Child(0, 0, c.Width, c.Height);
  AnimationRecord& r = Animate(window, {0, 0}, {0, 0}, 1000);
  r.ScaleOn = 1, r.ScaleFrom = c.From, r.ScaleTo = c.To;
  TickAt(1000);
  EXPECT_EQ(EventsOf(window), (Events{c.LastFrame, c.LastFrame})) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ScaleTest,
    testing::Values(
        ScaleCase{"half of 101 is 50, offset 25", 101, 50, 1, 0.5f, PlacedAt(25, 12, 50, 25)},
        ScaleCase{"double grows left and up, offsets truncate", 101, 51, 1, 2, PlacedAt(-50, -25, 202, 102)},
        // The float 0.01 lies just below 0.01: 300 x 0.01 is 2.99999993, 2 pixels.
        ScaleCase{"below 0.01 counts as 0.01, sides at least 1", 50, 300, 1, 0.001f, PlacedAt(24, 149, 1, 2)},
        ScaleCase{"negative factors count as 0.01", 200, 101, 1, -3, PlacedAt(99, 50, 1, 1)}));

TEST_F(FrameTickTest, HugeScaleAndAngleSaturateInsteadOfOverflowing) {
  HWND window = Child(0, 0, 100, 50);
  AnimationRecord& r = Animate(window, {0, 0}, {10, 10}, 1000);
  r.ScaleOn = 1, r.ScaleFrom = 1e30f, r.ScaleTo = 3e38f;
  r.RotationOn = 1, r.RotationFrom = r.RotationTo = -3e38f;
  HWND endless = Child(0, 0, 100, 50);
  AnimationRecord& infinite = Animate(endless, {0, 0}, {10, 10}, 1000);
  const float infinity = std::numeric_limits<float>::infinity();
  infinite.ScaleOn = 1, infinite.ScaleFrom = -infinity, infinite.ScaleTo = infinity;  // NaN halfway
  TickAt(500);
  const Events& events = EventsOf(window);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1], RotationSent(INT32_MIN));
  EXPECT_EQ(EventsOf(endless), Events{PlacedAt(54, 29, 1, 1)}) << "a NaN scale gives the smallest window";
  EXPECT_EQ(AnimationRegistry.Count(), 2u);
}

TEST_F(FrameTickTest, DelayHoldsTheFirstCycleOnly) {
  HWND window = Child();
  AnimationRecord& r = Animate(window, {0, 0}, {100, 0}, 1000);
  r.DelayMs = 500, r.Loops = 2, r.LoopsLeft = 2;
  TickAt(0);
  TickAt(499);
  EXPECT_TRUE(EventsOf(window).empty()) << "nothing moves during the delay";
  TickAt(500);
  TickAt(1000);
  TickAt(1500);  // end of the first cycle: restart without delay
  TickAt(1600);
  EXPECT_EQ(PositionsOf(window), (std::vector<POINT>{{0, 0}, {50, 0}, {100, 0}, {100, 0}, {10, 0}}));
  EXPECT_EQ(r.DelayMs, 0);
}

TEST_F(FrameTickTest, PingPongSwapsStartAndEndAtEachRestartAndFinishesWhereItWasSent) {
  HWND window = Child();
  AnimationRecord& r = Animate(window, {0, 0}, {100, 0}, 1000);
  r.Loops = 3, r.LoopsLeft = 3, r.PingPong = 1;
  r.OpacityOn = 1, r.OpacityFrom = 0, r.OpacityTo = 200;
  r.OnComplete = L"Done";
  for (uint32_t at : {250u, 1000u, 1250u, 2000u, 2250u}) TickAt(at);
  EXPECT_EQ(r.Reversed, 0);
  EXPECT_EQ(r.LoopsLeft, 1);
  TickAt(3000);
  EXPECT_EQ(PositionsOf(window),
            (std::vector<POINT>{{25, 0}, {100, 0}, {100, 0}, {75, 0}, {0, 0}, {0, 0}, {25, 0}, {100, 0}, {100, 0}}));
  const Events& events = EventsOf(window);
  EXPECT_EQ(events[7], OpacitySent(150)) << "the second cycle fades from 200 back to 0";
  EXPECT_EQ(host::Host().ScriptLines, std::vector<std::string>{"GoSub \"Done\""});
  EXPECT_EQ(AnimationRegistry.Count(), 0u);
}

TEST_F(FrameTickTest, WithoutPingPongTheNextCycleJumpsBackToTheStart) {
  HWND window = Child();
  AnimationRecord& r = Animate(window, {0, 0}, {100, 0}, 1000);
  r.Loops = 2, r.LoopsLeft = 2;
  TickAt(1000);
  TickAt(1100);
  EXPECT_EQ(PositionsOf(window), (std::vector<POINT>{{100, 0}, {100, 0}, {10, 0}}));
  EXPECT_EQ(r.Reversed, 0);
}

TEST_F(FrameTickTest, EndlessLoopNeverFinishes) {
  HWND window = Child();
  AnimationRecord& r = Animate(window, {0, 0}, {100, 0}, 100);
  r.Loops = -1, r.LoopsLeft = -1, r.OnComplete = L"Never";
  for (uint32_t at = 100; at <= 5000; at += 100) TickAt(at);
  EXPECT_EQ(AnimationRegistry.Count(), 1u);
  EXPECT_EQ(r.LoopsLeft, -1);
  EXPECT_TRUE(host::Host().ScriptLines.empty());
}

TEST_F(FrameTickTest, LoopsBelowMinusOnePlayOneCycle) {
  HWND window = Child();
  AnimationRecord& r = Animate(window, {0, 0}, {100, 0}, 100);
  r.Loops = -2, r.LoopsLeft = -2;
  TickAt(100);
  EXPECT_EQ(AnimationRegistry.Count(), 0u);
}

TEST_F(FrameTickTest, ZeroDurationJumpsToTheEndWithoutEffectsOrCompletion) {
  HWND window = Child();
  AnimationRecord& r = Animate(window, {0, 0}, {70, 30}, 0);
  r.DelayMs = 200;
  r.OpacityOn = 1, r.RotationOn = 1, r.ScaleOn = 1, r.ScaleFrom = r.ScaleTo = 2;
  r.OnComplete = L"Done";
  TickAt(100);
  EXPECT_TRUE(EventsOf(window).empty());
  TickAt(200);
  EXPECT_EQ(EventsOf(window), Events{MovedTo(70, 30)});
  EXPECT_EQ(AnimationRegistry.Count(), 0u);
  EXPECT_TRUE(host::Host().ScriptLines.empty());
}

TEST_F(FrameTickTest, ElapsedTimeSurvivesTheTickCountWrapping) {
  HWND window = Child();
  Animate(window, {0, 0}, {100, 0}, 1000, kLinear, kLine, 0xFFFFFF00u);  // 256 ms before the wrap
  clock_.Set(0xFFFFFF00u + 500);
  OnFrameTick();
  EXPECT_EQ(PositionsOf(window), (std::vector<POINT>{{50, 0}}));
}

TEST_F(FrameTickTest, DestroyedWindowIsDroppedSilently) {
  HWND gone = Child();
  HWND alive = Child();
  Animate(gone, {0, 0}, {100, 0}, 1000).OnComplete = L"Gone";
  Animate(alive, {0, 0}, {100, 0}, 1000);
  DestroyWindow(gone);
  TickAt(100);
  EXPECT_EQ(AnimationRegistry.Count(), 1u);
  EXPECT_EQ(FrameTimer.TimerRunning, 1) << "another animation still runs";
  DestroyWindow(alive);
  TickAt(200);
  EXPECT_EQ(AnimationRegistry.Count(), 0u);
  EXPECT_EQ(FrameTimer.TimerRunning, 0) << "the last record went in this tick";
  EXPECT_TRUE(host::Host().ScriptLines.empty());
}

TEST_F(FrameTickTest, RecordWithoutHandleIsDropped) {
  AnimationRecord& r = BeginMotionRecord(12345);
  r.DurationMs = 1000, r.LoopsLeft = 1;
  TickAt(0);
  EXPECT_EQ(AnimationRegistry.Count(), 0u);
}

TEST_F(FrameTickTest, CompletionCallsComeAfterTheWalkTheRemovalAndTheTimerStop) {
  HWND first = Child();
  HWND second = Child();
  Animate(first, {0, 0}, {100, 0}, 1000).OnComplete = L"First Sub";
  Animate(second, {0, 0}, {50, 0}, 1000).OnComplete = L"Second";
  const std::vector<int32_t> order = WalkOrder();

  // Finished records stay in the registry until the walk is over.
  std::vector<size_t> countsDuringWalk;
  auto countRecords = [&](HWND, const WindowEvent&) { countsDuringWalk.push_back(AnimationRegistry.Count()); };
  SetEventHandler(first, countRecords);
  SetEventHandler(second, countRecords);
  struct Seen {
    size_t Records;
    int TimerRunning;
  };
  std::vector<Seen> seen;
  auto observe = [&] { seen.push_back({AnimationRegistry.Count(), FrameTimer.TimerRunning}); };
  host::Host().Subroutines = {{"First Sub", observe}, {"Second", observe}};

  TickAt(1000);
  EXPECT_EQ(countsDuringWalk, std::vector<size_t>(4, 2u));
  const std::vector<std::string> inWalkOrder =
      order.front() == HandleKey(first) ? std::vector<std::string>{"GoSub \"First Sub\"", "GoSub \"Second\""}
                                        : std::vector<std::string>{"GoSub \"Second\"", "GoSub \"First Sub\""};
  EXPECT_EQ(host::Host().ScriptLines, inWalkOrder);
  ASSERT_EQ(seen.size(), 2u);
  for (const Seen& call : seen) {
    EXPECT_EQ(call.Records, 0u);
    EXPECT_EQ(call.TimerRunning, 0);
  }
}

TEST_F(FrameTickTest, CompletionSubroutineCanStartTheSameWindowAgain) {
  HWND window = Child();
  Animate(window, {0, 0}, {100, 0}, 1000).OnComplete = L"Again";
  host::Host().Subroutines["Again"] = [&] { Animate(window, {100, 0}, {0, 0}, 1000, kLinear, kLine, kStart + 1000); };
  TickAt(1000);
  ASSERT_EQ(AnimationRegistry.Count(), 1u);
  EXPECT_EQ(FrameTimer.TimerRunning, 1);
  TickAt(1500);
  EXPECT_EQ(PositionsOf(window).back().x, 50);
}

// A window's handlers run inside the walk. What they do to the registry must
// neither crash the walk nor make it use, skip or repeat a record.
class ReentrantTickTest : public FrameTickTest {
 protected:
  void Stop(HWND window) {
    AnimationRegistry.Remove(HandleKey(window));
    StopFrameTimerIfIdle();
  }
};

TEST_F(ReentrantTickTest, HandlerStopsAnotherAnimationAndRestartsItsOwn) {
  HWND a = Child(), b = Child(), c = Child();
  Animate(a, {0, 0}, {100, 0}, 1000).OpacityOn = 1;
  Animate(b, {0, 0}, {100, 0}, 1000);
  Animate(c, {0, 0}, {100, 0}, 1000);
  bool done = false;
  SetEventHandler(a, [&](HWND, const WindowEvent&) {
    if (std::exchange(done, true)) return;
    Stop(b);
    Animate(a, {500, 500}, {600, 600}, 1000, kLinear, kLine, kStart + 100);
  });
  TickAt(100);
  EXPECT_EQ(EventsOf(a), Events{MovedTo(10, 0)}) << "the replaced motion's frame ends at the restart";
  EXPECT_LE(EventsOf(b).size(), 1u);
  EXPECT_EQ(EventsOf(c), Events{MovedTo(10, 0)});
  ASSERT_EQ(AnimationRegistry.Count(), 2u);
  EXPECT_EQ(AnimationRegistry.Find(HandleKey(b)), nullptr);

  TickAt(600);
  EXPECT_EQ(EventsOf(a).back(), MovedTo(550, 550)) << "the new motion runs from its own start";
  EXPECT_EQ(EventsOf(c).back(), MovedTo(60, 0));
}

TEST_F(ReentrantTickTest, MotionRestartedDuringItsLastFrameIsNotRemoved) {
  HWND window = Child();
  Animate(window, {0, 0}, {100, 0}, 1000).OnComplete = L"Old";
  SetEventHandler(window, [&](HWND, const WindowEvent& event) {
    if (event == MovedTo(100, 0) && AnimationRegistry.Find(HandleKey(window))->FromX == 0)
      Animate(window, {300, 0}, {400, 0}, 1000, kLinear, kLine, kStart + 1000).OnComplete = L"New";
  });
  TickAt(1000);
  EXPECT_EQ(EventsOf(window), Events{MovedTo(100, 0)});
  ASSERT_NE(AnimationRegistry.Find(HandleKey(window)), nullptr);
  EXPECT_TRUE(host::Host().ScriptLines.empty()) << "the old motion was replaced, not completed";
  TickAt(2000);
  EXPECT_EQ(host::Host().ScriptLines, std::vector<std::string>{"GoSub \"New\""});
}

TEST_F(ReentrantTickTest, FinishedMotionRestartedLaterInTheWalkKeepsRunning) {
  HWND x = Child(), y = Child();
  Animate(x, {0, 0}, {100, 0}, 1000);
  Animate(y, {0, 0}, {100, 0}, 1000);
  const std::vector<int32_t> order = WalkOrder();
  HWND walkedFirst = order.front() == HandleKey(x) ? x : y;
  HWND walkedSecond = walkedFirst == x ? y : x;
  AnimationRecord& firstRecord = *AnimationRegistry.Find(HandleKey(walkedFirst));
  firstRecord.DurationMs = 1000, firstRecord.OnComplete = L"First";
  AnimationRegistry.Find(HandleKey(walkedSecond))->DurationMs = 2000;
  bool done = false;
  SetEventHandler(walkedSecond, [&](HWND, const WindowEvent&) {
    if (!std::exchange(done, true)) Animate(walkedFirst, {0, 100}, {0, 200}, 1000, kLinear, kLine, kStart + 1000);
  });
  TickAt(1000);
  EXPECT_EQ(host::Host().ScriptLines, std::vector<std::string>{"GoSub \"First\""});
  ASSERT_EQ(AnimationRegistry.Count(), 2u) << "the restarted motion must survive the removals after the walk";
  TickAt(1500);
  EXPECT_EQ(EventsOf(walkedFirst).back(), MovedTo(0, 150));
}

TEST_F(ReentrantTickTest, HandlerDestroysWindowsAndShutsThePlugInDown) {
  HWND a = Child(), b = Child(), c = Child();
  for (HWND window : {a, b, c}) Animate(window, {0, 0}, {100, 0}, 1000).OpacityOn = 1;
  const int32_t firstKey = WalkOrder().front();
  HWND first = HandleKey(a) == firstKey ? a : HandleKey(b) == firstKey ? b : c;
  bool done = false;
  SetEventHandler(first, [&](HWND, const WindowEvent&) {
    if (std::exchange(done, true)) return;
    for (HWND window : {a, b, c})
      if (window != first) DestroyWindow(window);
    nbMessage(2, 0);
  });
  TickAt(100);
  EXPECT_EQ(EventsOf(first), Events{MovedTo(10, 0)}) << "the cleared motion's frame ends";
  EXPECT_EQ(AnimationRegistry.Count(), 0u);
  EXPECT_EQ(FrameTimer.TimerWindow, nullptr);
}

TEST_F(ReentrantTickTest, TickInsideATickDoesNothing) {
  HWND a = Child(), b = Child();
  Animate(a, {0, 0}, {100, 0}, 1000);
  Animate(b, {0, 0}, {100, 0}, 1000);
  auto tickAgain = [](HWND, const WindowEvent&) { OnFrameTick(); };
  SetEventHandler(a, tickAgain);
  SetEventHandler(b, tickAgain);
  TickAt(100);
  EXPECT_EQ(EventsOf(a).size(), 1u);
  EXPECT_EQ(EventsOf(b).size(), 1u);
}

TEST_F(ReentrantTickTest, MotionStartedInsideTheWalkBeginsAtTheNextTick) {
  HWND a = Child(), late = Child();
  Animate(a, {0, 0}, {100, 0}, 1000);
  bool done = false;
  SetEventHandler(a, [&](HWND, const WindowEvent&) {
    if (!std::exchange(done, true)) Animate(late, {0, 0}, {100, 0}, 1000, kLinear, kLine, kStart + 100);
  });
  TickAt(100);
  EXPECT_TRUE(EventsOf(late).empty());
  TickAt(200);
  EXPECT_EQ(EventsOf(late), Events{MovedTo(10, 0)});
}

}  // namespace
}  // namespace zel
