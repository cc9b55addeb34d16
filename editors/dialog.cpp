#include "editors/dialog.h"

#include <algorithm>

#include "engine/frame_timer.h"
#include "parse/number_text.h"
#include "plugin/object_lookup.h"
#include "plugin/parameters.h"

namespace zel {
namespace {

constexpr wchar_t kDialogClass[] = L"ZelmoraZozarevoEditor";
constexpr DWORD kDialogStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

struct ScreenDpi {
  int X = 96, Y = 96;
};

ScreenDpi ReadScreenDpi() {
  ScreenDpi dpi;
  if (HDC screen = GetDC(nullptr)) {
    dpi = {GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
    ReleaseDC(nullptr, screen);
  }
  return dpi;
}

RECT ScaledRect(const ScreenDpi& dpi, int x, int y, int width, int height) {
  const int left = MulDiv(x, dpi.X, 96), top = MulDiv(y, dpi.Y, 96);
  return {left, top, left + MulDiv(width, dpi.X, 96), top + MulDiv(height, dpi.Y, 96)};
}

UniqueFont CreateMessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return nullptr;
  return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

Dialog* DialogOf(HWND window) { return reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

void OnDialogCommand(Dialog& dialog, WPARAM wParam);

LRESULT CALLBACK DialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
      break;
    case WM_COMMAND:
      if (Dialog* dialog = DialogOf(window)) OnDialogCommand(*dialog, wParam);
      return 0;
    case WM_CLOSE:  // close box, system menu, Alt+F4: ends the dialog with result 0
      if (Dialog* dialog = DialogOf(window)) dialog->Done = true;
      return 0;
    case WM_DESTROY:  // destroyed by someone else, with its owner say: the loop ends, the result stands
      if (Dialog* dialog = DialogOf(window)) dialog->Done = true;
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterDialogClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = DialogWindowProc;
  windowClass.hInstance = FrameTimer.ModuleInstance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kDialogClass;
  RegisterClassExW(&windowClass);  // fails harmlessly when already registered
}

// Centred on the screen; a window larger than the screen starts at its edge.
HWND CreateDialogWindow(Dialog& dialog, const DialogLayout& layout, const ScreenDpi& dpi) {
  RECT frame = ScaledRect(dpi, 0, 0, layout.ClientWidth, layout.ClientHeight);
  AdjustWindowRectEx(&frame, kDialogStyle, FALSE, 0);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  return CreateWindowExW(0, kDialogClass, layout.Title, kDialogStyle | WS_VISIBLE, x, y, width, height,
                         GetActiveWindow(), nullptr, FrameTimer.ModuleInstance, &dialog);
}

struct WindowKind {
  const wchar_t* ClassName;
  DWORD Style;
  DWORD ExStyle;
};

WindowKind KindOf(ControlKind kind) {
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
  switch (kind) {
    case ControlKind::Label:
      return {L"STATIC", kChild | SS_LEFT, 0};
    case ControlKind::Field:
      return {L"EDIT", kChild | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::ReadOnlyField:
      return {L"EDIT", kChild | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE};
    case ControlKind::List:
      return {L"COMBOBOX", kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case ControlKind::CheckBox:
      return {L"BUTTON", kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 0};
    default:
      return {L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0};
  }
}

// A list selects the first item equal to the text without regard to case;
// the empty text clears the selection; any other text leaves it.
void SelectListText(HWND list, std::wstring_view text) {
  if (text.empty()) {
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    return;
  }
  const std::wstring wanted(text);
  const LRESULT item =
      SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wanted.c_str()));
  if (item != CB_ERR) SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
}

void AddListItems(HWND list, std::wstring_view items) {
  for (size_t start = 0; start < items.size();) {
    const size_t end = items.find(L'\0', start);
    const std::wstring item(items.substr(start, end - start));
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    start = end + 1;
  }
}

HWND CreateControl(const Dialog& dialog, const ControlRow& row, size_t index, const ScreenDpi& dpi,
                   const ControlStart& start) {
  const WindowKind kind = KindOf(row.Kind);
  const RECT rect = ScaledRect(dpi, row.X, row.Y, row.Width, row.Height);
  const bool captioned =
      row.Kind == ControlKind::Label || row.Kind == ControlKind::CheckBox || row.Kind == ControlKind::Button;
  const std::wstring text = captioned ? std::wstring(row.Caption) : std::wstring(start.Text);
  HWND control =
      CreateWindowExW(kind.ExStyle, kind.ClassName, row.Kind == ControlKind::List ? L"" : text.c_str(), kind.Style,
                      rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, dialog.Window,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(index + 1)), FrameTimer.ModuleInstance, nullptr);
  HFONT font = dialog.OwnFont ? dialog.OwnFont.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (row.Kind == ControlKind::List) {
    AddListItems(control, row.Caption);
    SelectListText(control, start.Text);
  }
  if (row.Kind == ControlKind::CheckBox)
    SendMessageW(control, BM_SETCHECK, start.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (start.Disabled) EnableWindow(control, FALSE);
  return control;
}

// The Pick rule: the host's non-empty answer replaces the Target field's
// text; an empty answer changes nothing.
void PickTarget(const Dialog& dialog, const DialogLayout& layout) {
  const std::wstring picked = PickObject(ControlText(dialog, layout.TargetField));
  if (!picked.empty()) SetControlText(dialog, layout.TargetField, picked);
}

std::wstring ParamText(const Dialog& dialog, const DialogLayout& layout, size_t control) {
  switch (layout.Controls[control].Kind) {
    case ControlKind::List:
      return ListText(dialog, control);
    case ControlKind::CheckBox:
      return CheckText(dialog, control);
    default:
      return ControlText(dialog, control);
  }
}

void WriteParamsAndClose(Dialog& dialog) {
  std::vector<std::wstring> texts;
  for (size_t control : dialog.Layout->ParamControls) texts.push_back(ParamText(dialog, *dialog.Layout, control));
  if (dialog.BeforeWrite) dialog.BeforeWrite(dialog, texts);
  for (size_t i = 0; i < texts.size(); ++i) WriteParam(dialog.Params, static_cast<int>(i), texts[i]);
  dialog.Result = 1;
  dialog.Done = true;
}

// Matched in order, the first match handled: Pick, OK, Cancel, then the
// editor's own controls.
void OnDialogCommand(Dialog& dialog, WPARAM wParam) {
  // A dialog that is over stays on screen while a dialog opened inside its
  // loop is open; a second OK would store the texts again and lose the first.
  if (dialog.Done) return;
  const size_t control = LOWORD(wParam) - 1u;
  const WORD notification = HIWORD(wParam);
  const DialogLayout& layout = *dialog.Layout;
  const bool clicked = notification == BN_CLICKED;
  if (control == layout.PickButton && clicked)
    PickTarget(dialog, layout);
  else if (control == layout.OkButton && clicked)
    WriteParamsAndClose(dialog);
  else if (control == layout.CancelButton && clicked)
    dialog.Done = true;
  else if (control < dialog.Controls.size() && dialog.OnCommand)
    dialog.OnCommand(dialog, control, notification);
}

}  // namespace

std::vector<std::wstring> ReadParams(ParamArray params, const DialogLayout& layout) {
  std::vector<std::wstring> texts;
  for (size_t i = 0; i < layout.ParamControls.size(); ++i) texts.push_back(ReadParam(params, static_cast<int>(i)));
  return texts;
}

std::vector<ControlStart> StartsFromTexts(const DialogLayout& layout, const std::vector<std::wstring>& texts) {
  std::vector<ControlStart> starts(layout.Controls.size());
  for (size_t i = 0; i < layout.ParamControls.size(); ++i) {
    ControlStart& start = starts[layout.ParamControls[i]];
    start.Text = texts[i];
    start.Checked = TextToInt64(texts[i]) != 0;
  }
  return starts;
}

bool OpenDialog(Dialog& dialog, const DialogLayout& layout, ParamArray params,
                const std::vector<ControlStart>& starts) {
  dialog.Layout = &layout;
  dialog.Params = params;
  RegisterDialogClass();
  const ScreenDpi dpi = ReadScreenDpi();
  dialog.Window = CreateDialogWindow(dialog, layout, dpi);
  if (dialog.Window == nullptr) return false;
  dialog.OwnFont = CreateMessageFont();
  for (size_t i = 0; i < layout.Controls.size(); ++i)
    dialog.Controls.push_back(CreateControl(dialog, layout.Controls[i], i, dpi, starts[i]));
  return true;
}

int RunDialog(Dialog& dialog) {
  MSG message;
  while (!dialog.Done) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));  // the host is quitting: leave it the message
      break;
    }
    if (got == -1) break;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  DestroyWindow(dialog.Window);
  dialog.Window = nullptr;
  dialog.OwnFont.reset();
  return dialog.Result;
}

std::wstring ControlText(const Dialog& dialog, size_t control) {
  HWND window = dialog.Controls[control];
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

void SetControlText(const Dialog& dialog, size_t control, std::wstring_view text) {
  SetWindowTextW(dialog.Controls[control], std::wstring(text).c_str());
}

std::wstring ListText(const Dialog& dialog, size_t control) {
  HWND list = dialog.Controls[control];
  const LRESULT item = SendMessageW(list, CB_GETCURSEL, 0, 0);
  if (item == CB_ERR) return {};
  std::wstring text(static_cast<size_t>(SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(
      SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

bool IsChecked(const Dialog& dialog, size_t control) {
  return SendMessageW(dialog.Controls[control], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void EnableControl(const Dialog& dialog, size_t control, bool enabled) {
  EnableWindow(dialog.Controls[control], enabled ? TRUE : FALSE);
}

std::wstring CheckText(const Dialog& dialog, size_t control) { return IsChecked(dialog, control) ? L"1" : L"0"; }

}  // namespace zel
