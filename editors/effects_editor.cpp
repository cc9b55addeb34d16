#include <string>
#include <vector>

#include "editors/dialog.h"
#include "editors/editors.h"

namespace zel {
namespace {

enum : size_t {
  kTargetLabel,
  kTargetField,
  kPickButton,
  kDelayLabel,
  kDelayField,
  kMsLabel,
  kLoopsLabel,
  kLoopsField,
  kLoopsHint,
  kPingPongBox,
  kOnCompleteLabel,
  kOnCompleteField,
  kSubHint,
  kOpacityLabel,
  kOpacityField,
  kOpacityHint,
  kScaleLabel,
  kScaleField,
  kScaleHint,
  kRotationLabel,
  kRotationField,
  kRotationHint,
  kOkButton,
  kCancelButton
};

// Rows 34 units apart from y = 10, the row after the check box 30 below it,
// the buttons 40 below the last field row; labels sit 4 below their row.
const DialogLayout& Layout() {
  using K = ControlKind;
  static const DialogLayout layout{L"Zelmora Zozarevo - AnimateEx (Effects)",
                                   460,
                                   370,
                                   {
                                       {K::Label, L"Target:", 12, 14, 80, 20},
                                       {K::ReadOnlyField, L"", 110, 10, 240, 22},
                                       {K::Button, L"Pick...", 360, 10, 85, 22},
                                       {K::Label, L"Delay:", 12, 48, 80, 20},
                                       {K::Field, L"", 110, 44, 100, 22},
                                       {K::Label, L"ms", 215, 48, 30, 20},
                                       {K::Label, L"Loops:", 12, 82, 80, 20},
                                       {K::Field, L"", 110, 78, 100, 22},
                                       {K::Label, L"(-1=infinite, 0=once, N=N times)", 215, 82, 220, 20},
                                       {K::CheckBox, L"PingPong (reverse each loop)", 110, 112, 250, 20},
                                       {K::Label, L"OnComplete:", 12, 146, 80, 20},
                                       {K::Field, L"", 110, 142, 240, 22},
                                       {K::Label, L"(sub name)", 355, 146, 90, 20},
                                       {K::Label, L"Opacity:", 12, 180, 80, 20},
                                       {K::Field, L"", 110, 176, 150, 22},
                                       {K::Label, L"(from,to  e.g. 0,255)", 265, 180, 180, 20},
                                       {K::Label, L"Scale:", 12, 214, 80, 20},
                                       {K::Field, L"", 110, 210, 150, 22},
                                       {K::Label, L"(from,to  e.g. 0.5,1.0)", 265, 214, 180, 20},
                                       {K::Label, L"Rotation:", 12, 248, 80, 20},
                                       {K::Field, L"", 110, 244, 150, 22},
                                       {K::Label, L"(from,to deg e.g. 0,360)", 265, 248, 180, 20},
                                       {K::Button, L"OK", 260, 284, 90, 28},
                                       {K::Button, L"Cancel", 355, 284, 90, 28},
                                   },
                                   {kTargetField, kDelayField, kLoopsField, kPingPongBox, kOnCompleteField,
                                    kOpacityField, kScaleField, kRotationField},
                                   kTargetField,
                                   kPickButton,
                                   kOkButton,
                                   kCancelButton};
  return layout;
}

}  // namespace

int EditEffects(ParamArray params) {
  std::vector<std::wstring> texts = ReadParams(params, Layout());
  for (size_t index : {1, 2})  // Delay and Loops
    if (texts[index].empty()) texts[index] = L"0";
  Dialog dialog;
  if (!OpenDialog(dialog, Layout(), params, StartsFromTexts(Layout(), texts))) return 0;
  return RunDialog(dialog);
}

}  // namespace zel
