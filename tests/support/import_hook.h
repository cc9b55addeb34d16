// Replaces a function that a module imports, for as long as the holder lives,
// by rewriting the module's import address table. Tests use it to steer the
// clock and to watch the global memory blocks of the plug-in, whether it is
// linked into the test or loaded as a DLL.
#pragma once

#include <windows.h>

class ImportHook {
 public:
  ImportHook(HMODULE module, const char* dllName, const char* functionName, const void* replacement);
  ~ImportHook();
  ImportHook(const ImportHook&) = delete;
  ImportHook& operator=(const ImportHook&) = delete;

  bool Installed() const { return slot_ != nullptr; }
  // The function the module called before the hook.
  template <typename Function>
  Function Original() const {
    return reinterpret_cast<Function>(original_);
  }

 private:
  HMODULE module_;
  void** slot_ = nullptr;
  void* original_ = nullptr;
};
