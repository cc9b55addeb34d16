// Real windows for tests: a stage, child windows that record every move and
// effect message they receive, and message pumping.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

struct WindowDestroyer {
  void operator()(HWND window) const {
    if (IsWindow(window)) DestroyWindow(window);
  }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// What a recording window received: a move or resize (the WINDOWPOS of
// WM_WINDOWPOSCHANGING; the size is 0 by 0 when SWP_NOSIZE was given) or an
// effect message with its wParam read as a signed 32-bit value.
struct WindowEvent {
  UINT Message = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  UINT Flags = 0;  // SWP_NOSIZE, SWP_NOMOVE, SWP_NOZORDER and SWP_NOACTIVATE only
  int Value = 0;
  bool operator==(const WindowEvent& other) const;
};
std::ostream& operator<<(std::ostream& out, const WindowEvent& event);

inline bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }
inline std::ostream& operator<<(std::ostream& out, const POINT& p) { return out << "(" << p.x << ", " << p.y << ")"; }

WindowEvent MovedTo(int x, int y);                          // SetWindowPos with flags 0x15
WindowEvent PlacedAt(int x, int y, int width, int height);  // SetWindowPos with flags 0x14
WindowEvent OpacitySent(int value);
WindowEvent RotationSent(int tenths);

// Runs after a recording window logged an event, inside its window procedure.
using WindowEventHandler = std::function<void(HWND window, const WindowEvent& event)>;

// A visible 800 by 600 top-level window at (40, 30), shared by every test.
HWND Stage();
UniqueWindow CreateRecordingChild(HWND parent, int x, int y, int width, int height);
std::vector<WindowEvent>& EventsOf(HWND recordingWindow);
std::vector<POINT> PositionsOf(HWND recordingWindow);  // the moves only
void SetEventHandler(HWND recordingWindow, WindowEventHandler handler);
// The window's outer rectangle in its parent's client coordinates.
RECT PlacementOf(HWND window);

// Dispatches every message of the thread until the predicate holds or the
// time runs out; true when the predicate held.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs);
void PumpMessagesFor(DWORD milliseconds);
