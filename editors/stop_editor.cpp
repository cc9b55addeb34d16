#include "editors/dialog.h"
#include "editors/editors.h"

namespace zel {
namespace {

enum : size_t { kTargetLabel, kTargetField, kPickButton, kJumpBox, kOkButton, kCancelButton };

const DialogLayout& Layout() {
  using K = ControlKind;
  static const DialogLayout layout{L"Zelmora Zozarevo - Stop",
                                   420,
                                   140,
                                   {
                                       {K::Label, L"Target:", 12, 14, 70, 20},
                                       {K::ReadOnlyField, L"", 90, 10, 250, 22},
                                       {K::Button, L"Pick", 350, 10, 55, 22},
                                       {K::CheckBox, L"Jump to end position", 90, 45, 220, 20},
                                       {K::Button, L"OK", 230, 85, 80, 26},
                                       {K::Button, L"Cancel", 315, 85, 80, 26},
                                   },
                                   {kTargetField, kJumpBox},
                                   kTargetField,
                                   kPickButton,
                                   kOkButton,
                                   kCancelButton};
  return layout;
}

}  // namespace

int EditStop(ParamArray params) {
  Dialog dialog;
  if (!OpenDialog(dialog, Layout(), params, StartsFromTexts(Layout(), ReadParams(params, Layout())))) return 0;
  return RunDialog(dialog);
}

}  // namespace zel
