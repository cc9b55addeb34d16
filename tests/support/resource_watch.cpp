#include "tests/support/resource_watch.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdio>
#include <set>

#include "tests/support/dialog_driver.h"

namespace {

using GlobalAllocType = HGLOBAL(WINAPI*)(UINT, SIZE_T);
using GlobalFreeType = HGLOBAL(WINAPI*)(HGLOBAL);
using CreateFontIndirectType = HFONT(WINAPI*)(const LOGFONTW*);
using DeleteObjectType = BOOL(WINAPI*)(HGDIOBJ);
using GetDcType = HDC(WINAPI*)(HWND);
using ReleaseDcType = int(WINAPI*)(HWND, HDC);

std::set<const void*> LiveBlocks;
std::set<const void*> HeldGdiObjects;
// Both modules' imports lead to the same functions: call them directly.
GlobalAllocType RealGlobalAlloc = nullptr;
GlobalFreeType RealGlobalFree = nullptr;
CreateFontIndirectType RealCreateFontIndirect = nullptr;
DeleteObjectType RealDeleteObject = nullptr;
GetDcType RealGetDc = nullptr;
ReleaseDcType RealReleaseDc = nullptr;

HGLOBAL WINAPI WatchedGlobalAlloc(UINT flags, SIZE_T bytes) {
  HGLOBAL block = RealGlobalAlloc(flags, bytes);
  if (block != nullptr) LiveBlocks.insert(block);
  return block;
}

HGLOBAL WINAPI WatchedGlobalFree(HGLOBAL block) {
  LiveBlocks.erase(block);
  return RealGlobalFree(block);
}

HFONT WINAPI WatchedCreateFontIndirect(const LOGFONTW* font) {
  HFONT created = RealCreateFontIndirect(font);
  if (created != nullptr) HeldGdiObjects.insert(created);
  return created;
}

BOOL WINAPI WatchedDeleteObject(HGDIOBJ object) {
  HeldGdiObjects.erase(object);
  return RealDeleteObject(object);
}

HDC WINAPI WatchedGetDc(HWND window) {
  HDC dc = RealGetDc(window);
  if (dc != nullptr) HeldGdiObjects.insert(dc);
  return dc;
}

int WINAPI WatchedReleaseDc(HWND window, HDC dc) {
  HeldGdiObjects.erase(dc);
  return RealReleaseDc(window, dc);
}

template <typename Function>
const void* Hook(Function* function) {
  return reinterpret_cast<const void*>(function);
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const ResourceCounts& counts) {
  return out << counts.PrivateBytes << " private bytes, " << counts.GlobalBlocks << " global blocks, "
             << counts.GdiObjects << " GDI objects, " << counts.Windows << " windows";
}

ResourceWatch::ResourceWatch(HMODULE plugin)
    : pluginAlloc_(plugin, "kernel32.dll", "GlobalAlloc", Hook(&WatchedGlobalAlloc)),
      pluginFree_(plugin, "kernel32.dll", "GlobalFree", Hook(&WatchedGlobalFree)),
      hostAlloc_(GetModuleHandleW(nullptr), "kernel32.dll", "GlobalAlloc", Hook(&WatchedGlobalAlloc)),
      hostFree_(GetModuleHandleW(nullptr), "kernel32.dll", "GlobalFree", Hook(&WatchedGlobalFree)),
      createFont_(plugin, "gdi32.dll", "CreateFontIndirectW", Hook(&WatchedCreateFontIndirect)),
      deleteObject_(plugin, "gdi32.dll", "DeleteObject", Hook(&WatchedDeleteObject)),
      getDc_(plugin, "user32.dll", "GetDC", Hook(&WatchedGetDc)),
      releaseDc_(plugin, "user32.dll", "ReleaseDC", Hook(&WatchedReleaseDc)) {
  RealGlobalAlloc = pluginAlloc_.Original<GlobalAllocType>();
  RealGlobalFree = pluginFree_.Original<GlobalFreeType>();
  RealCreateFontIndirect = createFont_.Original<CreateFontIndirectType>();
  RealDeleteObject = deleteObject_.Original<DeleteObjectType>();
  RealGetDc = getDc_.Original<GetDcType>();
  RealReleaseDc = releaseDc_.Original<ReleaseDcType>();
  LiveBlocks.clear();
  HeldGdiObjects.clear();
}

bool ResourceWatch::Installed() const {
  for (const ImportHook* hook :
       {&pluginAlloc_, &pluginFree_, &hostAlloc_, &hostFree_, &createFont_, &deleteObject_, &getDc_, &releaseDc_})
    if (!hook->Installed()) return false;
  return true;
}

ResourceCounts ResourceWatch::Take() const {
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
  return {memory.PagefileUsage, LiveBlocks.size(), HeldGdiObjects.size(), CountThreadWindows()};
}

void ExpectNoGrowth(const ResourceCounts& before, const ResourceCounts& after) {
  std::printf("before: %s\nafter:  %s\n", testing::PrintToString(before).c_str(),
              testing::PrintToString(after).c_str());
  EXPECT_EQ(after.GlobalBlocks, before.GlobalBlocks);
  EXPECT_EQ(after.GdiObjects, before.GdiObjects);
  EXPECT_EQ(after.Windows, before.Windows);
  EXPECT_LE(after.PrivateBytes, before.PrivateBytes + kPrivateMemorySlack);
}
