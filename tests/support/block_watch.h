// Watches the global memory blocks that one module allocates and frees, and
// can make its allocations fail. One watch at a time.
#pragma once

#include <windows.h>

#include <set>
#include <vector>

#include "tests/support/import_hook.h"

class BlockWatch {
 public:
  explicit BlockWatch(HMODULE module);
  ~BlockWatch();
  bool Installed() const { return alloc_.Installed() && free_.Installed(); }
  // Blocks the module allocated and has not freed itself.
  const std::set<HGLOBAL>& Live() const;
  // Every block the module allocated, and every block it freed, in order.
  const std::vector<HGLOBAL>& Allocated() const;
  const std::vector<HGLOBAL>& Freed() const;
  // Frees of blocks that were not live: double frees, or blocks from
  // elsewhere.
  int StrayFrees() const;
  // Lets `successes` more allocations through, then makes every one fail.
  void FailAllocationsAfter(int successes);

 private:
  ImportHook alloc_;
  ImportHook free_;
};
