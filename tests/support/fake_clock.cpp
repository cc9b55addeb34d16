#include "tests/support/fake_clock.h"

namespace {

uint32_t FakeNow = 0;
int FakeReads = 0;

DWORD WINAPI FakeGetTickCount() {
  ++FakeReads;
  return FakeNow;
}

}  // namespace

FakeClock::FakeClock(HMODULE module, uint32_t start)
    : hook_(module, "kernel32.dll", "GetTickCount", reinterpret_cast<const void*>(&FakeGetTickCount)) {
  FakeNow = start;
  FakeReads = 0;
}

uint32_t FakeClock::Now() const { return FakeNow; }
void FakeClock::Set(uint32_t now) { FakeNow = now; }
void FakeClock::Advance(uint32_t milliseconds) { FakeNow += milliseconds; }
int FakeClock::Reads() const { return FakeReads; }
