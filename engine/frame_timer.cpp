#include "engine/frame_timer.h"

#include <algorithm>
#include <cmath>

#include "engine/frame_tick.h"
#include "engine/registry.h"

namespace zel {

FrameTimerState FrameTimer;

void InitialiseFrameTimer(HINSTANCE moduleInstance) {
  FrameTimer = FrameTimerState{};
  FrameTimer.ModuleInstance = moduleInstance;
}

int ClampFps(int fps) {
  if (fps < 15) fps = 60;
  return std::min(fps, 120);
}

namespace {

void CreateTimerWindow() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = TimerWindowProc;
  windowClass.hInstance = FrameTimer.ModuleInstance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = FrameTimer.TimerClassName;
  RegisterClassExW(&windowClass);  // fails harmlessly when already registered
  FrameTimer.TimerWindow = CreateWindowExW(0, FrameTimer.TimerClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                           FrameTimer.ModuleInstance, nullptr);
}

}  // namespace

HWND StartFrameTimer(int fps) {
  // std::lround rounds halves away from zero: 62.5 ms gives 63.
  FrameTimer.TimerInterval = std::max(1L, std::lround(1000.0 / ClampFps(fps)));
  if (FrameTimer.TimerWindow == nullptr) CreateTimerWindow();
  if (FrameTimer.TimerWindow != nullptr) {
    if (FrameTimer.TimerRunning) KillTimer(FrameTimer.TimerWindow, FrameTimer.TimerId);
    SetTimer(FrameTimer.TimerWindow, FrameTimer.TimerId, static_cast<UINT>(FrameTimer.TimerInterval), nullptr);
    FrameTimer.TimerRunning = 1;
  }
  return FrameTimer.TimerWindow;
}

int StopFrameTimerIfIdle() {
  if (FrameTimer.TimerWindow != nullptr && FrameTimer.TimerRunning && AnimationRegistry.Count() == 0) {
    KillTimer(FrameTimer.TimerWindow, FrameTimer.TimerId);
    FrameTimer.TimerRunning = 0;
  }
  return 0;
}

int DestroyFrameTimer() {
  if (FrameTimer.TimerWindow == nullptr) return 0;
  if (FrameTimer.TimerRunning) {
    KillTimer(FrameTimer.TimerWindow, FrameTimer.TimerId);
    FrameTimer.TimerRunning = 0;
  }
  DestroyWindow(FrameTimer.TimerWindow);
  FrameTimer.TimerWindow = nullptr;
  return 0;
}

LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == FrameTimer.TimerId) OnFrameTick();
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace zel
