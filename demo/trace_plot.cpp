#include "demo/trace_plot.h"

#include <cstdio>
#include <sstream>

namespace demo {
namespace {

constexpr ULONGLONG kDotStepMs = 50;

std::string Hex(COLORREF color) {
  char text[8];
  std::snprintf(text, sizeof(text), "#%02x%02x%02x", GetRValue(color), GetGValue(color), GetBValue(color));
  return text;
}

std::string Param(const host::ScriptLine& motion, size_t index, const char* fallback) {
  return index < motion.Params.size() && !motion.Params[index].empty() ? motion.Params[index] : fallback;
}

// "QuadBezier, EaseOut" for each motion of the object, in order.
std::string LabelFor(const StageObject& object, const std::vector<host::ScriptLine>& motions) {
  std::string label;
  for (const host::ScriptLine& motion : motions) {
    if (motion.Params.empty() || motion.Params[0] != object.Name) continue;
    label += (label.empty() ? "" : "; then ") + Param(motion, 5, "Line") + ", " + Param(motion, 4, "Linear");
  }
  return object.Name + (label.empty() ? "" : ": " + label);
}

// Given control points, as small squares.
void WriteControlPoints(std::ostream& svg, const StageObject& object, const std::vector<host::ScriptLine>& motions) {
  for (const host::ScriptLine& motion : motions) {
    if (motion.Params.size() < 7 || motion.Params[0] != object.Name || motion.Params[6].empty()) continue;
    std::istringstream numbers(motion.Params[6]);
    int x = 0, y = 0;
    char comma = 0;
    while (numbers >> x >> comma >> y) {
      svg << "<rect x='" << x - 4 << "' y='" << y - 4 << "' width='8' height='8' fill='none' stroke='"
          << Hex(object.Color) << "'/>\n";
      numbers >> comma;
    }
  }
}

void WriteObjectTrace(std::ostream& svg, const StageObject& object, const std::vector<host::ScriptLine>& motions,
                      int labelRow) {
  const std::string color = Hex(object.Kind == "Panel" ? object.Color : RGB(90, 90, 110));
  svg << "<polyline fill='none' stroke='" << color << "' stroke-width='1.5' points='";
  for (const TracePoint& point : object.Trace) svg << point.X << ',' << point.Y << ' ';
  svg << "'/>\n";
  ULONGLONG nextDot = 0;
  for (const TracePoint& point : object.Trace) {
    if (point.Time < nextDot) continue;
    svg << "<circle cx='" << point.X << "' cy='" << point.Y << "' r='2' fill='" << color << "'/>\n";
    nextDot = point.Time + kDotStepMs;
  }
  WriteControlPoints(svg, object, motions);
  svg << "<text x='10' y='" << kStageHeight + 18 + labelRow * 16 << "' font-family='sans-serif' font-size='12' fill='"
      << color << "'>" << LabelFor(object, motions) << "</text>\n";
}

}  // namespace

bool WriteTracePlot(const std::wstring& path, const std::vector<StageObject*>& objects,
                    const std::vector<host::ScriptLine>& motions) {
  std::ostringstream svg;
  const int height = kStageHeight + 24 + static_cast<int>(objects.size()) * 16;
  svg << "<svg xmlns='http://www.w3.org/2000/svg' width='" << kStageWidth << "' height='" << height << "'>\n"
      << "<rect width='" << kStageWidth << "' height='" << kStageHeight << "' fill='" << Hex(kStageColor)
      << "' stroke='#999'/>\n"
      << "<text x='" << kStageWidth - 10 << "' y='16' text-anchor='end' font-family='sans-serif' font-size='11' "
      << "fill='#666'>top-left corner of each object; dots every " << kDotStepMs
      << " ms; squares: control points</text>\n";
  int row = 0;
  for (const StageObject* object : objects) WriteObjectTrace(svg, *object, motions, row++);
  svg << "</svg>\n";
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (file == nullptr) return false;
  const std::string text = svg.str();
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace demo
