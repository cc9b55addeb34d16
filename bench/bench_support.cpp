#include "bench/bench_support.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <iterator>

#include "engine/window_calls.h"

namespace bench {
namespace {

constexpr wchar_t kStageClass[] = L"ZelBenchStage";
constexpr wchar_t kBoxClass[] = L"ZelBenchBox";

BoxListener Listener = nullptr;

LRESULT CALLBACK BoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Listener != nullptr) Listener(window, message, wParam, lParam);
  // Windows that show the effects answer these; the others ignore them.
  if (message == zel::WM_ANIM_OPACITY || message == zel::WM_ANIM_ROTATION) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClassOnce(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &windowClass)) return;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

// Linear interpolation between the two nearest ranks of sorted values.
double Quantile(const std::vector<double>& sorted, double fraction) {
  const double position = fraction * static_cast<double>(sorted.size() - 1);
  const size_t below = static_cast<size_t>(position);
  const size_t above = std::min(below + 1, sorted.size() - 1);
  return sorted[below] + (sorted[above] - sorted[below]) * (position - static_cast<double>(below));
}

struct WindowSearch {
  const wchar_t* ClassName;
  HWND Found;
};

// An enumeration callback: stdcall in 32-bit builds, so not a lambda.
BOOL CALLBACK MatchClass(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  wchar_t name[64] = {};
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  if (std::wcscmp(name, search->ClassName) != 0) return TRUE;
  search->Found = window;
  return FALSE;
}

void Dispatch(const MSG& message, const MessageObserver& observe) {
  if (observe) observe(message);
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace

double Now() {
  static const double ticksPerSecond = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / ticksPerSecond;
}

Summary Summarise(std::vector<double> values) {
  Summary summary;
  summary.Count = values.size();
  if (values.empty()) return summary;
  std::sort(values.begin(), values.end());
  summary.Median = Quantile(values, 0.5);
  summary.Low = Quantile(values, 0.25);
  summary.High = Quantile(values, 0.75);
  summary.Min = values.front();
  summary.Max = values.back();
  return summary;
}

void SetBoxListener(BoxListener listener) { Listener = listener; }

HWND CreateStage(int width, int height) {
  RegisterClassOnce(kStageClass, DefWindowProcW);
  HWND stage = CreateWindowExW(0, kStageClass, L"Zelmora bench", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ShowWindow(stage, SW_SHOWNOACTIVATE);
  UpdateWindow(stage);
  return stage;
}

void DestroyStage(HWND stage) {
  // Hidden first, its windows go without repainting what each one uncovers.
  ShowWindow(stage, SW_HIDE);
  DestroyWindow(stage);
  PumpPending();
}

HWND CreateBox(HWND parent, int x, int y, int width, int height, bool visible) {
  RegisterClassOnce(kBoxClass, BoxProc);
  const DWORD style = WS_CHILD | (visible ? WS_VISIBLE : 0);
  return CreateWindowExW(0, kBoxClass, L"", style, x, y, width, height, parent, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

HWND FindOwnWindow(const wchar_t* className) {
  WindowSearch search{className, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), MatchClass, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

void PumpPending(const MessageObserver& observe) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) Dispatch(message, observe);
}

bool PumpUntil(const std::function<bool()>& done, double seconds, const MessageObserver& observe) {
  const double end = Now() + seconds;
  MSG message;
  // One message at a time, watching the clock: when frames take longer than
  // the timer's period the queue never runs empty.
  for (double left = seconds; !done(); left = end - Now()) {
    if (left <= 0) return false;
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
      Dispatch(message, observe);
    else  // wakes as soon as a message arrives
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left * 1000) + 1, QS_ALLINPUT);
  }
  return true;
}

void PumpFor(double seconds, const MessageObserver& observe) {
  PumpUntil([] { return false; }, seconds, observe);
}

bool SectionWanted(int argc, char** argv, const char* section) {
  if (argc < 2) return true;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], section) == 0) return true;
  return false;
}

ResultLine::ResultLine(const std::string& section) : line_(section) {}

ResultLine& ResultLine::Text(const std::string& name, const std::string& value) {
  line_ += "\t" + name + "=" + value;
  return *this;
}

ResultLine& ResultLine::Number(const std::string& name, double value) {
  char digits[32];
  std::snprintf(digits, sizeof(digits), "%.9g", value);
  return Text(name, digits);
}

ResultLine& ResultLine::Spread(const std::string& name, const Summary& summary) {
  return Number(name + "_median", summary.Median)
      .Number(name + "_q1", summary.Low)
      .Number(name + "_q3", summary.High)
      .Number(name + "_min", summary.Min)
      .Number(name + "_max", summary.Max)
      .Number(name + "_count", static_cast<double>(summary.Count));
}

void ResultLine::Print() const {
  std::printf("%s\n", line_.c_str());
  std::fflush(stdout);
}

}  // namespace bench
