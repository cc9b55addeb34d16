// Soak run on the real timer: the DLL, loaded by the reference host, animates
// 500 windows of a stage, each between two points of its own in an endless
// ping-pong with opacity, scale and rotation, for the given minutes (5 when
// none are given). Checks that the process's memory, the plug-in's global
// blocks, the thread's windows and the GDI objects stay flat, and that every
// window lands exactly on its end point at the end of every cycle. Prints the
// figures and exits with 1 when a check fails.
#include <windows.h>
// psapi.h needs the types of windows.h.
#include <psapi.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "engine/window_calls.h"
#include "host/reference_host.h"
#include "tests/support/block_watch.h"
#include "tests/support/dialog_driver.h"

namespace {

constexpr int kColumns = 25, kRows = 20, kWindows = kColumns * kRows;
constexpr int kCellWidth = 50, kCellHeight = 48;
constexpr int kBaseWidth = 20, kBaseHeight = 16;
// One window in 25 is visible, the others hidden; the plug-in makes the same
// calls on both. Once 500 visible windows had scattered, Wine spent 45 to
// 100 ms in region arithmetic on each resize and a frame took 30 s.
constexpr int kVisibleEvery = 25;
constexpr int kPeriodMs = 17;  // the plug-in's timer period at 60 FPS: 1000 / 60, rounded
constexpr double kWarmUpSeconds = 10, kSampleSeconds = 10;
// Allowed growth from the first sample, after the warm-up, to the last.
constexpr double kPagefileBoundKiB = 512, kWorkingSetBoundKiB = 2048;
constexpr int kMissesReported = 10;

// What a window shows: its outer rectangle in the stage's client area and
// the last effect values it was sent (rotation in tenths of a degree).
struct Look {
  int X = 0, Y = 0, Width = 0, Height = 0, Opacity = 0, Rotation = 0;
  bool operator==(const Look& o) const {
    return X == o.X && Y == o.Y && Width == o.Width && Height == o.Height && Opacity == o.Opacity &&
           Rotation == o.Rotation;
  }
};

// One window's motion, from end A to end B and back. Scales and rotations
// are exact in binary, so the texts say exactly what the plug-in computes with.
struct Motion {
  POINT A, B;
  int DurationMs;
  const char* Easing;
  int OpacityA, OpacityB;
  float ScaleA, ScaleB;
  float RotationA, RotationB;
};

// A point of window i's cell, offset by (dx, dy) modulo the room there is: at
// its largest scale (1.5) centred on its unscaled place, the window stays in
// its cell, so that no window covers another.
POINT PointInCell(int i, int dx, int dy) {
  return {(i % kColumns) * kCellWidth + 5 + dx % 21, (i / kColumns) * kCellHeight + 4 + dy % 25};
}

Motion MotionOf(int i) {
  static const char* const easings[] = {"Linear", "EaseIn", "EaseOut", "EaseInOut"};
  static const float scales[][2] = {{1, 1.5f}, {1.5f, 0.5f}, {0.75f, 1.25f}, {0.5f, 1}, {1.25f, 0.75f}};
  const float rotation = static_cast<float>((i % 8) * 45 - 180) + (i % 3 == 0 ? 0.5f : 0);
  const float turn = static_cast<float>(90 * (1 + i % 3) * (i % 2 == 0 ? -1 : 1));
  return {PointInCell(i, i * 7, i * 11),
          PointInCell(i, i * 13 + 10, i * 17 + 12),
          2000 + (i * 131) % 4000,
          easings[i % 4],
          255 - (i % 4) * 50,
          (i * 29) % 200,
          scales[i % 5][0],
          scales[i % 5][1],
          rotation,
          rotation + turn};
}

// The look at one end: the scaled window centred on its unscaled place at
// the end point.
Look EndLook(POINT at, int opacity, float scale, float rotation) {
  const int width = std::max(1, static_cast<int>(kBaseWidth * static_cast<double>(scale)));
  const int height = std::max(1, static_cast<int>(kBaseHeight * static_cast<double>(scale)));
  return {at.x + (kBaseWidth - width) / 2,
          at.y + (kBaseHeight - height) / 2,
          width,
          height,
          opacity,
          static_cast<int>(static_cast<double>(rotation) * 10)};
}

// A window's cycles as its window procedure sees them.
struct Track {
  Look AtA, AtB;
  Look Shown;  // what the plug-in last asked the window to show
  bool HeadingToB = true;
  int DurationMs = 0;
  double StartSeconds = 0;
  int Cycles = 0, Misses = 0;
};

std::vector<Track> Tracks(kWindows);
std::vector<std::string> MissReports;
volatile LONG HardwareFaults = 0;

Track* TrackOf(HWND box) {
  const LONG_PTR number = GetWindowLongPtrW(box, GWLP_USERDATA);
  return number > 0 ? &Tracks[number - 1] : nullptr;
}

// The values that move one way only during a cycle: the path point (the
// placement less the offset that centres a scaled window), the size and the
// two effect values.
std::array<int, 6> Channels(const Look& l) {
  return {
      l.X - (kBaseWidth - l.Width) / 2, l.Y - (kBaseHeight - l.Height) / 2, l.Width, l.Height, l.Opacity, l.Rotation};
}

// Whether `next` takes any value back toward the end the window came from:
// then a new cycle has begun, and the one before it must have ended on its
// end point.
bool TurnsBack(const Track& t, const Look& next) {
  const auto from = Channels(t.HeadingToB ? t.AtA : t.AtB), to = Channels(t.HeadingToB ? t.AtB : t.AtA);
  const auto now = Channels(t.Shown), then = Channels(next);
  for (size_t c = 0; c < now.size(); ++c)
    if (static_cast<long long>(to[c] - from[c]) * (then[c] - now[c]) < 0) return true;
  return false;
}

// Where the window really is, with the effect values it was last sent.
Look Placed(HWND box, Look look) {
  RECT rect{};
  GetWindowRect(box, &rect);
  MapWindowPoints(nullptr, GetParent(box), reinterpret_cast<POINT*>(&rect), 2);
  look.X = rect.left, look.Y = rect.top, look.Width = rect.right - rect.left, look.Height = rect.bottom - rect.top;
  return look;
}

std::string Describe(const Look& l) {
  char text[96];
  std::snprintf(text, sizeof(text), "(%d,%d %dx%d opacity %d rotation %d)", l.X, l.Y, l.Width, l.Height, l.Opacity,
                l.Rotation);
  return text;
}

void EndCycle(HWND box, Track& t) {
  const Look& end = t.HeadingToB ? t.AtB : t.AtA;
  const Look placed = Placed(box, t.Shown);
  if (t.Shown == end && placed == end) {
    ++t.Cycles;
  } else if (++t.Misses, static_cast<int>(MissReports.size()) < kMissesReported) {
    MissReports.push_back("window " + std::to_string(&t - Tracks.data()) + " after " + std::to_string(t.Cycles) +
                          " cycles: end " + Describe(end) + ", asked " + Describe(t.Shown) + ", placed " +
                          Describe(placed));
  }
  t.HeadingToB = !t.HeadingToB;
}

void OnBoxMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  Track* track = TrackOf(box);
  if (track == nullptr) return;
  Look next = track->Shown;
  if (message == WM_WINDOWPOSCHANGING) {
    const auto& pos = *reinterpret_cast<const WINDOWPOS*>(lParam);
    if (!(pos.flags & SWP_NOMOVE)) next.X = pos.x, next.Y = pos.y;
    if (!(pos.flags & SWP_NOSIZE)) next.Width = pos.cx, next.Height = pos.cy;
  } else if (message == zel::WM_ANIM_OPACITY) {
    next.Opacity = static_cast<int>(wParam);
  } else if (message == zel::WM_ANIM_ROTATION) {
    next.Rotation = static_cast<int>(wParam);
  } else {
    return;
  }
  if (TurnsBack(*track, next)) EndCycle(box, *track);
  track->Shown = next;
}

