// A host that breaks its side of the contract: interface-access answers that
// are missing, unreadable, unterminated, no number or no window, or not a
// global block; parameter arrays the editors cannot write to; an editor
// destroyed behind its back. The plug-in must not crash, must report an
// unknown target as it reports any other, must leave running animations and
// the host's memory alone, and must serve the next well-behaved call.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/editor_fixture.h"
#include "tests/plugin_fixture.h"
#include "tests/support/block_watch.h"
#include "tests/support/fault_watch.h"
#include "tests/support/guarded_pages.h"

namespace {

// What the misbehaving host leaves in the plug-in's variable, with result 1.
char* PlantedAnswer = nullptr;
// The blocks the plug-in lent it. It replaced them, so they are its own; it
// frees them at the end of the test, so that no address is reused meanwhile.
std::vector<char*> KeptBlocks;

int WINAPI AnswerWithPlantedPointer(int, char** text) {
  KeptBlocks.push_back(*text);
  *text = PlantedAnswer;
  return 1;
}

struct PlantedCase {
  const char* What;
  char* Pointer;
};

// Answers no host may give: nothing, memory that cannot be read, and `text`
// without its NUL, ending where the readable memory ends.
std::vector<PlantedCase> UnusableAnswers(GuardedPages& pages, const std::string& text) {
  return {{"a nonzero result with no answer", nullptr},
          {"an unreadable answer", pages.Inaccessible()},
          {"an answer running into an unreadable page", pages.AtPageEnd(text)}};
}

bool WasFreed(const BlockWatch& blocks, const char* pointer) {
  return std::count(blocks.Freed().begin(), blocks.Freed().end(), pointer) != 0;
}

class HostileHostTest : public PluginTest {
 protected:
  void TearDown() override {
    PluginTest::TearDown();
    for (char* block : KeptBlocks) GlobalFree(block);
    KeptBlocks.clear();
    PlantedAnswer = nullptr;
  }

