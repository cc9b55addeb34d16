// Runs every example script of the user guide, docs/usage.md, through the
// reference host and checks the outcome that the guide claims for it, so the
// guide cannot drift away from what the plug-in does.
//
// An example is a fenced block opened by a line ```zelscript and closed by a
// line ```. It runs as it stands. Its claims are comment lines inside the
// block (the host skips every line that starts with #), one claim a line:
//
//   # expect-print: TEXT            a line that Print writes, after substitution;
//                                   all Print lines of the run, in their order
//   # expect-at "Name" "x,y"        the object's top-left corner, in its parent's
//                                   client area, when the script has ended
//   # expect-size "Name" "w,h"      the object's outer size then
//   # expect-opacity "Name" "N"     the last opacity (0..255) the plug-in sent it
//   # expect-rotation "Name" "D"    the last rotation it was sent, in whole degrees
//
// Every block must make at least one claim, and a comment that starts with
// "# expect" but is none of these fails the example, so a typo cannot turn a
// claim off. The guide must hold at least one example.
//
// Time: the plug-in's clock is steered. It stands still while actions run;
// Wait "N" moves it on by N ms, delivering a frame every 10 ms while the
// plug-in's frame timer runs, so motions end exactly when their time is up.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/window_calls.h"
#include "host/script_runner.h"
#include "tests/script_fixture.h"

