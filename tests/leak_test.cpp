// A long run of actions leaves the plug-in holding what it held before it:
// memory, global blocks, GDI objects and windows.
#include <memory>
#include <string>
#include <vector>

#include "tests/plugin_fixture.h"
#include "tests/support/resource_watch.h"

namespace {

constexpr int kObjects = 10;
constexpr int kWarmUpActions = 10000;
constexpr int kActions = 100000;

class LeakTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    resources_ = std::make_unique<ResourceWatch>(plugin_->Handle());
    ASSERT_TRUE(resources_->Installed());
    for (int i = 0; i < kObjects; ++i) Object(Name(i), 10 * i, 20);
    // A completion chains the next motion, as scripts do.
    host::Host().Subroutines["Chain"] = [this] { Animate({Name(chained_++ % kObjects), "", "50,60", "30"}); };
  }

  static std::string Name(int i) { return "o" + std::to_string(i); }

  // Every kind of action in turn, with its errors, completions, stops and
  // shutdowns; a frame tick follows each.
  void RunActions(int count) {
    for (int i = 0; i < count; ++i) {
      const std::string name = Name(i % kObjects);
      switch (i % 10) {
        case 0:
          Animate({name, "", std::to_string(i % 300) + ",40", "64", "EaseInOut", "QuadBezier"});
          break;
        case 1:
          Effects({name, "0", "2", "1", "Chain", "0,255", "1,1.5", "0,90"});
          break;
        case 2:
          Animate({name, "10,10", "200,100", "48", "EaseOut", "CubicBezier", "1,2,3,4", "120", "Screen"});
          break;
        case 3:
          Effects({name, "16", "-1", "1", "", "255,0", "", "-30,30"});
          break;
        case 4:
          Animate({"nobody", "", "1,1", "10"});  // an error text for the host
          break;
        case 5:
          Stop({name, std::to_string(i % 2)});
          break;
        case 6:
          Effects({"o" + std::to_string(kObjects), "1", "1", "1", "x\"y"});
          break;
        case 7:
          Animate({name, "", "not a pair"});
          break;
        case 8:
          if (i % 1000 == 8) Plugin().Message(2, 0);
          break;
        default:
          Stop({std::to_string(reinterpret_cast<INT_PTR>(host::Host().Objects[name]))});
          break;
      }
      now_ += 16;
      if (TimerRunning()) TickAt(now_);
      if (i % 1024 == 0) ForgetLogs();
    }
  }

  void ForgetLogs() {
    host::ClearLogs();
    for (const UniqueWindow& object : objects_) EventsOf(object.get()).clear();
    timers_->KeepLatestOnly();
  }

  std::unique_ptr<ResourceWatch> resources_;
  uint32_t now_ = 0;
  int chained_ = 0;
};

TEST_F(LeakTest, HundredThousandActionsLeaveMemoryBlocksObjectsAndWindowsWhereTheyWere) {
  RunActions(kWarmUpActions);
  ForgetLogs();
  const ResourceCounts before = resources_->Take();
  RunActions(kActions);
  ForgetLogs();
  ExpectNoGrowth(before, resources_->Take());
}

}  // namespace