std::string Pair(double a, double b) {
  char text[48];
  std::snprintf(text, sizeof(text), "%g,%g", a, b);
  return text;
}

std::string BoxName(int i) { return "Box" + std::to_string(i); }

// Creates the windows and starts their motions through the two actions.
void StartWindows(const host::PluginExports& plugin, HWND stage) {
  for (int i = 0; i < kWindows; ++i) {
    const Motion m = MotionOf(i);
    HWND box = bench::CreateBox(stage, m.A.x, m.A.y, kBaseWidth, kBaseHeight, i % kVisibleEvery == 0);
    const std::string name = BoxName(i);
    host::Host().Objects[name] = box;
    const Look atA = EndLook(m.A, m.OpacityA, m.ScaleA, m.RotationA);
    Tracks[i] = {atA, EndLook(m.B, m.OpacityB, m.ScaleB, m.RotationB), atA, true, m.DurationMs};
    SetWindowLongPtrW(box, GWLP_USERDATA, i + 1);
    host::RunAction(
        plugin, 1,
        {name, Pair(m.A.x, m.A.y), Pair(m.B.x, m.B.y), std::to_string(m.DurationMs), m.Easing, "Line", "", "60"});
    host::RunAction(plugin, 3,
                    {name, "0", "-1", "1", "", Pair(m.OpacityA, m.OpacityB), Pair(m.ScaleA, m.ScaleB),
                     Pair(m.RotationA, m.RotationB)});
    Tracks[i].StartSeconds = bench::Now();
  }
}

