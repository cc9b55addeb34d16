// The demo's stage: a window with named objects as child windows. The
// objects answer the plug-in's two effect messages, the way overlay windows
// do: opacity blends them into the stage, rotation turns what they draw.
// Every move is recorded for the trace plot.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace demo {

struct TracePoint {
  ULONGLONG Time;
  int X, Y;
};

struct StageObject {
  std::string Name;
  std::string Kind;  // Panel, Button or Label
  COLORREF Color;
  std::wstring Text;
  HWND Window = nullptr;
  int Opacity = 255;
  int RotationTenths = 0;
  std::vector<TracePoint> Trace;  // top-left corner after each move
};

constexpr int kStageWidth = 800, kStageHeight = 560;
constexpr COLORREF kStageColor = RGB(248, 248, 244);

// A visible top-level window whose client area is the stage.
HWND CreateStageWindow(bool headless);
// Creates an object; `text` is its caption, or for a panel its colour as
// #rrggbb. The window belongs to the object from then on.
StageObject* AddObject(HWND stage, const std::string& name, const std::string& kind, RECT placement,
                       const std::string& text);
const std::vector<StageObject*>& Objects();

}  // namespace demo
