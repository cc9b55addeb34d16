// zelAnimate through the plug-in's exports: targets, start and end points,
// control points, coordinate modes, restarts, and the reset of a window
// animated before.
#include <string>
#include <vector>

#include "tests/plugin_fixture.h"

namespace {

class MotionStartTest : public PluginTest {
 protected:
  // The window's positions at the given times after the start.
  std::vector<POINT> PositionsAt(HWND window, std::initializer_list<uint32_t> times) {
    EventsOf(window).clear();
    for (uint32_t at : times) TickAt(at);
    return PositionsOf(window);
  }
};

TEST_F(MotionStartTest, UnknownTargetsAreReportedWithTheTextAsGiven) {
  Object("Button1");
  const struct {
    const char* Target;
    const char* Error;
  } cases[] = {
      {" Nowhere ", "Target object not found or invalid:  Nowhere "},
      {"", "Target object not found or invalid: "},
      {"   ", "Target object not found or invalid:    "},
      {"12345", "Target object not found or invalid: 12345"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Animate({c.Target, "", "10,10", "100"}), 1) << "a known action reports success";
    EXPECT_EQ(LastError(), c.Error);
  }
  EXPECT_EQ(TimerWindow(), nullptr) << "nothing started";
}

TEST_F(MotionStartTest, BadEndPointIsReportedAndLeavesARunningMotionAlone) {
  HWND window = Object("Button1", 30, 40);
  for (const char* toXY : {"", "300", "a,b", "1,2,3", "10;20"}) {
    Animate({"Button1", "", toXY, "100"});
    EXPECT_EQ(LastError(), std::string("Invalid ToXY coordinate: ") + toXY);
  }
  EXPECT_EQ(TimerWindow(), nullptr) << "no motion was started";
  Animate({"Button1", "", "130,140", "1000"});
  Animate({"Button1", "0,0", "", "1000"});
  EXPECT_EQ(PositionsAt(window, {500}), (std::vector<POINT>{{80, 90}})) << "the first motion runs on unchanged";
}

TEST_F(MotionStartTest, SuccessDoesNotClearTheErrorVariable) {
  Object("Button1");
  Animate({"Nowhere", "", "10,10", "100"});
  Animate({"Button1", "", "10,10", "100"});
  EXPECT_EQ(LastError(), "Target object not found or invalid: Nowhere");
}

TEST_F(MotionStartTest, StartsFromTheCurrentPlacementOrFromAValidFromXY) {
  HWND window = Object("Button1", 30, 40);
  Animate({"Button1", "", "130,140", "1000"});
  EXPECT_EQ(PositionsAt(window, {0, 500}), (std::vector<POINT>{{30, 40}, {80, 90}}));
  SetClock(0);
  Animate({" Button1 ", " 0 , 0 ", "100,100", "1000"});
  EXPECT_EQ(PositionsAt(window, {500}), (std::vector<POINT>{{50, 50}}));
  MoveWindow(window, 20, 20, 100, 50, FALSE);
  SetClock(0);
  Animate({"Button1", "ab", "120,120", "1000"});
  EXPECT_EQ(LastError(), "(never set)") << "a FromXY that is not a pair is no error";
  EXPECT_EQ(PositionsAt(window, {500}), (std::vector<POINT>{{70, 70}}));
}

TEST_F(MotionStartTest, NumericTargetIsTheWindowHandle) {
  HWND window = Object("Button1", 30, 40);
  Animate({std::to_string(HandleToLong(window)), "", "130,140", "1000"});
  EXPECT_EQ(PositionsAt(window, {500}), (std::vector<POINT>{{80, 90}}));
}

TEST_F(MotionStartTest, DefaultControlPointsAreTheMidpointAndTheThirds) {
  HWND defaulted = Object("Defaulted"), given = Object("Given");
  const struct {
    const char* PathType;
    const char* ToXY;
    const char* Default;  // the control points written out
  } cases[] = {{"QuadBezier", "101,51", "50,25"}, {"CubicBezier", "-10,100", "-3,33,-6,66"}};
  for (const auto& c : cases) {
    SetClock(0);
    Animate({"Defaulted", "0,0", c.ToXY, "10000", "EaseInOut", c.PathType, ""});
    Animate({"Given", "0,0", c.ToXY, "10000", "EaseInOut", c.PathType, c.Default});
    for (uint32_t at = 0; at <= 10000; at += 125) TickAt(at);
    EXPECT_EQ(PositionsOf(defaulted), PositionsOf(given)) << c.PathType;
    EventsOf(defaulted).clear(), EventsOf(given).clear();
  }
  // The quadratic path bends through (50, 25), not through the exact
  // midpoint (50.5, 25.5): at 995 ms of 10 s the line would be at (10, 5).
  SetClock(0);
  Animate({"Defaulted", "0,0", "101,51", "10000", "", "QuadBezier"});
  EXPECT_EQ(PositionsAt(defaulted, {995}), (std::vector<POINT>{{9, 4}}));
}

TEST_F(MotionStartTest, PathDataThatIsNotThePathsShapeGivesTheDefault) {
  HWND window = Object("Button1", 0, 0);
  Animate({"Button1", "0,0", "101,51", "10000", "", "QuadBezier", "10,20,30,40"});
  EXPECT_EQ(PositionsAt(window, {995}), (std::vector<POINT>{{9, 4}})) << "four numbers are no pair";
}

TEST_F(MotionStartTest, ScreenModeConvertsGivenPointsToTheParentsClientArea) {
  // The stage's client area starts at (40, 30) on the screen.
  HWND window = Object("Button1", 5, 5);
  Animate({"Button1", "140,130", "240,230", "1000", "", "QuadBezier", "190,80", "", " screen "});
  EXPECT_EQ(PositionsAt(window, {0, 500, 1000}), (std::vector<POINT>{{100, 100}, {150, 100}, {200, 200}, {200, 200}}));
}

TEST_F(MotionStartTest, ScreenModeFromTheCurrentPlacementConvertsOnlyTheGivenPoints) {
  HWND window = Object("Button1", 100, 100);
  Animate({"Button1", "", "240,230", "1000", "", "QuadBezier", "", "", "Screen"});
  // Start (100, 100) is already a client point; the end becomes (200, 200)
  // and the default control point their midpoint (150, 150): a straight line.
  EXPECT_EQ(PositionsAt(window, {0, 500}), (std::vector<POINT>{{100, 100}, {150, 150}}));
  SetClock(0);
  Animate({"Button1", "", "240,230", "1000", "", "QuadBezier", "240,30", "", "Screen"});
  // From where the first motion left it, (150, 150), to (200, 200); the given
  // control point (240, 30) on the screen is (200, 0) in the client area.
  EXPECT_EQ(PositionsAt(window, {500}), (std::vector<POINT>{{187, 87}}));
}

TEST_F(MotionStartTest, ParentClientModeTakesPointsAsTheyAre) {
  HWND window = Object("Button1", 5, 5);
  Animate({"Button1", "140,130", "240,230", "1000", "", "", "", "", "ParentClient"});
  EXPECT_EQ(PositionsAt(window, {0}), (std::vector<POINT>{{140, 130}}));
}

TEST_F(MotionStartTest, SecondStartReplacesTheRunningMotionWithoutItsCompletion) {
  HWND window = Object("Button1", 0, 0);
  Animate({"Button1", "0,0", "100,0", "1000"});
  Effects({"Button1", "", "3", "1", "First", "0,255"});
  SetClock(300);
  Animate({"Button1", "0,0", "0,100", "1000"});
  EventsOf(window).clear();
  for (uint32_t at : {800u, 1300u}) TickAt(at);
  EXPECT_EQ(EventsOf(window), (Events{MovedTo(0, 50), MovedTo(0, 100), MovedTo(0, 100)}))
      << "the new motion, without the old one's loops and effects";
  EXPECT_TRUE(host::Host().ScriptLines.empty());
  EXPECT_FALSE(TimerRunning());
}

TEST_F(MotionStartTest, WindowAnimatedBeforeGetsItsFirstSizeBackOnANewMotionWithFromXY) {
  HWND window = Object("Button1", 0, 0, 100, 50);
  Animate({"Button1", "0,0", "10,10", "1000"});
  Effects({"Button1", "", "", "", "", "", "1,2"});
  TickAt(1000);  // ends at twice the size: 200 x 100 at (10 - 50, 10 - 25)
  ASSERT_EQ(PlacementOf(window).right - PlacementOf(window).left, 200);
  EventsOf(window).clear();
  SetClock(0);
  Animate({"Button1", "20,20", "30,30", "1000"});
  EXPECT_EQ(EventsOf(window), (Events{PlacedAt(-40, -15, 100, 50), RotationSent(0), OpacitySent(255)}));
  Effects({"Button1", "", "", "", "", "", "1,1"});
  EventsOf(window).clear();
  TickAt(1000);
  EXPECT_EQ(EventsOf(window), (Events{PlacedAt(30, 30, 100, 50), PlacedAt(30, 30, 100, 50)}))
      << "the base size is the first size";
}

TEST_F(MotionStartTest, ResetHappensOnlyForANonEmptyFromXY) {
  HWND fresh = Object("Fresh", 0, 0);
  Animate({"Fresh", "5,5", "10,10", "1000"});
  EXPECT_TRUE(EventsOf(fresh).empty()) << "a window never animated is not reset";
  Animate({"Fresh", "", "10,10", "1000"});
  Animate({"Fresh", "   ", "10,10", "1000"});
  EXPECT_TRUE(EventsOf(fresh).empty()) << "no reset without a start point";
  Animate({"Fresh", "letters", "10,10", "1000"});
  EXPECT_EQ(EventsOf(fresh), (Events{RotationSent(0), OpacitySent(255)})) << "only emptiness is tested";
}

TEST_F(MotionStartTest, NumbersAreReadAsTheirLeadingDigits) {
  HWND window = Object("Button1", 0, 0);
  const struct {
    const char* Duration;
    uint32_t HalfWay;
  } cases[] = {{"1500ms", 750}, {"1.5", 0}, {"4294967297", 0}, {" 2000", 1000}};
  for (const auto& c : cases) {
    SetClock(0);
    Animate({"Button1", "0,0", "100,0", c.Duration, "", "", "", "30fps"});
    if (c.HalfWay == 0) {
      EXPECT_EQ(PositionsAt(window, {1}), (std::vector<POINT>{{100, 0}, {100, 0}})) << c.Duration << " is 1 ms";
    } else {
      EXPECT_EQ(PositionsAt(window, {c.HalfWay}), (std::vector<POINT>{{50, 0}})) << c.Duration;
    }
  }
}

TEST_F(MotionStartTest, UnknownActionIdsDoNothing) {
  Object("Button1");
  for (int id : {0, 4, -1}) EXPECT_EQ(host::RunAction(Plugin(), id, {"Button1", "", "10,10", "100"}), 0);
  EXPECT_EQ(TimerWindow(), nullptr);
  EXPECT_EQ(LastError(), "(never set)");
}

}  // namespace
