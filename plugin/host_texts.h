// Texts that cross to the host, and the host services reached through its
// callbacks: variables, the error variable and the script processor.
#pragma once

#include <memory>
#include <string_view>

#include "plugin/host_contract.h"

namespace zel {

// Host callbacks; null until the host hands them over. A service whose
// callback is missing does nothing.
extern SetVariableProcType SetVariableProc;
extern InterfaceAccessProcType InterfaceAccessProc;
extern ScriptProcessorProcType ScriptProcessorProc;

struct GlobalFreeDeleter {
  void operator()(char* block) const { GlobalFree(block); }
};
// A HostText block that the plug-in lends to the host for one call.
using LentHostText = std::unique_ptr<char, GlobalFreeDeleter>;

// Converts to the ANSI code page into a new zero-filled fixed global block,
// two bytes longer than the converted text; null when it cannot be allocated.
char* ToHostText(std::wstring_view text);

void SetHostVariable(std::wstring_view name, std::wstring_view value);
// Writes the message into "[ZelZozarevo.LastError]". Nothing ever clears it.
void SetLastError(std::wstring_view message);
// Hands one script line to the host's script processor.
void RunScript(std::wstring_view line);

}  // namespace zel
