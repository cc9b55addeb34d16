// The plug-in DLL loaded by the reference host and driven through its
// exports, on recording child windows of the stage that the host knows by
// name, with the DLL's clock steered.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/reference_host.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/fake_clock.h"
#include "tests/support/test_windows.h"
#include "tests/support/timer_watch.h"

class PluginTest : public testing::Test {
 protected:
  static constexpr uint32_t kStart = 100000;
  using Events = std::vector<WindowEvent>;

  void SetUp() override {
    host::ResetHost();
    plugin_ = std::make_unique<host::PluginModule>(host::PluginPathBesideProgram());
    ASSERT_EQ(plugin_->Error(), "");
    clock_ = std::make_unique<FakeClock>(plugin_->Handle(), kStart);
    timers_ = std::make_unique<TimerWatch>(plugin_->Handle());
    ASSERT_TRUE(clock_->Installed() && timers_->Installed());
    host::ConnectPlugin(Plugin());
    ASSERT_TRUE(IsWindow(Stage()));
  }

  void TearDown() override {
    for (const UniqueWindow& object : objects_)
      if (IsWindow(object.get())) SetEventHandler(object.get(), nullptr);
    Plugin().Message(2, 0);
  }

  const host::PluginExports& Plugin() const { return plugin_->Exports(); }

  // A recording child window of the stage, known to the host by name.
  HWND Object(const std::string& name, int x = 10, int y = 20, int width = 100, int height = 50) {
    objects_.push_back(CreateRecordingChild(Stage(), x, y, width, height));
    HWND window = objects_.back().get();
    host::Host().Objects[name] = window;
    EventsOf(window).clear();
    return window;
  }

  // zelAnimate: Target, FromXY, ToXY, DurationMs, Easing, PathType, PathData, FPS, CoordMode.
  int Animate(const std::vector<std::string>& params) { return host::RunAction(Plugin(), 1, params); }
  // zelStopAnimate: Target, JumpToEnd.
  int Stop(const std::vector<std::string>& params) { return host::RunAction(Plugin(), 2, params); }
  // zelAnimateEx: Target, Delay, Loops, PingPong, OnComplete, Opacity, Scale, Rotation.
  int Effects(const std::vector<std::string>& params) { return host::RunAction(Plugin(), 3, params); }

  // Sets the plug-in's clock to `ms` after the start and delivers one timer
  // message to its timer window.
  void TickAt(uint32_t ms) {
    clock_->Set(kStart + ms);
    SendMessageW(TimerWindow(), WM_TIMER, 1, 0);
  }
  void SetClock(uint32_t ms) { clock_->Set(kStart + ms); }

  static HWND TimerWindow() { return FindThreadWindow(L"ZelmoraZozarevoHostClass", nullptr); }
  static std::string LastError() {
    const auto& variables = host::Host().Variables;
    const auto found = variables.find("[ZelZozarevo.LastError]");
    return found == variables.end() ? "(never set)" : found->second;
  }
  bool TimerRunning() const { return timers_->Running(); }

  std::unique_ptr<host::PluginModule> plugin_;
  std::unique_ptr<FakeClock> clock_;
  std::unique_ptr<TimerWatch> timers_;
  std::vector<UniqueWindow> objects_;
};
