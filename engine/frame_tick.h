// The frame tick: advances every running animation to the current time.
#pragma once

namespace zel {

// Moves every animated window, sends the effect messages, restarts or
// finishes cycles; after the walk removes what ended, stops the idle timer
// and only then hands one GoSub line per completed animation to the host.
int OnFrameTick();

}  // namespace zel
