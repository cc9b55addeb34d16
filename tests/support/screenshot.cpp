#include "tests/support/screenshot.h"

#include "host/png_image.h"

bool SaveWindowPng(HWND window, const std::wstring& path) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return false;
  UpdateWindow(window);
  return host::WritePng(host::CaptureScreen(rect), path);
}

std::wstring ScreenshotFolder() {
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring folder(program);
  folder.erase(folder.find_last_of(L"\\/"));
  folder.erase(folder.find_last_of(L"\\/") + 1);
  folder += L"screenshots";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder + L"\\";
}