  static std::string HandleText(HWND window) { return std::to_string(HandleToLong(window)); }
};

TEST_F(HostileHostTest, UnusableObjectHandleAnswersFindNothingAndAreNotFreed) {
  HWND window = Object("Button1", 0, 0);
  SetClock(0);
  Animate({HandleText(window), "0,0", "100,0", "1000"});
  EventsOf(window).clear();
  GuardedPages pages;
  BlockWatch blocks(plugin_->Handle());
  ASSERT_TRUE(blocks.Installed());
  Plugin().RegisterInterfaceAccess(AnswerWithPlantedPointer);
  for (const PlantedCase& c : UnusableAnswers(pages, HandleText(window))) {
    PlantedAnswer = c.Pointer;
    ExpectedAccessViolations probing;
    EXPECT_EQ(Animate({"Button1", "", "300,300", "1000"}), 1) << c.What;
    EXPECT_EQ(LastError(), "Target object not found or invalid: Button1") << c.What;
    Effects({"Button1", "", "", "", "", "0,255"});
    EXPECT_EQ(LastError(), "AnimateEx: target not found: Button1") << c.What;
    Stop({"Button1", "1"});
    EXPECT_TRUE(EventsOf(window).empty()) << c.What;
    EXPECT_TRUE(TimerRunning()) << c.What;
    EXPECT_FALSE(WasFreed(blocks, c.Pointer)) << c.What << ": no global block, not the plug-in's to free";
  }
  EXPECT_EQ(KeptBlocks.size(), 9u) << "each action asked the host once";

  // The animation started before runs on, and a well-behaved host is served.
  TickAt(500);
  EXPECT_EQ(EventsOf(window), Events{MovedTo(50, 0)});
  Plugin().RegisterInterfaceAccess(host::AccessInterface);
  Animate({"Button1", "", "50,100", "1000"});
  TickAt(1000);
  EXPECT_EQ(PositionsOf(window).back(), (POINT{50, 50}));
}

TEST_F(HostileHostTest, AnswerInTheHostsOwnMemoryIsReadButLeftToTheHost) {
  HWND window = Object("Button1", 0, 0);
  static char ownAnswer[16] = {};
  HandleText(window).copy(ownAnswer, sizeof(ownAnswer) - 1);
  PlantedAnswer = ownAnswer;
  BlockWatch blocks(plugin_->Handle());
  Plugin().RegisterInterfaceAccess(AnswerWithPlantedPointer);
  SetClock(0);
  Animate({"Button1", "0,0", "100,0", "1000"});
  TickAt(500);
  EXPECT_EQ(PositionsOf(window).back(), (POINT{50, 0}));
  const host::EditOutcome picked = EditWithSteps(Plugin(), 2, {"Old"}, [](HWND dialog) {
    Click(ControlAt(dialog, 2));
    Click(ControlAt(dialog, EditorOf(2).Ok));
  });
  EXPECT_EQ(picked.Texts[0], HandleText(window));
  EXPECT_FALSE(WasFreed(blocks, ownAnswer));
}

TEST_F(HostileHostTest, ObjectHandleAnswersThatNameNoWindowFindNothing) {
  HWND window = Object("Button1", 0, 0);
  HWND gone = Object("Gone");
  DestroyWindow(gone);
  SetClock(0);
  Animate({"Button1", "0,0", "100,0", "1000"});
  EventsOf(window).clear();
  const struct {
    std::string Answer;
    bool GivesNoHandle;  // else a handle that is no window
  } cases[] = {
      {"abc", true},
      {"", true},
      {" ", true},
      {std::string(600, '7'), true},  // too long to be read at all
      {"\x01\x02", true},
      {"12abc", false},
      {"1e30", false},
      {"99999999999", false},
      {"-99999999999", false},
      {"65535", false},
      {"-1", false},
      {HandleText(gone), false},
  };
  for (const auto& c : cases) {
    host::Host().RawObjectAnswers["Target"] = c.Answer;
    const std::string shown = testing::PrintToString(c.Answer);
    EXPECT_EQ(Animate({"Target", "", "300,300", "1000"}), 1) << shown;
    EXPECT_EQ(LastError(), "Target object not found or invalid: Target") << shown;
    Effects({"Target", "", "", "", "", "0,255"});
    EXPECT_EQ(LastError(), c.GivesNoHandle ? "AnimateEx: target not found: Target"
                                           : "AnimateEx: no animation for: Target. Call zelAnimate first.")
        << shown;
    Stop({"Target", "1"});
    EXPECT_TRUE(EventsOf(window).empty()) << shown;
  }
  EXPECT_TRUE(TimerRunning());
  TickAt(500);
  EXPECT_EQ(EventsOf(window), Events{MovedTo(50, 0)}) << "the running animation was left alone";
}

// Every pick in one dialog: each opening costs seconds in the emulated lane.
TEST_F(HostileHostTest, PickAnswersThatAreNoTextLeaveTheTargetAlone) {
  GuardedPages pages;
  BlockWatch blocks(plugin_->Handle());
  const auto pickKeepsTheTarget = [](HWND dialog, const std::string& what) {
    Click(ControlAt(dialog, 2));
    EXPECT_EQ(TextOf(ControlAt(dialog, 1)), L"Old") << what;
  };
  const host::EditOutcome outcome = EditWithSteps(Plugin(), 2, {"Old", "1"}, [&](HWND dialog) {
    Plugin().RegisterInterfaceAccess(AnswerWithPlantedPointer);
    for (const PlantedCase& c : UnusableAnswers(pages, "Picked")) {
      PlantedAnswer = c.Pointer;
      ExpectedAccessViolations probing;
      pickKeepsTheTarget(dialog, c.What);
      EXPECT_FALSE(WasFreed(blocks, c.Pointer)) << c.What;
    }
    Plugin().RegisterInterfaceAccess(host::AccessInterface);
    for (const std::string& answer : {std::string(501, 'x'), std::string("\x01\t\x7f")}) {
      host::Host().PickAnswer = answer;
      pickKeepsTheTarget(dialog, testing::PrintToString(answer));
    }
    Click(ControlAt(dialog, EditorOf(2).Ok));
  });
  EXPECT_EQ(outcome.Result, 1);
  EXPECT_EQ(outcome.Texts, (std::vector<std::string>{"Old", "1"}));
}

// OK ends the dialog with 1 even when no text could be stored: a store that
// fails is not reported.
TEST_F(HostileHostTest, EditorsGivenAnArrayTheyCannotWriteToWriteNothing) {
  static char target[] = "Button1", number[] = "1";
  GuardedPages pages;
  auto** readOnly = reinterpret_cast<ParamArray>(pages.Readable());
  for (int i = 0; i < 9; ++i) readOnly[i] = i == 0 ? target : number;
  pages.MakeReadOnly();
  // The editors share their OK step: one editor per case.
  const struct {
    const char* What;
    int ActionId;
    ParamArray Params;
    const wchar_t* ShownTarget;
  } cases[] = {
      {"a read-only array", 1, readOnly, L"Button1"},
      {"an unreadable array", 2, reinterpret_cast<ParamArray>(pages.Inaccessible()), L""},
      {"no array", 3, nullptr, L""},
  };
  BlockWatch blocks(plugin_->Handle());
  for (const auto& c : cases) {
    const int actionId = c.ActionId;
    ExpectedAccessViolations probing;
    int result = -1;
    EXPECT_TRUE(WithDialog(
        EditorOf(actionId).Title,
        [&](HWND dialog) {
          EXPECT_EQ(TextOf(ControlAt(dialog, 1)), c.ShownTarget) << c.What;
          Click(ControlAt(dialog, EditorOf(actionId).Ok));
        },
        [&] { result = Plugin().EditAction(actionId, c.Params); }));
    EXPECT_EQ(result, 1) << c.What << ", editor " << actionId;
  }
  for (int i = 0; i < 9; ++i) EXPECT_EQ(readOnly[i], i == 0 ? target : number) << "entry " << i;
  EXPECT_TRUE(blocks.Allocated().empty()) << "no text is made for an entry that cannot take it";
}

// A host that destroys an open editor, or the window that owns it: the editor
// returns at once instead of waiting in its loop for a window that is gone.
TEST_F(HostileHostTest, EditorDestroyedBehindItsBackEndsWithoutWriting) {
  HWND window = Object("Button1", 0, 0);
  for (bool destroyOwner : {false, true}) {
    UniqueWindow owner(CreateWindowExW(0, L"STATIC", L"Owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                       nullptr, nullptr));
    const host::EditOutcome outcome = EditWithSteps(Plugin(), 3, {"Button1"}, [&](HWND dialog) {
      EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner.get()) << "owned by the active window";
      Type(ControlAt(dialog, 11), L"Changed");
      DestroyWindow(destroyOwner ? owner.get() : dialog);
    });
    EXPECT_EQ(outcome.Result, 0) << (destroyOwner ? "owner" : "dialog") << " destroyed";
    EXPECT_EQ(outcome.Written, std::vector<bool>(8, false)) << (destroyOwner ? "owner" : "dialog") << " destroyed";
  }
  SetClock(0);
  Animate({"Button1", "0,0", "100,0", "1000"});
  TickAt(500);
  EXPECT_EQ(PositionsOf(window).back(), (POINT{50, 0}));
}

}  // namespace
