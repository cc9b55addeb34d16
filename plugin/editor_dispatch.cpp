// Opens the editor dialog of one of the three actions for the host.
#include "plugin/exports.h"

// The dispatch to the three editor dialogs arrives together with the dialogs;
// until then no editor opens and the host is told nothing was confirmed.
int WINAPI nbEditAction(int, ParamArray) { return 0; }
