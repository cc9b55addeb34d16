// Timing fidelity on the real timer: a 1000 ms motion started through
// zelAnimate, its moves timed inside the window procedure. For each FPS the
// same process also times a timer of its own, at the plug-in's period, that
// reaches an empty handler: that is what the platform delivers.
#include <cmath>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/sections.h"
#include "host/reference_host.h"

namespace bench {
namespace {

constexpr int kRuns = 20;
constexpr int kRunsPerTimerSample = 7;  // the empty timer is timed before every seventh run
constexpr double kMotionSeconds = 1.0;
constexpr double kTimerSampleSeconds = 1.0;
constexpr UINT_PTR kEmptyTimerId = 77;

struct Move {
  double Time;
  int Frame;  // which of the plug-in's timer messages caused it
};

// Fed by the box's window procedure and the message loop.
std::vector<Move> Moves;
std::vector<double> EmptyTimerTimes;
int PluginFrames = 0;

void OnBoxMessage(HWND, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_WINDOWPOSCHANGED) Moves.push_back({Now(), PluginFrames});
  if (message == WM_TIMER && wParam == kEmptyTimerId) EmptyTimerTimes.push_back(Now());
}

// The plug-in's period for a frame rate: 1000 / FPS rounded, as it sets it.
int TimerPeriodMs(int fps) { return static_cast<int>(std::lround(1000.0 / fps)); }

// Deliveries per second over the span from the first to the last.
double DeliveredRate(const std::vector<double>& times) {
  if (times.size() < 2) return 0;
  return static_cast<double>(times.size() - 1) / (times.back() - times.front());
}

double EmptyTimerRate(HWND box, int periodMs) {
  EmptyTimerTimes.clear();
  SetTimer(box, kEmptyTimerId, static_cast<UINT>(periodMs), nullptr);
  PumpFor(kTimerSampleSeconds);
  KillTimer(box, kEmptyTimerId);
  return DeliveredRate(EmptyTimerTimes);
}

// The time of the first move of each frame that moved the box.
std::vector<double> FrameTimes() {
  std::vector<double> times;
  int lastFrame = -1;
  for (const Move& move : Moves)
    if (move.Frame != lastFrame) times.push_back(move.Time), lastFrame = move.Frame;
  return times;
}

struct MotionRun {
  double LatenessSeconds = 0;
  double MovesPerSecond = 0;
};

MotionRun RunMotion(const host::PluginExports& plugin, HWND box, int fps) {
  SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpPending();
  Moves.clear();
  host::Host().ScriptLines.clear();
  const double start = Now();
  host::RunAction(plugin, 1, {"Box", "0,0", "400,200", "1000", "Linear", "Line", "", std::to_string(fps), ""});
  host::RunAction(plugin, 3, {"Box", "0", "0", "0", "Done"});
  HWND timerWindow = FindOwnWindow(kTimerWindowClass);
  const auto countFrames = [timerWindow](const MSG& message) {
    if (message.message == WM_TIMER && message.hwnd == timerWindow) ++PluginFrames;
  };
  const bool completed = PumpUntil([] { return !host::Host().ScriptLines.empty(); }, kMotionSeconds + 2, countFrames);
  MotionRun run;
  if (!completed || Moves.empty()) return run;
  run.LatenessSeconds = Moves.back().Time - (start + kMotionSeconds);
  run.MovesPerSecond = DeliveredRate(FrameTimes());
  return run;
}

void MeasureFps(const host::PluginExports& plugin, HWND box, int fps) {
  const int periodMs = TimerPeriodMs(fps);
  std::vector<double> latenessMs, latenessPeriods, pluginRates, emptyRates;
  int failures = 0;
  for (int run = 0; run < kRuns; ++run) {
    if (run % kRunsPerTimerSample == 0) emptyRates.push_back(EmptyTimerRate(box, periodMs));
    const MotionRun motion = RunMotion(plugin, box, fps);
    if (motion.MovesPerSecond == 0) {
      ++failures;
      continue;
    }
    latenessMs.push_back(motion.LatenessSeconds * 1000);
    latenessPeriods.push_back(motion.LatenessSeconds * 1000 / periodMs);
    pluginRates.push_back(motion.MovesPerSecond);
  }
  const Summary delivered = Summarise(pluginRates), empty = Summarise(emptyRates);
  ResultLine("timing")
      .Number("fps", fps)
      .Number("period_ms", periodMs)
      .Number("nominal_rate", 1000.0 / periodMs)
      .Number("failed_runs", failures)
      .Spread("rate", delivered)
      .Spread("empty_rate", empty)
      .Number("rate_vs_empty", delivered.Median / empty.Median)
      .Spread("late_ms", Summarise(latenessMs))
      .Spread("late_periods", Summarise(latenessPeriods))
      .Print();
}

}  // namespace

void RunTimerFidelity(const host::PluginExports& plugin) {
  HWND stage = CreateStage(640, 480);
  HWND box = CreateBox(stage, 0, 0, 60, 40, true);
  host::Host().Objects["Box"] = box;
  SetBoxListener(OnBoxMessage);
  for (int fps : {15, 30, 60, 120}) MeasureFps(plugin, box, fps);
  SetBoxListener(nullptr);
  host::Host().Objects.erase("Box");
  DestroyStage(stage);
}

}  // namespace bench
