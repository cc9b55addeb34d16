// Steers GetTickCount as one module sees it, so a test can run the frame tick
// at exact times. One clock at a time.
#pragma once

#include <windows.h>

#include <cstdint>

#include "tests/support/import_hook.h"

class FakeClock {
 public:
  explicit FakeClock(HMODULE module, uint32_t start = 100000);
  bool Installed() const { return hook_.Installed(); }
  uint32_t Now() const;
  void Set(uint32_t now);
  void Advance(uint32_t milliseconds);
  // How often the module has read the clock.
  int Reads() const;

 private:
  ImportHook hook_;
};
