// The reference host's script language: clear errors with line numbers for
// malformed scripts, and subroutines that the plug-in's completion lines
// call.
#include "host/script_runner.h"

#include <string>
#include <vector>

#include "tests/script_fixture.h"

namespace {

using ScriptRunnerTest = ScriptTest;

TEST_F(ScriptRunnerTest, MalformedScriptsAreReportedWithTheirLine) {
  const struct {
    const char* Script;
    const char* Error;
  } cases[] = {
      {"# fine\n\nWait \"10\n", "line 3: a parameter's closing double quote is missing"},
      {"Wait 10\n", "line 1: parameters must be in double quotes: 10"},
      {"A:\nReturn\nA:\nReturn\n", "line 3: the label A: is defined twice"},
      {"Wait \"1\"\nJump \"x\"\n", "line 2: unknown command Jump"},
      {"Print \"a\" \"b\"\n", "line 1: Print takes 1 parameter(s)"},
      {"GoSub \"Nowhere\"\n", "line 1: no label Nowhere"},
      {"Return\n", "line 1: Return outside a subroutine"},
      {"Object \"B\" \"Panel\" \"1,2,3\" \"#000000\"\n", "line 1: the placement must be x,y,width,height: 1,2,3"},
  };
  for (const auto& c : cases) EXPECT_EQ(Run(c.Script), c.Error) << c.Script;
  EXPECT_TRUE(printed_.empty()) << "nothing runs before the whole script is checked";
}

TEST_F(ScriptRunnerTest, ActionsVariablesAndCompletionSubroutines) {
  const std::string script =
      "Object \"Box\" \"Panel\" \"0,0,50,50\" \"#ff0000\"\n"
      "zelAnimate \"Box\" \"\" \"100,0\" \"1000\"\n"
      "zelAnimateEx \"Box\" \"\" \"\" \"\" \"Done\"\n"
      "zelAnimate \"Ghost\" \"\" \"1,1\" \"10\"\n"
      "Print \"error: [ZelZozarevo.LastError] [Unknown]\"\n"
      "Wait \"1000\"\n"
      "Print \"main done\"\n"
      "End\n"
      "done:\n"
      "Print \"completed\"\n"
      "GoSub \"Inner\"\n"
      "Return\n"
      "Inner:\n"
      "Print \"inner\"\n"
      "Return\n";
  EXPECT_EQ(Run(script), "ok");
  EXPECT_EQ(printed_, (std::vector<std::string>{"error: Target object not found or invalid: Ghost [Unknown]",
                                                "completed", "inner", "main done"}))
      << "the plug-in's completion line runs the subroutine inside the wait";
}

TEST_F(ScriptRunnerTest, RunTimeErrorStopsTheScript) {
  EXPECT_EQ(Run("Print \"a\"\nGoSub \"S\"\nPrint \"b\"\nEnd\nS:\nEnd\n"), "line 6: End inside a subroutine");
  EXPECT_EQ(printed_, std::vector<std::string>{"a"});
}

}  // namespace
