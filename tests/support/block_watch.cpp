#include "tests/support/block_watch.h"

namespace {

using GlobalAllocType = HGLOBAL(WINAPI*)(UINT, SIZE_T);
using GlobalFreeType = HGLOBAL(WINAPI*)(HGLOBAL);

std::set<HGLOBAL> LiveBlocks;
std::vector<HGLOBAL> AllocatedBlocks;
std::vector<HGLOBAL> FreedBlocks;
int AllocationsBeforeFailure = -1;  // -1: never fail
int StrayFreeCount = 0;
// The hooked module may be the test itself: call the real functions directly.
GlobalAllocType RealGlobalAlloc = nullptr;
GlobalFreeType RealGlobalFree = nullptr;

HGLOBAL WINAPI WatchedGlobalAlloc(UINT flags, SIZE_T bytes) {
  if (AllocationsBeforeFailure == 0) return nullptr;
  if (AllocationsBeforeFailure > 0) --AllocationsBeforeFailure;
  HGLOBAL block = RealGlobalAlloc(flags, bytes);
  if (block != nullptr) {
    LiveBlocks.insert(block);
    AllocatedBlocks.push_back(block);
  }
  return block;
}

HGLOBAL WINAPI WatchedGlobalFree(HGLOBAL block) {
  if (LiveBlocks.erase(block) == 0) ++StrayFreeCount;
  FreedBlocks.push_back(block);
  return RealGlobalFree(block);
}

}  // namespace

BlockWatch::BlockWatch(HMODULE module)
    : alloc_(module, "kernel32.dll", "GlobalAlloc", reinterpret_cast<const void*>(&WatchedGlobalAlloc)),
      free_(module, "kernel32.dll", "GlobalFree", reinterpret_cast<const void*>(&WatchedGlobalFree)) {
  RealGlobalAlloc = alloc_.Original<GlobalAllocType>();
  RealGlobalFree = free_.Original<GlobalFreeType>();
  LiveBlocks.clear();
  AllocatedBlocks.clear();
  FreedBlocks.clear();
  AllocationsBeforeFailure = -1;
  StrayFreeCount = 0;
}

BlockWatch::~BlockWatch() { AllocationsBeforeFailure = -1; }

const std::set<HGLOBAL>& BlockWatch::Live() const { return LiveBlocks; }
const std::vector<HGLOBAL>& BlockWatch::Allocated() const { return AllocatedBlocks; }
const std::vector<HGLOBAL>& BlockWatch::Freed() const { return FreedBlocks; }
int BlockWatch::StrayFrees() const { return StrayFreeCount; }
void BlockWatch::FailAllocationsAfter(int successes) { AllocationsBeforeFailure = successes; }
