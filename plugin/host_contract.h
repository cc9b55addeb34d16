// The binary contract between the host application and the plug-in: the
// callbacks the host hands over and the seven exported entry points. Both
// sides use these types; every function is stdcall.
#pragma once

#include <windows.h>

// The host's array of pointers to the ANSI parameter texts of one action call.
using ParamArray = char**;

// Host callbacks. Results are ignored unless a caller says otherwise.
using AddActionProcType = int(WINAPI*)(int actionId, char* name, char* hint, unsigned char* paramTypeCodes,
                                       int reserved, int paramCount);
using SetVariableProcType = int(WINAPI*)(char* name, char* value);
using ScriptProcessorProcType = int(WINAPI*)(char* line);
using InterfaceAccessProcType = int(WINAPI*)(int command, char** text);

// The exported entry points, as a host obtains them with GetProcAddress.
using EditActionProcType = int(WINAPI*)(int actionId, ParamArray params);
using ExecActionProcType = int(WINAPI*)(int actionId, ParamArray params);
using InitPlugInProcType = int(WINAPI*)(INT_PTR ignored, char** titleOut, char** authorOut, char** descriptionOut);
using MessageProcType = int(WINAPI*)(int code, INT_PTR ignored);
using RegisterInterfaceAccessProcType = int(WINAPI*)(InterfaceAccessProcType accessProc);
using RegisterPlugInProcType = int(WINAPI*)(AddActionProcType addAction, INT_PTR ignored1, INT_PTR ignored2,
                                            SetVariableProcType setVariable);
using RegisterScriptProcessorProcType = int(WINAPI*)(ScriptProcessorProcType scriptProc);

// Interface-access commands.
constexpr int kPickObjectCommand = 1;
constexpr int kObjectHandleCommand = 7;
