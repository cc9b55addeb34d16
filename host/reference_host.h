// The host side of the plug-in contract: the four callbacks and the state
// they work on (registered actions, variables, script lines, named objects).
// A host has one plug-in interface, so this state is process-wide.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/plugin_module.h"

namespace host {

struct RegisteredAction {
  int Id = 0;
  std::string Name;
  std::string Hint;
  std::vector<unsigned char> ParamTypeCodes;  // the first ParamCount codes, read during the call
  int Reserved = 0;
  int ParamCount = 0;
};

struct InterfaceRequest {
  int Command = 0;
  std::string Text;                 // the text the plug-in passed in
  const char* LentBlock = nullptr;  // the block it was passed in
};

struct HostState {
  std::vector<RegisteredAction> Actions;
  std::map<std::string, std::string> Variables;
  std::vector<std::string> ScriptLines;
  std::vector<InterfaceRequest> InterfaceRequests;
  // Objects by name (matched without regard to case), answered to command 7
  // with the handle in decimal digits.
  std::map<std::string, HWND> Objects;
  // Answers to command 7 given word for word, for names not in Objects.
  std::map<std::string, std::string> RawObjectAnswers;
  // Write an answer into the plug-in's block when it fits, instead of
  // replacing the block with one of the host's.
  bool AnswerInPlace = false;
  // The answer to command 1 (pick an object); no answer while empty.
  std::string PickAnswer;
  // Subroutines by name (matched without regard to case): a script line
  // GoSub "Name" runs the one of that name inside the callback, after the
  // line was recorded. Other lines are only recorded.
  std::map<std::string, std::function<void()>> Subroutines;
};

HostState& Host();
void ResetHost();
// Empties the variables and the logs of script lines and requests, which
// otherwise grow with every call of a long run.
void ClearLogs();

int WINAPI AddAction(int actionId, char* name, char* hint, unsigned char* paramTypeCodes, int reserved, int paramCount);
int WINAPI SetVariable(char* name, char* value);
int WINAPI ProcessScriptLine(char* line);
int WINAPI AccessInterface(int command, char** text);

struct PlugInDescription {
  std::string Title;
  std::string Author;
  std::string Description;
};

// Runs an action with host-owned parameter texts, as the host's script
// runner does; parameters left out are empty. Returns the plug-in's result.
// Texts the plug-in stores in the array are the host's and are freed here.
int RunAction(const PluginExports& plugin, int actionId, std::vector<std::string> params);

struct EditOutcome {
  int Result = 0;
  std::vector<std::string> Texts;  // the array's texts after the editor
  std::vector<bool> Written;       // whether the editor stored a new text there
};

// Opens the action's editor with host-owned parameter texts, as the host
// does when the user edits an action; returns when the dialog has closed.
EditOutcome EditAction(const PluginExports& plugin, int actionId, const std::vector<std::string>& params);

// Asks for the plug-in's texts, registers its actions and hands over the
// other three callbacks, as the host does after loading it.
PlugInDescription ConnectPlugin(const PluginExports& plugin);

}  // namespace host