// The plug-in's timer messages: how many, and the gaps between them in whole
// milliseconds (the last bucket holds every longer one).
struct FrameClock {
  HWND TimerWindow = nullptr;
  long Frames = 0;
  double Last = 0;
  double LongestGapMs = 0;
  std::array<long, 5001> GapsMs{};

  void Observe(const MSG& message) {
    if (message.message != WM_TIMER || message.hwnd != TimerWindow) return;
    const double now = bench::Now();
    if (Frames++ > 0) {
      const double gapMs = (now - Last) * 1000;
      ++GapsMs[std::min(static_cast<size_t>(gapMs + 0.5), GapsMs.size() - 1)];
      LongestGapMs = std::max(LongestGapMs, gapMs);
    }
    Last = now;
  }
  // The gap that the fraction of all gaps do not exceed.
  long GapQuantileMs(double fraction) const {
    long total = 0, seen = 0;
    for (long count : GapsMs) total += count;
    for (size_t ms = 0; ms < GapsMs.size(); ++ms)
      if ((seen += GapsMs[ms]) >= fraction * total) return static_cast<long>(ms);
    return 0;
  }
};

// GetGuiResources reads 0 under Wine. Wine takes a GDI handle that carries
// only its table index, so asking the type of every index counts the
// process's objects there. Windows takes no such handle: the probe proves
// itself on brushes of its own before it is trusted.
int ProbeGdiObjects() {
  int count = 0;
  for (ULONG_PTR index = 1; index <= 0xFFFF; ++index)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++count;
  return count;
}

bool GdiProbeWorks() {
  const int before = ProbeGdiObjects();
  std::array<HBRUSH, 4> brushes;
  for (HBRUSH& brush : brushes) brush = CreateSolidBrush(RGB(1, 2, 3));
  const int during = ProbeGdiObjects();
  for (HBRUSH brush : brushes) DeleteObject(brush);
  return during - before == static_cast<int>(brushes.size()) && ProbeGdiObjects() == before;
}

// Figures taken every kSampleSeconds of the measured span.
struct Sample {
  double Seconds = 0;  // since the end of the warm-up
  long Frames = 0;
  double PagefileKiB = 0, WorkingSetKiB = 0, PrivateUsageKiB = 0;
  double Blocks = 0, Windows = 0, GdiObjects = 0;
  DWORD GuiUserObjects = 0, GuiGdiObjects = 0;
};

Sample TakeSample(double seconds, const FrameClock& clock, const BlockWatch& blocks, bool gdiMeasurable) {
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
  Sample s;
  s.Seconds = seconds;
  s.Frames = clock.Frames;
  s.PagefileKiB = static_cast<double>(memory.PagefileUsage) / 1024;
  s.WorkingSetKiB = static_cast<double>(memory.WorkingSetSize) / 1024;
  s.PrivateUsageKiB = static_cast<double>(memory.PrivateUsage) / 1024;
  s.Blocks = static_cast<double>(blocks.Live().size());
  s.Windows = CountThreadWindows();
  s.GdiObjects = gdiMeasurable ? ProbeGdiObjects() : 0;
  s.GuiUserObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  s.GuiGdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  return s;
}

