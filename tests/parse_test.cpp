// Parameter texts turned into numbers, pairs, control points and codes.
#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <limits>
#include <string>

#include "engine/motion_codes.h"
#include "parse/name_text.h"
#include "parse/number_text.h"
#include "parse/pair_text.h"

namespace zel {
namespace {

// The text in quotes, with escapes for tabs and the like.
std::string Quoted(std::wstring_view text) { return testing::PrintToString(std::wstring(text)); }

constexpr int32_t kUnsetInt = 12345;
constexpr float kUnsetFloat = -777.25f;
const float kInfinity = std::numeric_limits<float>::infinity();

TEST(NumberText, TrimSpacesRemovesOnlySpaces) {
  struct Case {
    const wchar_t* Text;
    const wchar_t* Expected;
  } cases[] = {{L"  a b  ", L"a b"}, {L"\ta\t", L"\ta\t"}, {L" \t ", L"\t"}, {L"    ", L""}, {L"", L""}};
  for (const Case& c : cases) EXPECT_EQ(TrimSpaces(c.Text), c.Expected) << Quoted(c.Text);
}

TEST(NumberText, IsNumericTextAcceptsSignDigitsAndOnePoint) {
  // No digit is needed: a lone sign or point is numeric text.
  const wchar_t* numeric[] = {L"12", L" -12.5 ", L"-", L".", L"-.", L"0", L"007", L"12.", L".5", L"-0"};
  for (const wchar_t* text : numeric) EXPECT_TRUE(IsNumericText(text)) << Quoted(text);
}

TEST(NumberText, IsNumericTextRejectsEverythingElse) {
  // Tabs are not trimmed; U+0661 is an Arabic-Indic digit one, not an ASCII digit.
  const wchar_t* notNumeric[] = {L"",     L"   ",  L"+5",    L"1-",    L"--5",  L"1.2.3", L"..",
                                 L"1 2",  L"1e3",  L"1E3",   L"$10",   L"%101", L"12abc", L"1,000",
                                 L"\t12", L"12\t", L" \t12", L"12\t ", L"-\t1", L"0x1F",  L"\x0661"};
  for (const wchar_t* text : notNumeric) EXPECT_FALSE(IsNumericText(text)) << Quoted(text);
}

TEST(NumberText, TextToIntReadsTheLeadingNumber) {
  struct Case {
    const wchar_t* Text;
    int32_t Expected;
  } cases[] = {
      {L"42", 42},
      {L"-42", -42},
      {L"+7", 7},
      // Fractions are cut off, never rounded.
      {L"1.5", 1},
      {L"1.9", 1},
      {L"-1.9", -1},
      {L"-.5", 0},
      // Leading spaces and tabs are skipped; reading stops at the first misfit.
      {L" 12abc", 12},
      {L"\t 42", 42},
      {L"12 34", 12},
      {L"1e3", 1},
      // Nothing to read gives 0.
      {L"abc", 0},
      {L"", 0},
      {L"   ", 0},
      {L"-", 0},
      {L"--5", 0},
      {L"+-5", 0},
      {L"- 5", 0},
      {L"$", 0},
      {L"%", 0},
      // Hexadecimal and binary prefixes, after the sign.
      {L"$1F", 31},
      {L"$1f", 31},
      {L"$aBc", 0xABC},
      {L"-$10", -16},
      {L"+$10", 16},
      {L"$1G", 1},
      {L"%101", 5},
      {L"%1021", 2},
      {L"-%11", -3},
      {L"$-1", 0},
      {L"%$1", 0},
      // Overflow wraps modulo 2^32 in every base.
      {L"2147483647", 2147483647},
      {L"2147483648", std::numeric_limits<int32_t>::min()},
      {L"-2147483648", std::numeric_limits<int32_t>::min()},
      {L"4294967295", -1},
      {L"4294967297", 1},
      {L"-4294967297", -1},
      {L"99999999999999999999999", -159383553},
      {L"$FFFFFFFF", -1},
      {L"$100000001", 1},
      {L"%100000000000000000000000000000000", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(TextToInt(c.Text), c.Expected) << Quoted(c.Text);
}

TEST(NumberText, TextToFloatReadsADecimalNumber) {
  const std::wstring manyDigits(400, L'9');
  const std::wstring tinyFraction = L"0." + std::wstring(400, L'0') + L"1";
  struct Case {
    std::wstring Text;
    float Expected;
  } cases[] = {
      {L"0.5", 0.5f},
      {L"-.5", -0.5f},
      {L".5", 0.5f},
      {L"5.", 5.0f},
      {L"360", 360.0f},
      {L"-12.25", -12.25f},
      {L" 1.5 ", 1.5f},
      {L"0.1", 0.1f},
      {L"16777217", 16777216.0f},
      // Exactly halfway between the floats 1 and 1 + 2^-23, plus 1e-32: a direct
      // conversion to float rounds up, but the double nearest the text is the
      // halfway point itself, which then rounds to the even float 1.
      {L"1.00000005960464477539062500000001", 1.0f},
      // No digit gives 0.
      {L"-", 0.0f},
      {L".", 0.0f},
      {L"-.", 0.0f},
      {L"", 0.0f},
      // Texts that are not numeric text still give a value.
      {L"abc", 0.0f},
      {L"+5", 0.0f},
      {L"1e3", 1.0f},
      {L"12abc", 12.0f},
      {L"1.2.3", 1.2f},
      {manyDigits, kInfinity},
      {L"-" + manyDigits, -kInfinity},
      {tinyFraction, 0.0f},
  };
  for (const Case& c : cases) EXPECT_EQ(TextToFloat(c.Text), c.Expected) << Quoted(c.Text);
}

// Restores the "C" locale when a test ends, however it ends.
struct CLocaleGuard {
  ~CLocaleGuard() { std::setlocale(LC_ALL, "C"); }
};

TEST(NumberText, TextToFloatIgnoresACommaLocale) {
  CLocaleGuard guard;
  const char* commaLocales[] = {"German", "de-DE", "de_DE", "fr-FR", "French"};
  bool commaDecimal = false;
  for (const char* name : commaLocales) {
    if (std::setlocale(LC_ALL, name) != nullptr && std::localeconv()->decimal_point[0] == ',') {
      commaDecimal = true;
      break;
    }
  }
  if (!commaDecimal) GTEST_SKIP() << "no locale with a decimal comma";
  EXPECT_EQ(TextToFloat(L"0.5"), 0.5f);
  EXPECT_EQ(TextToFloat(L"-12.75"), -12.75f);
  float from = kUnsetFloat, to = kUnsetFloat;
  EXPECT_TRUE(ParseFloatPair(L"1.5,2.5", from, to));
  EXPECT_EQ(from, 1.5f);
  EXPECT_EQ(to, 2.5f);
}

template <typename Number>
struct PairCase {
  const wchar_t* Text;
  Number First, Second;
};

// Texts that no pair parser accepts.
const wchar_t* const kNotAPair[] = {
    L"",       L"   ",     L",",       L"10",      L"10;20",  L"10,",   L",20",    L" 10 , ", L"10,20,30", L"10 20",
    L"10,2 0", L"\t10,20", L"10,20\t", L"10,\t20", L"+10,20", L"1e2,3", L"$10,20", L"10,%11", L"1.2.3,4",  L"a,b",
};

// Runs a pair parser over texts it must accept and over every text of
// kNotAPair, which must leave both outputs as they were.
template <typename Number>
void CheckPairParser(bool (*parse)(std::wstring_view, Number&, Number&), std::initializer_list<PairCase<Number>> valid,
                     Number unset) {
  for (const PairCase<Number>& c : valid) {
    Number first = unset, second = unset;
    EXPECT_TRUE(parse(c.Text, first, second)) << Quoted(c.Text);
    EXPECT_EQ(first, c.First) << Quoted(c.Text);
    EXPECT_EQ(second, c.Second) << Quoted(c.Text);
  }
  for (const wchar_t* text : kNotAPair) {
    Number first = unset, second = unset;
    EXPECT_FALSE(parse(text, first, second)) << Quoted(text);
    EXPECT_EQ(first, unset) << Quoted(text);
    EXPECT_EQ(second, unset) << Quoted(text);
  }
}

TEST(PairText, ParseIntPairReadsTwoIntegers) {
  CheckPairParser<int32_t>(ParseIntPair,
                           {{L"10,20", 10, 20},
                            {L"  10 , 20  ", 10, 20},
                            {L"-5,-6", -5, -6},
                            {L"1.9,2.9", 1, 2},
                            {L"-1.9,-.5", -1, 0},
                            {L"-,.", 0, 0},
                            {L"4294967297,2147483648", 1, std::numeric_limits<int32_t>::min()}},
                           kUnsetInt);
}

TEST(PairText, ParseBytePairLeavesClampingToTheCaller) {
  CheckPairParser<int32_t>(ParseBytePair, {{L"0,300", 0, 300}, {L"-20,255", -20, 255}, {L" 128 ,64", 128, 64}},
                           kUnsetInt);
}

TEST(PairText, ParseFloatPairReadsTwoDecimals) {
  CheckPairParser<float>(ParseFloatPair,
                         {{L"0.5,1.0", 0.5f, 1.0f},
                          {L"-.5,.5", -0.5f, 0.5f},
                          {L"0,360", 0.0f, 360.0f},
                          {L" 1.5 , -2.25 ", 1.5f, -2.25f},
                          {L"-,.", 0.0f, 0.0f}},
                         kUnsetFloat);
}

TEST(PairText, ParsePathDataReadsFourIntegersInOrder) {
  using Points = std::array<int32_t, 4>;  // x1, y1, x2, y2
  const Points unset = {kUnsetInt, kUnsetInt, kUnsetInt, kUnsetInt};
  struct Case {
    const wchar_t* Text;
    bool Valid;
    Points Expected;
  } cases[] = {
      {L"10,20,30,40", true, {10, 20, 30, 40}},
      {L" 10 , 20,30 ,  40 ", true, {10, 20, 30, 40}},
      {L"-1.9,2.9,-3,4.", true, {-1, 2, -3, 4}},
      {L"-,.,-.,0", true, {0, 0, 0, 0}},
      {L"", false, unset},
      {L"10,20,30", false, unset},
      {L"10,20,30,40,50", false, unset},
      {L"10,,30,40", false, unset},
      {L",20,30,40", false, unset},
      {L"10,20,,40", false, unset},
      {L"10,20,30,", false, unset},
      {L"10,20;30,40", false, unset},
      {L"10,20,30,4 0", false, unset},
      {L"10,20,30,\t40", false, unset},
      {L"a,20,30,40", false, unset},
      {L"10,20,30,1e2", false, unset},
  };
  for (const Case& c : cases) {
    Points points = unset;
    EXPECT_EQ(ParsePathData(c.Text, points[0], points[1], points[2], points[3]), c.Valid) << Quoted(c.Text);
    EXPECT_EQ(points, c.Expected) << Quoted(c.Text);
  }
}

struct NameCase {
  const wchar_t* Text;
  int32_t Expected;
};

void CheckNames(int32_t (*parse)(std::wstring_view), std::initializer_list<NameCase> cases) {
  for (const NameCase& c : cases) EXPECT_EQ(parse(c.Text), c.Expected) << Quoted(c.Text);
}

// Names match whole, ignoring case and surrounding spaces (not tabs); every
// other text gives code 1.
TEST(NameText, ParseEasingMatchesWholeNames) {
  CheckNames(ParseEasing, {{L"  easein  ", kEaseIn},
                           {L"EaseIn", kEaseIn},
                           {L"in", kEaseIn},
                           {L"Out", kEaseOut},
                           {L"EASEOUT", kEaseOut},
                           {L"inout", kEaseInOut},
                           {L"EaseInOut", kEaseInOut},
                           {L"linear", kLinear},
                           {L"Ease In", kLinear},
                           {L"ease", kLinear},
                           {L"easeino", kLinear},
                           {L"easeinoutx", kLinear},
                           {L"\teasein", kLinear},
                           {L"in out", kLinear},
                           {L"", kLinear},
                           {L"   ", kLinear}});
}

TEST(NameText, ParsePathTypeMatchesWholeNames) {
  CheckNames(ParsePathType, {{L"cubic", kCubicBezier},
                             {L"CubicBezier", kCubicBezier},
                             {L" CUBIC ", kCubicBezier},
                             {L"QuadBezier", kQuadBezier},
                             {L"  quadbezier", kQuadBezier},
                             {L"quad", kLine},
                             {L"bezier", kLine},
                             {L"cub", kLine},
                             {L"Cubic Bezier", kLine},
                             {L"line", kLine},
                             {L"", kLine}});
}

TEST(NameText, ParseCoordModeMatchesWholeNames) {
  CheckNames(ParseCoordMode, {{L"screen", kScreen},
                              {L"  Screen  ", kScreen},
                              {L"sCrEeN", kScreen},
                              {L"ParentClient", kParentClient},
                              {L"client", kParentClient},
                              {L"scr", kParentClient},
                              {L"screens", kParentClient},
                              {L"screen\t", kParentClient},
                              {L"", kParentClient}});
}

}  // namespace
}  // namespace zel
