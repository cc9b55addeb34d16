// Calls back into the plug-in while it is busy: the host's set-variable
// callback while an error is being reported, completion subroutines and
// effect-message handlers inside the timer's own tick, and actions, editors
// and shutdowns inside an editor's modal loop. The interrupted call must
// leave alone what the callback changed, and later animations must still
// start, run on the timer and finish.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/window_calls.h"
#include "tests/editor_fixture.h"
#include "tests/plugin_fixture.h"
#include "tests/support/block_watch.h"

namespace {

// Runs once, right after the next assignment of a host variable.
std::function<void()> Reentry;

int WINAPI SetVariableThenReenter(char* name, char* value) {
  const int result = host::SetVariable(name, value);
  if (Reentry) std::exchange(Reentry, nullptr)();
  return result;
}

// Confirms an open dialog from a timer of its own modal loop once the watched
// window has arrived at x = ArrivalX; closes it unconfirmed if that takes
// more than five seconds.
struct AwaitedArrival {
  HWND Dialog;
  int OkButton;
  HWND Window;
  LONG ArrivalX;
  ULONGLONG Deadline;
};
AwaitedArrival Awaited{};

void CALLBACK ConfirmOnArrival(HWND, UINT, UINT_PTR timer, DWORD) {
  const bool arrived = PlacementOf(Awaited.Window).left == Awaited.ArrivalX;
  if (!arrived && GetTickCount64() < Awaited.Deadline) return;
  KillTimer(nullptr, timer);
  if (arrived)
    Click(ControlAt(Awaited.Dialog, Awaited.OkButton));
  else
    RequestClose(Awaited.Dialog);
}

void ConfirmWhenArrived(HWND dialog, int okButton, HWND window, LONG x) {
  Awaited = {dialog, okButton, window, x, GetTickCount64() + 5000};
  SetTimer(nullptr, 0, 10, ConfirmOnArrival);
}

class ReentrancyTest : public PluginTest {
 protected:
  void TearDown() override {
    Reentry = nullptr;
    PluginTest::TearDown();
  }

  // Hands the plug-in a set-variable callback that runs `action` on the next
  // assignment; registers no actions again.
  void ReenterOnNextAssignment(std::function<void()> action) {
    Plugin().RegisterPlugIn(nullptr, 0, 0, SetVariableThenReenter);
    Reentry = std::move(action);
  }

  // Window handles as targets: no object lookup, so every block the plug-in
  // allocates is one it must free itself.
  static std::string HandleText(HWND window) { return std::to_string(HandleToLong(window)); }

