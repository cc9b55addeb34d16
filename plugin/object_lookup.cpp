#include "plugin/object_lookup.h"

#include "engine/handle_table.h"
#include "parse/number_text.h"
#include "plugin/host_texts.h"
#include "plugin/parameters.h"

namespace zel {
namespace {

// Only a global memory block can be released. A host that answers with other
// memory (a literal, a buffer of its own, an unreadable address) keeps it:
// freeing that would corrupt its heap.
void ReleaseAnswer(char* variable) {
  if (variable == nullptr) return;
  if (HGLOBAL block = GlobalHandle(variable)) GlobalFree(block);
}

// Lends the host a block with the text in a pointer variable and reads its
// answer. The host may overwrite the block or put a block of its own in the
// variable; whichever block it holds afterwards is the plug-in's to free.
std::wstring AskHost(int command, char* lentBlock) {
  char* variable = lentBlock;
  const int result = InterfaceAccessProc(command, &variable);
  std::wstring answer;
  if (result != 0 && variable != nullptr) answer = ReadHostText(variable);
  ReleaseAnswer(variable);
  return answer;
}

}  // namespace

HWND FindObjectHandle(std::wstring_view name) {
  if (InterfaceAccessProc == nullptr) return nullptr;
  char* block = ToHostText(name);
  if (block == nullptr) return nullptr;
  return HandleFromKey(TextToInt(AskHost(kObjectHandleCommand, block)));
}

std::wstring PickObject(std::wstring_view current) {
  if (InterfaceAccessProc == nullptr) return {};
  // Without a block for the current text the host is still asked.
  return AskHost(kPickObjectCommand, ToHostText(current));
}

HWND ResolveTarget(std::wstring_view target) {
  const std::wstring_view trimmed = TrimSpaces(target);
  if (trimmed.empty()) return nullptr;
  if (IsNumericText(trimmed)) return HandleFromKey(TextToInt(trimmed));
  return FindObjectHandle(trimmed);
}

}  // namespace zel
