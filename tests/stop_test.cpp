// zelStopAnimate through the plug-in's exports: jumping to the end of the
// running cycle or stopping in place, the effect messages of each, stops that
// find nothing to stop, and the frame timer.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/window_calls.h"
#include "tests/plugin_fixture.h"

namespace {

class StopTest : public PluginTest {
 protected:
  Events EventsAt(HWND window, std::initializer_list<uint32_t> times) {
    EventsOf(window).clear();
    for (uint32_t at : times) TickAt(at);
    return EventsOf(window);
  }
  // A fresh one-second motion of Button1 from (0, 0) to (100, 0) at clock 0,
  // with the given effects, run to the given time.
  void RunUntil(HWND window, uint32_t ms, const std::vector<std::string>& effects) {
    SetWindowPos(window, nullptr, 0, 0, 100, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    SetClock(0);
    Animate({"Button1", "0,0", "100,0", "1000"});
    std::vector<std::string> params{"Button1"};
    params.insert(params.end(), effects.begin(), effects.end());
    Effects(params);
    TickAt(ms);
    EventsOf(window).clear();
  }
};

std::vector<LONG> BoxOf(HWND window) {
  const RECT r = PlacementOf(window);
  return {r.left, r.top, r.right, r.bottom};
}

TEST_F(StopTest, JumpOrStopInPlaceByTheJumpToEndText) {
  HWND window = Object("Button1", 0, 0, 100, 50);
  // Half-way the window is 150 by 75 at (25, -12).
  const Events jump{PlacedAt(100, 0, 100, 50), OpacitySent(220), RotationSent(900)};
  const Events inPlace{PlacedAt(25, -12, 100, 50), RotationSent(0), OpacitySent(255)};
  const struct {
    const char* JumpToEnd;
    bool Jumps;
  } cases[] = {{"1", true}, {"2", true},  {"-1", true},   {" 1", true},  {"1.5", true},
               {"", false}, {"0", false}, {"abc", false}, {"0.9", false}};
  for (const auto& c : cases) {
    RunUntil(window, 500, {"", "", "", "", "20,220", "1,2", "10,90"});
    Stop({"Button1", c.JumpToEnd});
    EXPECT_EQ(EventsOf(window), c.Jumps ? jump : inPlace) << "JumpToEnd '" << c.JumpToEnd << "'";
    EXPECT_EQ(BoxOf(window), c.Jumps ? (std::vector<LONG>{100, 0, 200, 50}) : (std::vector<LONG>{25, -12, 125, 38}))
        << "JumpToEnd '" << c.JumpToEnd << "': the base size, not the scaled one";
    EXPECT_FALSE(TimerRunning());
    EXPECT_TRUE(EventsAt(window, {600, 1000}).empty()) << "JumpToEnd '" << c.JumpToEnd << "'";
  }
  EXPECT_EQ(LastError(), "(never set)");
}

TEST_F(StopTest, WithoutEffectsStopInPlaceLeavesTheWindowAlone) {
  HWND window = Object("Button1", 0, 0, 100, 50);
  const struct {
    const char* JumpToEnd;
    Events AtStop;
    std::vector<LONG> Box;
  } cases[] = {
      {"0", {}, {50, 0, 150, 50}},
      {"1", {PlacedAt(100, 0, 100, 50)}, {100, 0, 200, 50}},  // sized even without a scale effect
  };
  for (const auto& c : cases) {
    RunUntil(window, 500, {});
    Stop({"Button1", c.JumpToEnd});
    EXPECT_EQ(EventsOf(window), c.AtStop) << "JumpToEnd " << c.JumpToEnd;
    EXPECT_EQ(BoxOf(window), c.Box) << "JumpToEnd " << c.JumpToEnd;
    EXPECT_TRUE(EventsAt(window, {600, 1000}).empty()) << "JumpToEnd " << c.JumpToEnd;
  }
}

TEST_F(StopTest, StopInPlaceOfAHalfSizeWindowKeepsItsCornerAndNeutralisesOnlyTheEnabledEffects) {
  HWND window = Object("Button1", 0, 0, 100, 50);
  const struct {
    const char* Opacity;
    const char* Rotation;
    Events AfterPlacement;
  } cases[] = {
      {"", "", {}},
      {"0,128", "", {OpacitySent(255)}},
      {"", "-45,45", {RotationSent(0)}},
      {"0,128", "-45,45", {RotationSent(0), OpacitySent(255)}},
  };
  for (const auto& c : cases) {
    RunUntil(window, 500, {"", "", "", "", c.Opacity, "0.5,0.5", c.Rotation});
    ASSERT_EQ(BoxOf(window), (std::vector<LONG>{75, 12, 125, 37})) << "50 by 25, centred on (50, 0) to (150, 50)";
    Stop({"Button1", "0"});
    Events expected{PlacedAt(75, 12, 100, 50)};
    expected.insert(expected.end(), c.AfterPlacement.begin(), c.AfterPlacement.end());
    EXPECT_EQ(EventsOf(window), expected) << "Opacity '" << c.Opacity << "' Rotation '" << c.Rotation << "'";
    EXPECT_EQ(BoxOf(window), (std::vector<LONG>{75, 12, 175, 62}));
  }
}

TEST_F(StopTest, JumpDuringTheReversedCycleOfAPingPongLandsOnTheFirstStartPoint) {
  HWND window = Object("Button1", 10, 20, 100, 50);
  int completions = 0;
  host::Host().Subroutines["Done"] = [&] { ++completions; };
  SetClock(0);
  Animate({"Button1", "", "110,20", "1000"});
  Effects({"Button1", "", "3", "1", "Done", "20,220", "", "10,90"});
  TickAt(500), TickAt(1000);
  EXPECT_EQ(EventsAt(window, {1500}), (Events{MovedTo(60, 20), OpacitySent(120), RotationSent(500)}))
      << "half-way back";
  EventsOf(window).clear();
  Stop({"Button1", "1"});
  EXPECT_EQ(EventsOf(window), (Events{PlacedAt(10, 20, 100, 50), OpacitySent(20), RotationSent(100)}));
  EXPECT_TRUE(EventsAt(window, {2000, 2500, 3000, 3500, 4000}).empty()) << "no further cycle";
  EXPECT_EQ(completions, 0);
  EXPECT_TRUE(host::Host().ScriptLines.empty());
  EXPECT_FALSE(TimerRunning());
}

TEST_F(StopTest, StopDuringTheDelay) {
  HWND window = Object("Button1");
  const struct {
    const char* JumpToEnd;
    Events AtStop;
    std::vector<LONG> Box;
  } cases[] = {
      {"1", {PlacedAt(100, 0, 100, 50), OpacitySent(200)}, {100, 0, 200, 50}},
      {"0", {OpacitySent(255)}, {10, 20, 110, 70}},
  };
  for (const auto& c : cases) {
    SetWindowPos(window, nullptr, 10, 20, 100, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    SetClock(0);
    Animate({"Button1", "", "100,0", "1000"});
    Effects({"Button1", "500", "", "", "Done", "30,200"});
    EXPECT_TRUE(EventsAt(window, {200}).empty()) << "waiting";
    Stop({"Button1", c.JumpToEnd});
    EXPECT_EQ(EventsOf(window), c.AtStop) << "JumpToEnd " << c.JumpToEnd;
    EXPECT_EQ(BoxOf(window), c.Box) << "JumpToEnd " << c.JumpToEnd;
    EXPECT_TRUE(EventsAt(window, {500, 1000, 1500}).empty()) << "JumpToEnd " << c.JumpToEnd;
  }
  EXPECT_TRUE(host::Host().ScriptLines.empty());
  EXPECT_FALSE(TimerRunning());
}

TEST_F(StopTest, StopsThatFindNoAnimationDoNothingVisible) {
  HWND stopped = Object("Stopped"), finished = Object("Finished"), idle = Object("Idle"),
       runner = Object("Runner", 0, 0);
  SetClock(0);
  Animate({"Stopped", "", "100,0", "1000"});
  Effects({"Stopped", "", "", "", "", "0,255", "1,2", "0,90"});
  Stop({"Stopped", "1"});
  Animate({"Finished", "", "100,0", "100"});
  Effects({"Finished", "", "", "", "", "0,255", "1,2", "0,90"});
  Animate({"Runner", "", "100,0", "1000"});
  Effects({"Runner", "", "-1"});
  TickAt(100);
  const std::string idleHandle = std::to_string(HandleToLong(idle));
  for (const char* jumpToEnd : {"0", "1"})
    for (const std::string& target :
         {std::string("Stopped"), std::string("Finished"), std::string("Idle"), std::string(" idle "), std::string(""),
          std::string("   "), std::string("Nowhere"), std::string("0"), idleHandle}) {
      for (HWND window : {stopped, finished, idle, runner}) EventsOf(window).clear();
      Stop({target, jumpToEnd});
      for (HWND window : {stopped, finished, idle, runner})
        EXPECT_TRUE(EventsOf(window).empty()) << "'" << target << "', JumpToEnd " << jumpToEnd;
      EXPECT_TRUE(TimerRunning()) << "'" << target << "', JumpToEnd " << jumpToEnd;
    }
  EXPECT_EQ(LastError(), "(never set)");
  EXPECT_EQ(EventsAt(runner, {600}), (Events{MovedTo(60, 0)})) << "the other animation runs on";
}

TEST_F(StopTest, TimerStopsWithTheLastAnimation) {
  HWND first = Object("First", 0, 0), second = Object("Second", 0, 0);
  SetClock(0);
  Animate({"First", "", "100,0", "1000"});
  Animate({"Second", "", "0,100", "1000"});
  TickAt(200);
  Stop({"First", "0"});
  EXPECT_TRUE(TimerRunning()) << "one animation is left";
  EventsOf(first).clear();
  EXPECT_EQ(EventsAt(second, {500}), (Events{MovedTo(0, 50)}));
  EXPECT_TRUE(EventsOf(first).empty());
  Stop({std::to_string(HandleToLong(second)), "0"});
  EXPECT_FALSE(TimerRunning());
  EXPECT_NE(TimerWindow(), nullptr) << "the timer window stays";
  EXPECT_TRUE(EventsAt(second, {800}).empty());
}

TEST_F(StopTest, StopOfADestroyedWindowDropsItsAnimation) {
  HWND gone = Object("Gone", 0, 0);
  Object("Other", 0, 0);
  SetClock(0);
  Animate({"Gone", "", "100,0", "1000"});
  Effects({"Gone", "", "", "", "Done", "0,255", "1,2", "0,90"});
  Animate({"Other", "", "100,0", "1000"});
  DestroyWindow(gone);
  Stop({"Gone", "1"});
  EXPECT_TRUE(TimerRunning());
  Stop({"Other", "1"});
  EXPECT_FALSE(TimerRunning()) << "nothing is left of the destroyed window's animation";
  EXPECT_TRUE(host::Host().ScriptLines.empty());
}

// A window's handler that acts on its own animation while the stop sends it
// a message: only the stopped motion is removed.
TEST_F(StopTest, HandlerActingOnItsAnimationDuringTheStop) {
  HWND window = Object("Button1", 0, 0, 100, 50);
  const struct {
    const char* What;
    const char* JumpToEnd;
    std::function<void()> Act;
    Events AtStop;
    Events Later;  // at 1000 ms
  } cases[] = {
      {"new motion on the opacity message",
       "0",
       [this] {
         Animate({"Button1", "", "0,100", "1000"});
       },
       {OpacitySent(255)},
       {MovedTo(25, 50)}},  // from (50, 0), started at 500 ms
      {"second stop on the opacity message",
       "1",
       [this] {
         Stop({"Button1", "0"});
       },
       {PlacedAt(100, 0, 100, 50), OpacitySent(200), OpacitySent(255)},
       {}},
  };
  for (const auto& c : cases) {
    RunUntil(window, 500, {"", "", "", "", "30,200"});
    bool acted = false;
    SetEventHandler(window, [&](HWND, const WindowEvent& event) {
      if (event.Message == zel::WM_ANIM_OPACITY && !std::exchange(acted, true)) c.Act();
    });
    Stop({"Button1", c.JumpToEnd});
    SetEventHandler(window, nullptr);
    EXPECT_TRUE(acted) << c.What;
    EXPECT_EQ(EventsOf(window), c.AtStop) << c.What;
    EXPECT_EQ(TimerRunning(), !c.Later.empty()) << c.What;
    EXPECT_EQ(EventsAt(window, {1000}), c.Later) << c.What;
  }
}

}  // namespace
