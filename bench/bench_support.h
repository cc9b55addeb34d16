// What the benchmark programs share: a high-resolution clock, summaries of
// repeated measurements, plain windows to animate, message pumping, and the
// result lines that scripts/bench turns into a table and a chart.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace bench {

// Seconds from QueryPerformanceCounter, since an arbitrary origin.
double Now();

// The median, the quartiles and the extremes of repeated measurements.
struct Summary {
  double Median = 0, Low = 0, High = 0, Min = 0, Max = 0;  // Low, High: first and third quartile
  size_t Count = 0;
};
Summary Summarise(std::vector<double> values);

// Called by every box with the messages that animating it sends.
using BoxListener = void (*)(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
void SetBoxListener(BoxListener listener);

// A visible top-level window at the screen's top left to hold boxes.
HWND CreateStage(int width, int height);
// Destroys the stage with its boxes.
void DestroyStage(HWND stage);
// A plain child window that answers the two effect messages. Every box of a
// run shares one window procedure, the same for the plug-in and a baseline.
HWND CreateBox(HWND parent, int x, int y, int width, int height, bool visible);

// Sees each message before it is dispatched.
using MessageObserver = std::function<void(const MSG& message)>;

// The class of the plug-in's hidden timer window.
constexpr wchar_t kTimerWindowClass[] = L"ZelmoraZozarevoHostClass";

// The first top-level window of this thread with the class name: the
// plug-in's timer window, say, and not another process's.
HWND FindOwnWindow(const wchar_t* className);

// Dispatches every message already waiting.
void PumpPending(const MessageObserver& observe = {});
// Dispatches messages as they come until done() holds or the time is up;
// true when done() held.
bool PumpUntil(const std::function<bool()>& done, double seconds, const MessageObserver& observe = {});
void PumpFor(double seconds, const MessageObserver& observe = {});

// Whether the program's arguments ask for the section; none asks for all.
bool SectionWanted(int argc, char** argv, const char* section);

// One result line, "section<TAB>name=value<TAB>...", for the report. Values
// are written as given, numbers with enough digits to keep microseconds.
class ResultLine {
 public:
  explicit ResultLine(const std::string& section);
  ResultLine& Text(const std::string& name, const std::string& value);
  ResultLine& Number(const std::string& name, double value);
  // name_median, name_q1, name_q3, name_min, name_max and name_count.
  ResultLine& Spread(const std::string& name, const Summary& summary);
  void Print() const;

 private:
  std::string line_;
};

}  // namespace bench
