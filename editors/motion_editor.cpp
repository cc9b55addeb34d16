#include <string>
#include <vector>

#include "editors/dialog.h"
#include "editors/editors.h"
#include "parse/name_text.h"
#include "parse/number_text.h"

namespace zel {
namespace {

// Controls, in creation order.
enum : size_t {
  kTargetLabel,
  kTargetField,
  kPickButton,
  kUseCurrentBox,
  kFromLabel,
  kFromField,
  kToLabel,
  kToField,
  kDurationLabel,
  kDurationField,
  kMsLabel,
  kEasingLabel,
  kEasingList,
  kPathLabel,
  kPathList,
  kPathDataLabel,
  kPathDataField,
  kFpsLabel,
  kFpsField,
  kCoordModeLabel,
  kCoordModeList,
  kOkButton,
  kCancelButton
};

const DialogLayout& Layout() {
  using K = ControlKind;
  static const DialogLayout layout{
      L"Zelmora Zozarevo - Animate",
      520,
      310,
      {
          {K::Label, L"Target:", 12, 14, 70, 20},
          {K::ReadOnlyField, L"", 90, 10, 320, 22},
          {K::Button, L"Pick...", 420, 10, 85, 22},
          {K::CheckBox, L"Use current position as start", 90, 45, 240, 20},
          {K::Label, L"FromXY:", 12, 74, 70, 20},
          {K::Field, L"", 90, 70, 150, 22},
          {K::Label, L"ToXY:", 12, 104, 70, 20},
          {K::Field, L"", 90, 100, 150, 22},
          {K::Label, L"Duration:", 12, 134, 80, 20},
          {K::Field, L"", 90, 130, 150, 22},
          {K::Label, L"ms", 245, 134, 60, 20},
          {K::Label, L"Easing:", 12, 164, 70, 20},
          {K::List, std::wstring_view(L"Linear\0EaseIn\0EaseOut\0EaseInOut\0", 33), 90, 160, 150, 22},
          {K::Label, L"Path:", 12, 194, 70, 20},
          {K::List, std::wstring_view(L"Line\0QuadBezier\0CubicBezier\0", 28), 90, 190, 150, 22},
          {K::Label, L"PathData:", 260, 194, 90, 20},
          {K::Field, L"", 340, 190, 165, 22},
          {K::Label, L"FPS:", 12, 224, 70, 20},
          {K::Field, L"", 90, 220, 150, 22},
          {K::Label, L"CoordMode:", 260, 224, 90, 20},
          {K::List, std::wstring_view(L"ParentClient\0Screen\0", 20), 340, 220, 165, 22},
          {K::Button, L"OK", 320, 262, 90, 28},
          {K::Button, L"Cancel", 415, 262, 90, 28},
      },
      {kTargetField, kFromField, kToField, kDurationField, kEasingList, kPathList, kPathDataField, kFpsField,
       kCoordModeList},
      kTargetField,
      kPickButton,
      kOkButton,
      kCancelButton};
  return layout;
}

std::vector<ControlStart> StartsFor(std::vector<std::wstring> texts) {
  const std::pair<size_t, const wchar_t*> defaults[] = {{4, L"Linear"}, {5, L"Line"}, {7, L"60"}, {8, L"ParentClient"}};
  for (const auto& [index, text] : defaults)
    if (texts[index].empty()) texts[index] = text;
  std::vector<ControlStart> starts = StartsFromTexts(Layout(), texts);
  const bool useCurrent = TrimSpaces(texts[1]).empty();
  starts[kUseCurrentBox].Checked = useCurrent;
  starts[kFromField].Disabled = useCurrent;
  starts[kPathDataField].Disabled = !IsBezierPathName(texts[5]);
  return starts;
}

// Checking the box empties and disables the FromXY field; unchecking
// enables it with its text. A Bezier path enables the PathData field; any
// other path empties and disables it.
void OnCommand(const Dialog& dialog, size_t control, WORD notification) {
  if (control == kUseCurrentBox && notification == BN_CLICKED) {
    const bool useCurrent = IsChecked(dialog, kUseCurrentBox);
    if (useCurrent) SetControlText(dialog, kFromField, L"");
    EnableControl(dialog, kFromField, !useCurrent);
  } else if (control == kPathList && notification == CBN_SELCHANGE) {
    const bool bezier = IsBezierPathName(ListText(dialog, kPathList));
    if (!bezier) SetControlText(dialog, kPathDataField, L"");
    EnableControl(dialog, kPathDataField, bezier);
  }
}

// With the box checked the start point is the current position, whatever
// the field still shows.
void BeforeWrite(const Dialog& dialog, std::vector<std::wstring>& texts) {
  if (IsChecked(dialog, kUseCurrentBox)) texts[1].clear();
}

}  // namespace

int EditMotion(ParamArray params) {
  Dialog dialog;
  if (!OpenDialog(dialog, Layout(), params, StartsFor(ReadParams(params, Layout())))) return 0;
  dialog.OnCommand = OnCommand;
  dialog.BeforeWrite = BeforeWrite;
  return RunDialog(dialog);
}

}  // namespace zel
