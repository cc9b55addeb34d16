// The main of every test program. Under Wine a crash must never pass
// unnoticed: an unhandled illegal instruction can end the process with exit
// code 0, and the message dispatcher swallows exceptions raised inside a
// timer callback. So every hardware fault is counted as it is raised, before
// any handler can swallow it, and fails the run.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "tests/support/fault_watch.h"

namespace {

volatile LONG HardwareFaults = 0;
volatile LONG ExpectedViolations = 0;
int ExpectedScopes = 0;

bool IsHardwareFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:  // also what the undefined-behaviour traps raise
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_IN_PAGE_ERROR:
      return true;
    default:
      return false;
  }
}

LONG CALLBACK CountHardwareFault(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD& record = *info->ExceptionRecord;
  if (ExpectedScopes > 0 && record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION) {
    InterlockedIncrement(&ExpectedViolations);
  } else if (IsHardwareFault(record.ExceptionCode)) {
    InterlockedIncrement(&HardwareFaults);
    std::fprintf(stderr, "hardware fault 0x%08lx at %p\n", static_cast<unsigned long>(record.ExceptionCode),
                 record.ExceptionAddress);
    std::fflush(stderr);
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI EndOnUnhandledException(EXCEPTION_POINTERS* info) {
  std::fprintf(stderr, "unhandled exception 0x%08lx\n",
               static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode));
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

class FaultReporter : public testing::EmptyTestEventListener {
 public:
  void OnTestStart(const testing::TestInfo&) override { faultsAtStart_ = HardwareFaults; }
  void OnTestEnd(const testing::TestInfo& test) override {
    if (HardwareFaults != faultsAtStart_)
      std::fprintf(stderr, "FAILED: %s.%s raised a hardware fault\n", test.test_suite_name(), test.name());
  }

 private:
  LONG faultsAtStart_ = 0;
};

}  // namespace

ExpectedAccessViolations::ExpectedAccessViolations() : seenAtStart_(ExpectedViolations) { ++ExpectedScopes; }
ExpectedAccessViolations::~ExpectedAccessViolations() { --ExpectedScopes; }
int ExpectedAccessViolations::Seen() const { return static_cast<int>(ExpectedViolations - seenAtStart_); }

int main(int argc, char** argv) {
  AddVectoredExceptionHandler(1, CountHardwareFault);
  SetUnhandledExceptionFilter(EndOnUnhandledException);
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new FaultReporter);
  const int result = RUN_ALL_TESTS();
  if (HardwareFaults != 0) {
    std::fprintf(stderr, "%ld hardware fault(s) were raised: failing the run\n", static_cast<long>(HardwareFaults));
    return 1;
  }
  return result;
}
