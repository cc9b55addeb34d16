// The modal editor dialogs of the three actions. Each reads the action's
// parameter texts, lets the user edit them, and writes every one back when
// the user presses OK (result 1); Cancel, a close request or a window that
// cannot be created write nothing (result 0).
#pragma once

#include "plugin/host_contract.h"

namespace zel {

int EditMotion(ParamArray params);
int EditStop(ParamArray params);
int EditEffects(ParamArray params);

}  // namespace zel
