// What the three editor dialogs share: a layout as a table of controls in
// 96-DPI units, the window and its controls, the system message font, the
// modal loop that keeps serving the whole thread, and the Pick, Cancel and
// close rules.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/host_contract.h"

namespace zel {

enum class ControlKind { Label, Field, ReadOnlyField, List, CheckBox, Button };

struct ControlRow {
  ControlKind Kind;
  // A label's, check box's or button's caption; a list's items, each ended
  // by a NUL.
  std::wstring_view Caption;
  int X, Y, Width, Height;
};

struct DialogLayout {
  const wchar_t* Title;
  int ClientWidth, ClientHeight;
  std::vector<ControlRow> Controls;   // created in this order
  std::vector<size_t> ParamControls;  // the control showing each parameter
  size_t TargetField, PickButton, OkButton, CancelButton;
};

// How a control starts: a field's text or a list's selected text, a check
// box's state, and whether it is disabled.
struct ControlStart {
  std::wstring Text;
  bool Checked = false;
  bool Disabled = false;
};

struct DeleteFont {
  void operator()(HFONT font) const { DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, DeleteFont>;

struct Dialog {
  const DialogLayout* Layout = nullptr;
  ParamArray Params = nullptr;
  HWND Window = nullptr;
  std::vector<HWND> Controls;
  UniqueFont OwnFont;  // null when the stock font is used
  int Result = 0;
  bool Done = false;
  // An editor's own handling of a click, a list selection or typing in a
  // control other than Pick, OK and Cancel.
  std::function<void(const Dialog& dialog, size_t control, WORD notification)> OnCommand;
  // An editor's last word on the texts that OK writes.
  std::function<void(const Dialog& dialog, std::vector<std::wstring>& texts)> BeforeWrite;
};

// The parameters that the layout shows, read in index order.
std::vector<std::wstring> ReadParams(ParamArray params, const DialogLayout& layout);
// Each parameter's control starts with its text; a check box is checked when
// the text's 64-bit integer value is not zero.
std::vector<ControlStart> StartsFromTexts(const DialogLayout& layout, const std::vector<std::wstring>& texts);

// Creates the window (owned by the thread's active window, centred on the
// screen, shown) and its controls, each set up from `starts` right after it
// is made. False when the window cannot be created.
bool OpenDialog(Dialog& dialog, const DialogLayout& layout, ParamArray params, const std::vector<ControlStart>& starts);
// Dispatches every message of the thread until the dialog is done, then
// destroys it and returns its result: 1 after OK, which writes every
// parameter back in index order, else 0.
int RunDialog(Dialog& dialog);

std::wstring ControlText(const Dialog& dialog, size_t control);
void SetControlText(const Dialog& dialog, size_t control, std::wstring_view text);
// The selected item's text, empty when none is selected.
std::wstring ListText(const Dialog& dialog, size_t control);
bool IsChecked(const Dialog& dialog, size_t control);
void EnableControl(const Dialog& dialog, size_t control, bool enabled);
// "1" when checked, "0" when not.
std::wstring CheckText(const Dialog& dialog, size_t control);

}  // namespace zel
