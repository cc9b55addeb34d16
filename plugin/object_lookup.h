// Turning a Target text into a window handle, and letting the user pick an
// object in the host.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace zel {

// Asks the host for the window of a named object; null when it has none.
HWND FindObjectHandle(std::wstring_view name);
// Lets the user pick an object in the host, starting from the current text;
// the picked text, or empty when there is no answer.
std::wstring PickObject(std::wstring_view current);
// A numeric text (spaces trimmed) is the handle itself; any other non-empty
// text is an object name for the host. The handle is not checked here.
HWND ResolveTarget(std::wstring_view target);

}  // namespace zel
