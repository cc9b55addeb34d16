// Seeded random calls on the plug-in's entry points, interleaved with frame
// ticks, on a pool of windows that are destroyed and replaced along the way.
// Texts take every byte value and every shape a script could give; entries
// and arrays sometimes point at memory that cannot be read; completion
// subroutines and window handlers call back into the plug-in. After every
// call the engine's state must still be sound.
//
// ZEL_RANDOM_SEED and ZEL_RANDOM_CALLS choose the run (by default a new seed
// and a short run); the seed is printed, so a failing run can be repeated.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "plugin/object_lookup.h"
#include "plugin/parameters.h"
#include "tests/engine_fixture.h"
#include "tests/support/fault_watch.h"
#include "tests/support/guarded_pages.h"
#include "tests/support/timer_watch.h"

namespace zel {
namespace {

constexpr int kPoolSize = 12;
constexpr int kMaxNesting = 2;       // calls made from inside calls, at most this deep
constexpr int kParamCount = 9;       // the longest action's parameters
constexpr int kHousekeeping = 4096;  // steps between clearing the logs that tests keep

const char* const kNumbers[] = {"0",    "1",     "-1",     "16",    "500",        "99999999999", "-99999999999",
                                "1e30", "-1e30", "3.4e39", "1e-30", "2147483647", "-2147483648", "2147483648",
                                "+",    "-",     ".",      "-.",    "+.",         "1.",          ".5",
                                "--1",  "1..2",  " 12 ",   "nan",   "inf",        "0x10",        "007"};
const char* const kNames[] = {"Linear", "EaseIn",       "in",      "EASEOUT",    "Out",   "EaseInOut",
                              "InOut",  " easeinout ",  "Line",    "QuadBezier", "Cubic", "cubicbezier",
                              "Screen", "ParentClient", "screen ", "Bezier"};
// Completion names: the first three are subroutines that call the plug-in.
const char* const kSubroutines[] = {"Again", "Shutdown", "Destroy", "Unknown", "a\"b", "\"", "Again\" : GoSub \"X"};

uint64_t SettingOr(const char* name, uint64_t fallback) {
  const char* text = std::getenv(name);
  return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 10) : fallback;
}

class RandomActionsTest : public SteeredEngineTest {
 protected:
  void SetUp() override {
    SteeredEngineTest::SetUp();
    ASSERT_TRUE(timers_.Installed());
    for (int i = 0; i < kPoolSize; ++i) pool_.push_back(NewPoolWindow(i));
    host::Host().Subroutines["Again"] = [this] { NestedCalls(); };
    host::Host().Subroutines["Shutdown"] = [] { nbMessage(2, 0); };
    host::Host().Subroutines["Destroy"] = [this] { ReplaceWindow(Below(kPoolSize)); };
  }

  void TearDown() override {
    host::Host().Subroutines.clear();
    for (const UniqueWindow& window : pool_) SetEventHandler(window.get(), nullptr);
    SteeredEngineTest::TearDown();
  }

  int Below(int n) { return static_cast<int>(random_() % static_cast<uint64_t>(n)); }
  bool Chance(int perMille) { return Below(1000) < perMille; }
  template <typename T, size_t N>
  const char* Pick(T (&items)[N]) {
    return items[Below(static_cast<int>(N))];
  }

  // ---- Windows ----

  static std::string PoolName(int index) { return "w" + std::to_string(index); }

  UniqueWindow NewPoolWindow(int index) {
    UniqueWindow window = CreateRecordingChild(Stage(), 10 * index, 20, 60, 40);
    host::Host().Objects[PoolName(index)] = window.get();
    // Some windows call the plug-in from their own handler, as a host's
    // window may when it moves or gets an effect message.
    if (index % 3 == 0)
      SetEventHandler(window.get(), [this](HWND, const WindowEvent&) {
        if (Chance(20)) NestedCalls();
      });
    return window;
  }

  void ReplaceWindow(int index) {
    ++tally_.Destroyed;
    HWND old = pool_[index].get();
    destroyed_.push_back(old);
    SetEventHandler(old, nullptr);
    pool_[index] = NewPoolWindow(index);
  }

  // ---- Texts ----

  std::string RandomBytes() {
    std::string text(Below(601), ' ');
    for (char& c : text) c = static_cast<char>(1 + Below(255));
    return text;
  }

  std::string Number() {
    switch (Below(3)) {
      case 0:
        return Pick(kNumbers);
      case 1:
        return std::to_string(Below(1200) - 100);
      default:
        return std::to_string(static_cast<int64_t>(random_()));
    }
  }

  std::string Spaces() { return std::string(Chance(200) ? Below(3) : 0, ' '); }

  // Numbers in a list: mostly small ones, so that most lists are valid.
  std::string ListNumber() { return Chance(800) ? std::to_string(Below(600) - 50) : Number(); }

