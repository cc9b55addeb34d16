// The plug-in DLL as the host sees it: loaded by path, reached only through
// its seven exported names, registered through the host's callbacks.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/reference_host.h"
#include "tests/support/block_watch.h"

namespace {

class PlugInDllTest : public testing::Test {
 protected:
  void SetUp() override {
    host::ResetHost();
    plugin_ = std::make_unique<host::PluginModule>(host::PluginPathBesideProgram());
    ASSERT_EQ(plugin_->Error(), "");
  }
  const host::PluginExports& Plugin() const { return plugin_->Exports(); }

  std::unique_ptr<host::PluginModule> plugin_;
};

TEST_F(PlugInDllTest, DescribesItselfAndRegistersTheThreeActionsInOrder) {
  const host::PlugInDescription description = host::ConnectPlugin(Plugin());
  EXPECT_EQ(description.Title, "Zelmora Zozarevo");
  EXPECT_FALSE(description.Author.empty());
  EXPECT_EQ(description.Author.find_first_of("\r\n"), std::string::npos) << "one line";
  EXPECT_EQ(description.Description,
            "Animate objects with easing, loops, opacity, scale & rotation (works with ZelOverlay)");

  const std::vector<host::RegisteredAction>& actions = host::Host().Actions;
  ASSERT_EQ(actions.size(), 3u);
  const struct {
    int Id;
    const char* Name;
    const char* Hint;
    int ParamCount;
  } expected[] = {
      {1, "zelAnimate", "Animate object: Target, FromXY, ToXY, DurationMs, Easing, PathType, PathData, FPS, CoordMode",
       9},
      {2, "zelStopAnimate", "Stop animation: Target, JumpToEnd(0/1)", 2},
      {3, "zelAnimateEx", "Effects: Target, Delay, Loops, PingPong, OnComplete, Opacity, Scale, Rotation", 8},
  };
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(actions[i].Id, expected[i].Id);
    EXPECT_EQ(actions[i].Name, expected[i].Name);
    EXPECT_EQ(actions[i].Hint, expected[i].Hint);
    EXPECT_EQ(actions[i].Reserved, 0);
    EXPECT_EQ(actions[i].ParamCount, expected[i].ParamCount);
    EXPECT_EQ(actions[i].ParamTypeCodes, std::vector<unsigned char>(expected[i].ParamCount, 1));
  }
}

TEST_F(PlugInDllTest, NullTitleAddressStillFillsTheOtherTexts) {
  char* author = nullptr;
  char* description = nullptr;
  EXPECT_EQ(Plugin().InitPlugIn(0, nullptr, &author, &description), 0);
  EXPECT_NE(author, nullptr);
  EXPECT_NE(description, nullptr);
}

TEST_F(PlugInDllTest, EntryPointsAnswerBeforeAnyRegistration) {
  char text[] = "Button1";
  char* params[] = {text, text, text, text, text, text, text, text, text};
  for (int id : {0, 4}) {
    EXPECT_EQ(Plugin().ExecAction(id, params), 0);
    EXPECT_EQ(Plugin().EditAction(id, params), 0);
    EXPECT_EQ(params[0], text) << "an unknown action leaves its parameters alone";
  }
  for (int code : {0, 1, 2, 3}) EXPECT_EQ(Plugin().Message(code, 0), 0);
  EXPECT_EQ(Plugin().RegisterInterfaceAccess(nullptr), 0);
  EXPECT_EQ(Plugin().RegisterScriptProcessor(nullptr), 0);
  EXPECT_EQ(Plugin().RegisterPlugIn(nullptr, 0, 0, nullptr), 0);
  EXPECT_TRUE(host::Host().Actions.empty());
}

TEST_F(PlugInDllTest, UnloadingFreesExactlyTheTextsHandedToTheHost) {
  BlockWatch blocks(plugin_->Handle());
  ASSERT_TRUE(blocks.Installed());
  host::ConnectPlugin(Plugin());
  const std::vector<HGLOBAL> handedOut = blocks.Allocated();
  EXPECT_EQ(handedOut.size(), 9u) << "title, author line, description, and name and hint of each action";
  EXPECT_TRUE(blocks.Freed().empty());
  Plugin().Message(2, 0);
  plugin_->Unload();
  EXPECT_EQ(blocks.Freed(), handedOut);
  EXPECT_TRUE(blocks.Live().empty());
}

}  // namespace
