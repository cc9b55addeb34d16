// The measurements, each printing its result lines. The engine program links
// the engine and runs the first two; the plug-in program loads the DLL
// through the reference host and runs the others.
#pragma once

#include "host/plugin_module.h"

namespace bench {

// One frame tick against the same window calls made bare, for 1 to 1000
// visible windows, with and without effects.
void RunFrameCost();
// The animation registry alone: adding, finding and removing records as
// their number grows.
void RunRegistryScale();

// Moves per second and completion lateness on the real timer, against the
// timer alone delivering to an empty handler.
void RunTimerFidelity(const host::PluginExports& plugin);
// Starting, finding and stopping 10,000 animations through the actions, and
// the memory they hold.
void RunActionScale(const host::PluginExports& plugin);
// Timer messages and CPU time while nothing is animated.
void RunIdle(const host::PluginExports& plugin);

}  // namespace bench
