#include "plugin/lifecycle.h"

#include <algorithm>
#include <iterator>

#include "engine/frame_timer.h"
#include "engine/registry.h"
#include "plugin/exports.h"
#include "plugin/host_texts.h"
#include "zelmora_version.h"

namespace zel {
namespace {

struct ActionRow {
  int Id;
  const wchar_t* Name;
  const wchar_t* Hint;
  int ParamCount;
};

constexpr ActionRow kActionTable[] = {
    {1, L"zelAnimate", L"Animate object: Target, FromXY, ToXY, DurationMs, Easing, PathType, PathData, FPS, CoordMode",
     9},
    {2, L"zelStopAnimate", L"Stop animation: Target, JumpToEnd(0/1)", 2},
    {3, L"zelAnimateEx", L"Effects: Target, Delay, Loops, PingPong, OnComplete, Opacity, Scale, Rotation", 8},
};

constexpr const wchar_t* kTitle = L"Zelmora Zozarevo";
constexpr const wchar_t* kAuthorLine = L"" ZEL_AUTHOR_LINE;
constexpr const wchar_t* kDescription =
    L"Animate objects with easing, loops, opacity, scale & rotation (works with ZelOverlay)";

AddActionProcType AddActionProc = nullptr;
// Title, author line, description; then name and hint of each action. The
// plug-in owns them until it is unloaded.
char* PlugInTexts[3] = {};
char* ActionTexts[6] = {};
unsigned char ParamTypeCodes[32] = {};

void FreeOwnedText(char*& text) {
  if (text != nullptr) GlobalFree(text);
  text = nullptr;
}

void FreeOwnedTexts() {
  for (char*& text : PlugInTexts) FreeOwnedText(text);
  for (char*& text : ActionTexts) FreeOwnedText(text);
}

}  // namespace

void AttachPlugIn(HINSTANCE moduleInstance) {
  InitialiseFrameTimer(moduleInstance);
  AnimationRegistry.Clear();
  InitialSizeRegistry.Clear();
}

void DetachPlugIn() {
  ShutdownPlugIn();
  FreeOwnedTexts();
}

void ShutdownPlugIn() {
  AnimationRegistry.Clear();
  InitialSizeRegistry.Clear();
  DestroyFrameTimer();
}

}  // namespace zel

using namespace zel;

int WINAPI nbInitPlugIn(INT_PTR, char** titleOut, char** authorOut, char** descriptionOut) {
  // A repeated call hands out new blocks: the host may still hold the old ones.
  const wchar_t* texts[] = {kTitle, kAuthorLine, kDescription};
  char** outs[] = {titleOut, authorOut, descriptionOut};
  for (size_t i = 0; i < std::size(texts); ++i) {
    PlugInTexts[i] = ToHostText(texts[i]);
    if (outs[i] != nullptr && PlugInTexts[i] != nullptr) *outs[i] = PlugInTexts[i];
  }
  return 0;
}

int WINAPI nbRegisterPlugIn(AddActionProcType addAction, INT_PTR, INT_PTR, SetVariableProcType setVariable) {
  AddActionProc = addAction;
  SetVariableProc = setVariable;
  if (AddActionProc == nullptr) return 0;
  for (size_t i = 0; i < std::size(kActionTable); ++i) {
    const ActionRow& action = kActionTable[i];
    char* name = ActionTexts[2 * i] = ToHostText(action.Name);
    char* hint = ActionTexts[2 * i + 1] = ToHostText(action.Hint);
    std::fill_n(ParamTypeCodes, action.ParamCount, 1);
    // An action whose texts could not be allocated is left out rather than
    // handed to the host with a null name.
    if (name != nullptr && hint != nullptr) AddActionProc(action.Id, name, hint, ParamTypeCodes, 0, action.ParamCount);
  }
  return 0;
}

int WINAPI nbRegisterInterfaceAccess(InterfaceAccessProcType accessProc) {
  InterfaceAccessProc = accessProc;
  return 0;
}

int WINAPI nbRegisterScriptProcessor(ScriptProcessorProcType scriptProc) {
  ScriptProcessorProc = scriptProc;
  return 0;
}

int WINAPI nbMessage(int code, INT_PTR) {
  if (code == 2) ShutdownPlugIn();
  return 0;
}
