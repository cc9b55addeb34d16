#include "tests/support/import_hook.h"

#include <cstring>

namespace {

template <typename T>
T* At(HMODULE module, DWORD rva) {
  return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

void** FindImportSlot(HMODULE module, const char* dllName, const char* functionName) {
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
  const auto* nt = At<const IMAGE_NT_HEADERS>(module, dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return nullptr;
  for (auto* descriptor = At<IMAGE_IMPORT_DESCRIPTOR>(module, imports.VirtualAddress); descriptor->Name != 0;
       ++descriptor) {
    if (_stricmp(At<const char>(module, descriptor->Name), dllName) != 0) continue;
    auto* names = At<IMAGE_THUNK_DATA>(module, descriptor->OriginalFirstThunk);
    auto* slots = At<IMAGE_THUNK_DATA>(module, descriptor->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = At<IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names->u1.AddressOfData));
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), functionName) == 0)
        return reinterpret_cast<void**>(&slots->u1.Function);
    }
  }
  return nullptr;
}

void WriteSlot(void** slot, void* value) {
  DWORD oldProtection = 0;
  VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &oldProtection);
  *slot = value;
  VirtualProtect(slot, sizeof(*slot), oldProtection, &oldProtection);
}

}  // namespace

ImportHook::ImportHook(HMODULE module, const char* dllName, const char* functionName, const void* replacement)
    : module_(module), slot_(FindImportSlot(module, dllName, functionName)) {
  if (slot_ == nullptr) return;
  original_ = *slot_;
  WriteSlot(slot_, const_cast<void*>(replacement));
}

ImportHook::~ImportHook() {
  // A test may have unloaded the module while the hook was in place.
  HMODULE owner = nullptr;
  if (slot_ != nullptr &&
      GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(slot_), &owner) &&
      owner == module_)
    WriteSlot(slot_, original_);
}
