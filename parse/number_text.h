// Numbers in parameter texts. Texts arrive sanitised (printable ASCII only).
#pragma once

#include <cstdint>
#include <string_view>

namespace zel {

// Removes the space character (and nothing else: tabs stay) from both ends.
std::wstring_view TrimSpaces(std::wstring_view text);

// After trimming: not empty, an optional leading '-', ASCII digits and at
// most one '.'. No digit is required: "-", "." and "-." are numeric texts.
bool IsNumericText(std::wstring_view text);

// Leading spaces and tabs, one optional sign, then "$" and hexadecimal
// digits, "%" and binary digits, or decimal digits, up to the first
// character that does not fit. Wraps modulo 2^32; no digits give 0.
int32_t TextToInt(std::wstring_view text);
// The same reading wrapped to 64 bits instead.
int64_t TextToInt64(std::wstring_view text);

// A decimal number with '.' as the decimal point whatever the locale;
// no digits give 0. Converted in double precision, then rounded to float.
float TextToFloat(std::wstring_view text);

}  // namespace zel
