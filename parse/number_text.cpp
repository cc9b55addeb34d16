#include "parse/number_text.h"

#include <charconv>
#include <limits>
#include <string>

namespace zel {

std::wstring_view TrimSpaces(std::wstring_view text) {
  const size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  const size_t last = text.find_last_not_of(L' ');
  return text.substr(first, last - first + 1);
}

bool IsNumericText(std::wstring_view text) {
  text = TrimSpaces(text);
  if (text.empty()) return false;
  int points = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'-' && i == 0) continue;
    if (c == L'.' && ++points <= 1) continue;
    if (c < L'0' || c > L'9') return false;
  }
  return true;
}

namespace {

// The value of c as a digit of the base, or -1 when it is none.
int DigitValue(wchar_t c, unsigned base) {
  int value = -1;
  if (c >= L'0' && c <= L'9') value = c - L'0';
  if (c >= L'A' && c <= L'F') value = c - L'A' + 10;
  if (c >= L'a' && c <= L'f') value = c - L'a' + 10;
  return value < static_cast<int>(base) ? value : -1;
}

// Removes a base prefix ("$" hexadecimal, "%" binary) and returns the base.
unsigned TakeBase(std::wstring_view& text) {
  const wchar_t prefix = text.empty() ? L'\0' : text.front();
  const unsigned base = prefix == L'$' ? 16 : prefix == L'%' ? 2 : 10;
  if (base != 10) text.remove_prefix(1);
  return base;
}

}  // namespace

int64_t TextToInt64(std::wstring_view text) {
  const size_t start = text.find_first_not_of(L" \t");
  text.remove_prefix(start == std::wstring_view::npos ? text.size() : start);
  const bool negative = !text.empty() && text.front() == L'-';
  if (!text.empty() && (text.front() == L'-' || text.front() == L'+')) text.remove_prefix(1);
  const unsigned base = TakeBase(text);
  // Unsigned arithmetic wraps modulo 2^64 without undefined behaviour.
  uint64_t value = 0;
  for (const wchar_t c : text) {
    const int digit = DigitValue(c, base);
    if (digit < 0) break;
    value = value * base + static_cast<uint64_t>(digit);
  }
  return static_cast<int64_t>(negative ? 0u - value : value);
}

int32_t TextToInt(std::wstring_view text) { return static_cast<int32_t>(static_cast<uint64_t>(TextToInt64(text))); }

namespace {

// The longest leading run of '-'?, digits, '.'?, digits, as narrow text.
std::string LeadingDecimal(std::wstring_view text) {
  std::string number;
  bool point = false;
  for (const wchar_t c : text) {
    const bool sign = c == L'-' && number.empty();
    const bool firstPoint = c == L'.' && !point;
    if (!sign && !firstPoint && (c < L'0' || c > L'9')) break;
    point = point || firstPoint;
    number += static_cast<char>(c);
  }
  return number;
}

// Whether a decimal text that is out of the double range is too large (rather
// than too small): only a large value has a non-zero digit before the point.
bool HasWholePart(const std::string& number) {
  const size_t end = number.find('.');
  return number.substr(0, end).find_first_of("123456789") != std::string::npos;
}

}  // namespace

float TextToFloat(std::wstring_view text) {
  const std::string number = LeadingDecimal(TrimSpaces(text));
  // std::from_chars ignores the C and the thread locale: '.' is always the point.
  double value = 0;
  const std::from_chars_result result =
      std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::fixed);
  if (result.ec == std::errc::result_out_of_range) {
    value = HasWholePart(number) ? std::numeric_limits<double>::infinity() : 0.0;
    if (number.front() == '-') value = -value;
  }
  return static_cast<float>(value);
}

}  // namespace zel
