// The calls the engine makes on an animated window: moves, resizes and the
// two effect messages that overlay windows answer to show opacity and
// rotation. Each may run the window's own handlers before it returns.
#pragma once

#include <windows.h>

#include <cstdint>

namespace zel {

// wParam: opacity 0..255 (255 is fully opaque).
constexpr UINT WM_ANIM_OPACITY = WM_APP + 1;
// wParam: rotation in tenths of a degree as a signed 32-bit integer.
constexpr UINT WM_ANIM_ROTATION = WM_APP + 2;

// The window's outer rectangle: its top-left corner in the coordinates that
// SetWindowPos takes for it (its parent's client area, or the screen), and
// its outer size.
struct Placement {
  int32_t X = 0, Y = 0, Width = 0, Height = 0;
};
Placement GetCurrentPlacement(HWND window);
// Converts a screen point to the client coordinates of the window's parent;
// a window without a parent keeps it.
void ScreenToParentClient(HWND window, int32_t& x, int32_t& y);

void MoveWindowTo(HWND window, int32_t x, int32_t y);
void PlaceWindow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height);

void SendOpacity(HWND window, int32_t opacity);
// Sends the angle as tenths of a degree, truncated toward zero.
void SendRotation(HWND window, float degrees);

}  // namespace zel