void PrintSample(const Sample& s) {
  std::printf("%6.0f %7ld %13.0f %16.0f %12.0f %7.0f %8.0f %5.0f %10lu/%lu\n", s.Seconds, s.Frames, s.PagefileKiB,
              s.WorkingSetKiB, s.PrivateUsageKiB, s.Blocks, s.Windows, s.GdiObjects, s.GuiUserObjects, s.GuiGdiObjects);
  std::fflush(stdout);
}

bool Check(bool passed, const std::string& text) {
  std::printf("%s %s\n", passed ? "ok  " : "FAIL", text.c_str());
  return passed;
}

// One figure from the first sample to the last: fails when it grew by more
// than the bound.
bool CheckFlat(const std::vector<Sample>& samples, double Sample::*figure, const char* what, double bound) {
  double highest = samples.front().*figure;
  for (const Sample& s : samples) highest = std::max(highest, s.*figure);
  const double start = samples.front().*figure, end = samples.back().*figure;
  char text[200];
  std::snprintf(text, sizeof(text), "%s: start %.0f, end %.0f, max %.0f; growth %+.0f (bound %.0f)", what, start, end,
                highest, end - start, bound);
  return Check(end - start <= bound, text);
}

// Every cycle end must have been exact, and each window's count must fit
// its duration: at least one cycle per duration plus the longest gap between
// frames (and the clock's step), at most one per duration.
bool CheckCycles(double endSeconds, double longestGapMs) {
  long checked = 0, missed = 0;
  int fewest = INT_MAX, most = 0, implausible = 0;
  for (const Track& t : Tracks) {
    const int cycles = t.Cycles + t.Misses;
    checked += cycles, missed += t.Misses;
    fewest = std::min(fewest, cycles), most = std::max(most, cycles);
    const double runMs = (endSeconds - t.StartSeconds) * 1000;
    if (cycles < runMs / (t.DurationMs + longestGapMs + 20) - 1 || cycles > runMs / t.DurationMs + 1) ++implausible;
  }
  for (const std::string& report : MissReports) std::printf("     miss: %s\n", report.c_str());
  const bool exact = Check(missed == 0, "cycle ends: " + std::to_string(checked) + " checked, " +
                                            std::to_string(missed) + " off their end point; per window " +
                                            std::to_string(fewest) + " to " + std::to_string(most));
  return Check(implausible == 0,
               "cycle counts fit each window's duration: " + std::to_string(implausible) + " windows do not") &&
         exact;
}

void PrintFrames(const FrameClock& clock, double seconds) {
  std::printf(
      "     frames: %ld in %.0f s with the warm-up, %.2f per second; gap from one to the next (the timer's period is "
      "%d ms): median %ld ms, 99th percentile %ld ms, longest %.0f ms\n",
      clock.Frames, seconds, clock.Frames / seconds, kPeriodMs, clock.GapQuantileMs(0.5), clock.GapQuantileMs(0.99),
      clock.LongestGapMs);
}

