// zelAnimateEx through the plug-in's exports: error texts, delay, loops,
// ping-pong, completion subroutines, the opacity, scale and rotation effects,
// and actions that the host or a window runs from inside the plug-in's calls.
#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/window_calls.h"
#include "tests/plugin_fixture.h"

namespace {

class EffectsTest : public PluginTest {
 protected:
  // Everything the window received during the ticks at the given times.
  Events EventsAt(HWND window, std::initializer_list<uint32_t> times) {
    EventsOf(window).clear();
    for (uint32_t at : times) TickAt(at);
    return EventsOf(window);
  }
  std::vector<POINT> PositionsAt(HWND window, std::initializer_list<uint32_t> times) {
    EventsOf(window).clear();
    for (uint32_t at : times) TickAt(at);
    return PositionsOf(window);
  }
  // A fresh one-second motion of Button1 from (0, 0) to (100, 0) at clock 0.
  void StartAtZero(HWND window, const char* toXY = "100,0", const char* duration = "1000") {
    SetClock(0);
    Animate({"Button1", "0,0", toXY, duration});
    EventsOf(window).clear();
    host::Host().ScriptLines.clear();
  }
};

std::vector<LONG> BoxOf(HWND window) {
  const RECT r = PlacementOf(window);
  return {r.left, r.top, r.right, r.bottom};
}

// ---------------------------------------------------------------------------
// Errors

TEST_F(EffectsTest, TargetsWithoutAnAnimationAreReportedWithTheTextAsGiven) {
  HWND idle = Object("Idle");
  const std::string idleHandle = std::to_string(HandleToLong(idle));
  const struct {
    std::string Target;
    std::string Error;
  } cases[] = {
      {"", "AnimateEx: target not found: "},
      {"   ", "AnimateEx: target not found:    "},
      {" Nowhere ", "AnimateEx: target not found:  Nowhere "},
      {"0", "AnimateEx: target not found: 0"},
      {" Idle ", "AnimateEx: no animation for:  Idle . Call zelAnimate first."},
      {idleHandle + " ", "AnimateEx: no animation for: " + idleHandle + " . Call zelAnimate first."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Effects({c.Target, "500", "3", "1", "Done", "0,255", "1,2", "0,90"}), 1);
    EXPECT_EQ(LastError(), c.Error);
  }
  EXPECT_TRUE(EventsOf(idle).empty()) << "no effect message for a window without an animation";
  EXPECT_EQ(TimerWindow(), nullptr) << "nothing was started";
}

TEST_F(EffectsTest, FinishedAnimationIsNoAnimation) {
  HWND window = Object("Button1", 0, 0);
  StartAtZero(window);
  TickAt(1000);
  EventsOf(window).clear();
  Effects({"Button1", "", "", "", "", "0,255"});
  EXPECT_EQ(LastError(), "AnimateEx: no animation for: Button1. Call zelAnimate first.");
  EXPECT_TRUE(EventsOf(window).empty());
}

TEST_F(EffectsTest, SuccessDoesNotClearTheErrorVariable) {
  HWND window = Object("Button1", 0, 0);
  Effects({"Button1"});
  StartAtZero(window);
  Effects({"Button1", "", "", "", "", "0,255", "1,2", "0,90"});
  Effects({"Button1", "100"});
  EXPECT_EQ(LastError(), "AnimateEx: no animation for: Button1. Call zelAnimate first.");
}

// ---------------------------------------------------------------------------
// Loops, ping-pong and completion

TEST_F(EffectsTest, LoopsSetHowManyCyclesPlay) {
  HWND window = Object("Button1", 0, 0);
  constexpr int kEndless = 5;  // every cycle that fits into the five seconds ticked
  const struct {
    const char* Loops;
    int Cycles;
  } cases[] = {{"", 1}, {"0", 1}, {"abc", 1}, {"1", 1}, {"3", 3}, {"3.9", 3}, {"-2", 1}, {"-7", 1}, {"-1", kEndless}};
  for (const auto& c : cases) {
    StartAtZero(window);
    Effects({"Button1", "", c.Loops, "", "Done"});
    std::vector<POINT> expected;
    for (int cycle = 0; cycle < c.Cycles; ++cycle) expected.insert(expected.end(), {{50, 0}, {100, 0}, {100, 0}});
    EXPECT_EQ(PositionsAt(window, {500, 1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500, 5000}), expected)
        << "Loops " << c.Loops;
    const bool endless = c.Cycles == kEndless;
    EXPECT_EQ(TimerRunning(), endless) << "Loops " << c.Loops;
    EXPECT_EQ(host::Host().ScriptLines,
              endless ? std::vector<std::string>{} : std::vector<std::string>{"GoSub \"Done\""})
        << "Loops " << c.Loops;
  }
}

TEST_F(EffectsTest, LaterCallsWithZeroSettingsKeepTheEndlessPingPong) {
  HWND window = Object("Button1", 0, 0);
  StartAtZero(window);
  Effects({"Button1", "", "-1", "1"});
  EXPECT_EQ(PositionsAt(window, {500, 1000}), (std::vector<POINT>{{50, 0}, {100, 0}, {100, 0}}));
  EventsOf(window).clear();
  // Nothing here switches a setting off: not a zero, a negative delay, a
  // text that reads as zero, nor spaces for a name.
  Effects({"Button1", "-100", "0", "0", "   ", "abc", "", ""});
  Effects({"Button1", "0", "x", "no"});
  EXPECT_TRUE(EventsOf(window).empty());
  EXPECT_EQ(
      PositionsAt(window, {1500, 2000, 2500, 3000, 3500, 4000, 4500, 5000}),
      (std::vector<POINT>{
          {50, 0}, {0, 0}, {0, 0}, {50, 0}, {100, 0}, {100, 0}, {50, 0}, {0, 0}, {0, 0}, {50, 0}, {100, 0}, {100, 0}}))
      << "back and forth, without a delay";
  EXPECT_TRUE(TimerRunning());
  EXPECT_TRUE(host::Host().ScriptLines.empty());
}

TEST_F(EffectsTest, LoopsGivenDuringTheSecondCycleOfAnEndlessLoopCountThatCycleAsTheFirst) {
  HWND window = Object("Button1", 0, 0);
  StartAtZero(window);
  Effects({"Button1", "", "-1", "", "Done"});
  TickAt(500), TickAt(1000), TickAt(1500);
  Effects({"Button1", "", "3"});
  EXPECT_EQ(PositionsAt(window, {2000, 2500, 3000, 3500, 4000, 4500, 5000}),
            (std::vector<POINT>{{100, 0}, {100, 0}, {50, 0}, {100, 0}, {100, 0}, {50, 0}, {100, 0}, {100, 0}}));
  EXPECT_EQ(host::Host().ScriptLines, std::vector<std::string>{"GoSub \"Done\""});
  EXPECT_FALSE(TimerRunning());
}

TEST_F(EffectsTest, DelayLoopsPingPongAndCompletionRightAfterTheStart) {
  HWND window = Object("Button1", 0, 0);
  struct Seen {
    bool TimerRunning;
    std::string Error;
  };
  std::vector<Seen> seen;
  host::Host().Subroutines["Done"] = [&] {
    Effects({"Button1", "", "", "", "", "0,255"});  // finds no animation any more
    seen.push_back({TimerRunning(), LastError()});
  };
  StartAtZero(window);
  Effects({"Button1", "500", "3", "1", "  Done  "});
  EXPECT_TRUE(PositionsAt(window, {0, 250, 499}).empty()) << "waiting for the delay";
  EXPECT_EQ(PositionsAt(window, {500, 1000, 1500}), (std::vector<POINT>{{0, 0}, {50, 0}, {100, 0}, {100, 0}}));
  EXPECT_EQ(PositionsAt(window, {2000, 2500}), (std::vector<POINT>{{50, 0}, {0, 0}, {0, 0}})) << "no second delay";
  EXPECT_TRUE(host::Host().ScriptLines.empty());
  EXPECT_EQ(PositionsAt(window, {3000, 3500, 4000}), (std::vector<POINT>{{50, 0}, {100, 0}, {100, 0}}));
  EXPECT_EQ(host::Host().ScriptLines, std::vector<std::string>{"GoSub \"Done\""});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_FALSE(seen[0].TimerRunning);
  EXPECT_EQ(seen[0].Error, "AnimateEx: no animation for: Button1. Call zelAnimate first.");
  EXPECT_EQ(BoxOf(window), (std::vector<LONG>{100, 0, 200, 50}));
}

TEST_F(EffectsTest, DelayGivenDuringTheCycleRestartsItFromTheStartPoint) {
  HWND window = Object("Button1", 0, 0);
  StartAtZero(window);
  EXPECT_EQ(PositionsAt(window, {100, 300}), (std::vector<POINT>{{10, 0}, {30, 0}}));
  Effects({"Button1", "500"});
  TickAt(400);
  Effects({"Button1", "-1"});  // does not take the delay back
  EXPECT_TRUE(PositionsAt(window, {450, 499}).empty());
  EXPECT_EQ(BoxOf(window), (std::vector<LONG>{30, 0, 130, 50})) << "left where the last frame put it";
  EXPECT_EQ(PositionsAt(window, {500, 1000, 1499, 1500, 1600}),
            (std::vector<POINT>{{0, 0}, {50, 0}, {99, 0}, {100, 0}, {100, 0}}))
      << "the whole cycle, from 500 ms after the start";
}

TEST_F(EffectsTest, CompletionNameWithAQuoteIsRefused) {
  HWND window = Object("Button1", 0, 0);
  const struct {
    const char* Earlier;  // a valid name given before, or nothing
    const char* Refused;
    std::vector<std::string> Lines;
  } cases[] = {
      {"", "Say \"hi\"", {}},
      {"First", " \"Quoted\" ", {"GoSub \"First\""}},
      {"First", "\"", {"GoSub \"First\""}},
      {"First", "Sub\" : End", {"GoSub \"First\""}},
  };
  for (const auto& c : cases) {
    StartAtZero(window);
    Effects({"Button1", "", "", "", c.Earlier});
    Effects({"Button1", "", "", "", c.Refused});
    EXPECT_EQ(LastError(), std::string("AnimateEx: invalid OnComplete name: ") + c.Refused);
    TickAt(1000);
    EXPECT_EQ(host::Host().ScriptLines, c.Lines) << c.Refused;
  }
}

// ---------------------------------------------------------------------------
// Opacity, scale and rotation

TEST_F(EffectsTest, EffectTextsGiveTheStartingMessagesAndTheFrames) {
  HWND window = Object("Button1", 0, 0, 100, 50);
  const struct {
    const char* Opacity;
    const char* Scale;
    const char* Rotation;
    Events AtCall, AtStart, HalfWay, AtEnd;
  } cases[] = {
      {"0,300",
       "",
       "",
       {OpacitySent(0)},
       {MovedTo(0, 0), OpacitySent(0)},
       {MovedTo(50, 0), OpacitySent(127)},
       {MovedTo(100, 0), OpacitySent(255), MovedTo(100, 0), OpacitySent(255)}},
      {"-50,128",
       "",
       "",
       {OpacitySent(0)},
       {MovedTo(0, 0), OpacitySent(0)},
       {MovedTo(50, 0), OpacitySent(64)},
       {MovedTo(100, 0), OpacitySent(128), MovedTo(100, 0), OpacitySent(128)}},
      {" 255 , 0 ",  // 255 - 127.5 truncates toward zero to 255 - 127
       "",
       "",
       {OpacitySent(255)},
       {MovedTo(0, 0), OpacitySent(255)},
       {MovedTo(50, 0), OpacitySent(128)},
       {MovedTo(100, 0), OpacitySent(0), MovedTo(100, 0), OpacitySent(0)}},
      {"128", "", "", {}, {MovedTo(0, 0)}, {MovedTo(50, 0)}, {MovedTo(100, 0), MovedTo(100, 0)}},
      // 0 becomes 0.01: a 1 by 1 window centred on the unscaled one.
      {"",
       "0,2",
       "",
       {},
       {PlacedAt(49, 24, 1, 1)},
       {PlacedAt(50, 0, 100, 50)},
       {PlacedAt(50, -25, 200, 100), PlacedAt(50, -25, 200, 100)}},
      // Negative factors become 0.01 before the frames work with them.
      {"",
       "-1,1",
       "",
       {},
       {PlacedAt(49, 24, 1, 1)},
       {PlacedAt(75, 12, 50, 25)},
       {PlacedAt(100, 0, 100, 50), PlacedAt(100, 0, 100, 50)}},
      {"",
       "1,-1",
       "",
       {},
       {PlacedAt(0, 0, 100, 50)},
       {PlacedAt(75, 12, 50, 25)},
       {PlacedAt(149, 24, 1, 1), PlacedAt(149, 24, 1, 1)}},
      {"",
       "",
       "-45,45",
       {RotationSent(-450)},
       {MovedTo(0, 0), RotationSent(-450)},
       {MovedTo(50, 0), RotationSent(0)},
       {MovedTo(100, 0), RotationSent(450), MovedTo(100, 0), RotationSent(450)}},
      // As 32-bit floats 0.7 is 0.69999999, 45.4 is 45.3999977, 90.1 is 90.0999985.
      {"",
       "",
       "0.7,90.1",
       {RotationSent(6)},
       {MovedTo(0, 0), RotationSent(6)},
       {MovedTo(50, 0), RotationSent(453)},
       {MovedTo(100, 0), RotationSent(900), MovedTo(100, 0), RotationSent(900)}},
      {"0,255",
       "1,2",
       "-45,45",
       {OpacitySent(0), RotationSent(-450)},
       {PlacedAt(0, 0, 100, 50), OpacitySent(0), RotationSent(-450)},
       {PlacedAt(25, -12, 150, 75), OpacitySent(127), RotationSent(0)},
       {PlacedAt(50, -25, 200, 100), OpacitySent(255), RotationSent(450), PlacedAt(50, -25, 200, 100), OpacitySent(255),
        RotationSent(450)}},
      {"1,2,3", "a,b", "45", {}, {MovedTo(0, 0)}, {MovedTo(50, 0)}, {MovedTo(100, 0), MovedTo(100, 0)}},
  };
  for (const auto& c : cases) {
    const std::string what =
        std::string("Opacity '") + c.Opacity + "' Scale '" + c.Scale + "' Rotation '" + c.Rotation + "'";
    StartAtZero(window);
    const std::vector<LONG> before = BoxOf(window);
    Effects({"Button1", "", "", "", "", c.Opacity, c.Scale, c.Rotation});
    EXPECT_EQ(EventsOf(window), c.AtCall) << what;
    EXPECT_EQ(BoxOf(window), before) << what << ": not resized before the next frame";
    EXPECT_EQ(EventsAt(window, {0}), c.AtStart) << what;
    EXPECT_EQ(EventsAt(window, {500}), c.HalfWay) << what;
    EXPECT_EQ(EventsAt(window, {1000}), c.AtEnd) << what;
    EXPECT_EQ(LastError(), "(never set)") << what;
  }
}

TEST_F(EffectsTest, TextsThatAreNoPairLeaveEarlierEffectsAsTheyWere) {
  HWND window = Object("Button1", 0, 0, 100, 50);
  StartAtZero(window);
  Effects({"Button1", "", "", "", "", "10,20", "1,2", "0,90"});
  EventsOf(window).clear();
  Effects({"Button1", "", "", "", "", "128", "2", "90"});
  Effects({"Button1", "", "", "", "", "", " ", "1;2"});
  EXPECT_TRUE(EventsOf(window).empty());
  EXPECT_EQ(EventsAt(window, {500}), (Events{PlacedAt(25, -12, 150, 75), OpacitySent(15), RotationSent(450)}));
}

TEST_F(EffectsTest, SuccessiveCallsAddUp) {
  HWND window = Object("Button1", 0, 0, 100, 50);
  StartAtZero(window);
  Effects({"Button1", "", "", "", "", "", "", "0,90"});
  Effects({"Button1", "", "", "", "", "0,200"});
  Effects({"Button1", "", "", "", "", "", "1,2"});
  Effects({"Button1", "", "", "", "", "", "", "10,20"});
  EXPECT_EQ(EventsOf(window), (Events{RotationSent(0), OpacitySent(0), RotationSent(100)}));
  EXPECT_EQ(EventsAt(window, {500}), (Events{PlacedAt(25, -12, 150, 75), OpacitySent(100), RotationSent(150)}));
}

TEST_F(EffectsTest, WindowThatIgnoresTheEffectMessagesStillMovesAndScales) {
  // A plain label: its class passes the two messages to default processing.
  UniqueWindow label(CreateWindowExW(0, L"STATIC", L"Label", WS_CHILD | WS_VISIBLE, 0, 0, 100, 50, Stage(), nullptr,
                                     GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(IsWindow(label.get()));
  host::Host().Objects["Label"] = label.get();
  SetClock(0);
  Animate({"Label", "", "100,0", "1000"});
  Effects({"Label", "", "", "", "", "0,255", "1,2", "-45,45"});
  EXPECT_EQ(BoxOf(label.get()), (std::vector<LONG>{0, 0, 100, 50}));
  TickAt(500);
  EXPECT_EQ(BoxOf(label.get()), (std::vector<LONG>{25, -12, 175, 63}));
  TickAt(1000);
  EXPECT_EQ(BoxOf(label.get()), (std::vector<LONG>{50, -25, 250, 75}));
  EXPECT_FALSE(TimerRunning());
  EXPECT_EQ(LastError(), "(never set)");
}

// ---------------------------------------------------------------------------
// A window's handler that acts on its own animation while zelAnimateEx sends
// it an effect message: the rest of the call must leave alone an animation
// that is gone or replaced.

TEST_F(EffectsTest, HandlerThatEndsItsAnimationDuringTheEffectMessages) {
  HWND window = Object("Button1", 0, 0, 100, 50);
  const struct {
    const char* What;
    UINT Trigger;
    std::function<void()> Act;
    Events DuringCall;  // the starting messages, with what the handler caused in between
    Events Later;       // at 500 ms after the start
  } cases[] = {
      {"stop in place on the opacity message",
       zel::WM_ANIM_OPACITY,
       [this] {
         Stop({"Button1", "0"});
       },
       {OpacitySent(30), OpacitySent(255)},
       {}},
      {"jump to the end on the opacity message",
       zel::WM_ANIM_OPACITY,
       [this] {
         Stop({"Button1", "1"});
       },
       {OpacitySent(30), PlacedAt(100, 0, 100, 50), OpacitySent(200)},
       {}},
      {"stop in place on the rotation message",
       zel::WM_ANIM_ROTATION,
       [this] {
         Stop({"Button1", "0"});
       },
       {OpacitySent(30), RotationSent(100), PlacedAt(0, 0, 100, 50), RotationSent(0), OpacitySent(255)},
       {}},
      {"new motion on the opacity message",
       zel::WM_ANIM_OPACITY,
       [this] {
         Animate({"Button1", "", "50,50", "1000"});
       },
       {OpacitySent(30)},
       {MovedTo(25, 25)}},  // without the scale and rotation of the replaced motion
      {"shutdown on the opacity message",
       zel::WM_ANIM_OPACITY,
       [this] { Plugin().Message(2, 0); },
       {OpacitySent(30)},
       {}},
  };
  for (const auto& c : cases) {
    SetWindowPos(window, nullptr, 0, 0, 100, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    StartAtZero(window);
    bool acted = false;
    SetEventHandler(window, [&](HWND, const WindowEvent& event) {
      if (event.Message == c.Trigger && !std::exchange(acted, true)) c.Act();
    });
    Effects({"Button1", "", "", "", "", "30,200", "1,2", "10,90"});
    SetEventHandler(window, nullptr);
    EXPECT_TRUE(acted) << c.What;
    EXPECT_EQ(EventsOf(window), c.DuringCall) << c.What;
    EXPECT_EQ(EventsAt(window, {500}), c.Later) << c.What;
    EXPECT_EQ(TimerRunning(), !c.Later.empty()) << c.What;
    EXPECT_EQ(LastError(), "(never set)") << c.What;
  }
}

// ---------------------------------------------------------------------------
// Completion subroutines run by the host from inside the tick that completed
// the animation.

TEST_F(EffectsTest, CompletionSubroutineStartsTheSameWindowAgain) {
  HWND window = Object("Button1", 0, 0);
  const char* const nextEnds[] = {"100,100", "0,100"};
  int calls = 0;
  host::Host().Subroutines["Again"] = [&] {
    if (calls < 2) {
      Animate({"Button1", "", nextEnds[calls], "1000"});
      Effects({"Button1", "", "", "", "Again"});
    }
    ++calls;
  };
  StartAtZero(window);
  Effects({"Button1", "", "", "", "Again"});
  EXPECT_EQ(PositionsAt(window, {500, 1000}), (std::vector<POINT>{{50, 0}, {100, 0}, {100, 0}}));
  EXPECT_TRUE(TimerRunning()) << "the subroutine started the timer again";
  EXPECT_EQ(PositionsAt(window, {1500, 2000, 2500, 3000, 3500}),
            (std::vector<POINT>{{100, 50}, {100, 100}, {100, 100}, {50, 100}, {0, 100}, {0, 100}}));
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(host::Host().ScriptLines, std::vector<std::string>(3, "GoSub \"Again\""));
  EXPECT_FALSE(TimerRunning());
}

TEST_F(EffectsTest, CompletionSubroutineAppliesEffectsToAnotherRunningWindow) {
  HWND first = Object("First", 0, 0), other = Object("Other", 0, 0);
  host::Host().Subroutines["Fade"] = [&] { Effects({"Other", "", "", "", "", "0,255", "", "10,90"}); };
  SetClock(0);
  Animate({"First", "", "100,0", "1000"});
  Effects({"First", "", "", "", "Fade"});
  Animate({"Other", "", "200,0", "2000"});
  EXPECT_EQ(EventsAt(other, {1000}), (Events{MovedTo(100, 0), OpacitySent(0), RotationSent(100)}))
      << "the frame, then the subroutine's starting messages";
  EXPECT_EQ(PositionsOf(first).back(), (POINT{100, 0}));
  EXPECT_EQ(EventsAt(other, {1500}), (Events{MovedTo(150, 0), OpacitySent(191), RotationSent(700)}));
  EXPECT_EQ(LastError(), "(never set)");
}

TEST_F(EffectsTest, CompletionSubroutineStopsWindows) {
  HWND first = Object("First", 0, 0), other = Object("Other", 0, 0);
  host::Host().Subroutines["StopAll"] = [&] {
    Stop({"First", "1"});  // its animation is already gone
    Stop({"Other", "1"});
  };
  SetClock(0);
  Animate({"First", "", "100,0", "1000"});
  Effects({"First", "", "", "", "StopAll"});
  Animate({"Other", "", "200,0", "2000"});
  TickAt(1000);
  EXPECT_EQ(EventsOf(first), (Events{MovedTo(100, 0), MovedTo(100, 0)}));
  EXPECT_EQ(EventsOf(other), (Events{MovedTo(100, 0), PlacedAt(200, 0, 100, 50)}));
  EXPECT_FALSE(TimerRunning());
  EXPECT_TRUE(EventsAt(other, {1500}).empty());
}

TEST_F(EffectsTest, CompletionSubroutineShutsThePlugInDown) {
  HWND first = Object("First", 0, 0), second = Object("Second", 0, 0), runner = Object("Runner", 0, 0);
  std::string errorAfterShutdown;
  host::Host().Subroutines["Shutdown"] = [&] {
    Plugin().Message(2, 0);
    Effects({"Runner", "", "", "", "", "0,255"});
    errorAfterShutdown = LastError();
  };
  SetClock(0);
  Animate({"First", "", "100,0", "1000"});
  Effects({"First", "", "", "", "Shutdown"});
  Animate({"Second", "", "0,100", "1000"});
  Effects({"Second", "", "", "", "Other"});
  Animate({"Runner", "", "200,0", "2000"});
  TickAt(1000);
  EXPECT_EQ(PositionsOf(first).back(), (POINT{100, 0}));
  EXPECT_EQ(PositionsOf(second).back(), (POINT{0, 100}));
  std::vector<std::string> lines = host::Host().ScriptLines;
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{"GoSub \"Other\"", "GoSub \"Shutdown\""}))
      << "both completions of the tick are delivered";
  EXPECT_EQ(errorAfterShutdown, "AnimateEx: no animation for: Runner. Call zelAnimate first.");
  EXPECT_EQ(TimerWindow(), nullptr);
  EXPECT_FALSE(TimerRunning());

  // The plug-in starts afresh afterwards.
  SetClock(1000);
  Animate({"Runner", "", "200,100", "1000"});
  EXPECT_EQ(PositionsAt(runner, {1500}), (std::vector<POINT>{{150, 50}}));
}

}  // namespace
