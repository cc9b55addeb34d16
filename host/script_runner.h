// The reference host's small script language. One command per line, its
// parameters in double quotes (so "300,200" is one parameter):
//
//   # a comment
//   Object "Box" "Panel" "20,40,80,60" "#3366cc"   create a named object: Panel, Button or Label
//   zelAnimate "Box" "" "300,200" "1000" ...       any action the plug-in registered
//   Wait "500"                                     keep serving messages for 500 ms
//   Print "Error: [ZelZozarevo.LastError]"         [Name] is replaced by the host variable
//   GoSub "Next"   /   Next:   /   Return          subroutines; the plug-in's completion lines call them
//   End                                            the end of the main part
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/plugin_module.h"

namespace host {

struct ScriptLine {
  int Number = 0;  // in the file, from 1
  std::string Command;
  std::vector<std::string> Params;
};

struct Script {
  std::vector<ScriptLine> Lines;
  std::map<std::string, size_t> Labels;  // upper-cased name: index of the line after the label
};

struct ScriptError {
  int Line = 0;
  std::string Message;
  std::string Text() const { return "line " + std::to_string(Line) + ": " + Message; }
};

// What the script asks of the program that runs it.
struct ScriptStage {
  std::function<void(const std::string& name, const std::string& kind, RECT placement, const std::string& text)>
      CreateObject;
  std::function<void(const std::string& text)> Print;
  std::function<void(DWORD milliseconds)> Wait;
  // Each action as it is run, with its parameters after substitution.
  std::function<void(const ScriptLine& action)> ActionRun;
};

// False, with the first error, for a malformed script.
bool ParseScript(const std::string& text, Script& script, ScriptError& error);
// Runs the main part; subroutines run when a GoSub line calls them, from
// the script or from the plug-in. False, with the error, when a line fails.
bool RunScript(const Script& script, const PluginExports& plugin, const ScriptStage& stage, ScriptError& error);

}  // namespace host
