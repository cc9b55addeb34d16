// The seven entry points the host calls. The module-definition file exports
// them with one leading underscore and ordinals 1 to 7.
#pragma once

#include "plugin/host_contract.h"

extern "C" {
int WINAPI nbEditAction(int actionId, ParamArray params);
int WINAPI nbExecAction(int actionId, ParamArray params);
int WINAPI nbInitPlugIn(INT_PTR ignored, char** titleOut, char** authorOut, char** descriptionOut);
int WINAPI nbMessage(int code, INT_PTR ignored);
int WINAPI nbRegisterInterfaceAccess(InterfaceAccessProcType accessProc);
int WINAPI nbRegisterPlugIn(AddActionProcType addAction, INT_PTR ignored1, INT_PTR ignored2,
                            SetVariableProcType setVariable);
int WINAPI nbRegisterScriptProcessor(ScriptProcessorProcType scriptProc);
}
