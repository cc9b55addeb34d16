#include "tests/support/timer_watch.h"

namespace {

using SetTimerType = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC);
using KillTimerType = BOOL(WINAPI*)(HWND, UINT_PTR);

std::vector<TimerCall> RecordedCalls;
SetTimerType RealSetTimer = nullptr;
KillTimerType RealKillTimer = nullptr;

UINT_PTR WINAPI RecordSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC procedure) {
  RecordedCalls.push_back({true, window, id, period});
  return RealSetTimer(window, id, period, procedure);
}

BOOL WINAPI RecordKillTimer(HWND window, UINT_PTR id) {
  RecordedCalls.push_back({false, window, id, 0});
  return RealKillTimer(window, id);
}

}  // namespace

TimerWatch::TimerWatch(HMODULE module)
    : set_(module, "user32.dll", "SetTimer", reinterpret_cast<const void*>(&RecordSetTimer)),
      kill_(module, "user32.dll", "KillTimer", reinterpret_cast<const void*>(&RecordKillTimer)) {
  RealSetTimer = set_.Original<SetTimerType>();
  RealKillTimer = kill_.Original<KillTimerType>();
  RecordedCalls.clear();
}

std::vector<TimerCall>& TimerWatch::Calls() const { return RecordedCalls; }

bool TimerWatch::Running() const { return !RecordedCalls.empty() && RecordedCalls.back().Set; }

void TimerWatch::KeepLatestOnly() {
  if (RecordedCalls.size() > 1) RecordedCalls.erase(RecordedCalls.begin(), RecordedCalls.end() - 1);
}
