// The animation registry alone, as its size grows: the cost of one add, one
// find and one removal at 1k, 5k and 10k records. One operation takes tens of
// nanoseconds, below what the clock resolves, so batches of 1000 are timed
// and divided, many times over.
#include <algorithm>
#include <random>
#include <vector>

#include "bench/bench_support.h"
#include "bench/sections.h"
#include "engine/registry.h"

namespace bench {
namespace {

constexpr int kBatch = 1000;
constexpr int kRepeats = 25;

// Keys spaced as window handles are: small even steps above 0x10000.
int32_t KeyOf(int index) { return 0x10020 + 2 * index; }

template <typename Operation>
double NanosecondsPerOperation(const std::vector<int32_t>& keys, Operation&& operation) {
  const double start = Now();
  for (int32_t key : keys) operation(key);
  return (Now() - start) / static_cast<double>(keys.size()) * 1e9;
}

// The records [level - kBatch, level) taken out and put back, and a random
// sample of all found, kRepeats times.
void MeasureLevel(int level, std::mt19937& random) {
  std::vector<int32_t> present, sample;
  for (int i = 0; i < level; ++i) present.push_back(KeyOf(i));
  std::vector<double> adds, finds, removals;
  for (int repeat = 0; repeat < kRepeats; ++repeat) {
    std::shuffle(present.begin(), present.end(), random);
    sample.assign(present.begin(), present.begin() + kBatch);
    finds.push_back(NanosecondsPerOperation(sample, [](int32_t key) {
      volatile bool found = zel::AnimationRegistry.Find(key) != nullptr;
      (void)found;
    }));
    removals.push_back(NanosecondsPerOperation(sample, [](int32_t key) { zel::AnimationRegistry.Remove(key); }));
    adds.push_back(NanosecondsPerOperation(sample, [](int32_t key) { zel::BeginMotionRecord(key); }));
  }
  ResultLine("registry_scale")
      .Number("count", level)
      .Spread("add_ns", Summarise(adds))
      .Spread("find_ns", Summarise(finds))
      .Spread("remove_ns", Summarise(removals))
      .Print();
}

}  // namespace

void RunRegistryScale() {
  std::mt19937 random(20240601);
  zel::AnimationRegistry.Clear();
  int count = 0;
  for (int level : {1000, 5000, 10000}) {
    for (; count < level; ++count) zel::BeginMotionRecord(KeyOf(count));
    MeasureLevel(level, random);
  }
  zel::AnimationRegistry.Clear();
}

}  // namespace bench
