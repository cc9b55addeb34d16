#include "host/reference_host.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace host {
namespace {

HostState State;

std::string TextOf(const char* text) { return text != nullptr ? std::string(text) : std::string(); }

std::string UpperCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

// Puts the answer into the plug-in's variable: in its own block when asked to
// and it fits, else in a fresh block. A block the host replaces is the host's
// to release; the plug-in releases whatever the variable holds afterwards.
int Answer(char** text, const std::string& answer) {
  if (State.AnswerInPlace && *text != nullptr && GlobalSize(*text) > answer.size()) {
    std::memcpy(*text, answer.c_str(), answer.size() + 1);
    return 1;
  }
  auto* block = static_cast<char*>(GlobalAlloc(GPTR, answer.size() + 1));
  if (block == nullptr) return 0;
  std::memcpy(block, answer.c_str(), answer.size());
  if (*text != nullptr) GlobalFree(*text);
  *text = block;
  return 1;
}

int AnswerObjectHandle(char** text, const std::string& name) {
  for (const auto& [objectName, window] : State.Objects)
    if (UpperCase(objectName) == UpperCase(name)) return Answer(text, std::to_string(HandleToLong(window)));
  const auto raw = State.RawObjectAnswers.find(name);
  return raw != State.RawObjectAnswers.end() ? Answer(text, raw->second) : 0;
}

}  // namespace

HostState& Host() { return State; }

void ResetHost() { State = HostState{}; }

void ClearLogs() {
  State.Variables.clear();
  State.ScriptLines.clear();
  State.InterfaceRequests.clear();
}

int WINAPI AddAction(int actionId, char* name, char* hint, unsigned char* paramTypeCodes, int reserved,
                     int paramCount) {
  RegisteredAction action{actionId, TextOf(name), TextOf(hint), {}, reserved, paramCount};
  if (paramTypeCodes != nullptr && paramCount > 0)
    action.ParamTypeCodes.assign(paramTypeCodes, paramTypeCodes + paramCount);
  State.Actions.push_back(action);
  return 1;
}

int WINAPI SetVariable(char* name, char* value) {
  State.Variables[TextOf(name)] = TextOf(value);
  return 1;
}

int WINAPI ProcessScriptLine(char* line) {
  const std::string text = TextOf(line);
  State.ScriptLines.push_back(text);
  const std::string prefix = "GoSub \"";
  if (text.size() <= prefix.size() || text.compare(0, prefix.size(), prefix) != 0 || text.back() != '"') return 1;
  const std::string name = UpperCase(text.substr(prefix.size(), text.size() - prefix.size() - 1));
  for (const auto& [subroutineName, subroutine] : State.Subroutines)
    if (UpperCase(subroutineName) == name) {
      const std::function<void()> body = subroutine;  // it may change the table
      body();
      break;
    }
  return 1;
}

int WINAPI AccessInterface(int command, char** text) {
  if (text == nullptr) return 0;
  const std::string passedIn = TextOf(*text);
  State.InterfaceRequests.push_back({command, passedIn, *text});
  switch (command) {
    case kObjectHandleCommand:
      return AnswerObjectHandle(text, passedIn);
    case kPickObjectCommand:
      return State.PickAnswer.empty() ? 0 : Answer(text, State.PickAnswer);
    default:
      return 0;
  }
}

namespace {

// Host-owned parameter texts in an array the plug-in may write to; texts it
// stores there become the host's and are freed with the host's own.
class ParamBlocks {
 public:
  explicit ParamBlocks(const std::vector<std::string>& params) {
    for (const std::string& param : params) {
      auto* block = static_cast<char*>(GlobalAlloc(GPTR, param.size() + 1));
      if (block != nullptr) std::memcpy(block, param.c_str(), param.size());
      entries_.push_back(block);
    }
    handedOver_ = entries_;
  }
  ~ParamBlocks() {
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i] != handedOver_[i] && entries_[i] != nullptr) GlobalFree(entries_[i]);
      if (handedOver_[i] != nullptr) GlobalFree(handedOver_[i]);
    }
  }
  ParamBlocks(const ParamBlocks&) = delete;
  ParamBlocks& operator=(const ParamBlocks&) = delete;

  ParamArray Array() { return entries_.data(); }
  bool Written(size_t i) const { return entries_[i] != handedOver_[i]; }
  std::string Text(size_t i) const { return TextOf(entries_[i]); }

 private:
  std::vector<char*> entries_;
  std::vector<char*> handedOver_;
};

// Parameters left out are empty, up to the count the action registered.
std::vector<std::string> FullParams(int actionId, std::vector<std::string> params) {
  for (const RegisteredAction& action : State.Actions)
    if (action.Id == actionId && params.size() < static_cast<size_t>(action.ParamCount))
      params.resize(static_cast<size_t>(action.ParamCount));
  return params;
}

}  // namespace

int RunAction(const PluginExports& plugin, int actionId, std::vector<std::string> params) {
  ParamBlocks blocks(FullParams(actionId, std::move(params)));
  return plugin.ExecAction(actionId, blocks.Array());
}

EditOutcome EditAction(const PluginExports& plugin, int actionId, const std::vector<std::string>& params) {
  const std::vector<std::string> full = FullParams(actionId, params);
  ParamBlocks blocks(full);
  EditOutcome outcome;
  outcome.Result = plugin.EditAction(actionId, blocks.Array());
  for (size_t i = 0; i < full.size(); ++i) {
    outcome.Texts.push_back(blocks.Text(i));
    outcome.Written.push_back(blocks.Written(i));
  }
  return outcome;
}

PlugInDescription ConnectPlugin(const PluginExports& plugin) {
  char* title = nullptr;
  char* author = nullptr;
  char* description = nullptr;
  plugin.InitPlugIn(0, &title, &author, &description);
  plugin.RegisterPlugIn(AddAction, 0, 0, SetVariable);
  plugin.RegisterInterfaceAccess(AccessInterface);
  plugin.RegisterScriptProcessor(ProcessScriptLine);
  return {TextOf(title), TextOf(author), TextOf(description)};
}

}  // namespace host
