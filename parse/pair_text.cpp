#include "parse/pair_text.h"

#include <array>

#include "parse/number_text.h"

namespace zel {

namespace {

// Splits the trimmed text at its first Count - 1 commas; the last part keeps
// any further commas. Every part, trimmed, must be a numeric text.
template <size_t Count>
bool SplitNumbers(std::wstring_view text, std::array<std::wstring_view, Count>& parts) {
  text = TrimSpaces(text);
  for (size_t i = 0; i + 1 < Count; ++i) {
    const size_t comma = text.find(L',');
    if (comma == std::wstring_view::npos) return false;
    parts[i] = TrimSpaces(text.substr(0, comma));
    text.remove_prefix(comma + 1);
  }
  parts[Count - 1] = TrimSpaces(text);
  for (const std::wstring_view part : parts) {
    if (!IsNumericText(part)) return false;
  }
  return true;
}

template <typename Number>
bool ParsePair(std::wstring_view text, Number (*convert)(std::wstring_view), Number& first, Number& second) {
  std::array<std::wstring_view, 2> parts;
  if (!SplitNumbers(text, parts)) return false;
  first = convert(parts[0]);
  second = convert(parts[1]);
  return true;
}

}  // namespace

bool ParseIntPair(std::wstring_view text, int32_t& x, int32_t& y) { return ParsePair(text, TextToInt, x, y); }

bool ParseBytePair(std::wstring_view text, int32_t& from, int32_t& to) { return ParsePair(text, TextToInt, from, to); }

bool ParseFloatPair(std::wstring_view text, float& from, float& to) { return ParsePair(text, TextToFloat, from, to); }

bool ParsePathData(std::wstring_view text, int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2) {
  std::array<std::wstring_view, 4> parts;
  if (!SplitNumbers(text, parts)) return false;
  x1 = TextToInt(parts[0]);
  y1 = TextToInt(parts[1]);
  x2 = TextToInt(parts[2]);
  y2 = TextToInt(parts[3]);
  return true;
}

}  // namespace zel