namespace {

constexpr char kFenceOpen[] = "```zelscript";
constexpr char kFence[] = "```";

struct Example {
  int Line = 0;  // of the opening fence in the guide, from 1
  std::string Script;
};

// Names the example in failure messages instead of dumping its bytes.
void PrintTo(const Example& example, std::ostream* out) { *out << "the example at line " << example.Line; }

struct Guide {
  bool Read = false;
  int UnclosedAt = 0;  // the line of an example without its closing fence
  std::vector<Example> Examples;
};

std::string WithoutCarriageReturn(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

Guide ReadGuide() {
  Guide guide;
  std::ifstream in(ZEL_USAGE_GUIDE);
  guide.Read = in.is_open();
  Example* open = nullptr;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    line = WithoutCarriageReturn(line);
    if (open == nullptr && line == kFenceOpen) {
      guide.Examples.push_back({number, ""});
      open = &guide.Examples.back();
    } else if (open != nullptr && line == kFence) {
      open = nullptr;
    } else if (open != nullptr) {
      open->Script += line + "\n";
    }
  }
  if (open != nullptr) guide.UnclosedAt = open->Line;
  return guide;
}

// Read once: the examples become test cases before any test runs.
const Guide& TheGuide() {
  static const Guide guide = ReadGuide();
  return guide;
}

// A claim about one object: the directive, the object's name and the value.
struct ObjectClaim {
  std::string Kind;
  std::string Name;
  std::string Value;
};

struct Claims {
  std::vector<std::string> Prints;
  std::vector<ObjectClaim> Objects;
  std::vector<std::string> Unknown;
  bool Empty() const { return Prints.empty() && Objects.empty(); }
};

// The texts between pairs of double quotes.
std::vector<std::string> QuotedTexts(const std::string& text) {
  std::vector<std::string> texts;
  for (size_t open = text.find('"'); open != std::string::npos; open = text.find('"', open + 1)) {
    const size_t close = text.find('"', open + 1);
    if (close == std::string::npos) break;
    texts.push_back(text.substr(open + 1, close - open - 1));
    open = close;
  }
  return texts;
}

bool IsObjectClaim(const std::string& kind) {
  return kind == "expect-at" || kind == "expect-size" || kind == "expect-opacity" || kind == "expect-rotation";
}

void ReadClaim(const std::string& claim, Claims& claims) {
  const std::string printPrefix = "expect-print: ";
  if (claim.rfind(printPrefix, 0) == 0) {
    claims.Prints.push_back(claim.substr(printPrefix.size()));
    return;
  }
  const std::string kind = claim.substr(0, claim.find(' '));
  const std::vector<std::string> texts = QuotedTexts(claim);
  if (IsObjectClaim(kind) && texts.size() == 2)
    claims.Objects.push_back({kind, texts[0], texts[1]});
  else
    claims.Unknown.push_back(claim);
}

// The text of a comment line without its # and the blanks around it; empty
// for any other line.
std::string CommentText(const std::string& line) {
  const size_t hash = line.find_first_not_of(" \t");
  if (hash == std::string::npos || line[hash] != '#') return {};
  const size_t text = line.find_first_not_of(" \t", hash + 1);
  return text == std::string::npos ? std::string() : line.substr(text);
}

Claims ClaimsOf(const std::string& script) {
  Claims claims;
  std::istringstream lines(script);
  std::string line;
  while (std::getline(lines, line)) {
    const std::string comment = CommentText(line);
    if (comment.rfind("expect", 0) == 0) ReadClaim(comment, claims);
  }
  return claims;
}

// "x,y" as two integers; false when the text is not such a pair.
bool ReadPair(const std::string& text, int& x, int& y) {
  char end = 0;
  return std::sscanf(text.c_str(), "%d ,%d%c", &x, &y, &end) == 2;
}

// The value of the last effect message of this kind, or a note that none came.
std::string LastEffectValue(HWND window, UINT message, int divisor) {
  const std::vector<WindowEvent>& events = EventsOf(window);
  const auto last = std::find_if(events.rbegin(), events.rend(),
                                 [message](const WindowEvent& event) { return event.Message == message; });
  if (last == events.rend()) return "(never sent)";
  if (last->Value % divisor != 0) return std::to_string(last->Value) + " tenths";
  return std::to_string(last->Value / divisor);
}

// What the object shows for the claim's kind, written like the claim's value.
std::string Observed(HWND window, const std::string& kind) {
  const RECT r = PlacementOf(window);
  if (kind == "expect-at") return std::to_string(r.left) + "," + std::to_string(r.top);
  if (kind == "expect-size") return std::to_string(r.right - r.left) + "," + std::to_string(r.bottom - r.top);
  if (kind == "expect-opacity") return LastEffectValue(window, zel::WM_ANIM_OPACITY, 1);
  return LastEffectValue(window, zel::WM_ANIM_ROTATION, 10);
}

// The claimed value in the form Observed writes: pairs without spaces.
std::string Normalised(const std::string& kind, const std::string& value) {
  int x = 0, y = 0;
  if ((kind == "expect-at" || kind == "expect-size") && ReadPair(value, x, y))
    return std::to_string(x) + "," + std::to_string(y);
  return value;
}

class UsageExampleTest : public ScriptTest, public testing::WithParamInterface<Example> {};

TEST(UsageGuide, HoldsExamplesThatTheTestsRun) {
  const Guide& guide = TheGuide();
  ASSERT_TRUE(guide.Read) << "cannot read " << ZEL_USAGE_GUIDE;
  EXPECT_EQ(guide.UnclosedAt, 0) << "the example at line " << guide.UnclosedAt << " has no closing ```";
  EXPECT_FALSE(guide.Examples.empty()) << "no " << kFenceOpen << " block in " << ZEL_USAGE_GUIDE;
}

TEST_P(UsageExampleTest, RunsAsTheGuideSays) {
  const Example& example = GetParam();
  SCOPED_TRACE(std::string(ZEL_USAGE_GUIDE) + ":" + std::to_string(example.Line));
  const Claims claims = ClaimsOf(example.Script);
  for (const std::string& unknown : claims.Unknown) ADD_FAILURE() << "not a claim this test knows: # " << unknown;
  ASSERT_FALSE(claims.Empty()) << "the example claims nothing, so it proves nothing";

  ASSERT_EQ(Run(example.Script), "ok");
  EXPECT_EQ(printed_, claims.Prints);
  for (const ObjectClaim& claim : claims.Objects) {
    HWND window = ObjectNamed(claim.Name);
    if (window == nullptr) {
      ADD_FAILURE() << claim.Kind << ": the script made no object " << claim.Name;
      continue;
    }
    EXPECT_EQ(Observed(window, claim.Kind), Normalised(claim.Kind, claim.Value)) << claim.Kind << " " << claim.Name;
  }
}

std::string ExampleName(const testing::TestParamInfo<Example>& info) {
  return "Line" + std::to_string(info.param.Line);
}

INSTANTIATE_TEST_SUITE_P(UsageGuide, UsageExampleTest, testing::ValuesIn(TheGuide().Examples), ExampleName);
// An empty guide is reported by UsageGuide.HoldsExamplesThatTheTestsRun.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(UsageExampleTest);

}  // namespace