  std::string Numbers(int count) {
    std::string text = Spaces() + ListNumber();
    for (int i = 1; i < count; ++i) text += Spaces() + "," + Spaces() + ListNumber();
    return text;
  }

  std::string Pair() { return Numbers(Chance(900) ? 2 : 1 + Below(4)); }

  std::string Target() {
    const int index = Below(kPoolSize);
    switch (Below(6)) {
      case 0:
      case 1:
        return PoolName(index);
      case 2:
        return Spaces() + std::to_string(HandleKey(pool_[index].get())) + Spaces();
      case 3:
        return destroyed_.empty() ? "w"
                                  : std::to_string(HandleKey(destroyed_[Below(static_cast<int>(destroyed_.size()))]));
      case 4:
        return Chance(500) ? "nobody" : "";
      default:
        return AnyText();
    }
  }

  std::string AnyText() {
    switch (Below(8)) {
      case 0:
        return RandomBytes();
      case 1:
        return Number();
      case 2:
        return Pair();
      case 3:
        return Numbers(4);
      case 4:
        return Pick(kNames);
      case 5:
        return Pick(kSubroutines);
      case 6:
        return std::to_string(Below(7) - 2);
      default:
        return "";
    }
  }

  // Mostly a text of the shape the action expects at that place, so that
  // motions start and run; otherwise anything.
  std::string TextFor(int actionId, int index) {
    if (Chance(150) || actionId < 1 || actionId > 3) return AnyText();
    if (index == 0) return Target();
    switch (actionId * 10 + index) {
      case 11:  // FromXY
        return Chance(400) ? "" : Pair();
      case 12:  // ToXY
        return Pair();
      case 13:  // DurationMs
        return Chance(700) ? std::to_string(Below(300)) : Number();
      case 14:  // Easing
      case 15:  // PathType
      case 18:  // CoordMode
        return Pick(kNames);
      case 16:  // PathData
        return Numbers(Chance(800) ? 4 : Below(6));
      case 17:  // FPS
        return Number();
      case 31:  // Delay
        return Chance(700) ? std::to_string(Below(100)) : Number();
      case 32:  // Loops
      case 33:  // PingPong
      case 21:  // JumpToEnd
        return std::to_string(Below(6) - 2);
      case 34:  // OnComplete
        return Chance(800) ? Pick(kSubroutines) : AnyText();
      case 35:  // Opacity
      case 36:  // Scale
      case 37:  // Rotation
        return Chance(200) ? "" : Pair();
      default:
        return AnyText();
    }
  }

  // ---- Calls ----

  // A number is taken as a window handle, and small numbers are handles of
  // real windows in Wine, among them other test programs' windows, which
  // this test must leave alone.
  static bool NamesAnotherThreadsWindow(std::string text) {
    char* entries[] = {text.data()};
    HWND window = ResolveTarget(ReadParam(entries, 0));
    return IsWindow(window) && GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId();
  }

  // The host's array for one call. Entries and the array itself sometimes
  // point at memory that cannot be read, or at a text with no end before it.
  struct Call {
    int ActionId = 0;
    std::vector<std::string> Texts;
    std::vector<char*> Entries;
    ParamArray Array = nullptr;
    bool TouchesBadMemory = false;
  };

  char* BadEntry(Call& call, int index) {
    call.TouchesBadMemory = true;
    if (Chance(500)) return pages_.Inaccessible();
    const std::string& text = call.Texts[index];
    return pages_.AtPageEnd(text.empty() ? "x" : text);  // no NUL before the page ends
  }

  // Mostly starts and effects, which keep windows moving; fewer stops.
  int ActionId() {
    const int roll = Below(100);
    if (roll < 45) return 1;
    if (roll < 85) return 3;
    if (roll < 95) return 2;
    const int invalid[] = {0, 4, -1, 1000, static_cast<int>(random_())};
    return invalid[Below(static_cast<int>(std::size(invalid)))];
  }

  Call MakeCall() {
    Call call;
    call.ActionId = ActionId();
    for (int i = 0; i < kParamCount; ++i) call.Texts.push_back(TextFor(call.ActionId, i));
    if (NamesAnotherThreadsWindow(call.Texts[0])) call.Texts[0] = "nobody";
    for (int i = 0; i < kParamCount; ++i) {
      if (Chance(15))
        call.Entries.push_back(nullptr);
      else if (Chance(10))
        call.Entries.push_back(BadEntry(call, i));
      else
        call.Entries.push_back(call.Texts[i].data());
    }
    call.Array = call.Entries.data();
    if (Chance(5)) call.Array = nullptr;
    if (Chance(5)) call.Array = reinterpret_cast<ParamArray>(pages_.Inaccessible()), call.TouchesBadMemory = true;
    return call;
  }

  void Execute(Call& call) {
    ++tally_.Actions;
    if (!call.TouchesBadMemory) {
      nbExecAction(call.ActionId, call.Array);
      return;
    }
    ExpectedAccessViolations probing;  // the plug-in probes before it reads
    nbExecAction(call.ActionId, call.Array);
    ++tally_.BadMemory;
  }

