// Records the SetTimer and KillTimer calls of one module. One watch at a time.
#pragma once

#include <windows.h>

#include <vector>

#include "tests/support/import_hook.h"

struct TimerCall {
  bool Set;  // SetTimer, else KillTimer
  HWND Window;
  UINT_PTR Id;
  UINT Period;  // 0 for KillTimer
  bool operator==(const TimerCall& o) const {
    return Set == o.Set && Window == o.Window && Id == o.Id && Period == o.Period;
  }
};

class TimerWatch {
 public:
  explicit TimerWatch(HMODULE module);
  bool Installed() const { return set_.Installed() && kill_.Installed(); }
  std::vector<TimerCall>& Calls() const;
  // Whether the module's latest call set a timer rather than killed it.
  bool Running() const;
  // Forgets every call but the latest, which would otherwise pile up in a
  // long run.
  void KeepLatestOnly();

 private:
  ImportHook set_;
  ImportHook kill_;
};
