#include "plugin/host_texts.h"

namespace zel {

SetVariableProcType SetVariableProc = nullptr;
InterfaceAccessProcType InterfaceAccessProc = nullptr;
ScriptProcessorProcType ScriptProcessorProc = nullptr;

char* ToHostText(std::wstring_view text) {
  const int length = static_cast<int>(text.size());
  const int byteCount =
      length == 0 ? 0 : WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  auto* block = static_cast<char*>(GlobalAlloc(GPTR, static_cast<SIZE_T>(byteCount) + 2));
  if (block != nullptr && byteCount > 0)
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, block, byteCount, nullptr, nullptr);
  return block;
}

void SetHostVariable(std::wstring_view name, std::wstring_view value) {
  if (SetVariableProc == nullptr) return;
  LentHostText nameBlock(ToHostText(name));
  LentHostText valueBlock(ToHostText(value));
  if (nameBlock && valueBlock) SetVariableProc(nameBlock.get(), valueBlock.get());
  nameBlock.reset();  // the name's block is released first
}

void SetLastError(std::wstring_view message) { SetHostVariable(L"[ZelZozarevo.LastError]", message); }

void RunScript(std::wstring_view line) {
  if (ScriptProcessorProc == nullptr || line.empty()) return;
  LentHostText block(ToHostText(line));
  if (block) ScriptProcessorProc(block.get());
}

}  // namespace zel
