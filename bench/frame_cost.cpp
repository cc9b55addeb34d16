// Frame cost: one frame tick (A) against a baseline (B) that makes exactly
// the calls the tick makes, with the same values, and nothing else. The
// calls are recorded once from the tick itself by hooking the program's own
// imports of SetWindowPos and SendMessageW.
//
// Two frame times give two sets of window states, P1 and P2. Each round runs
// A to P1, B to P2, B to P1, A to P2: both sides make both transitions, and
// drift over the round weighs on both alike.
//
// The same comparison with both calls replaced by empty functions leaves
// only the tick's own work: what it spends per window beyond the calls.
#include <algorithm>
#include <vector>

#include "bench/bench_support.h"
#include "bench/sections.h"
#include "engine/frame_tick.h"
#include "engine/motion_codes.h"
#include "engine/motion_start.h"
#include "engine/registry.h"
#include "plugin/lifecycle.h"
#include "tests/support/fake_clock.h"

namespace bench {
namespace {

// A long linear motion seen at a quarter and at three quarters of its way:
// each box moves a pixel or two inside its own cell of the grid, so no box
// ever covers another.
constexpr uint32_t kStart = 100000;
constexpr int32_t kDurationMs = 100000;
constexpr uint32_t kFirstFrame = kStart + kDurationMs / 4, kSecondFrame = kStart + kDurationMs * 3 / 4;
constexpr int kColumns = 40, kCellWidth = 24, kCellHeight = 26, kBoxWidth = 20, kBoxHeight = 16, kTravel = 4;

// Rounds with the real calls: at least kMinRounds, more while the budget of
// the configuration lasts; more windows get more time, their rounds are long.
// The two ticks recorded beforehand warm the windows up.
constexpr double kBudgetSeconds = 3.0, kBudgetSecondsPerWindow = 0.01;
constexpr size_t kMinRounds = 5, kMaxRounds = 300;
constexpr double kSettleShare = 0.2, kMaxSettleSeconds = 0.05;
// Rounds with empty calls; each side repeats its two frames so that a sample
// holds some 8000 window visits.
constexpr size_t kStubbedRounds = 31;
constexpr int kStubbedVisits = 4000;

struct WindowCall {
  bool IsMove = false;  // SetWindowPos, else SendMessageW
  HWND Window = nullptr;
  HWND InsertAfter = nullptr;
  int X = 0, Y = 0, Width = 0, Height = 0;
  UINT Flags = 0;
  UINT Message = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
};
using CallTrace = std::vector<WindowCall>;

// Set only while a tick is being recorded.
CallTrace* Recording = nullptr;
ImportHook* MoveHook = nullptr;
ImportHook* SendHook = nullptr;

BOOL WINAPI RecordMove(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  Recording->push_back({true, window, insertAfter, x, y, width, height, flags, 0, 0, 0});
  return MoveHook->Original<decltype(&SetWindowPos)>()(window, insertAfter, x, y, width, height, flags);
}

LRESULT WINAPI RecordSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Recording->push_back({false, window, nullptr, 0, 0, 0, 0, 0, message, wParam, lParam});
  return SendHook->Original<decltype(&SendMessageW)>()(window, message, wParam, lParam);
}

BOOL WINAPI SkipMove(HWND, HWND, int, int, int, int, UINT) { return TRUE; }
LRESULT WINAPI SkipSend(HWND, UINT, WPARAM, LPARAM) { return 0; }

// Replaces the program's SetWindowPos and SendMessageW while it lives.
class CallHooks {
 public:
  CallHooks(const void* move, const void* send)
      : move_(GetModuleHandleW(nullptr), "user32.dll", "SetWindowPos", move),
        send_(GetModuleHandleW(nullptr), "user32.dll", "SendMessageW", send) {
    MoveHook = &move_, SendHook = &send_;
  }
  ~CallHooks() { MoveHook = SendHook = nullptr; }
  bool Installed() const { return move_.Installed() && send_.Installed(); }

