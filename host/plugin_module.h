// A plug-in DLL loaded by path and reached only through its exported names,
// as the host application reaches it.
#pragma once

#include <windows.h>

#include <string>

#include "plugin/host_contract.h"

namespace host {

struct PluginExports {
  EditActionProcType EditAction = nullptr;
  ExecActionProcType ExecAction = nullptr;
  InitPlugInProcType InitPlugIn = nullptr;
  MessageProcType Message = nullptr;
  RegisterInterfaceAccessProcType RegisterInterfaceAccess = nullptr;
  RegisterPlugInProcType RegisterPlugIn = nullptr;
  RegisterScriptProcessorProcType RegisterScriptProcessor = nullptr;
};

class PluginModule {
 public:
  explicit PluginModule(const std::wstring& path);
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  // Empty when the library and all seven exports were found.
  const std::string& Error() const { return error_; }
  HMODULE Handle() const { return module_; }
  const PluginExports& Exports() const { return exports_; }
  // Unloads the library now; the module is unusable afterwards.
  void Unload();

 private:
  HMODULE module_ = nullptr;
  PluginExports exports_;
  std::string error_;
};

// The file name of the plug-in, looked for next to the running program.
std::wstring PluginPathBesideProgram();

}  // namespace host
