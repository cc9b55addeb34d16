#include "parse/name_text.h"

#include <windows.h>

#include <initializer_list>
#include <string>

#include "engine/motion_codes.h"
#include "parse/number_text.h"

namespace zel {

namespace {

struct NamedCode {
  std::wstring_view Name;  // upper case
  int32_t Code;
};

// Upper-cases one character at a time with the system's mapping: CharUpperW
// takes a character, rather than a text, when the pointer's high bits are zero.
std::wstring UpperCase(std::wstring_view text) {
  std::wstring upper(text);
  for (wchar_t& c : upper) {
    const auto mapped = reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c))));
    c = static_cast<wchar_t>(LOWORD(mapped));
  }
  return upper;
}

// The code of the first name that equals the whole trimmed text, ignoring
// case; the fallback when none does.
int32_t MatchName(std::wstring_view text, std::initializer_list<NamedCode> names, int32_t fallback) {
  const std::wstring upper = UpperCase(TrimSpaces(text));
  for (const NamedCode& name : names) {
    if (upper == name.Name) return name.Code;
  }
  return fallback;
}

}  // namespace

int32_t ParseEasing(std::wstring_view text) {
  return MatchName(text,
                   {{L"EASEIN", kEaseIn},
                    {L"IN", kEaseIn},
                    {L"EASEOUT", kEaseOut},
                    {L"OUT", kEaseOut},
                    {L"EASEINOUT", kEaseInOut},
                    {L"INOUT", kEaseInOut}},
                   kLinear);
}

int32_t ParsePathType(std::wstring_view text) {
  return MatchName(text, {{L"QUADBEZIER", kQuadBezier}, {L"CUBICBEZIER", kCubicBezier}, {L"CUBIC", kCubicBezier}},
                   kLine);
}

int32_t ParseCoordMode(std::wstring_view text) { return MatchName(text, {{L"SCREEN", kScreen}}, kParentClient); }

bool IsBezierPathName(std::wstring_view text) {
  return MatchName(text, {{L"QUADBEZIER", kQuadBezier}, {L"CUBICBEZIER", kCubicBezier}}, kLine) != kLine;
}

}  // namespace zel