// Counted as raised: the message dispatcher swallows a fault inside a timer
// message, and the undefined-behaviour traps raise illegal instructions.
LONG CALLBACK CountHardwareFault(EXCEPTION_POINTERS* info) {
  switch (info->ExceptionRecord->ExceptionCode) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_STACK_OVERFLOW:
      InterlockedIncrement(&HardwareFaults);
      break;
    default:
      break;
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

// Under Wine an unhandled illegal instruction can end the process with 0.
LONG WINAPI EndOnUnhandledException(EXCEPTION_POINTERS*) {
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

// Pumps messages for the minutes, sampling at the start, every
// kSampleSeconds and at the end.
std::vector<Sample> Measure(double minutes, const bench::MessageObserver& observe, const FrameClock& clock,
                            const BlockWatch& blocks, bool gdiMeasurable) {
  std::printf("     s  frames  pagefile KiB  working set KiB  private KiB  blocks  windows   GDI  GUI user/gdi\n");
  std::vector<Sample> samples;
  samples.reserve(static_cast<size_t>(minutes * 60 / kSampleSeconds) + 3);
  const double start = bench::Now(), end = start + minutes * 60;
  for (double left = end - start;; left = end - bench::Now()) {
    samples.push_back(TakeSample(bench::Now() - start, clock, blocks, gdiMeasurable));
    PrintSample(samples.back());
    if (left <= 0.5) return samples;
    bench::PumpFor(std::min(kSampleSeconds, left), observe);
  }
}

bool CheckAll(const std::vector<Sample>& samples, const BlockWatch& blocks, bool gdiMeasurable, double finished,
              double longestGapMs) {
  bool passed = CheckFlat(samples, &Sample::PagefileKiB, "pagefile usage KiB", kPagefileBoundKiB);
  passed &= CheckFlat(samples, &Sample::WorkingSetKiB, "working set KiB", kWorkingSetBoundKiB);
  passed &= CheckFlat(samples, &Sample::Blocks, "plug-in's live global blocks", 0);
  std::printf("     the plug-in freed %d blocks of the host's (its answers to object look-ups, its own to free)\n",
              blocks.StrayFrees());
  passed &= CheckFlat(samples, &Sample::Windows, "windows of the thread", 0);
  std::printf("     GetGuiResources: %lu USER, %lu GDI objects at the end (Wine answers 0)\n",
              samples.back().GuiUserObjects, samples.back().GuiGdiObjects);
  if (gdiMeasurable)
    passed &= CheckFlat(samples, &Sample::GdiObjects, "GDI objects of the process", 0);
  else
    std::printf("     GDI objects: not measurable (GetGuiResources reads 0, the handle probe failed its self-test)\n");
  passed &= CheckCycles(finished, longestGapMs);
  return Check(HardwareFaults == 0, "hardware faults: " + std::to_string(HardwareFaults)) && passed;
}

}  // namespace

int main(int argc, char** argv) {
  const double minutes = argc > 1 ? std::strtod(argv[1], nullptr) : 5;
  if (!(minutes > 0)) {
    std::fprintf(stderr, "usage: zel_soak [minutes]\n");
    return 2;
  }
  AddVectoredExceptionHandler(1, CountHardwareFault);
  SetUnhandledExceptionFilter(EndOnUnhandledException);
  host::ResetHost();
  host::PluginModule plugin(host::PluginPathBesideProgram());
  if (!plugin.Error().empty()) {
    std::fprintf(stderr, "cannot load the plug-in: %s\n", plugin.Error().c_str());
    return 1;
  }
  const BlockWatch blocks(plugin.Handle());
  host::ConnectPlugin(plugin.Exports());
  const bool gdiMeasurable = GdiProbeWorks();

  HWND stage = bench::CreateStage(kColumns * kCellWidth, kRows * kCellHeight);
  bench::SetBoxListener(OnBoxMessage);
  StartWindows(plugin.Exports(), stage);
  FrameClock clock;
  clock.TimerWindow = bench::FindOwnWindow(bench::kTimerWindowClass);
  const auto observe = [&clock](const MSG& message) { clock.Observe(message); };
  const double started = bench::Now();
  bench::PumpFor(kWarmUpSeconds, observe);
  std::printf("soak: %d windows in endless ping-pong with opacity, scale and rotation; %.0f s warm-up, then %g min\n",
              kWindows, kWarmUpSeconds, minutes);
  const std::vector<Sample> samples = Measure(minutes, observe, clock, blocks, gdiMeasurable);
  const double finished = bench::Now();

  bench::SetBoxListener(nullptr);
  for (int i = 0; i < kWindows; ++i) host::RunAction(plugin.Exports(), 2, {BoxName(i), "0"});
  bench::DestroyStage(stage);
  plugin.Exports().Message(2, 0);
  PrintFrames(clock, finished - started);
  const bool passed = CheckAll(samples, blocks, gdiMeasurable, finished, clock.LongestGapMs);
  std::printf("%s\n", passed ? "soak passed" : "soak FAILED");
  return passed ? 0 : 1;
}