  // One call on an entry point: mostly an action, now and then a message
  // (a shutdown among them) or a window of the pool replaced.
  void RandomCall() {
    ++calls_;
    if (Chance(3)) return ReplaceWindow(Below(kPoolSize));
    if (Chance(2)) {
      ++tally_.Messages;
      nbMessage(Chance(300) ? 2 : static_cast<int>(random_()), 0);
      return;
    }
    Call call = MakeCall();
    Execute(call);
  }

  void NestedCalls() {
    if (nesting_ >= kMaxNesting) return;
    ++nesting_;
    for (int i = 1 + Below(2); i > 0; --i) RandomCall();
    --nesting_;
  }

  // The clock moves on by up to a few frames; rarely it jumps far ahead or
  // back (the tick count wraps after 49 days). The tick must drop every
  // animation whose window was gone when it began.
  void Tick() {
    if (Chance(5))
      clock_.Advance(Chance(500) ? 0x80000000u : 0xFFFFF000u);
    else
      clock_.Advance(Below(60));
    ++tally_.Ticks;
    std::vector<int32_t> lost;
    AnimationRegistry.Walk([&](int32_t key, AnimationRecord&) {
      if (!IsWindow(HandleFromKey(key))) lost.push_back(key);
    });
    OnFrameTick();
    for (int32_t key : lost)
      ASSERT_EQ(AnimationRegistry.Find(key), nullptr) << "the tick kept the animation of destroyed window " << key;
  }

  // ---- Invariants ----

  // Every record is counted and keyed by its window; the timer runs exactly
  // while records exist.
  void ExpectSoundState() {
    size_t records = 0;
    AnimationRegistry.Walk([&](int32_t key, AnimationRecord& record) {
      ++records;
      ASSERT_EQ(record.Handle, HandleFromKey(key));
    });
    ASSERT_EQ(AnimationRegistry.Count(), records);
    const bool busy = records > 0;
    ASSERT_EQ(FrameTimer.TimerRunning != 0, busy);
    ASSERT_EQ(timers_.Running(), busy) << "the timer itself, as SetTimer and KillTimer left it";
  }

  // The logs of the host, the windows and the timer watch would otherwise
  // grow with every call.
  void Housekeeping() {
    tally_.ScriptLines += host::Host().ScriptLines.size();
    for (const UniqueWindow& window : pool_) {
      tally_.WindowEvents += EventsOf(window.get()).size();
      EventsOf(window.get()).clear();
    }
    host::ClearLogs();
    timers_.KeepLatestOnly();
    if (destroyed_.size() > 64) destroyed_.erase(destroyed_.begin(), destroyed_.end() - 32);
  }

  std::mt19937_64 random_;
  TimerWatch timers_{GetModuleHandleW(nullptr)};
  GuardedPages pages_;
  std::vector<UniqueWindow> pool_;
  std::vector<HWND> destroyed_;
  uint64_t calls_ = 0;
  int nesting_ = 0;
  // What the run did, for its closing line.
  struct {
    uint64_t Actions = 0, BadMemory = 0, Messages = 0, Destroyed = 0, Ticks = 0;
    uint64_t WindowEvents = 0, ScriptLines = 0;  // counted at each clearing of the logs
  } tally_;
};

TEST_F(RandomActionsTest, EngineStaysSoundThroughRandomCallsTicksAndDestroyedWindows) {
  const uint64_t now = std::chrono::system_clock::now().time_since_epoch().count();
  const uint64_t seed = SettingOr("ZEL_RANDOM_SEED", now % 1000000000);
  const uint64_t wanted = SettingOr("ZEL_RANDOM_CALLS", 20000);
  std::printf("random actions: seed %llu, %llu calls (ZEL_RANDOM_SEED, ZEL_RANDOM_CALLS)\n",
              static_cast<unsigned long long>(seed), static_cast<unsigned long long>(wanted));
  std::fflush(stdout);
  random_.seed(seed);
  uint64_t steps = 0;
  while (calls_ < wanted && !HasFailure()) {
    SCOPED_TRACE("seed " + std::to_string(seed) + ", step " + std::to_string(steps));
    if (Chance(300))
      Tick();
    else
      RandomCall();
    ExpectSoundState();
    if (++steps % kHousekeeping == 0) Housekeeping();
  }
  Housekeeping();
  const auto n = [](uint64_t value) { return static_cast<unsigned long long>(value); };
  std::printf(
      "random actions: %llu calls: %llu actions (%llu with unreadable memory), %llu messages, %llu windows "
      "replaced; %llu ticks; %llu moves and effect messages and %llu script lines\n",
      n(calls_), n(tally_.Actions), n(tally_.BadMemory), n(tally_.Messages), n(tally_.Destroyed), n(tally_.Ticks),
      n(tally_.WindowEvents), n(tally_.ScriptLines));
}

}  // namespace
}  // namespace zel
