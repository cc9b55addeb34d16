#include "engine/window_calls.h"

#include "engine/motion_math.h"

namespace zel {

Placement GetCurrentPlacement(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  POINT corner{rect.left, rect.top};
  if (HWND parent = GetParent(window)) ScreenToClient(parent, &corner);
  return {corner.x, corner.y, rect.right - rect.left, rect.bottom - rect.top};
}

void ScreenToParentClient(HWND window, int32_t& x, int32_t& y) {
  HWND parent = GetParent(window);
  if (parent == nullptr) return;
  POINT point{x, y};
  ScreenToClient(parent, &point);
  x = point.x, y = point.y;
}

void MoveWindowTo(HWND window, int32_t x, int32_t y) {
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceWindow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height) {
  SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {
// A negative value travels sign-extended, so (int)wParam reads it back.
WPARAM SignedParam(int32_t value) { return static_cast<WPARAM>(static_cast<INT_PTR>(value)); }
}  // namespace

void SendOpacity(HWND window, int32_t opacity) { SendMessageW(window, WM_ANIM_OPACITY, SignedParam(opacity), 0); }

void SendRotation(HWND window, float degrees) {
  SendMessageW(window, WM_ANIM_ROTATION, SignedParam(TruncateToInt32(static_cast<double>(degrees) * 10.0)), 0);
}

}  // namespace zel
