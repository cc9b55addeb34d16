// The three editor dialogs, driven as a user drives them: opened through the
// plug-in's nbEditAction by the reference host, inspected and operated from
// inside their own modal loop.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/editor_fixture.h"
#include "tests/plugin_fixture.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/resource_watch.h"
#include "tests/support/screenshot.h"

namespace {

// Controls of the motion editor by position.
enum {
  kTarget = 1,
  kPick = 2,
  kUseCurrent = 3,
  kFrom = 5,
  kTo = 7,
  kEasing = 12,
  kPath = 14,
  kPathData = 16,
  kFps = 18,
  kCoordMode = 20,
  kOk = 21,
  kCancel = 22
};

class EditorTest : public PluginTest {
 protected:
  host::EditOutcome Edit(int actionId, const std::vector<std::string>& params,
                         const std::function<void(HWND dialog)>& steps) {
    return EditWithSteps(Plugin(), actionId, params, steps);
  }

  static std::vector<std::string> Unwritten(size_t count) { return std::vector<std::string>(count); }
};

const wchar_t* const kLabel = L"Static";
const wchar_t* const kEdit = L"Edit";
const wchar_t* const kCombo = L"ComboBox";
const wchar_t* const kButton = L"Button";

struct ControlRow {
  const wchar_t* ClassName;
  const wchar_t* Caption;  // checked for labels, buttons and check boxes
  int X, Y, Width, Height;
};

struct LayoutCase {
  int ActionId;
  int ClientWidth, ClientHeight;
  std::vector<ControlRow> Controls;
  int CancelIndex;
  const wchar_t* Screenshot;
};

class EditorLayoutTest : public EditorTest, public testing::WithParamInterface<LayoutCase> {};

TEST_P(EditorLayoutTest, ShowsItsControlsInOrderAtTheirPlaces) {
  const LayoutCase& c = GetParam();
  const host::EditOutcome outcome = Edit(c.ActionId, {}, [&](HWND dialog) {
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, c.ClientWidth);
    EXPECT_EQ(client.bottom, c.ClientHeight);
    RECT frame{};
    GetWindowRect(dialog, &frame);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2) << "centred";
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);
    EXPECT_EQ(GetWindowLongW(dialog, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_NE(GetWindowLongW(dialog, GWL_STYLE) & WS_SYSMENU, 0);
    for (size_t i = 0; i < c.Controls.size(); ++i) {
      const ControlRow& row = c.Controls[i];
      HWND control = ControlAt(dialog, static_cast<int>(i));
      ASSERT_NE(control, nullptr) << "control " << i;
      wchar_t className[32] = {};
      GetClassNameW(control, className, 32);
      EXPECT_STREQ(className, row.ClassName) << "control " << i;
      if (row.Caption != nullptr) {
        EXPECT_EQ(TextOf(control), row.Caption) << "control " << i;
      }
      const RECT rect = ClientRectOf(control);
      EXPECT_EQ(rect.left, row.X) << "control " << i;
      EXPECT_EQ(rect.top, row.Y) << "control " << i;
      EXPECT_EQ(rect.right - rect.left, row.Width) << "control " << i;
      if (std::wstring(row.ClassName) != kCombo) {  // a list's height is its selection field's
        EXPECT_EQ(rect.bottom - rect.top, row.Height) << "control " << i;
      }
    }
    EXPECT_EQ(ControlAt(dialog, static_cast<int>(c.Controls.size())), nullptr) << "no further control";
    SaveWindowPng(dialog, ScreenshotFolder() + c.Screenshot);
    Click(ControlAt(dialog, c.CancelIndex));
  });
  EXPECT_EQ(outcome.Result, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, EditorLayoutTest,
    testing::Values(
        LayoutCase{
            1,
            520,
            310,
            {{kLabel, L"Target:", 12, 14, 70, 20},    {kEdit, nullptr, 90, 10, 320, 22},
             {kButton, L"Pick...", 420, 10, 85, 22},  {kButton, L"Use current position as start", 90, 45, 240, 20},
             {kLabel, L"FromXY:", 12, 74, 70, 20},    {kEdit, nullptr, 90, 70, 150, 22},
             {kLabel, L"ToXY:", 12, 104, 70, 20},     {kEdit, nullptr, 90, 100, 150, 22},
             {kLabel, L"Duration:", 12, 134, 80, 20}, {kEdit, nullptr, 90, 130, 150, 22},
             {kLabel, L"ms", 245, 134, 60, 20},       {kLabel, L"Easing:", 12, 164, 70, 20},
             {kCombo, nullptr, 90, 160, 150, 22},     {kLabel, L"Path:", 12, 194, 70, 20},
             {kCombo, nullptr, 90, 190, 150, 22},     {kLabel, L"PathData:", 260, 194, 90, 20},
             {kEdit, nullptr, 340, 190, 165, 22},     {kLabel, L"FPS:", 12, 224, 70, 20},
             {kEdit, nullptr, 90, 220, 150, 22},      {kLabel, L"CoordMode:", 260, 224, 90, 20},
             {kCombo, nullptr, 340, 220, 165, 22},    {kButton, L"OK", 320, 262, 90, 28},
             {kButton, L"Cancel", 415, 262, 90, 28}},
            22,
            L"animate-editor.png"},
        LayoutCase{2,
                   420,
                   140,
                   {{kLabel, L"Target:", 12, 14, 70, 20},
                    {kEdit, nullptr, 90, 10, 250, 22},
                    {kButton, L"Pick", 350, 10, 55, 22},
                    {kButton, L"Jump to end position", 90, 45, 220, 20},
                    {kButton, L"OK", 230, 85, 80, 26},
                    {kButton, L"Cancel", 315, 85, 80, 26}},
                   5,
                   L"stop-editor.png"},
        LayoutCase{3,
                   460,
                   370,
                   {{kLabel, L"Target:", 12, 14, 80, 20},
                    {kEdit, nullptr, 110, 10, 240, 22},
                    {kButton, L"Pick...", 360, 10, 85, 22},
                    {kLabel, L"Delay:", 12, 48, 80, 20},
                    {kEdit, nullptr, 110, 44, 100, 22},
                    {kLabel, L"ms", 215, 48, 30, 20},
                    {kLabel, L"Loops:", 12, 82, 80, 20},
                    {kEdit, nullptr, 110, 78, 100, 22},
                    {kLabel, L"(-1=infinite, 0=once, N=N times)", 215, 82, 220, 20},
                    {kButton, L"PingPong (reverse each loop)", 110, 112, 250, 20},
                    {kLabel, L"OnComplete:", 12, 146, 80, 20},
                    {kEdit, nullptr, 110, 142, 240, 22},
                    {kLabel, L"(sub name)", 355, 146, 90, 20},
                    {kLabel, L"Opacity:", 12, 180, 80, 20},
                    {kEdit, nullptr, 110, 176, 150, 22},
                    {kLabel, L"(from,to  e.g. 0,255)", 265, 180, 180, 20},
                    {kLabel, L"Scale:", 12, 214, 80, 20},
                    {kEdit, nullptr, 110, 210, 150, 22},
                    {kLabel, L"(from,to  e.g. 0.5,1.0)", 265, 214, 180, 20},
                    {kLabel, L"Rotation:", 12, 248, 80, 20},
                    {kEdit, nullptr, 110, 244, 150, 22},
                    {kLabel, L"(from,to deg e.g. 0,360)", 265, 248, 180, 20},
                    {kButton, L"OK", 260, 284, 90, 28},
                    {kButton, L"Cancel", 355, 284, 90, 28}},
                   23,
                   L"effects-editor.png"}));

TEST_F(EditorTest, MotionEditorFillsDefaultsOnlyForEmptyTexts) {
  const host::EditOutcome outcome = Edit(1, {}, [](HWND dialog) {
    EXPECT_EQ(SelectedItem(ControlAt(dialog, kEasing)), L"Linear");
    EXPECT_EQ(SelectedItem(ControlAt(dialog, kPath)), L"Line");
    EXPECT_EQ(TextOf(ControlAt(dialog, kFps)), L"60");
    EXPECT_EQ(SelectedItem(ControlAt(dialog, kCoordMode)), L"ParentClient");
    EXPECT_TRUE(IsBoxChecked(ControlAt(dialog, kUseCurrent)));
    EXPECT_FALSE(IsWindowEnabled(ControlAt(dialog, kFrom)));
    EXPECT_FALSE(IsWindowEnabled(ControlAt(dialog, kPathData)));
    Click(ControlAt(dialog, kOk));
  });
  EXPECT_EQ(outcome.Result, 1);
  EXPECT_EQ(outcome.Texts, (std::vector<std::string>{"", "", "", "", "Linear", "Line", "", "60", "ParentClient"}));
  EXPECT_EQ(outcome.Written, std::vector<bool>(9, true));

  const host::EditOutcome spaces = Edit(1, {"Button1", "  ", "1,2", "100", " ", " ", "", "  ", " "}, [](HWND dialog) {
    EXPECT_TRUE(IsBoxChecked(ControlAt(dialog, kUseCurrent)));
    EXPECT_EQ(TextOf(ControlAt(dialog, kFrom)), L"  ") << "disabled, still showing the spaces";
    EXPECT_EQ(SelectedItem(ControlAt(dialog, kEasing)), L"");
    EXPECT_EQ(TextOf(ControlAt(dialog, kFps)), L"  ");
    Click(ControlAt(dialog, kOk));
  });
  EXPECT_EQ(spaces.Texts, (std::vector<std::string>{"Button1", "", "1,2", "100", "", "", "", "  ", ""}));
}

TEST_F(EditorTest, ListsSelectWholeItemsWithoutRegardToCase) {
  const struct {
    const char* Easing;
    const wchar_t* Selected;
    const char* Written;
  } cases[] = {{"easeout", L"EaseOut", "EaseOut"},
               {"EASEINOUT", L"EaseInOut", "EaseInOut"},
               {"in", L"", ""},
               {" Linear", L"", ""},
               {"Ease", L"", ""}};
  for (const auto& c : cases) {
    const host::EditOutcome outcome = Edit(1, {"B", "", "", "", c.Easing, "cubic", "", "", "screen"}, [&](HWND d) {
      EXPECT_EQ(SelectedItem(ControlAt(d, kEasing)), c.Selected) << c.Easing;
      EXPECT_EQ(SelectedItem(ControlAt(d, kPath)), L"") << "the short cubic name is no item";
      EXPECT_FALSE(IsWindowEnabled(ControlAt(d, kPathData)));
      EXPECT_EQ(SelectedItem(ControlAt(d, kCoordMode)), L"Screen");
      Click(ControlAt(d, kOk));
    });
    EXPECT_EQ(outcome.Texts[4], c.Written) << c.Easing;
    EXPECT_EQ(outcome.Texts[5], "");
    EXPECT_EQ(outcome.Texts[8], "Screen");
  }
}

TEST_F(EditorTest, PathDataFollowsThePath) {
  Edit(1, {"B", "", "", "", "", " QuadBezier ", "5,5"}, [](HWND d) {
    EXPECT_TRUE(IsWindowEnabled(ControlAt(d, kPathData))) << "the opening test trims";
    EXPECT_EQ(SelectedItem(ControlAt(d, kPath)), L"") << "but the list does not";
    Click(ControlAt(d, kCancel));
  });
  const host::EditOutcome outcome = Edit(1, {"B", "", "", "", "", "Line", "1,2"}, [](HWND d) {
    HWND pathData = ControlAt(d, kPathData);
    EXPECT_FALSE(IsWindowEnabled(pathData));
    EXPECT_EQ(TextOf(pathData), L"1,2");
    Choose(ControlAt(d, kPath), L"QuadBezier");
    EXPECT_TRUE(IsWindowEnabled(pathData));
    EXPECT_EQ(TextOf(pathData), L"1,2");
    Choose(ControlAt(d, kPath), L"Line");
    EXPECT_FALSE(IsWindowEnabled(pathData));
    EXPECT_EQ(TextOf(pathData), L"");
    Choose(ControlAt(d, kPath), L"CubicBezier");
    EXPECT_TRUE(IsWindowEnabled(pathData));
    EXPECT_EQ(TextOf(pathData), L"");
    Type(pathData, L"1,2,3,4");
    Click(ControlAt(d, kOk));
  });
  EXPECT_EQ(outcome.Texts[5], "CubicBezier");
  EXPECT_EQ(outcome.Texts[6], "1,2,3,4");

  const host::EditOutcome untouched =
      Edit(1, {"B", "", "", "", "", "Line", "1,2"}, [](HWND d) { Click(ControlAt(d, kOk)); });
  EXPECT_EQ(untouched.Texts[6], "1,2") << "a disabled field is written as it stands";
}

TEST_F(EditorTest, UseCurrentPositionEmptiesAndDisablesFromXY) {
  const host::EditOutcome outcome = Edit(1, {"B", "10,20"}, [](HWND d) {
    HWND box = ControlAt(d, kUseCurrent), from = ControlAt(d, kFrom);
    EXPECT_FALSE(IsBoxChecked(box));
    EXPECT_TRUE(IsWindowEnabled(from));
    Click(box);
    EXPECT_FALSE(IsWindowEnabled(from));
    EXPECT_EQ(TextOf(from), L"");
    Click(box);
    EXPECT_TRUE(IsWindowEnabled(from));
    EXPECT_EQ(TextOf(from), L"") << "unchecking keeps the emptied text";
    Type(from, L"5,6");
    Click(ControlAt(d, kOk));
  });
  EXPECT_EQ(outcome.Texts[1], "5,6");
}

TEST_F(EditorTest, PickReplacesTheTargetOnlyWithAnAnswer) {
  for (int actionId : {1, 2, 3}) {
    host::Host().PickAnswer = "";
    const host::EditOutcome kept = Edit(actionId, {"Old"}, [](HWND d) {
      Click(ControlAt(d, kPick));
      EXPECT_EQ(TextOf(ControlAt(d, kTarget)), L"Old") << "no answer leaves the field";
      host::Host().PickAnswer = "Button7";
      Click(ControlAt(d, kPick));
      EXPECT_EQ(TextOf(ControlAt(d, kTarget)), L"Button7");
      RequestClose(d);
    });
    EXPECT_EQ(kept.Result, 0);
    EXPECT_EQ(host::Host().InterfaceRequests.back().Command, 1);
    EXPECT_EQ(host::Host().InterfaceRequests.back().Text, "Old") << "the field's text goes to the host";
  }
}

TEST_F(EditorTest, CancelAndCloseWriteNothing) {
  for (int actionId : {1, 2, 3}) {
    for (bool close : {false, true}) {
      const std::vector<std::string> params = {"B", "1", "2", "3"};
      const host::EditOutcome outcome = Edit(actionId, params, [&](HWND d) {
        Type(ControlAt(d, 1), L"changed");
        if (close)
          RequestClose(d);
        else
          Click(ControlAt(d, EditorOf(actionId).Cancel));
      });
      EXPECT_EQ(outcome.Result, 0);
      EXPECT_EQ(outcome.Written, std::vector<bool>(outcome.Written.size(), false)) << actionId;
    }
  }
}

TEST_F(EditorTest, CheckBoxesShowTheTextsIntegerValue) {
  const struct {
    const char* Text;
    bool Checked;
  } cases[] = {{"2", true},    {"-1", true},   {"1.9", true}, {"  1", true}, {"$10", true}, {"4294967296", true},
               {"0.9", false}, {"yes", false}, {"", false},   {"0", false},  {"\t0", false}};
  for (const auto& c : cases) {
    const host::EditOutcome stop = Edit(2, {"B", c.Text}, [&](HWND d) {
      EXPECT_EQ(IsBoxChecked(ControlAt(d, 3)), c.Checked) << "JumpToEnd " << c.Text;
      Click(ControlAt(d, 4));
    });
    EXPECT_EQ(stop.Texts, (std::vector<std::string>{"B", c.Checked ? "1" : "0"})) << c.Text;
    const host::EditOutcome effects = Edit(3, {"B", "", "", c.Text}, [&](HWND d) {
      EXPECT_EQ(IsBoxChecked(ControlAt(d, 9)), c.Checked) << "PingPong " << c.Text;
      Click(ControlAt(d, 22));
    });
    EXPECT_EQ(effects.Texts[3], c.Checked ? "1" : "0") << c.Text;
  }
}

TEST_F(EditorTest, EffectsEditorDefaultsDelayAndLoopsAndRewritesEverything) {
  const host::EditOutcome outcome = Edit(3, {}, [](HWND d) {
    EXPECT_EQ(TextOf(ControlAt(d, 4)), L"0");
    EXPECT_EQ(TextOf(ControlAt(d, 7)), L"0");
    EXPECT_FALSE(IsBoxChecked(ControlAt(d, 9)));
    Click(ControlAt(d, 22));
  });
  EXPECT_EQ(outcome.Result, 1);
  EXPECT_EQ(outcome.Texts, (std::vector<std::string>{"", "0", "0", "0", "", "", "", ""}));
  EXPECT_EQ(outcome.Written, std::vector<bool>(8, true));

  const host::EditOutcome typed = Edit(3, {"B", " ", "3", "1", "Done", "0,255", "1,2", "0,360"}, [](HWND d) {
    EXPECT_EQ(TextOf(ControlAt(d, 4)), L" ") << "spaces get no default";
    Click(ControlAt(d, 9));
    Type(ControlAt(d, 11), L"Next");
    Click(ControlAt(d, 22));
  });
  EXPECT_EQ(typed.Texts, (std::vector<std::string>{"B", " ", "3", "0", "Next", "0,255", "1,2", "0,360"}));
}

TEST_F(EditorTest, UnknownIdsOpenNoWindow) {
  for (int id : {0, 4, -1}) {
    bool opened = false;
    const host::EditOutcome outcome = host::EditAction(Plugin(), id, {"B", "1"});
    opened = FindThreadWindow(L"ZelmoraZozarevoEditor", nullptr) != nullptr;
    EXPECT_FALSE(opened);
    EXPECT_EQ(outcome.Result, 0);
    EXPECT_EQ(outcome.Written, (std::vector<bool>{false, false}));
  }
}

HWND DialogToCancel = nullptr;

void CALLBACK CancelDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  Click(ControlAt(DialogToCancel, 5));
}

