// Runs one of the three actions for the host.
#include "plugin/exports.h"

// The dispatch to motion start, stop and effects arrives together with those
// procedures; until then no action id is run.
int WINAPI nbExecAction(int, ParamArray) { return 0; }
