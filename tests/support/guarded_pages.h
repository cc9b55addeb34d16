// Two pages: the first readable and writable, the second inaccessible, for
// texts and arrays that run into memory the plug-in must not touch.
#pragma once

#include <windows.h>

#include <string>

class GuardedPages {
 public:
  GuardedPages() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    pageSize_ = info.dwPageSize;
    base_ = static_cast<char*>(VirtualAlloc(nullptr, 2 * pageSize_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old = 0;
    VirtualProtect(base_ + pageSize_, pageSize_, PAGE_NOACCESS, &old);
  }
  ~GuardedPages() { VirtualFree(base_, 0, MEM_RELEASE); }
  GuardedPages(const GuardedPages&) = delete;
  GuardedPages& operator=(const GuardedPages&) = delete;

  // Places the bytes so that they end exactly at the inaccessible page.
  char* AtPageEnd(const std::string& bytes) {
    char* start = base_ + pageSize_ - bytes.size();
    bytes.copy(start, bytes.size());
    return start;
  }
  char* Inaccessible() const { return base_ + pageSize_; }
  char* Readable() const { return base_; }
  void MakeReadOnly() {
    DWORD old = 0;
    VirtualProtect(base_, pageSize_, PAGE_READONLY, &old);
  }

 private:
  char* base_ = nullptr;
  size_t pageSize_ = 0;
};
