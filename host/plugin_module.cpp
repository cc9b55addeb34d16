#include "host/plugin_module.h"

namespace host {

namespace {

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& function, std::string& error) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  if (function == nullptr) error += std::string(error.empty() ? "" : "; ") + "missing export " + name;
}

}  // namespace

PluginModule::PluginModule(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {
  if (module_ == nullptr) {
    error_ = "cannot load the plug-in (error " + std::to_string(GetLastError()) + ")";
    return;
  }
  Resolve(module_, "_nbEditAction", exports_.EditAction, error_);
  Resolve(module_, "_nbExecAction", exports_.ExecAction, error_);
  Resolve(module_, "_nbInitPlugIn", exports_.InitPlugIn, error_);
  Resolve(module_, "_nbMessage", exports_.Message, error_);
  Resolve(module_, "_nbRegisterInterfaceAccess", exports_.RegisterInterfaceAccess, error_);
  Resolve(module_, "_nbRegisterPlugIn", exports_.RegisterPlugIn, error_);
  Resolve(module_, "_nbRegisterScriptProcessor", exports_.RegisterScriptProcessor, error_);
}

PluginModule::~PluginModule() { Unload(); }

void PluginModule::Unload() {
  if (module_ != nullptr) FreeLibrary(module_);
  module_ = nullptr;
  exports_ = PluginExports{};
}

std::wstring PluginPathBesideProgram() {
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring path(program);
  path.erase(path.find_last_of(L"\\/") + 1);
  return path + L"Zelmora Zozarevo.dll";
}

}  // namespace host
