// Scripts of the reference host run against the plug-in DLL: objects become
// recording child windows of the stage, Print lines are collected, and Wait
// moves the plug-in's steered clock on frame by frame while its timer runs.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "host/script_runner.h"
#include "tests/plugin_fixture.h"

class ScriptTest : public PluginTest {
 protected:
  static constexpr uint32_t kFrameMs = 10;  // a Wait ticks at this step

  void SetUp() override {
    PluginTest::SetUp();
    stage_.CreateObject = [this](const std::string& name, const std::string&, RECT placement, const std::string&) {
      Object(name, placement.left, placement.top, placement.right - placement.left, placement.bottom - placement.top);
    };
    stage_.Print = [this](const std::string& text) { printed_.push_back(text); };
    stage_.Wait = [this](DWORD milliseconds) { Advance(milliseconds); };
  }

  // A Wait inside a completion subroutine moves `now_` on too; the outer
  // wait then ends when its own time is reached.
  void Advance(DWORD milliseconds) {
    const uint32_t until = now_ + milliseconds;
    while (now_ < until) {
      now_ = std::min(now_ + kFrameMs, until);
      if (TimerRunning())
        TickAt(now_);
      else
        SetClock(now_);
    }
  }

  // The script's host error, or "ok".
  std::string Run(const std::string& text) {
    host::Script script;
    host::ScriptError error;
    if (!host::ParseScript(text, script, error) || !host::RunScript(script, Plugin(), stage_, error))
      return error.Text();
    return "ok";
  }

  HWND ObjectNamed(const std::string& name) const {
    const auto& objects = host::Host().Objects;
    const auto found = objects.find(name);
    return found == objects.end() ? nullptr : found->second;
  }

  host::ScriptStage stage_;
  std::vector<std::string> printed_;
  uint32_t now_ = 0;
};
