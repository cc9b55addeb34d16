#include "host/script_runner.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "host/reference_host.h"

namespace host {
namespace {

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The command word and the double-quoted parameters after it.
bool ParseCommand(const std::string& text, ScriptLine& line, std::string& problem) {
  size_t at = text.find_first_of(" \t");
  line.Command = text.substr(0, at);
  while (at != std::string::npos && (at = text.find_first_not_of(" \t", at)) != std::string::npos) {
    if (text[at] != '"') {
      problem = "parameters must be in double quotes: " + text.substr(at);
      return false;
    }
    const size_t close = text.find('"', at + 1);
    if (close == std::string::npos) {
      problem = "a parameter's closing double quote is missing";
      return false;
    }
    line.Params.push_back(text.substr(at + 1, close - at - 1));
    at = close + 1;
  }
  return true;
}

bool IsLabel(const std::string& text) {
  return text.size() > 1 && text.back() == ':' && text.find_first_of(" \t\"") == std::string::npos;
}

struct HostCommand {
  const char* Name;
  size_t ParamCount;
};
constexpr HostCommand kHostCommands[] = {{"OBJECT", 4}, {"WAIT", 1},   {"PRINT", 1},
                                         {"GOSUB", 1},  {"RETURN", 0}, {"END", 0}};

const HostCommand* FindHostCommand(const std::string& command) {
  for (const HostCommand& known : kHostCommands)
    if (Upper(command) == known.Name) return &known;
  return nullptr;
}

int ActionId(const std::string& name) {
  for (const RegisteredAction& action : Host().Actions)
    if (Upper(action.Name) == Upper(name)) return action.Id;
  return 0;
}

// Replaces each [Name] by the host variable of that name, when there is one.
std::string Substitute(const std::string& text) {
  std::string result;
  for (size_t at = 0; at < text.size();) {
    const size_t open = text.find('[', at), close = text.find(']', open == std::string::npos ? at : open);
    if (open == std::string::npos || close == std::string::npos) {
      result += text.substr(at);
      break;
    }
    const auto variable = Host().Variables.find(text.substr(open, close - open + 1));
    result += text.substr(at, open - at);
    result += variable != Host().Variables.end() ? variable->second : text.substr(open, close - open + 1);
    at = close + 1;
  }
  return result;
}

bool ParseRect(const std::string& text, RECT& rect) {
  std::istringstream in(text);
  char c1 = 0, c2 = 0, c3 = 0;
  int x = 0, y = 0, w = 0, h = 0;
  if (!(in >> x >> c1 >> y >> c2 >> w >> c3 >> h) || c1 != ',' || c2 != ',' || c3 != ',' || w <= 0 || h <= 0)
    return false;
  rect = {x, y, x + w, y + h};
  return true;
}

class Runner {
 public:
  Runner(const Script& script, const PluginExports& plugin, const ScriptStage& stage)
      : script_(script), plugin_(plugin), stage_(stage) {}

  // Every line names a registered action or a host command with the right
  // number of parameters, and every GoSub a label.
  bool Check() {
    for (const ScriptLine& line : script_.Lines) {
      const HostCommand* command = FindHostCommand(line.Command);
      if (command == nullptr && ActionId(line.Command) == 0) return Fail(line, "unknown command " + line.Command);
      if (command != nullptr && line.Params.size() != command->ParamCount)
        return Fail(line, line.Command + " takes " + std::to_string(command->ParamCount) + " parameter(s)");
      if (Upper(line.Command) == "GOSUB" && script_.Labels.count(Upper(line.Params[0])) == 0)
        return Fail(line, "no label " + line.Params[0]);
    }
    return true;
  }

  bool RunMain() {
    for (const auto& [label, start] : script_.Labels)
      Host().Subroutines[label] = [this, start = start] { RunFrom(start, true); };
    RunFrom(0, false);
    Host().Subroutines.clear();
    return !failed_;
  }

  const ScriptError& Error() const { return error_; }

 private:
  bool Fail(const ScriptLine& line, const std::string& message) {
    if (!failed_) error_ = {line.Number, message};
    failed_ = true;
    return false;
  }

  // Runs lines from `start` until Return (in a subroutine), End (in the main
  // part), the end of the script, or an error.
  void RunFrom(size_t start, bool inSubroutine) {
    for (size_t i = start; i < script_.Lines.size() && !failed_; ++i) {
      const ScriptLine& line = script_.Lines[i];
      const std::string command = Upper(line.Command);
      if (command == "RETURN" || command == "END") {
        if ((command == "RETURN") != inSubroutine)
          Fail(line, inSubroutine ? "End inside a subroutine" : "Return outside a subroutine");
        return;
      }
      RunLine(line, command);
    }
    if (inSubroutine && !failed_) failed_ = true, error_ = {0, "a subroutine runs past the end without Return"};
  }

  void RunLine(const ScriptLine& line, const std::string& command) {
    std::vector<std::string> params;
    for (const std::string& param : line.Params) params.push_back(Substitute(param));
    if (command == "GOSUB") {
      Host().Subroutines[Upper(params[0])]();
    } else if (command == "WAIT") {
      stage_.Wait(static_cast<DWORD>(std::max(0, std::atoi(params[0].c_str()))));
    } else if (command == "PRINT") {
      stage_.Print(params[0]);
    } else if (command == "OBJECT") {
      RECT placement{};
      if (!ParseRect(params[2], placement)) {
        Fail(line, "the placement must be x,y,width,height: " + params[2]);
        return;
      }
      stage_.CreateObject(params[0], params[1], placement, params[3]);
    } else {
      ScriptLine action = line;
      action.Params = params;
      if (stage_.ActionRun) stage_.ActionRun(action);
      RunAction(plugin_, ActionId(line.Command), params);
    }
  }

  const Script& script_;
  const PluginExports& plugin_;
  const ScriptStage& stage_;
  ScriptError error_;
  bool failed_ = false;
};

}  // namespace

bool ParseScript(const std::string& text, Script& script, ScriptError& error) {
  std::istringstream lines(text);
  std::string raw;
  for (int number = 1; std::getline(lines, raw); ++number) {
    const std::string trimmed = Trim(raw);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    if (IsLabel(trimmed)) {
      const std::string label = Upper(trimmed.substr(0, trimmed.size() - 1));
      if (!script.Labels.emplace(label, script.Lines.size()).second) {
        error = {number, "the label " + trimmed + " is defined twice"};
        return false;
      }
      continue;
    }
    ScriptLine line;
    line.Number = number;
    std::string problem;
    if (!ParseCommand(trimmed, line, problem)) {
      error = {number, problem};
      return false;
    }
    script.Lines.push_back(line);
  }
  return true;
}

bool RunScript(const Script& script, const PluginExports& plugin, const ScriptStage& stage, ScriptError& error) {
  Runner runner(script, plugin, stage);
  const bool succeeded = runner.Check() && runner.RunMain();
  if (!succeeded) error = runner.Error();
  return succeeded;
}

}  // namespace host
