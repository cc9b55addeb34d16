// The loader entry point of the plug-in library.
#include <windows.h>

#include "plugin/lifecycle.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      zel::AttachPlugIn(instance);
      break;
    case DLL_PROCESS_DETACH:
      zel::DetachPlugIn();
      break;
    default:
      break;
  }
  return TRUE;
}
