// Opens the editor dialog of one of the three actions for the host.
#include "editors/editors.h"
#include "plugin/exports.h"

// The editor's result: 1 after OK, 0 after Cancel or a close request; 0 for
// any other id, with no window opened and nothing read.
int WINAPI nbEditAction(int actionId, ParamArray params) {
  switch (actionId) {
    case 1:
      return zel::EditMotion(params);
    case 2:
      return zel::EditStop(params);
    case 3:
      return zel::EditEffects(params);
    default:
      return 0;
  }
}