  // Runs the real timer until it stops; true when the window then stands at
  // (x, y).
  bool RunsToTheEnd(HWND window, int x, int y) {
    return PumpMessagesUntil([this] { return !TimerRunning(); }, 5000) && PlacementOf(window).left == x &&
           PlacementOf(window).top == y;
  }
};

// ---------------------------------------------------------------------------
// The set-variable callback

// A bad completion name is reported in the middle of zelAnimateEx, before the
// effects are applied; the callback may end or replace the animation.
TEST_F(ReentrancyTest, SetVariableCallbackActingOnTheAnimationWhileAnEffectsErrorIsReported) {
  HWND window = Object("Button1", 0, 0, 100, 50), other = Object("Other", 0, 0);
  const std::string target = HandleText(window);
  const std::string badName = "Say\"Hi\"";
  const std::string nameError = "AnimateEx: invalid OnComplete name: " + badName;
  const Events allEffects{OpacitySent(30), RotationSent(100)};
  const Events allEffectsAt500{PlacedAt(25, -12, 150, 75), OpacitySent(115), RotationSent(500)};
  const struct {
    const char* What;
    std::function<void()> Act;
    Events DuringTheCall;  // the callback's doing included
    Events At500;
    std::string Error;
  } cases[] = {
      {"stop in place",
       [&] {
         Stop({target, "0"});
       },
       {},
       {},
       nameError},
      {"jump to the end",
       [&] {
         Stop({target, "1"});
       },
       {PlacedAt(100, 0, 100, 50)},
       {},
       nameError},
      {"shutdown", [&] { Plugin().Message(2, 0); }, {}, {}, nameError},
      {"new motion of the window",
       [&] {
         Animate({target, "", "50,50", "1000"});
       },
       {},
       {MovedTo(25, 25)},
       nameError},
      {"another window's motion",
       [&] {
         Animate({HandleText(other), "", "0,100", "1000"});
       },
       allEffects, allEffectsAt500, nameError},
      {"an action that fails",
       [&] {
         Animate({"0", "", "1,1"});
       },
       allEffects, allEffectsAt500, "Target object not found or invalid: 0"},
  };
  BlockWatch blocks(plugin_->Handle());
  ASSERT_TRUE(blocks.Installed());
  for (const auto& c : cases) {
    SetWindowPos(window, nullptr, 0, 0, 100, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    SetClock(0);
    Animate({target, "0,0", "100,0", "1000"});
    EventsOf(window).clear();
    ReenterOnNextAssignment(c.Act);
    Effects({target, "", "", "", badName, "30,200", "1,2", "10,90"});
    EXPECT_FALSE(Reentry) << c.What << ": the callback ran";
    EXPECT_EQ(EventsOf(window), c.DuringTheCall) << c.What;
    EventsOf(window).clear();
    TickAt(500);
    EXPECT_EQ(EventsOf(window), c.At500) << c.What;
    EXPECT_EQ(LastError(), c.Error) << c.What;
  }
  Plugin().Message(2, 0);
  EXPECT_TRUE(blocks.Live().empty()) << "every text lent to the host, nested ones included, was freed";
  EXPECT_EQ(blocks.StrayFrees(), 0);
}

TEST_F(ReentrancyTest, SetVariableCallbackShutsDownAndStartsAnewWhileAnErrorIsReported) {
  HWND running = Object("Running", 0, 0), fresh = Object("Fresh", 0, 0);
  const struct {
    const char* What;
    std::function<void()> Fail;
  } cases[] = {
      {"unknown target",
       [&] {
         Animate({"0", "", "1,1"});
       }},
      {"bad end point of a running window",
       [&] {
         Animate({HandleText(running), "", "bad"});
       }},
      {"bad completion name",
       [&] {
         Effects({HandleText(running), "", "", "", "\""});
       }},
      {"window without an animation", [&] { Effects({HandleText(fresh)}); }},
  };
  for (const auto& c : cases) {
    SetWindowPos(fresh, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetClock(0);
    Animate({HandleText(running), "0,0", "100,0", "1000"});
    Stop({HandleText(fresh), "0"});
    ReenterOnNextAssignment([&] {
      Plugin().Message(2, 0);
      Animate({HandleText(fresh), "", "0,100", "1000"});
    });
    c.Fail();
    EventsOf(running).clear();
    EventsOf(fresh).clear();
    TickAt(500);
    EXPECT_TRUE(EventsOf(running).empty()) << c.What << ": shut down";
    EXPECT_EQ(EventsOf(fresh), Events{MovedTo(0, 50)}) << c.What;
    EXPECT_TRUE(TimerRunning()) << c.What;
  }
}

// ---------------------------------------------------------------------------
// Shutdown inside the timer's own tick, on the real timer: the timer window
// is destroyed while it handles its timer message.

TEST_F(ReentrancyTest, ShutdownInsideTheTimersOwnTickAndAnimationsAfterwards) {
  clock_.reset();  // the real clock
  HWND first = Object("First", 0, 0), next = Object("Next", 0, 0);
  const struct {
    const char* What;
    bool FromEffectHandler;  // else from the completion subroutine
    bool StartsAnewInside;
  } cases[] = {
      {"completion subroutine", false, false},
      {"completion subroutine that starts anew", false, true},
      {"effect message handler in the middle of the walk", true, false},
      {"effect message handler that starts anew", true, true},
  };
  for (const auto& c : cases) {
    SetWindowPos(first, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(next, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const auto startNext = [&] { Animate({"Next", "0,0", "100,0", "150"}); };
    bool shutDown = false;
    const auto shutDownOnce = [&] {
      if (std::exchange(shutDown, true)) return;
      Plugin().Message(2, 0);
      if (c.StartsAnewInside) startNext();
    };
    host::Host().Subroutines["ShutDown"] = shutDownOnce;
    Animate({"First", "0,0", "100,100", c.FromEffectHandler ? "2000" : "100"});
    Effects({"First", "", "", "", c.FromEffectHandler ? "" : "ShutDown", "0,255"});
    if (c.FromEffectHandler)
      SetEventHandler(first, [&](HWND, const WindowEvent& event) {
        if (event.Message == zel::WM_ANIM_OPACITY) shutDownOnce();
      });
    ASSERT_TRUE(PumpMessagesUntil([&] { return shutDown; }, 5000)) << c.What;
    SetEventHandler(first, nullptr);
    EXPECT_EQ(TimerWindow() != nullptr, c.StartsAnewInside) << c.What;
    if (!c.StartsAnewInside) startNext();
    EventsOf(first).clear();
    EXPECT_TRUE(RunsToTheEnd(next, 100, 0)) << c.What << ": the next motion ran on the timer and finished";
    EXPECT_TRUE(EventsOf(first).empty()) << c.What << ": the shut-down animation stays where it stood";
  }
}

// The host runs the completion subroutine inside the tick. This one starts
// another motion and opens an editor, whose modal loop must serve the timer
// until that motion has arrived: it confirms only then.
TEST_F(ReentrancyTest, CompletionSubroutineThatStartsAMotionAndOpensAnEditor) {
  clock_.reset();  // the real clock
  Object("First", 0, 0);
  HWND other = Object("Other", 0, 0);
  host::EditOutcome outcome;
  host::Host().Subroutines["Edit"] = [&] {
    Animate({"Other", "0,0", "200,0", "300"});
    outcome = EditWithSteps(Plugin(), 2, {"First"},
                            [&](HWND dialog) { ConfirmWhenArrived(dialog, EditorOf(2).Ok, other, 200); });
  };
  Animate({"First", "", "10,10", "50"});
  Effects({"First", "", "", "", "Edit"});
  ASSERT_TRUE(PumpMessagesUntil([&] { return !outcome.Texts.empty(); }, 8000));
  EXPECT_EQ(outcome.Result, 1) << "the other window arrived while the editor was open";
  EXPECT_EQ(outcome.Texts, (std::vector<std::string>{"First", "0"}));
  EXPECT_TRUE(RunsToTheEnd(other, 200, 0));
  Animate({"Other", "", "0,0", "100"});
  EXPECT_TRUE(RunsToTheEnd(other, 0, 0)) << "a later animation";
}

// ---------------------------------------------------------------------------
// Inside an editor's modal loop

TEST_F(ReentrancyTest, AnimationStartedInsideAnEditorRunsOnItsLoop) {
  clock_.reset();  // the real clock
  HWND window = Object("Button1", 0, 0);
  const host::EditOutcome outcome = EditWithSteps(Plugin(), 1, {"Button1"}, [&](HWND dialog) {
    Animate({"Button1", "0,0", "100,0", "200"});
    ConfirmWhenArrived(dialog, EditorOf(1).Ok, window, 100);
  });
  EXPECT_EQ(outcome.Result, 1) << "the timer window made inside the dialog's loop was served by it";
  EXPECT_GE(PositionsOf(window).size(), 3u);
  EXPECT_TRUE(RunsToTheEnd(window, 100, 0));
}

TEST_F(ReentrancyTest, EditorOpenedInsideAnotherEditor) {
  const auto editEffects = [this](const std::function<void(HWND inner)>& steps) {
    return EditWithSteps(Plugin(), 3, {"Inner"}, steps);
  };
  const struct {
    const char* What;
    std::function<void(HWND outer, HWND inner)> InnerSteps;
    int InnerResult;
    int OuterResult;
    std::vector<std::string> OuterTexts;
  } cases[] = {
      {"inner confirmed, then the outer",
       [](HWND, HWND inner) {
         Type(ControlAt(inner, 11), L"Next");
         Click(ControlAt(inner, EditorOf(3).Ok));
       },
       1,
       1,
       {"Outer", "1"}},
      {"outer confirmed twice while the inner is open",
       [](HWND outer, HWND inner) {
         Click(ControlAt(outer, 3));
         Click(ControlAt(outer, EditorOf(2).Ok));
         Click(ControlAt(outer, 3));
         Click(ControlAt(outer, EditorOf(2).Ok));
         Click(ControlAt(inner, EditorOf(3).Cancel));
       },
       0,
       1,
       {"Outer", "1"}},
      {"outer cancelled while the inner is open",
       [](HWND outer, HWND inner) {
         Click(ControlAt(outer, EditorOf(2).Cancel));
         Click(ControlAt(inner, EditorOf(3).Ok));
       },
       1,
       0,
       {"Outer", "0"}},
  };
  for (const auto& c : cases) {
    BlockWatch blocks(plugin_->Handle());
    host::EditOutcome inner;
    const host::EditOutcome outer = EditWithSteps(Plugin(), 2, {"Outer", "0"}, [&](HWND outerDialog) {
      inner = editEffects([&](HWND innerDialog) { c.InnerSteps(outerDialog, innerDialog); });
      // Ignored by an outer dialog that is over already.
      Click(ControlAt(outerDialog, 3));
      Click(ControlAt(outerDialog, EditorOf(2).Ok));
    });
    EXPECT_EQ(inner.Result, c.InnerResult) << c.What;
    EXPECT_EQ(inner.Written, std::vector<bool>(8, c.InnerResult == 1)) << c.What;
    EXPECT_EQ(outer.Result, c.OuterResult) << c.What;
    EXPECT_EQ(outer.Texts, c.OuterTexts) << c.What;
    const size_t written = (c.InnerResult == 1 ? 8u : 0u) + (c.OuterResult == 1 ? 2u : 0u);
    EXPECT_EQ(blocks.Allocated().size(), written) << c.What << ": each confirmed editor wrote its texts once";
  }
}

TEST_F(ReentrancyTest, ShutdownWhileAnEditorIsOpen) {
  HWND window = Object("Button1", 0, 0);
  host::Host().PickAnswer = "Button1";
  const struct {
    const char* What;
    int Button;
    int Result;
  } cases[] = {{"OK", EditorOf(2).Ok, 1}, {"Cancel", EditorOf(2).Cancel, 0}};
  for (const auto& c : cases) {
    SetClock(0);
    Animate({"Button1", "0,0", "100,0", "1000"});
    const host::EditOutcome outcome = EditWithSteps(Plugin(), 2, {"Old"}, [&](HWND dialog) {
      Plugin().Message(2, 0);
      EXPECT_EQ(TimerWindow(), nullptr) << c.What;
      Click(ControlAt(dialog, 2));
      EXPECT_EQ(TextOf(ControlAt(dialog, 1)), L"Button1") << c.What << ": Pick still asks the host";
      Click(ControlAt(dialog, c.Button));
    });
    EXPECT_EQ(outcome.Result, c.Result) << c.What;
    EXPECT_EQ(outcome.Texts[0], c.Result == 1 ? "Button1" : "Old") << c.What;
    EventsOf(window).clear();
    TickAt(500);
    EXPECT_TRUE(EventsOf(window).empty()) << c.What << ": the animation ended with the shutdown";
    Animate({"Button1", "0,0", "0,100", "1000"});
    TickAt(1000);
    EXPECT_EQ(PositionsOf(window).back(), (POINT{0, 50})) << c.What << ": a later animation runs";
  }
}

}  // namespace
