// The hidden timer window and its one timer.
#include <vector>

#include "tests/engine_fixture.h"
#include "tests/support/import_hook.h"
#include "tests/support/timer_watch.h"

namespace zel {
namespace {

class FrameTimerTest : public SteeredEngineTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(timers_.Installed());
    SteeredEngineTest::SetUp();
    timers_.Calls().clear();
  }

  TimerWatch timers_{GetModuleHandleW(nullptr)};
  std::vector<TimerCall>& TimerCalls = timers_.Calls();
};

TEST(ClampFps, LimitsToFifteenToHundredTwenty) {
  struct {
    int Fps, Expected;
  } cases[] = {{0, 60}, {14, 60}, {-5, 60}, {15, 15}, {60, 60}, {120, 120}, {121, 120}, {500, 120}};
  for (const auto& c : cases) EXPECT_EQ(ClampFps(c.Fps), c.Expected) << c.Fps;
}

TEST_F(FrameTimerTest, PeriodIsTheRoundedFrameTime) {
  struct {
    int Fps;
    UINT Period;
  } cases[] = {{15, 67}, {16, 63},  {24, 42}, {25, 40}, {30, 33}, {50, 20}, {60, 17},
               {80, 13}, {100, 10}, {120, 8}, {0, 17},  {14, 17}, {500, 8}};
  for (const auto& c : cases) {
    TimerCalls.clear();
    HWND window = StartFrameTimer(c.Fps);
    EXPECT_EQ(FrameTimer.TimerInterval, static_cast<int>(c.Period)) << c.Fps << " fps";
    ASSERT_FALSE(TimerCalls.empty());
    EXPECT_EQ(TimerCalls.back(), (TimerCall{true, window, 1, c.Period})) << c.Fps << " fps";
  }
}

TEST_F(FrameTimerTest, CreatesOneHiddenTopLevelWindowOfItsClass) {
  HWND window = StartFrameTimer(60);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window, FrameTimer.TimerWindow);
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  EXPECT_STREQ(className, L"ZelmoraZozarevoHostClass");
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetParent(window), nullptr);
  EXPECT_EQ(StartFrameTimer(30), window) << "the window is reused";
}

TEST_F(FrameTimerTest, SecondStartRestartsTheTimerWithTheNewPeriod) {
  HWND window = StartFrameTimer(60);
  StartFrameTimer(30);
  EXPECT_EQ(TimerCalls, (std::vector<TimerCall>{{true, window, 1, 17}, {false, window, 1, 0}, {true, window, 1, 33}}));
  EXPECT_EQ(FrameTimer.TimerRunning, 1);
}

TEST_F(FrameTimerTest, StopWhenIdleKeepsTheWindowAndIgnoresABusyRegistry) {
  HWND window = StartFrameTimer(60);
  Animate(Child(), {0, 0}, {1, 1}, 100);
  TimerCalls.clear();
  StopFrameTimerIfIdle();
  EXPECT_TRUE(TimerCalls.empty()) << "an animation is still registered";
  AnimationRegistry.Clear();
  StopFrameTimerIfIdle();
  EXPECT_EQ(TimerCalls, (std::vector<TimerCall>{{false, window, 1, 0}}));
  EXPECT_EQ(FrameTimer.TimerRunning, 0);
  EXPECT_TRUE(IsWindow(window));
  TimerCalls.clear();
  EXPECT_EQ(StartFrameTimer(60), window);
  EXPECT_EQ(TimerCalls, (std::vector<TimerCall>{{true, window, 1, 17}})) << "an idle timer is only set again";
}

TEST_F(FrameTimerTest, DestroyKillsTheTimerAndTheWindowButKeepsTheClass) {
  DestroyFrameTimer();  // no window yet: nothing happens
  EXPECT_TRUE(TimerCalls.empty());
  HWND window = StartFrameTimer(60);
  TimerCalls.clear();
  DestroyFrameTimer();
  EXPECT_EQ(TimerCalls, (std::vector<TimerCall>{{false, window, 1, 0}}));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(FrameTimer.TimerWindow, nullptr);
  EXPECT_EQ(FrameTimer.TimerRunning, 0);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  EXPECT_TRUE(GetClassInfoExW(FrameTimer.ModuleInstance, L"ZelmoraZozarevoHostClass", &windowClass));
  EXPECT_NE(StartFrameTimer(60), nullptr) << "a later start creates a new window";
}

TEST_F(FrameTimerTest, OnlyTimerOneTicks) {
  HWND window = Child();
  Animate(window, {0, 0}, {100, 0}, 1000);
  clock_.Set(kStart + 500);
  SendMessageW(FrameTimer.TimerWindow, WM_TIMER, 2, 0);
  EXPECT_TRUE(EventsOf(window).empty());
  EXPECT_EQ(SendMessageW(FrameTimer.TimerWindow, WM_TIMER, 1, 0), 0);
  EXPECT_EQ(EventsOf(window), std::vector<WindowEvent>{MovedTo(50, 0)});
}

HWND WINAPI FailCreateWindow(DWORD, LPCWSTR, LPCWSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, LPVOID) {
  return nullptr;
}

TEST_F(FrameTimerTest, FailedWindowCreationIsRetriedAtTheNextStart) {
  {
    ImportHook failCreation(GetModuleHandleW(nullptr), "user32.dll", "CreateWindowExW",
                            reinterpret_cast<const void*>(&FailCreateWindow));
    ASSERT_TRUE(failCreation.Installed());
    EXPECT_EQ(StartFrameTimer(60), nullptr);
    EXPECT_EQ(FrameTimer.TimerRunning, 0);
    EXPECT_TRUE(TimerCalls.empty());
  }
  EXPECT_NE(StartFrameTimer(60), nullptr);
  EXPECT_EQ(FrameTimer.TimerRunning, 1);
}

}  // namespace
}  // namespace zel
