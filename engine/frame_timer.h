// One hidden window with one timer drives every running animation.
#pragma once

#include <windows.h>

namespace zel {

struct FrameTimerState {
  HINSTANCE ModuleInstance = nullptr;
  const wchar_t* TimerClassName = L"ZelmoraZozarevoHostClass";
  HWND TimerWindow = nullptr;
  UINT_PTR TimerId = 1;
  int TimerInterval = 16;  // ms; recomputed at every start
  int TimerRunning = 0;
};

extern FrameTimerState FrameTimer;

// Sets the initial state for the module that registers the window class.
void InitialiseFrameTimer(HINSTANCE moduleInstance);

// Below 15 gives 60 (so 0 and negatives give 60); above 120 gives 120.
int ClampFps(int fps);
// Creates the timer window if needed and (re)starts the timer for fps; the
// period of the latest start applies to every animation. Returns the timer
// window, null when it could not be created.
HWND StartFrameTimer(int fps);
// Stops the timer when no animation is left; the window stays.
int StopFrameTimerIfIdle();
int DestroyFrameTimer();
LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zel
