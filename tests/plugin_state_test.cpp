// The exports' effect on the plug-in's own state, with the plug-in linked in.
#include <string>
#include <vector>

#include "plugin/host_texts.h"
#include "tests/engine_fixture.h"
#include "tests/support/block_watch.h"

namespace zel {
namespace {

class PlugInStateTest : public EngineTest {};

TEST_F(PlugInStateTest, RegistrationWithoutAddActionStillKeepsTheVariableCallback) {
  EXPECT_EQ(nbRegisterPlugIn(nullptr, 0, 0, host::SetVariable), 0);
  EXPECT_TRUE(host::Host().Actions.empty());
  SetLastError(L"kept");
  EXPECT_EQ(host::Host().Variables["[ZelZozarevo.LastError]"], "kept");
}

TEST_F(PlugInStateTest, ShutdownClearsBothRegistriesAndTheTimerWindowAndCanRepeat) {
  Animate(Child(), {0, 0}, {10, 10}, 1000);
  InitialSizeRegistry.Add(42);
  HWND timerWindow = FrameTimer.TimerWindow;
  ASSERT_NE(timerWindow, nullptr);
  for (int code : {0, 1, 3}) {
    EXPECT_EQ(nbMessage(code, 0), 0);
    EXPECT_EQ(AnimationRegistry.Count(), 1u) << "code " << code << " is ignored";
  }
  EXPECT_EQ(nbMessage(2, 0), 0);
  EXPECT_EQ(AnimationRegistry.Count(), 0u);
  EXPECT_EQ(InitialSizeRegistry.Count(), 0u);
  EXPECT_FALSE(IsWindow(timerWindow));
  EXPECT_EQ(FrameTimer.TimerRunning, 0);
  EXPECT_EQ(nbMessage(2, 0), 0) << "a second shutdown finds nothing to do";
  Animate(Child(), {0, 0}, {10, 10}, 1000);
  EXPECT_TRUE(IsWindow(FrameTimer.TimerWindow)) << "a later start recreates the timer window";
}

TEST_F(PlugInStateTest, ShutdownLeavesAnimatedWindowsWhereTheyAre) {
  HWND window = Child(30, 40);
  Animate(window, {0, 0}, {100, 100}, 1000).OnComplete = L"Never";
  nbMessage(2, 0);
  EXPECT_TRUE(EventsOf(window).empty());
  EXPECT_EQ(PlacementOf(window).left, 30);
  EXPECT_TRUE(host::Host().ScriptLines.empty());
}

TEST_F(PlugInStateTest, DescriptionSkipsNullOutAddressesAndBlocksThatCannotBeAllocated) {
  char* author = nullptr;
  char* description = nullptr;
  EXPECT_EQ(nbInitPlugIn(0, nullptr, &author, &description), 0);
  ASSERT_NE(author, nullptr);
  EXPECT_STREQ(description, "Animate objects with easing, loops, opacity, scale & rotation (works with ZelOverlay)");

  BlockWatch blocks(GetModuleHandleW(nullptr));
  blocks.FailAllocationsAfter(0);
  char* title = reinterpret_cast<char*>(0x1);
  nbInitPlugIn(0, &title, &author, &description);
  EXPECT_EQ(title, reinterpret_cast<char*>(0x1)) << "left as the host set it";
}

TEST_F(PlugInStateTest, ActionWhoseTextsCannotBeAllocatedIsLeftOut) {
  BlockWatch blocks(GetModuleHandleW(nullptr));
  blocks.FailAllocationsAfter(3);  // the name and hint of action 1, then the name of action 2
  nbRegisterPlugIn(host::AddAction, 0, 0, host::SetVariable);
  ASSERT_EQ(host::Host().Actions.size(), 1u);
  EXPECT_EQ(host::Host().Actions[0].Name, "zelAnimate");
}

TEST_F(PlugInStateTest, DetachFreesTheNineOwnedTextsInOrder) {
  BlockWatch blocks(GetModuleHandleW(nullptr));
  char *title, *author, *description;
  nbInitPlugIn(0, &title, &author, &description);
  nbRegisterPlugIn(host::AddAction, 0, 0, host::SetVariable);
  const std::vector<HGLOBAL> owned = blocks.Allocated();
  ASSERT_EQ(owned.size(), 9u);
  EXPECT_EQ(owned[0], title);
  EXPECT_TRUE(blocks.Freed().empty()) << "the texts stay valid while the plug-in is loaded";
  DetachPlugIn();
  EXPECT_EQ(blocks.Freed(), owned);
  DetachPlugIn();
  EXPECT_EQ(blocks.Freed(), owned) << "nothing is freed twice";
}

}  // namespace
}  // namespace zel
