// Loading, registration and shutdown of the plug-in.
#pragma once

#include <windows.h>

namespace zel {

// Process attach: empty registries and the initial frame timer state for the
// module that owns the timer window class.
void AttachPlugIn(HINSTANCE moduleInstance);
// Process detach: shuts down and frees the texts that describe the plug-in.
void DetachPlugIn();
// Clears every animation and size record and destroys the timer window.
// Animated windows stay where they are.
void ShutdownPlugIn();

}  // namespace zel
