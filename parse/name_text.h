// Easing, path and coordinate-mode names. Matching ignores letter case and
// surrounding spaces; the whole text must equal a name, and anything else
// gives code 1.
#pragma once

#include <cstdint>
#include <string_view>

namespace zel {

int32_t ParseEasing(std::wstring_view text);
int32_t ParsePathType(std::wstring_view text);
int32_t ParseCoordMode(std::wstring_view text);
// Whether the text names one of the two Bezier paths in full (the short
// cubic name does not count): only these take control points.
bool IsBezierPathName(std::wstring_view text);

}  // namespace zel
