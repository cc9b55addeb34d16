#include "tests/support/test_windows.h"

#include <string>

#include "engine/window_calls.h"

namespace {

constexpr wchar_t kStageClass[] = L"ZelTestStage";
constexpr wchar_t kRecorderClass[] = L"ZelTestRecorder";
constexpr UINT kRecordedFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;

struct WindowLog {
  std::vector<WindowEvent> Events;
  WindowEventHandler Handler;
};

WindowLog* LogOf(HWND window) { return reinterpret_cast<WindowLog*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

void Record(HWND window, const WindowEvent& event) {
  WindowLog* log = LogOf(window);
  if (log == nullptr) return;
  log->Events.push_back(event);
  if (log->Handler) {
    WindowEventHandler handler = log->Handler;  // the handler may replace itself
    handler(window, event);
  }
}

WindowEvent FromWindowPos(const WINDOWPOS& pos) {
  WindowEvent event{WM_WINDOWPOSCHANGING, pos.x, pos.y, pos.cx, pos.cy, pos.flags & kRecordedFlags, 0};
  if (pos.flags & SWP_NOSIZE) event.Width = event.Height = 0;
  return event;
}

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new WindowLog));
      break;
    case WM_NCDESTROY:
      delete LogOf(window);
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    case WM_WINDOWPOSCHANGING:
      Record(window, FromWindowPos(*reinterpret_cast<const WINDOWPOS*>(lParam)));
      break;
    case zel::WM_ANIM_OPACITY:
    case zel::WM_ANIM_ROTATION:
      Record(window, WindowEvent{message, 0, 0, 0, 0, 0, static_cast<int>(wParam)});
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClassOnce(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

}  // namespace

bool WindowEvent::operator==(const WindowEvent& o) const {
  return Message == o.Message && X == o.X && Y == o.Y && Width == o.Width && Height == o.Height && Flags == o.Flags &&
         Value == o.Value;
}

std::ostream& operator<<(std::ostream& out, const WindowEvent& e) {
  switch (e.Message) {
    case zel::WM_ANIM_OPACITY:
      return out << "Opacity(" << e.Value << ")";
    case zel::WM_ANIM_ROTATION:
      return out << "Rotation(" << e.Value << ")";
    default:
      return out << "SetWindowPos(" << e.X << ", " << e.Y << ", " << e.Width << ", " << e.Height << ", flags 0x"
                 << std::hex << e.Flags << std::dec << ")";
  }
}

WindowEvent MovedTo(int x, int y) {
  return {WM_WINDOWPOSCHANGING, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE, 0};
}
WindowEvent PlacedAt(int x, int y, int width, int height) {
  return {WM_WINDOWPOSCHANGING, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE, 0};
}
WindowEvent OpacitySent(int value) { return {zel::WM_ANIM_OPACITY, 0, 0, 0, 0, 0, value}; }
WindowEvent RotationSent(int tenths) { return {zel::WM_ANIM_ROTATION, 0, 0, 0, 0, 0, tenths}; }

// Destroying a visible top-level window costs two seconds under Wine without
// a window manager (it waits for one to withdraw the window), so the stage
// lives as long as the process.
HWND Stage() {
  static HWND stage = [] {
    RegisterClassOnce(kStageClass, DefWindowProcW);
    return CreateWindowExW(0, kStageClass, L"Stage", WS_POPUP | WS_VISIBLE, 40, 30, 800, 600, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }();
  return stage;
}

UniqueWindow CreateRecordingChild(HWND parent, int x, int y, int width, int height) {
  RegisterClassOnce(kRecorderClass, RecorderProc);
  return UniqueWindow(CreateWindowExW(0, kRecorderClass, L"", WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                                      nullptr, GetModuleHandleW(nullptr), nullptr));
}

std::vector<WindowEvent>& EventsOf(HWND window) { return LogOf(window)->Events; }

std::vector<POINT> PositionsOf(HWND window) {
  std::vector<POINT> positions;
  for (const WindowEvent& event : EventsOf(window))
    if (event.Message == WM_WINDOWPOSCHANGING) positions.push_back({event.X, event.Y});
  return positions;
}

void SetEventHandler(HWND window, WindowEventHandler handler) { LogOf(window)->Handler = std::move(handler); }

RECT PlacementOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  // GetTickCount64: tests may steer GetTickCount.
  const ULONGLONG start = GetTickCount64();
  while (!done()) {
    if (GetTickCount64() - start > timeoutMs) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

void PumpMessagesFor(DWORD milliseconds) {
  PumpMessagesUntil([] { return false; }, milliseconds);
}
