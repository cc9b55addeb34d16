// Adding effects to a running motion: the action zelAnimateEx.
#pragma once

#include <cstdint>
#include <string_view>

namespace zel {

// Writes the effect fields of the target's running animation, each only when
// its argument asks for it, so successive calls add up. Sends the starting
// opacity and rotation at once. Failures go to the error variable.
int ApplyEffects(std::wstring_view target, int32_t delay, int32_t loops, int32_t pingPong, std::wstring_view onComplete,
                 std::wstring_view opacity, std::wstring_view scale, std::wstring_view rotation);

}  // namespace zel
