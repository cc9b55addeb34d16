// What a plug-in and its host hold of the process's resources, for leak
// checks: global memory blocks (they pass them to each other, so both
// modules' allocations and frees count), the plug-in's GDI objects, counted
// through the import tables (Wine reports no GDI or USER counts per
// process), the process's committed private memory and the windows of the
// calling thread. One watch at a time.
#pragma once

#include <windows.h>

#include <cstddef>
#include <ostream>

#include "tests/support/import_hook.h"

struct ResourceCounts {
  SIZE_T PrivateBytes = 0;  // PagefileUsage: Wine leaves PrivateUsage at 0
  size_t GlobalBlocks = 0;  // allocated by the plug-in or the host and not freed
  size_t GdiObjects = 0;    // fonts and device contexts the plug-in holds
  int Windows = 0;          // of this thread, child windows included
};
std::ostream& operator<<(std::ostream& out, const ResourceCounts& counts);

class ResourceWatch {
 public:
  // The host is the program itself.
  explicit ResourceWatch(HMODULE plugin);
  bool Installed() const;
  ResourceCounts Take() const;

 private:
  ImportHook pluginAlloc_, pluginFree_, hostAlloc_, hostFree_;
  ImportHook createFont_, deleteObject_, getDc_, releaseDc_;
};

// Committed memory may move by a few heap pages; a leak of even 8 bytes per
// call would show as 800 KB over 100,000 calls.
constexpr SIZE_T kPrivateMemorySlack = 256 * 1024;

// Prints both counts and expects the blocks, GDI objects and windows to be
// back where they were, and the memory within the slack.
void ExpectNoGrowth(const ResourceCounts& before, const ResourceCounts& after);
