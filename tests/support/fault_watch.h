// The test programs count every hardware fault and fail the run on any.
// Inside this scope access violations are expected instead: the plug-in
// probes memory with IsBadReadPtr and IsBadWritePtr, which fault on purpose.
#pragma once

class ExpectedAccessViolations {
 public:
  ExpectedAccessViolations();
  ~ExpectedAccessViolations();
  ExpectedAccessViolations(const ExpectedAccessViolations&) = delete;
  ExpectedAccessViolations& operator=(const ExpectedAccessViolations&) = delete;
  // How many were raised in the scope so far.
  int Seen() const;

 private:
  long seenAtStart_;
};