TEST_F(EditorTest, AnimationsKeepMovingWhileADialogIsOpen) {
  clock_.reset();  // the real clock and the real timer
  HWND window = Object("Button1", 0, 0);
  Animate({"Button1", "0,0", "200,0", "400"});
  const host::EditOutcome outcome = Edit(2, {"Button1"}, [](HWND dialog) {
    DialogToCancel = dialog;
    SetTimer(nullptr, 0, 800, CancelDialog);
  });
  EXPECT_EQ(outcome.Result, 0);
  EXPECT_EQ(PlacementOf(window).left, 200) << "the animation ran to its end inside the dialog's loop";
  EXPECT_GE(PositionsOf(window).size(), 5u);
}

TEST_F(EditorTest, TwoHundredCyclesLeaveMemoryBlocksFontsAndWindowsWhereTheyWere) {
  ResourceWatch resources(plugin_->Handle());
  ASSERT_TRUE(resources.Installed());
  // Each editor closed each of the three ways a user can, in turn; counts
  // the texts handed to the host.
  size_t handedOver = 0, heldWhileOpen = 0;
  const auto cycle = [&](int i) {
    const int actionId = 1 + i % 3, way = i / 3 % 3;
    const host::EditOutcome outcome = Edit(actionId, {"Button1", "1,2", "3,4"}, [&](HWND dialog) {
      heldWhileOpen = std::max(heldWhileOpen, resources.Take().GdiObjects);
      if (way == 0) return RequestClose(dialog);
      Click(ControlAt(dialog, way == 1 ? EditorOf(actionId).Ok : EditorOf(actionId).Cancel));
    });
    handedOver += std::count(outcome.Written.begin(), outcome.Written.end(), true);
  };
  for (int i = 0; i < 9; ++i) cycle(i);
  const ResourceCounts before = resources.Take();
  for (int i = 0; i < 200; ++i) cycle(i);
  ExpectNoGrowth(before, resources.Take());
  EXPECT_GT(handedOver, 0u) << "OK handed texts to the host, which freed them";
  EXPECT_GT(heldWhileOpen, 0u) << "the watch sees the font an open dialog holds";
}

TEST_F(EditorTest, UsesTheSystemMessageFont) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  LOGFONTW used{};
  Edit(2, {}, [&](HWND dialog) {
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(ControlAt(dialog, 0), WM_GETFONT, 0, 0)), sizeof(used), &used);
    RequestClose(dialog);
  });
  EXPECT_STREQ(used.lfFaceName, metrics.lfMessageFont.lfFaceName) << "the system message font";
}

}  // namespace
