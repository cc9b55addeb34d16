// Ending a running motion: the action zelStopAnimate.
#pragma once

#include <cstdint>
#include <string_view>

namespace zel {

// Jumps to the end state of the running cycle (jumpToEnd not 0) or stops in
// place with size, rotation and opacity put back, then removes the
// animation. No completion call and no error text.
int StopMotion(std::wstring_view target, int32_t jumpToEnd);

}  // namespace zel
