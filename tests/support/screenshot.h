// Saves what the screen shows of a window as a PNG file.
#pragma once

#include <windows.h>

#include <string>

bool SaveWindowPng(HWND window, const std::wstring& path);
// A folder "screenshots" beside the test programs' folder, created if needed.
std::wstring ScreenshotFolder();
