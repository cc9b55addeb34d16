// Finding an object's window through the host, picking an object, and
// resolving a Target text.
#include "plugin/object_lookup.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/handle_table.h"
#include "host/reference_host.h"
#include "plugin/exports.h"
#include "tests/support/block_watch.h"

namespace zel {
namespace {

class ObjectLookupTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(blocks_.Installed());
    host::ResetHost();
    nbRegisterInterfaceAccess(host::AccessInterface);
  }
  void TearDown() override { nbRegisterInterfaceAccess(nullptr); }

  // Every block lent to the host, and every block the host put in its place,
  // is freed exactly once: by the host when it replaced it, else by the
  // plug-in. This module holds both sides, so the watch sees every free.
  void ExpectEveryBlockFreedOnce() {
    EXPECT_TRUE(blocks_.Live().empty());
    EXPECT_EQ(blocks_.StrayFrees(), 0);
  }

  BlockWatch blocks_{GetModuleHandleW(nullptr)};
};

TEST_F(ObjectLookupTest, HandleComesFromTheHostsAnswer) {
  host::Host().Objects["Button1"] = HandleFromKey(0x1234);
  host::Host().RawObjectAnswers = {{"Spaced", " 77"}, {"Word", "abc"}, {"Mixed", "12abc"}, {"Tab", "\t5"}};
  const struct {
    const char* Name;
    int32_t Expected;
  } cases[] = {{"Button1", 0x1234}, {"BUTTON1", 0x1234}, {"Spaced", 77}, {"Word", 0},
               {"Mixed", 12},       {"Tab", 5},          {"Unknown", 0}};
  for (bool inPlace : {false, true}) {
    host::Host().AnswerInPlace = inPlace;
    for (const auto& c : cases) {
      const std::wstring name(c.Name, c.Name + std::char_traits<char>::length(c.Name));
      EXPECT_EQ(FindObjectHandle(name), HandleFromKey(c.Expected)) << c.Name << (inPlace ? " in place" : "");
      EXPECT_EQ(host::Host().InterfaceRequests.back().Command, 7);
      EXPECT_EQ(host::Host().InterfaceRequests.back().Text, c.Name);
    }
  }
  ExpectEveryBlockFreedOnce();
}

TEST_F(ObjectLookupTest, PickGivesTheHostsAnswerOrNothing) {
  EXPECT_EQ(PickObject(L"Button1"), L"") << "a zero result means no answer";
  host::Host().PickAnswer = "Panel\t7";
  EXPECT_EQ(PickObject(L"Button1"), L"Panel7");
  host::Host().AnswerInPlace = true;
  host::Host().PickAnswer = "Lbl";
  EXPECT_EQ(PickObject(L"Button1"), L"Lbl");
  EXPECT_EQ(host::Host().InterfaceRequests.back().Command, 1);
  EXPECT_EQ(host::Host().InterfaceRequests.back().Text, "Button1");
  ExpectEveryBlockFreedOnce();
}

TEST_F(ObjectLookupTest, PickAsksTheHostEvenWithoutABlockForTheCurrentText) {
  host::Host().PickAnswer = "Button2";
  blocks_.FailAllocationsAfter(0);
  EXPECT_EQ(PickObject(L"Button1"), L"");  // the host cannot allocate its answer either
  ASSERT_EQ(host::Host().InterfaceRequests.size(), 1u);
  EXPECT_EQ(host::Host().InterfaceRequests[0].LentBlock, nullptr);
}

TEST_F(ObjectLookupTest, WithoutInterfaceAccessNothingIsAskedOrAllocated) {
  nbRegisterInterfaceAccess(nullptr);
  EXPECT_EQ(FindObjectHandle(L"Button1"), nullptr);
  EXPECT_EQ(PickObject(L"Button1"), L"");
  EXPECT_TRUE(blocks_.Allocated().empty());
}

TEST_F(ObjectLookupTest, TargetIsANumericHandleOrAnObjectName) {
  host::Host().Objects["Button1"] = HandleFromKey(0x2468);
  const struct {
    const wchar_t* Target;
    int32_t Expected;
    bool AsksHost;
  } cases[] = {
      {L" 123 ", 123, false},  {L"12.7", 12, false},       {L"-5", -5, false},
      {L"-", 0, false},        {L".", 0, false},           {L"", 0, false},
      {L"   ", 0, false},      {L"Button1", 0x2468, true}, {L"  Button1 ", 0x2468, true},
      {L"\tButton1", 0, true}, {L"+5", 0, true},           {L"Nowhere", 0, true},
  };
  for (const auto& c : cases) {
    const size_t requestsBefore = host::Host().InterfaceRequests.size();
    EXPECT_EQ(ResolveTarget(c.Target), HandleFromKey(c.Expected)) << "'" << testing::PrintToString(c.Target) << "'";
    EXPECT_EQ(host::Host().InterfaceRequests.size(), requestsBefore + (c.AsksHost ? 1 : 0))
        << testing::PrintToString(c.Target);
  }
  EXPECT_EQ(host::Host().InterfaceRequests[1].Text, "Button1") << "the name goes to the host trimmed";
}

}  // namespace
}  // namespace zel
