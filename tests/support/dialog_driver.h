// Drives a modal dialog from inside its own message loop, as a user would:
// a thread timer finds the dialog by its title and runs the test's steps.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Runs `steps` once, from a timer message dispatched by the modal loop that
// `open` starts, as soon as a top-level window with `title` exists. Returns
// whether the steps ran.
bool WithDialog(const std::wstring& title, const std::function<void(HWND dialog)>& steps,
                const std::function<void()>& open);

// A top-level window of this thread with that class and title (either may
// be null): tests run in parallel processes, whose dialogs look alike.
HWND FindThreadWindow(const wchar_t* className, const wchar_t* title);
// The windows of this thread, child windows included.
int CountThreadWindows();
// The dialog's controls by their position in the layout (0 is the first).
HWND ControlAt(HWND dialog, int index);
std::wstring TextOf(HWND window);
// A list's selected item, empty when none is selected.
std::wstring SelectedItem(HWND list);
bool IsBoxChecked(HWND box);
// The control's rectangle in the dialog's client coordinates.
RECT ClientRectOf(HWND control);

void Click(HWND button);
void Type(HWND field, const std::wstring& text);
// Selects the list's item with that text and tells the dialog, as a user's
// choice does.
void Choose(HWND list, const std::wstring& item);
// The close box.
void RequestClose(HWND dialog);
