// Pairs and quadruples of numbers separated by commas. A parser that fails
// returns false and leaves its outputs untouched, so callers may preset them
// with defaults.
#pragma once

#include <cstdint>
#include <string_view>

namespace zel {

// "x,y" with spaces allowed around the numbers and the comma.
bool ParseIntPair(std::wstring_view text, int32_t& x, int32_t& y);
// Like ParseIntPair; the caller clamps the values to 0..255.
bool ParseBytePair(std::wstring_view text, int32_t& from, int32_t& to);
bool ParseFloatPair(std::wstring_view text, float& from, float& to);
// Exactly four integers separated by three commas.
bool ParsePathData(std::wstring_view text, int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2);

}  // namespace zel
