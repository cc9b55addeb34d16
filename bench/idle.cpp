// Idle: after an animation has run to its end, the plug-in should cost
// nothing. The program waits in its message loop, counting timer messages
// and the process's CPU time. For contrast the same counts are taken while
// one endless animation runs at 60 frames per second, which shows that the
// counting sees the plug-in when it works.
#include <string>

#include "bench/bench_support.h"
#include "bench/sections.h"
#include "host/reference_host.h"

namespace bench {
namespace {

constexpr double kIdleSeconds = 3.0;
constexpr double kActiveSeconds = 1.0;

double Seconds(const FILETIME& time) {
  ULARGE_INTEGER value;
  value.LowPart = time.dwLowDateTime, value.HighPart = time.dwHighDateTime;
  return static_cast<double>(value.QuadPart) * 1e-7;
}

// User and kernel time of the whole process, every thread of it.
double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  return Seconds(kernel) + Seconds(user);
}

// The same for the thread the plug-in runs on: the host's, this one.
double ThreadCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  return Seconds(kernel) + Seconds(user);
}

struct Activity {
  int TimerMessages = 0;         // WM_TIMER to any window of the thread
  int PluginWindowMessages = 0;  // anything posted to the plug-in's timer window
  double ProcessCpuSeconds = 0;
  double ThreadCpuSeconds = 0;
};

Activity Watch(double seconds) {
  HWND timerWindow = FindOwnWindow(kTimerWindowClass);
  Activity activity;
  const double processBefore = ProcessCpuSeconds(), threadBefore = ThreadCpuSeconds();
  PumpFor(seconds, [&](const MSG& message) {
    if (message.message == WM_TIMER) ++activity.TimerMessages;
    if (timerWindow != nullptr && message.hwnd == timerWindow) ++activity.PluginWindowMessages;
  });
  activity.ProcessCpuSeconds = ProcessCpuSeconds() - processBefore;
  activity.ThreadCpuSeconds = ThreadCpuSeconds() - threadBefore;
  return activity;
}

void PrintActivity(const char* state, double seconds, const Activity& activity) {
  ResultLine("idle")
      .Text("state", state)
      .Number("seconds", seconds)
      .Number("timer_messages", activity.TimerMessages)
      .Number("timer_window_messages", activity.PluginWindowMessages)
      .Number("cpu_ms", activity.ProcessCpuSeconds * 1000)
      .Number("thread_cpu_ms", activity.ThreadCpuSeconds * 1000)
      .Print();
}

}  // namespace

void RunIdle(const host::PluginExports& plugin) {
  HWND stage = CreateStage(640, 480);
  HWND box = CreateBox(stage, 0, 0, 60, 40, true);
  host::Host().Objects["Box"] = box;
  // An earlier section in the same process may have left its completion line.
  host::Host().ScriptLines.clear();
  host::RunAction(plugin, 1, {"Box", "0,0", "200,100", "300", "", "", "", "60"});
  host::RunAction(plugin, 3, {"Box", "0", "0", "0", "Done"});
  PumpUntil([] { return !host::Host().ScriptLines.empty(); }, 3);
  PumpFor(0.2);  // let the last paints settle
  PrintActivity("after-animation", kIdleSeconds, Watch(kIdleSeconds));

  host::RunAction(plugin, 1, {"Box", "0,0", "200,100", "300", "", "", "", "60"});
  host::RunAction(plugin, 3, {"Box", "0", "-1"});
  PrintActivity("one-endless-animation", kActiveSeconds, Watch(kActiveSeconds));
  host::RunAction(plugin, 2, {"Box", "0"});
  PumpFor(0.2);
  PrintActivity("after-stop", kIdleSeconds, Watch(kIdleSeconds));
  host::Host().Objects.erase("Box");
  DestroyStage(stage);
}

}  // namespace bench