 private:
  ImportHook move_, send_;
};

CallTrace RecordTick(FakeClock& clock, uint32_t now) {
  CallTrace calls;
  {
    const CallHooks hooks(reinterpret_cast<const void*>(&RecordMove), reinterpret_cast<const void*>(&RecordSend));
    Recording = &calls;
    clock.Set(now);
    zel::OnFrameTick();
    Recording = nullptr;
  }
  PumpPending();
  return calls;
}

// The baseline calls through pointers of its own: the compiler may keep an
// imported function's address in a register from before a hook went in.
struct WindowFunctions {
  decltype(&SetWindowPos) Move;
  decltype(&SendMessageW) Send;
};

WindowFunctions RealFunctions() { return {&SetWindowPos, &SendMessageW}; }
WindowFunctions EmptyFunctions() { return {&SkipMove, &SkipSend}; }

void Replay(const CallTrace& calls, const WindowFunctions& functions) {
  for (const WindowCall& call : calls)
    if (call.IsMove)
      functions.Move(call.Window, call.InsertAfter, call.X, call.Y, call.Width, call.Height, call.Flags);
    else
      functions.Send(call.Window, call.Message, call.WParam, call.LParam);
}

void Tick(FakeClock& clock, uint32_t now) {
  clock.Set(now);
  zel::OnFrameTick();
}

// Every C++ allocation of the program ends in malloc.
int Allocations = 0;
ImportHook* MallocHook = nullptr;

void* CountedMalloc(size_t size) {
  ++Allocations;
  return MallocHook->Original<void* (*)(size_t)>()(size);
}

int AllocationsInTick(FakeClock& clock, uint32_t now) {
  ImportHook hook(GetModuleHandleW(nullptr), "msvcrt.dll", "malloc", reinterpret_cast<const void*>(&CountedMalloc));
  if (!hook.Installed()) return -1;
  MallocHook = &hook, Allocations = 0;
  Tick(clock, now);
  MallocHook = nullptr;
  PumpPending();
  return Allocations;
}

// Seconds for one run of the frame. Paints and other messages that the calls
// caused are handled afterwards, outside the timing, and the display server
// gets a moment to finish drawing, so that no frame pays for the one before.
template <typename Frame>
double TimeFrame(Frame&& frame) {
  const double start = Now();
  frame();
  const double seconds = Now() - start;
  PumpPending();
  PumpFor(std::min(kMaxSettleSeconds, seconds * kSettleShare));
  return seconds;
}

struct Round {
  double Tick, Baseline;  // seconds per frame
};

Round MeasureRound(FakeClock& clock, const CallTrace& toFirst, const CallTrace& toSecond) {
  Round round{};
  round.Tick = TimeFrame([&] { Tick(clock, kFirstFrame); });
  const WindowFunctions real = RealFunctions();
  round.Baseline = TimeFrame([&] { Replay(toSecond, real); });
  round.Baseline += TimeFrame([&] { Replay(toFirst, real); });
  round.Tick += TimeFrame([&] { Tick(clock, kSecondFrame); });
  round.Tick /= 2, round.Baseline /= 2;
  return round;
}

// Like MeasureRound with empty calls: each side runs its two frames
// `repeats` times per sample.
Round MeasureStubbedRound(FakeClock& clock, const CallTrace& toFirst, const CallTrace& toSecond, int repeats) {
  Round round{};
  round.Tick = TimeFrame([&] {
    for (int i = 0; i < repeats; ++i) Tick(clock, kFirstFrame), Tick(clock, kSecondFrame);
  });
  const WindowFunctions empty = EmptyFunctions();
  round.Baseline = TimeFrame([&] {
    for (int i = 0; i < repeats; ++i) Replay(toSecond, empty), Replay(toFirst, empty);
  });
  round.Tick /= 2 * repeats, round.Baseline /= 2 * repeats;
  return round;
}

struct Variant {
  const char* Name;
  bool Effects;
};

void AnimateBox(HWND box, int x, int y, bool effects) {
  zel::MotionPlan plan;
  plan.Handle = box;
  plan.Parent = GetParent(box);
  plan.From = {x, y};
  plan.To = {x + kTravel, y + kTravel};
  plan.DurationMs = kDurationMs;
  plan.Easing = zel::kLinear, plan.PathType = zel::kLine, plan.CoordMode = zel::kParentClient;
  plan.BaseWidth = kBoxWidth, plan.BaseHeight = kBoxHeight;
  zel::AnimationRecord& r = zel::RecordMotion(plan, kStart);
  if (!effects) return;
  r.ScaleOn = 1, r.ScaleFrom = 1.0f, r.ScaleTo = 0.5f;
  r.OpacityOn = 1, r.OpacityFrom = 255, r.OpacityTo = 40;
  r.RotationOn = 1, r.RotationFrom = 0, r.RotationTo = 360;
}

void AnimateBoxes(HWND stage, int count, bool effects) {
  for (int i = 0; i < count; ++i) {
    const int x = (i % kColumns) * kCellWidth, y = (i / kColumns) * kCellHeight;
    AnimateBox(CreateBox(stage, x, y, kBoxWidth, kBoxHeight, true), x, y, effects);
  }
}

std::vector<Round> RoundsWithCalls(FakeClock& clock, const CallTrace& toFirst, const CallTrace& toSecond, int count) {
  std::vector<Round> rounds;
  const double end = Now() + kBudgetSeconds + kBudgetSecondsPerWindow * count;
  while (rounds.size() < kMinRounds || (Now() < end && rounds.size() < kMaxRounds))
    rounds.push_back(MeasureRound(clock, toFirst, toSecond));
  return rounds;
}

std::vector<Round> RoundsWithoutCalls(FakeClock& clock, const CallTrace& toFirst, const CallTrace& toSecond,
                                      int count) {
  const CallHooks stubs(reinterpret_cast<const void*>(&SkipMove), reinterpret_cast<const void*>(&SkipSend));
  const int repeats = std::max(1, kStubbedVisits / count);
  std::vector<Round> rounds;
  for (size_t i = 0; i < kStubbedRounds; ++i) rounds.push_back(MeasureStubbedRound(clock, toFirst, toSecond, repeats));
  return rounds;
}

struct Configuration {
  const Variant& Kind;
  int Count;
  size_t CallsPerFrame;
  int AllocationsPerFrame;
};

void PrintConfiguration(const Configuration& configuration, const std::vector<Round>& withCalls,
                        const std::vector<Round>& withoutCalls) {
  const int count = configuration.Count;
  std::vector<double> ratios, ticks, baselines, ownPerWindow;
  for (const Round& round : withCalls) {
    ratios.push_back(round.Tick / round.Baseline);
    ticks.push_back(round.Tick * 1e6);
    baselines.push_back(round.Baseline * 1e6);
  }
  for (const Round& round : withoutCalls) ownPerWindow.push_back((round.Tick - round.Baseline) / count * 1e9);
  ResultLine("frame_cost")
      .Text("variant", configuration.Kind.Name)
      .Number("n", count)
      .Number("calls_per_frame", static_cast<double>(configuration.CallsPerFrame))
      .Number("allocations_per_frame", configuration.AllocationsPerFrame)
      .Spread("ratio", Summarise(ratios))
      .Spread("tick_us", Summarise(ticks))
      .Spread("baseline_us", Summarise(baselines))
      .Spread("own_ns_per_window", Summarise(ownPerWindow))
      .Print();
}

void MeasureConfiguration(FakeClock& clock, const Variant& variant, int count) {
  zel::AnimationRegistry.Clear();
  HWND stage = CreateStage(kColumns * kCellWidth, 25 * kCellHeight);
  AnimateBoxes(stage, count, variant.Effects);
  PumpPending();
  const CallTrace toFirst = RecordTick(clock, kFirstFrame);
  const CallTrace toSecond = RecordTick(clock, kSecondFrame);
  const int allocations = AllocationsInTick(clock, kFirstFrame);
  const std::vector<Round> withCalls = RoundsWithCalls(clock, toFirst, toSecond, count);
  const std::vector<Round> withoutCalls = RoundsWithoutCalls(clock, toFirst, toSecond, count);
  PrintConfiguration({variant, count, toFirst.size(), allocations}, withCalls, withoutCalls);
  zel::AnimationRegistry.Clear();
  DestroyStage(stage);
}

}  // namespace

void RunFrameCost() {
  FakeClock clock(GetModuleHandleW(nullptr), kStart);
  if (!clock.Installed()) {
    ResultLine("error").Text("what", "GetTickCount import not found").Print();
    return;
  }
  zel::AttachPlugIn(GetModuleHandleW(nullptr));
  for (const Variant& variant : {Variant{"line", false}, Variant{"effects", true}})
    for (int count : {1, 10, 100, 1000}) MeasureConfiguration(clock, variant, count);
  zel::ShutdownPlugIn();
}

}  // namespace bench
