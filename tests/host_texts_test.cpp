// Texts handed to the host, and the host services behind its callbacks.
#include "plugin/host_texts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "plugin/exports.h"
#include "tests/support/block_watch.h"

namespace zel {
namespace {

struct VariableCall {
  std::string Name, Value;
  char* NameBlock;
  char* ValueBlock;
};
std::vector<VariableCall> VariableCalls;
std::vector<std::pair<std::string, char*>> ScriptCalls;

int WINAPI RecordVariable(char* name, char* value) {
  VariableCalls.push_back({name, value, name, value});
  return 1;
}

int WINAPI RecordScriptLine(char* line) {
  ScriptCalls.push_back({line, line});
  return 1;
}

class HostTextsTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(blocks_.Installed());
    VariableCalls.clear();
    ScriptCalls.clear();
  }
  void TearDown() override {
    nbRegisterPlugIn(nullptr, 0, 0, nullptr);
    nbRegisterScriptProcessor(nullptr);
  }

  BlockWatch blocks_{GetModuleHandleW(nullptr)};
};

TEST_F(HostTextsTest, EmptyTextIsAZeroFilledTwoByteBlock) {
  char* block = ToHostText(L"");
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), 2u);
  EXPECT_EQ(block[0], 0);
  EXPECT_EQ(block[1], 0);
  EXPECT_EQ(GlobalFlags(block) & GMEM_MOVEABLE, 0u) << "a fixed block: its handle is its address";
  GlobalFree(block);
}

TEST_F(HostTextsTest, TextIsConvertedToTheAnsiCodePageWithTwoSpareBytes) {
  char* block = ToHostText(L"GoSub \"Done\"");
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), 14u);
  EXPECT_STREQ(block, "GoSub \"Done\"");
  EXPECT_EQ(block[13], 0);
  GlobalFree(block);
}

TEST_F(HostTextsTest, CharactersTheCodePageLacksBecomeItsDefaultCharacter) {
  CPINFO info{};
  ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
  if (info.MaxCharSize != 1) GTEST_SKIP() << "needs a single-byte ANSI code page";
  char* block = ToHostText(
      L"a\x4E2D"
      L"b");
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[0], 'a');
  EXPECT_EQ(block[1], static_cast<char>(info.DefaultChar[0]));
  EXPECT_EQ(block[2], 'b');
  EXPECT_EQ(GlobalSize(block), 5u);
  GlobalFree(block);
}

TEST_F(HostTextsTest, LastErrorGoesToTheErrorVariableAndBothBlocksAreFreedNameFirst) {
  nbRegisterPlugIn(nullptr, 0, 0, RecordVariable);
  SetLastError(L"Target object not found or invalid:  Button9 ");
  ASSERT_EQ(VariableCalls.size(), 1u);
  EXPECT_EQ(VariableCalls[0].Name, "[ZelZozarevo.LastError]");
  EXPECT_EQ(VariableCalls[0].Value, "Target object not found or invalid:  Button9 ");
  EXPECT_EQ(blocks_.Freed(), (std::vector<HGLOBAL>{VariableCalls[0].NameBlock, VariableCalls[0].ValueBlock}));
  EXPECT_TRUE(blocks_.Live().empty());
}

TEST_F(HostTextsTest, ServicesWithoutTheirCallbackDoNothing) {
  SetLastError(L"lost");
  SetHostVariable(L"[X]", L"1");
  RunScript(L"GoSub \"Done\"");
  EXPECT_TRUE(VariableCalls.empty());
  EXPECT_TRUE(ScriptCalls.empty());
  EXPECT_TRUE(blocks_.Allocated().empty());
}

TEST_F(HostTextsTest, VariableIsNotSetWhenOneBlockCannotBeAllocated) {
  nbRegisterPlugIn(nullptr, 0, 0, RecordVariable);
  for (int successes : {0, 1}) {
    blocks_.FailAllocationsAfter(successes);
    SetHostVariable(L"[X]", L"1");
  }
  EXPECT_TRUE(VariableCalls.empty());
  EXPECT_TRUE(blocks_.Live().empty()) << "the block that was allocated is freed";
}

TEST_F(HostTextsTest, ScriptLineIsHandedOverOnceAndFreed) {
  nbRegisterScriptProcessor(RecordScriptLine);
  RunScript(L"");
  EXPECT_TRUE(ScriptCalls.empty()) << "an empty line is not sent";
  RunScript(L"GoSub \"Next Scene\"");
  ASSERT_EQ(ScriptCalls.size(), 1u);
  EXPECT_EQ(ScriptCalls[0].first, "GoSub \"Next Scene\"");
  EXPECT_EQ(blocks_.Freed(), std::vector<HGLOBAL>{ScriptCalls[0].second});
  blocks_.FailAllocationsAfter(0);
  RunScript(L"GoSub \"Lost\"");
  EXPECT_EQ(ScriptCalls.size(), 1u);
}

}  // namespace
}  // namespace zel
