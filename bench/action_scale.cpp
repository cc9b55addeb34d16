// Scale through the actions, as a host calls them: starting (zelAnimate),
// finding (zelAnimateEx with nothing to change, which only looks the running
// animation up) and stopping (zelStopAnimate) up to 10,000 animations of
// hidden windows, each operation timed alone. Targets are handle numbers, so
// the host's own name look-up stays out of the figures.
#include <windows.h>
// psapi.h needs the types of windows.h.
#include <psapi.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/sections.h"
#include "engine/registry.h"
#include "host/reference_host.h"

namespace bench {
namespace {

constexpr int kLevels[] = {1000, 5000, 10000};
constexpr int kSample = 1000;  // operations timed at each level

std::string TargetOf(HWND box) { return std::to_string(static_cast<long long>(zel::HandleKey(box))); }

// The commit charge: the private memory committed for the process. Windows
// reports the same figure as PrivateUsage, which Wine leaves at zero.
double PrivateBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return static_cast<double>(counters.PagefileUsage);
}

class Actions {
 public:
  explicit Actions(const host::PluginExports& plugin) : plugin_(plugin) {}
  void Start(HWND box) const { host::RunAction(plugin_, 1, {TargetOf(box), "", "300,200", "1000", "", "", "", "60"}); }
  void Find(HWND box) const { host::RunAction(plugin_, 3, {TargetOf(box), "0", "0", "0"}); }
  void Stop(HWND box) const { host::RunAction(plugin_, 2, {TargetOf(box), "0"}); }

 private:
  const host::PluginExports& plugin_;
};

// Microseconds per operation, each timed alone.
template <typename Operation>
std::vector<double> TimeEach(const std::vector<HWND>& boxes, Operation&& operation) {
  std::vector<double> microseconds;
  for (HWND box : boxes) {
    const double start = Now();
    operation(box);
    microseconds.push_back((Now() - start) * 1e6);
  }
  return microseconds;
}

std::vector<HWND> RandomSample(std::vector<HWND> running, std::mt19937& random) {
  std::shuffle(running.begin(), running.end(), random);
  running.resize(kSample);
  return running;
}

// Starts the boxes up to the level; then finds a random sample of the
// running ones, stops it and starts it again. The starts timed are the last
// kSample before the level.
void MeasureLevel(const Actions& actions, const std::vector<HWND>& boxes, int level, int& running,
                  std::mt19937& random) {
  const std::vector<HWND> filling(boxes.begin() + running, boxes.begin() + level - kSample);
  for (HWND box : filling) actions.Start(box);
  const std::vector<HWND> lastBeforeLevel(boxes.begin() + level - kSample, boxes.begin() + level);
  const std::vector<double> starts = TimeEach(lastBeforeLevel, [&](HWND box) { actions.Start(box); });
  running = level;
  const std::vector<HWND> sample = RandomSample({boxes.begin(), boxes.begin() + level}, random);
  const std::vector<double> finds = TimeEach(sample, [&](HWND box) { actions.Find(box); });
  const std::vector<double> stops = TimeEach(sample, [&](HWND box) { actions.Stop(box); });
  for (HWND box : sample) actions.Start(box);
  ResultLine("action_scale")
      .Number("count", level)
      .Spread("start_us", Summarise(starts))
      .Spread("find_us", Summarise(finds))
      .Spread("stop_us", Summarise(stops))
      .Print();
}

}  // namespace

void RunActionScale(const host::PluginExports& plugin) {
  HWND stage = CreateStage(640, 480);
  std::vector<HWND> boxes;
  for (int i = 0; i < kLevels[std::size(kLevels) - 1]; ++i) boxes.push_back(CreateBox(stage, 10, 10, 60, 40, false));
  const Actions actions(plugin);
  std::mt19937 random(20240601);
  const double before = PrivateBytes();
  int running = 0;
  for (int level : kLevels) MeasureLevel(actions, boxes, level, running, random);
  const double full = PrivateBytes();
  for (HWND box : boxes) actions.Stop(box);
  const double after = PrivateBytes();
  ResultLine("memory")
      .Number("animations", running)
      .Number("bytes_per_animation", (full - before) / running)
      .Number("record_bytes", sizeof(zel::AnimationRecord))
      .Number("returned_bytes_per_animation", (full - after) / running)
      .Print();
  plugin.Message(2, 0);  // shutdown: clears the registries, destroys the timer window
  DestroyStage(stage);
}

}  // namespace bench
