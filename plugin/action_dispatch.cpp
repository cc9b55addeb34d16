// Runs one of the three actions for the host: reads the parameters in order,
// converts the numeric ones as they are read, and hands them to the engine.
#include <string>

#include "engine/effects.h"
#include "engine/motion_start.h"
#include "engine/stop.h"
#include "parse/number_text.h"
#include "plugin/exports.h"
#include "plugin/parameters.h"

namespace zel {
namespace {

int32_t ReadNumber(ParamArray params, int index) { return TextToInt(ReadParam(params, index)); }

// Only an exactly empty text takes the default; spaces are passed on.
std::wstring OrDefault(std::wstring text, const wchar_t* fallback) { return text.empty() ? fallback : text; }

void RunAnimate(ParamArray params) {
  const std::wstring target = ReadParam(params, 0);
  const std::wstring fromXY = ReadParam(params, 1);
  const std::wstring toXY = ReadParam(params, 2);
  const int32_t durationMs = ReadNumber(params, 3);
  const std::wstring easing = ReadParam(params, 4);
  const std::wstring pathType = ReadParam(params, 5);
  const std::wstring pathData = ReadParam(params, 6);
  const int32_t fps = ReadNumber(params, 7);
  const std::wstring coordMode = ReadParam(params, 8);
  StartMotion(target, fromXY, toXY, durationMs, OrDefault(easing, L"Linear"), OrDefault(pathType, L"Line"), pathData,
              fps, OrDefault(coordMode, L"ParentClient"));
}

void RunStop(ParamArray params) {
  const std::wstring target = ReadParam(params, 0);
  const int32_t jumpToEnd = ReadNumber(params, 1);
  StopMotion(target, jumpToEnd);
}

void RunEffects(ParamArray params) {
  const std::wstring target = ReadParam(params, 0);
  const int32_t delay = ReadNumber(params, 1);
  const int32_t loops = ReadNumber(params, 2);
  const int32_t pingPong = ReadNumber(params, 3);
  const std::wstring onComplete = ReadParam(params, 4);
  const std::wstring opacity = ReadParam(params, 5);
  const std::wstring scale = ReadParam(params, 6);
  const std::wstring rotation = ReadParam(params, 7);
  ApplyEffects(target, delay, loops, pingPong, onComplete, opacity, scale, rotation);
}

}  // namespace
}  // namespace zel

// 1 for a known action whatever it did (failures go to the error variable),
// 0 for any other id, with nothing read or called.
int WINAPI nbExecAction(int actionId, ParamArray params) {
  switch (actionId) {
    case 1:
      zel::RunAnimate(params);
      return 1;
    case 2:
      zel::RunStop(params);
      return 1;
    case 3:
      zel::RunEffects(params);
      return 1;
    default:
      return 0;
  }
}
